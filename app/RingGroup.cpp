// CreateXmlRingGroup: the main window's button group, a TXmlControlButtonGroup behind TRingGroup.
#include "app/RingGroup.h"

#include "GDIButtons/XmlControlButtonGroup.h"

namespace {
class TXmlRingGroup final : public TRingGroup {
 public:
  TXmlRingGroup(TComponent* owner, const std::wstring& fileName)
      : group_(std::make_unique<TXmlControlButtonGroup>(owner, fileName)) {}
  void LoadConfigFile(const std::wstring& fileName) override { group_->LoadConfigFile(fileName); }
  void SetPixelsPerInch(int dpi) override { group_->SetPixelsPerInch(dpi); }
  void SetHeight(int height) override { group_->SetHeight(height); }
  void SetWidth(int width) override { group_->SetWidth(width); }
  void SetPopupMenu(TPopupMenu* menu) override { group_->SetPopupMenu(menu); }
  int HasButtonRecords() override { return group_->HasButtonRecords(); }
  void LoadButtons() override { group_->LoadButtons(); }
  void CreateDefaultSegments() override { group_->CreateDefaultSegments(); }
  void ShowAll() override { group_->ShowAll(); }
  int SegmentCount() override { return group_->Items().Count(); }
  TXmlControlButtonGroup* XmlGroup() override { return group_.get(); }

 private:
  std::unique_ptr<TXmlControlButtonGroup> group_;
};
}  // namespace

std::unique_ptr<TRingGroup> CreateXmlRingGroup(TComponent* owner, const std::wstring& fileName) {
  return std::make_unique<TXmlRingGroup>(owner, fileName);
}
