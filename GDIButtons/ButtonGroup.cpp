// TGDICustomButtonGroup: construction and destruction order, sizing, centring and showing the ring.
#include "GDIButtons/ButtonGroup.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "GDIButtons/DragGDIButton.h"
#include "GDIButtons/FolderRings.h"
#include "GDIButtons/HintGDIButton.h"
#include "GDIButtons/RingLayout.h"
#include "framework/FlagScope.h"
#include "framework/Form.h"
#include "framework/Screen.h"
#include "framework/DebugTrace.h"
#include "xml/ConfigFormat.h"

namespace {
// SWP_NOSIZE | SWP_NOCOPYBITS | SWP_NOSENDCHANGING | SWP_DEFERERASE | SWP_ASYNCWINDOWPOS = 0x6501
constexpr UINT kFollowFlags =
    SWP_NOSIZE | SWP_NOCOPYBITS | SWP_NOSENDCHANGING | SWP_DEFERERASE | SWP_ASYNCWINDOWPOS;
}  // namespace

TGDICustomButtonGroup::TGDICustomButtonGroup(TComponent* owner, TGDIButtonClass buttonClass,
                                             std::wstring xmlFileName, THintWindowClass hintClass,
                                             TGDIButtonGroupItemsClass itemsClass,
                                             const TButtonInputs& centreInputs)
    : TCustomGDITransparentPanel(owner),
      buttonClass_(std::move(buttonClass)),
      hintClass_(std::move(hintClass)),
      itemsClass_(std::move(itemsClass)),
      xmlFileName_(std::move(xmlFileName)) {
  const TGDIButtonGroupItemsClass makeItems = GetItemsClass();
  items_ = makeItems(*this, CollectionItemClass<TGDIButtonGroupItem>());
  // Every button of the ring reaches its group through the collection: there is always one.
  if (!items_) items_ = std::make_unique<TGDIButtonGroupItems>(*this);
  grow_ = false;
  if (buttonClass_) centre_ = buttonClass_(Owner(), XmlFileName(), centreInputs);
  if (centre_) {
    // The centre was taken onto a monitor of another DPI: the whole ring follows it once, and the centre
    // asks for its icon at that DPI (each segment does so at its own message).
    centre_->HookWndProc([this](UINT msg, WPARAM wParam, LPARAM, LRESULT& result) {
      // Another program took the foreground: the ring lets go of the keys.
      if (msg == WM_ACTIVATEAPP && !wParam) DisarmKeys();
      if (msg != WM_DPICHANGED) return false;
      result = 0;
      if (movingRing_) {
        // Sent in the middle of the ring's batch move: the ring is scaled once the batch is done, so no
        // segment is left at a place reckoned for the old size.
        pendingDpi_ = HIWORD(wParam);
        return true;
      }
      ChangeDpi(HIWORD(wParam));
      if (auto* centre = dynamic_cast<TDragGDIButton*>(centre_.get())) centre->RefetchShellInfo();
      return true;
    });
  }
  if (hintClass_) hint_ = hintClass_(Owner());
  SetupHintWindow();
}

TGDICustomButtonGroup::~TGDICustomButtonGroup() {
  ownFolderRings_.reset();  // the rings above this one go first
  centre_.reset();
  hint_.reset();
  items_.reset();
}

TGDIButtonGroupItemsClass TGDICustomButtonGroup::GetItemsClass() const {
  return itemsClass_ ? itemsClass_ : ButtonGroupItemsClass<TGDIButtonGroupItems>();
}

void TGDICustomButtonGroup::SetWidth(int value) {
  const vantel::ScreenPoint middle = RingMiddle();
  width_ = value;
  if (centre_) centre_->SetWidth(value);
  LayoutCenter(middle);
  if (!grow_ && centre_) centre_->Repaint();
}

void TGDICustomButtonGroup::SetHeight(int value) {
  const vantel::ScreenPoint middle = RingMiddle();
  height_ = value;
  if (centre_) centre_->SetHeight(value);
  LayoutCenter(middle);
  if (!grow_ && centre_) centre_->Repaint();
}

