// CreateXmlRingGroup: the main window's button group, a TXmlControlButtonGroup behind TRingGroup; the ring's
// build at start.
#include "app/RingGroup.h"

#include "GDIButtons/XmlControlButtonGroup.h"
#include "framework/Dpi.h"
#include "xml/XmlError.h"

namespace {
class TXmlRingGroup final : public TRingGroup {
 public:
  TXmlRingGroup(TComponent* owner, const std::wstring& fileName, const TXmlHost& host)
      // The buttons store through the default host, the real file, whatever view the start reads it through.
      : group_(std::make_unique<TXmlControlButtonGroup>(owner, fileName, host, TXmlHost{})) {}
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

TConfigAtStart::TConfigAtStart(const std::wstring& fileName, const TAskYesNo& ask) {
  OfferKeptCopyAtStart(fileName, ask);
  if (!AwaitConfigAtStart(fileName)) held_.emplace(fileName);
}

namespace {
std::unique_ptr<TRingGroup> BuildRing(const TRingGroupFactory& factory, const std::wstring& fileName,
                                      const TXmlHost& host, const TRingPlace& place) {
  std::unique_ptr<TRingGroup> group = factory(place.Owner, fileName, host);
  group->LoadConfigFile(fileName, host);
  group->SetPixelsPerInch(place.PixelsPerInch);
  group->SetHeight(Dpi::Scale(place.Side96, place.PixelsPerInch));
  group->SetWidth(Dpi::Scale(place.Side96, place.PixelsPerInch));
  if (TXmlControlButtonGroup* xmlGroup = group->XmlGroup(); xmlGroup && place.Placed) place.Placed(*xmlGroup);
  group->SetPopupMenu(place.Menu);
  if (group->HasButtonRecords() != 0) {
    group->LoadButtons();
  } else {
    group->CreateDefaultSegments(host);
  }
  return group;
}
}  // namespace

std::unique_ptr<TRingGroup> BuildRingAtStart(const TRingGroupFactory& factory, const std::wstring& fileName,
                                             const TXmlHost& host, const TRingPlace& place, bool unloadable,
                                             const std::function<void()>& fault) {
  if (!unloadable) {
    try {
      return BuildRing(factory, fileName, host, place);
    } catch (const EXmlError&) {
      // The file stopped loading between the window's read and the group's; the half-made group is gone.
      fault();
    }
  }
  TBrokenConfigView asIfEmpty(fileName, host);
  return BuildRing(factory, fileName, asIfEmpty.Host(), place);
}
