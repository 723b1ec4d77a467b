// TFolderRing and TFolderEntryButton: a folder's ring, built from its listing like a ring's load.
#include "GDIButtons/FolderRing.h"

#include <cstdlib>
#include <vector>

#include "GDIButtons/FolderRings.h"
#include "GDIButtons/HintGDIButton.h"
#include "GDIButtons/RingLayout.h"
#include "GDIButtons/RingLoad.h"
#include "GDIButtons/ShellInfoPrefetch.h"
#include "framework/Dpi.h"
#include "framework/Screen.h"
#include "xml/ConfigFormat.h"

TFolderEntryButton::TFolderEntryButton(TComponent* owner, const TButtonColors& colors, TButtonStart start)
    : TDragGDIButton(owner, colors, start) {
  DropTarget().SetAcceptTextFormats({});  // a folder ring takes no drops: the folder on the disk is the ring
  OnMouseMove = [](TObject*, TShiftState, int, int) {};  // nor does it move: it goes when the user is done
}

void TFolderEntryButton::SetEntry(const std::wstring& path, const std::wstring& caption,
                                  TShellInfoPrefetch* answers) {
  captioned_ = !caption.empty();
  SetShownName(caption);
  SetFileName(path, answers);
}

bool TFolderEntryButton::OpensAsFolder() const {
  return !captioned_ && ButtonKind() != ConfigFormat::KindCentre && TDragGDIButton::OpensAsFolder();
}

LRESULT TFolderEntryButton::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* ring = GroupItems() ? dynamic_cast<TFolderRing*>(&GroupItems()->Group()) : nullptr;
  if (ring && msg == WM_LBUTTONDOWN) {
    POINT at{};
    GetCursorPos(&at);
    if (ring->SecondClick(at, static_cast<DWORD>(GetMessageTime()))) {
      ring->OpenFolder();
      return 0;
    }
  }
  // Another window took the activation: a click outside every folder ring, or another program. All close.
  if (ring && msg == WM_ACTIVATE && LOWORD(wParam) == WA_INACTIVE &&
      !ring->Rings().Owns(reinterpret_cast<HWND>(lParam))) {
    ring->Rings().CloseAll(TFolderRings::TKeysAfter::Leave);
  }
  return TDragGDIButton::WndProc(msg, wParam, lParam);
}

TFolderRing::TFolderRing(TComponent* owner, const TButtonColors& colors, TFolderRings& rings, int depth)
    : TGDICustomButtonGroup(owner, GDIButtonClass<TFolderEntryButton>(), {}, HintGDIButtonClass(), {},
                            TButtonInputs{colors, TButtonStart::Hidden, {}}),
      rings_(rings),
      colors_(colors) {
  JoinFolderRings(rings, depth);
  OnDismiss = [this] { rings_.CloseFrom(FolderDepth(), TFolderRings::TKeysAfter::Below); };
  OnLaunched = [this] { rings_.Launched(); };
}

TFolderRing::~TFolderRing() = default;

namespace {
int DpiAt(const vantel::MonitorList& monitors, POINT at) {
  const int monitor = vantel::MonitorAt(monitors, vantel::ScreenPoint{at.x, at.y});
  return monitor >= 0 ? monitors[static_cast<std::size_t>(monitor)].Dpi : vantel::kBaseDpi;
}
}  // namespace