void TGDICustomButtonGroup::SetPixelsPerInch(int dpi) {
  dpi_ = dpi > 0 ? dpi : vantel::kBaseDpi;
  if (auto* hint = dynamic_cast<THintGDIButton*>(hint_.get())) {
    hint->SetFontSize(vantel::ScaleForDpi(vantel::kHintFontSize, dpi_));
  }
}

void TGDICustomButtonGroup::ChangeDpi(int dpi) {
  if (dpi <= 0 || dpi == dpi_ || !centre_) return;
  const int oldDpi = dpi_;
  const int oldLeft = centre_->Left(), oldTop = centre_->Top();
  const int width = MulDiv(width_, dpi, oldDpi), height = MulDiv(height_, dpi, oldDpi);
  const RECT was{oldLeft, oldTop, oldLeft + width_, oldTop + height_};
  POINT pointer{};
  if (!GetCursorPos(&pointer) || !PtInRect(&was, pointer)) {
    pointer = POINT{oldLeft + width_ / 2, oldTop + height_ / 2};  // the message came without a drag
  }
  SetPixelsPerInch(dpi);
  SetWidth(width);
  SetHeight(height);
  items_->Refresh();
  // The spot of the centre window under the pointer stays there; the segments follow the centre.
  centre_->SetBounds(pointer.x - MulDiv(pointer.x - oldLeft, dpi, oldDpi),
                     pointer.y - MulDiv(pointer.y - oldTop, dpi, oldDpi), width, height);
}

vantel::ScreenPoint TGDICustomButtonGroup::RingMiddle() const {
  if (!centre_) return {};
  return vantel::ScreenPoint{centre_->Left() + centre_->Width() / 2, centre_->Top() + centre_->Height() / 2};
}

void TGDICustomButtonGroup::LayoutCenter(vantel::ScreenPoint middle) {
  const vantel::PieRectValues rect = vantel::LayoutCenterRect(width_, height_, dpi_);
  centreX_ = rect.X;
  centreY_ = rect.Y;
  centreWidth_ = rect.Width;
  centreHeight_ = rect.Height;
  centreRect_.Assign(rect);
  if (!centre_) return;
  // The first place is the primary monitor's; later sizes keep the ring's middle, on its monitor.
  const vantel::WindowOrigin origin =
      vantel::RingOrigin(CurrentMonitors(), placed_ ? &middle : nullptr, width_, height_);
  centre_->SetBounds(origin.Left, origin.Top, width_, height_);
  placed_ = width_ > 0 && height_ > 0;
  centre_->SetPieRect(&centreRect_);
  centre_->SetButtonKind(ConfigFormat::KindCentre);
  if (auto* form = dynamic_cast<TForm*>(Owner())) centre_->SetParent(form);
  centre_->SetGroupItems(items_.get());
  // A centre waiting hidden for its picture comes to the front when it shows.
  if (centre_->BoundsDeferred()) {
    centreFrontPending_ = true;
  } else {
    centre_->BringToFront();
  }
}

void TGDICustomButtonGroup::SetupHintWindow() {
  if (!hint_) return;
  FrameHintWindow();
  hint_->SetButtonKind(ConfigFormat::KindSegment);
  if (auto* form = dynamic_cast<TForm*>(Owner())) hint_->SetParent(form);
  hint_->SetGroupItems(items_.get());
}

void TGDICustomButtonGroup::FrameHintWindow() {
  if (!hint_) return;
  const vantel::ScreenRect desktop = vantel::VirtualScreen(CurrentMonitors());
  if (hint_->Left() != desktop.Left || hint_->Top() != desktop.Top || hint_->Width() != desktop.Width() ||
      hint_->Height() != desktop.Height()) {
    hint_->SetBounds(desktop.Left, desktop.Top, desktop.Width(), desktop.Height());
  }
}

