// CreateXmlRingGroup: the main window's button group, a TXmlControlButtonGroup behind TRingGroup.
#include "app/RingGroup.h"

#include "GDIButtons/XmlControlButtonGroup.h"

namespace {
class TXmlRingGroup final : public TRingGroup {
 public:
  TXmlRingGroup(TComponent* owner, const std::wstring& fileName, const TXmlHost& host)
      : group_(std::make_unique<TXmlControlButtonGroup>(owner, fileName, host)) {}
  void LoadConfigFile(const std::wstring& fileName, const TXmlHost& host) override {
    group_->LoadConfigFile(fileName, host);
  }
  void SetPixelsPerInch(int dpi) override { group_->SetPixelsPerInch(dpi); }
  void SetHeight(int height) override { group_->SetHeight(height); }
  void SetWidth(int width) override { group_->SetWidth(width); }
  void SetPopupMenu(TPopupMenu* menu) override { group_->SetPopupMenu(menu); }
  int HasButtonRecords() override { return group_->HasButtonRecords(); }
  void LoadButtons() override { group_->LoadButtons(); }
  void CreateDefaultSegments(const TXmlHost& host) override { group_->CreateDefaultSegments(host); }
  void ShowAll() override { group_->ShowAll(); }
  int SegmentCount() override { return group_->Items().Count(); }
  TXmlControlButtonGroup* XmlGroup() override { return group_.get(); }

 private:
  std::unique_ptr<TXmlControlButtonGroup> group_;
};
}  // namespace

std::unique_ptr<TRingGroup> CreateXmlRingGroup(TComponent* owner, const std::wstring& fileName,
                                               const TXmlHost& host) {
  return std::make_unique<TXmlRingGroup>(owner, fileName, host);
}