void TFolderRing::Build(const TFolderListing& listing, POINT at) {
  folder_ = listing.Folder;
  slots_ = listing.Slots;
  const vantel::MonitorList monitors = CurrentMonitors();
  const vantel::ScreenPoint middle{at.x, at.y};
  SetPixelsPerInch(DpiAt(monitors, at));
  const int side = Dpi::Scale(vantel::kRingStartSide, PixelsPerInch());
  SetWidth(side);
  SetHeight(side);
  // In the topmost band from the start: the segments follow the centre there.
  vantel::ScreenPoint origin = vantel::FolderRingOrigin(monitors, middle, side);
  MoveRing(origin.X, origin.Y, true);

  std::wstring base = folder_;
  if (!base.empty() && base.back() != L'\\') base += L'\\';
  std::vector<std::wstring> paths;
  for (const vantel::FolderSlot& slot : listing.Slots) {
    paths.push_back(slot.Kind == vantel::FolderSlotKind::Entry ? base + slot.Name : folder_);
  }
  paths.push_back(folder_);
  auto* centre = dynamic_cast<TFolderEntryButton*>(CentreButton());
  const int iconSize = centre ? centre->WantedIconSize() : 0;
  TRingLoad load(*this,
                 std::make_unique<TShellInfoPrefetch>(paths, TDragGDIButton::kFileInfoFlags, iconSize));
  const TButtonInputs inputs{colors_, TButtonStart::Shown, {}};
  load.Build([&](TShellInfoPrefetch* answers) {
    for (std::size_t i = 0; i < listing.Slots.size(); ++i) {
      TGDIButtonGroupItem* item = Items().AddItem(inputs);
      auto* button = item ? dynamic_cast<TFolderEntryButton*>(item->Button()) : nullptr;
      if (!button) continue;
      const vantel::FolderSlot& slot = listing.Slots[i];
      button->SetEntry(paths[i], slot.Kind == vantel::FolderSlotKind::Entry ? std::wstring() : slot.Name,
                       answers);
    }
    if (centre) centre->SetEntry(folder_, {}, answers);
  });
  // Grown for its icons: still whole on its monitor.
  origin = vantel::FolderRingOrigin(monitors, middle, Width());
  MoveRing(origin.X, origin.Y, true);
}

bool TFolderRing::ShowsAgain(const std::wstring& item, int depth, const TButtonColors& colors,
                             POINT at) const {
  return !item_.empty() && item == item_ && depth == FolderDepth() &&
         colors.DefaultColor == colors_.DefaultColor && colors.HotColor == colors_.HotColor &&
         DpiAt(CurrentMonitors(), at) == PixelsPerInch();
}

void TFolderRing::ShowAgain(POINT at) {
  const vantel::ScreenPoint origin =
      vantel::FolderRingOrigin(CurrentMonitors(), vantel::ScreenPoint{at.x, at.y}, Width());
  MoveRing(origin.X, origin.Y, true, true);
}

bool TFolderRing::SecondClick(POINT at, DWORD time) const {
  if (!opened_) return false;
  return time - openedTime_ <= GetDoubleClickTime() &&
         std::abs(at.x - openedAt_.x) <= GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
         std::abs(at.y - openedAt_.y) <= GetSystemMetrics(SM_CYDOUBLECLK) / 2;
}

void TFolderRing::OpenFolder() {
  opened_ = false;
  if (auto* centre = dynamic_cast<TDragGDIButton*>(CentreButton())) centre->Launch(centre);
}

bool TFolderRing::OwnsWindow(HWND window) const {
  auto owns = [window](TCustomGDIButton* button) {
    return button && button->HandleAllocated() && button->Handle() == window;
  };
  if (owns(CentreButton()) || owns(HintWindow())) return true;
  for (int i = 0; i < Items().Count(); ++i) {
    if (const TGDIButtonGroupItem* item = Items().Items(i); item && owns(item->Button())) return true;
  }
  return false;
}

void TFolderRing::HideWindows() {
  DisarmKeys();
  auto hide = [](TCustomGDIButton* button) {
    if (!button || !button->HandleAllocated()) return;
    // The pointer may never be seen to leave a window that hides under it.
    if (button->Hot()) button->Perform(WM_MOUSELEAVE, 0, 0);
    button->Hide();
  };
  hide(HintWindow());
  for (int i = 0; i < Items().Count(); ++i) {
    if (const TGDIButtonGroupItem* item = Items().Items(i)) hide(item->Button());
  }
  hide(CentreButton());
}