void TGDICustomButtonGroup::ShowAll() {
  if (centre_ && centreHiddenForHold_ && !DrawingHeld()) {
    // As a segment made while drawing was held: its picture first, then the window.
    centreHiddenForHold_ = false;
    centre_->ApplyDeferredBounds();
    if (centreFrontPending_) centre_->BringToFront();
    centreFrontPending_ = false;
    centre_->RedrawButton();
    centre_->Show();
    ValidateRect(centre_->Handle(), nullptr);
  } else if (centre_) {
    centre_->Show();
    centre_->Repaint();
  }
  for (int i = 0; i < items_->Count(); ++i) {
    TGDIButtonGroupItem* item = items_->Items(i);
    if (!item || !item->Button()) continue;
    if (!DrawingHeld() && item->ShowAfterHold()) continue;
    item->Button()->Show();
    item->Button()->Repaint();
  }
}

void TGDICustomButtonGroup::HoldDrawing() {
  if (drawingHeld_++ > 0 || !centre_ || !centre_->HandleAllocated() || !centre_->Visible()) return;
  // The centre's picture would go stale at the first growth: it waits hidden with the segments, and
  // takes the place and size the growths leave it when it shows.
  centre_->Hide();
  centre_->DeferBounds(true);
  centreHiddenForHold_ = true;
}

void TGDICustomButtonGroup::ReleaseDrawing() {
  if (drawingHeld_ == 0 || --drawingHeld_ > 0) return;
  items_->LayOutIfStale();
  const int follow = followCount_;
  followCount_ = 0;
  if (follow > 0 && centre_) MoveSegmentsTo(POINT{centre_->Left(), centre_->Top()}, follow);
}

