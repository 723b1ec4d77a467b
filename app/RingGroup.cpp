// CreateXmlRingGroup: the main window's button group.
#include "app/RingGroup.h"

#include "xml/ConfigFormat.h"
#include "xml/XmlDocument.h"

namespace {
// Stands in for the XML-bound group until it is built: reads the file as the group does (so a file
// that does not load fails here as it will there) and counts the segments it would make.
class TPendingRingGroup final : public TRingGroup {
 public:
  explicit TPendingRingGroup(const std::wstring& fileName) {
    TXmlDocument colours;  // the centre button reads its colours when it is made
    colours.LoadFile(fileName);
  }
  void LoadConfigFile(const std::wstring& fileName) override { document_.LoadFile(fileName); }
  void SetHeight(int) override {}
  void SetWidth(int) override {}
  void SetPopupMenu(TPopupMenu*) override {}
  int HasButtonRecords() override {
    const TXmlNode* root = document_.RootElement();
    return root ? root->ChildCount() : 0;
  }
  void LoadButtons() override {
    const TXmlNode* root = document_.RootElement();
    if (!root) return;
    const ConfigFormat::TRingPlan plan = ConfigFormat::InterpretRecords(*root);
    segments_ += static_cast<int>(plan.Segments.size()) + plan.EmptySegments;
  }
  void CreateDefaultSegments() override { segments_ += ConfigFormat::DefaultSegmentCount; }
  void ShowAll() override {}
  int SegmentCount() override { return segments_; }

 private:
  TXmlDocument document_;
  int segments_ = 0;
};
}  // namespace

std::unique_ptr<TRingGroup> CreateXmlRingGroup(TComponent* owner, const std::wstring& fileName) {
  (void)owner;
  return std::make_unique<TPendingRingGroup>(fileName);
}