void TGDICustomButtonGroup::MoveSegmentsTo(POINT centre, int count) noexcept {
  try {
    TGDIButtonGroupItems* items = items_.get();
    if (!items) return;
    count = std::min(count, items->Count());
    for (int i = 0; i < count; ++i) {
      TGDIButtonGroupItem* item = items->Items(i);
      TCustomGDIButton* button = item ? item->Button() : nullptr;
      if (!button || !button->HandleAllocated()) continue;
      if (item->WaitsHidden()) {
        item->NoteCentreFollow(centre);  // applied when it shows
        continue;
      }
      HWND window = button->Handle();
      // A segment that is already there and already in the not-topmost band would not change: the
      // centre's size changes and restacking reach here too, and a ring has many segments.
      RECT bounds{};
      const POINT place = button->WindowPlace(centre.x, centre.y);
      const bool topmost = (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
      // A summoned ring stays above every other window while the user drags it.
      const bool summoned = summoned_;
      if (topmost == summoned && GetWindowRect(window, &bounds) && bounds.left == place.x &&
          bounds.top == place.y) {
        continue;
      }
      SetWindowPos(window, summoned ? HWND_TOPMOST : HWND_NOTOPMOST, place.x, place.y, 0, 0, kFollowFlags);
    }
  } catch (...) {
    // A ring that cannot follow this once is no reason to bother the user.
    TraceCaughtException(L"TGDICustomButtonGroup::MoveSegmentsTo");
  }
}

void TGDICustomButtonGroup::CentreMoved(POINT at) noexcept {
  try {
    if (movingRing_ || !items_) return;  // MoveRing moves the segments itself
    if (DrawingHeld()) {
      // The ring is being built: the segments there are now go to wherever the centre is when the hold
      // ends, which is where they would have ended up.
      followCount_ = items_->Count();
      return;
    }
    MoveSegmentsTo(at, items_->Count());
  } catch (...) {
    // A ring that cannot follow this once is no reason to bother the user.
    TraceCaughtException(L"TGDICustomButtonGroup::CentreMoved");
  }
}

void TGDICustomButtonGroup::MoveRing(int left, int top, bool summoned, bool show) {
  if (!centre_ || !centre_->HandleAllocated()) return;
  if (summoned && !summoned_) {
    centreTopmost_ = (GetWindowLongPtrW(centre_->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
  }
  summoned_ = summoned;
  restingPointer_.reset();
  if (POINT pointer{}; summoned && GetCursorPos(&pointer)) restingPointer_ = pointer;
  std::vector<TCustomGDIButton*> segments;
  for (int i = 0; i < items_->Count(); ++i) {
    TGDIButtonGroupItem* item = items_->Items(i);
    TCustomGDIButton* button = item ? item->Button() : nullptr;
    if (button && button->HandleAllocated() && !item->WaitsHidden()) segments.push_back(button);
  }
  constexpr UINT kFlags = SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOCOPYBITS;
  const UINT ringFlags = kFlags | (show ? SWP_SHOWWINDOW : 0);
  const HWND segmentBand = summoned ? HWND_TOPMOST : HWND_NOTOPMOST;
  const HWND centreBand = summoned || centreTopmost_ ? HWND_TOPMOST : HWND_NOTOPMOST;
  {
    const TFlagScope moving(movingRing_);  // the centre's move does not drag the segments along one by one
    // One batch: the system moves and restacks every window before any repaints. Each goes to the top of
    // its band in turn: the segments, then the centre, then the hint above them.
    HDWP batch = BeginDeferWindowPos(static_cast<int>(segments.size()) + 2);
    for (TCustomGDIButton* button : segments) {
      const POINT place = button->WindowPlace(left, top);
      if (batch) {
        batch = DeferWindowPos(batch, button->Handle(), segmentBand, place.x, place.y, 0, 0, ringFlags);
      }
    }
    const POINT place = centre_->WindowPlace(left, top);
    if (batch) {
      batch = DeferWindowPos(batch, centre_->Handle(), centreBand, place.x, place.y, 0, 0, ringFlags);
    }
    if (batch && summoned && hint_ && hint_->HandleAllocated()) {
      batch = DeferWindowPos(batch, hint_->Handle(), HWND_TOPMOST, 0, 0, 0, 0, kFlags | SWP_NOMOVE);
    }
    if (batch) EndDeferWindowPos(batch);
  }
  if (show) {
    for (TCustomGDIButton* button : segments) button->Show();  // shown already: the control's own record
    centre_->Show();
  }
  if (const int dpi = movingRing_ ? 0 : std::exchange(pendingDpi_, 0); dpi > 0 && dpi != dpi_) {
    // The ring at the new size keeps its middle where the move put it; the segments follow the centre.
    const vantel::ScreenPoint middle{left + width_ / 2, top + height_ / 2};
    ChangeDpi(dpi);
    if (auto* centre = dynamic_cast<TDragGDIButton*>(centre_.get())) centre->RefetchShellInfo();
    MoveRing(middle.X - width_ / 2, middle.Y - height_ / 2, summoned);
  }
}

bool TGDICustomButtonGroup::PointerRestsSinceSummons() {
  POINT pointer{};
  if (!summoned_ || !restingPointer_ || !GetCursorPos(&pointer)) return false;
  if (pointer.x == restingPointer_->x && pointer.y == restingPointer_->y) return true;
  restingPointer_.reset();  // the hand moved: the pointer hovers as ever
  return false;
}

void TGDICustomButtonGroup::ExpandSegment(const TDragGDIButton& button, POINT at, bool fromKeys) {
  if (!CanExpand() || button.FileName().empty()) return;
  TFolderRings* rings = folderRings_;
  if (!rings) {
    if (!ownFolderRings_) ownFolderRings_ = std::make_unique<TFolderRings>(*this);
    rings = ownFolderRings_.get();
  }
  rings->Open(button.FileName(), at, folderDepth_ + 1, fromKeys);
}

void TGDICustomButtonGroup::CloseFolderRings() {
  if (TFolderRings* rings = folderRings_ ? folderRings_ : ownFolderRings_.get()) rings->CloseAll();
}
