// TDragGDIButton: hover (colour and hint), the keyboard's selection, and the leave watch for shaped windows.
#include <algorithm>

#include "GDIButtons/ButtonGroup.h"
#include "GDIButtons/ButtonGroupItems.h"
#include "GDIButtons/DragGDIButton.h"
#include "GDIButtons/RingAccessible.h"

bool TDragGDIButton::PointerOnShape(POINT cursor) {
  RECT bounds{};
  if (!GetWindowRect(Handle(), &bounds) || !PtInRect(&bounds, cursor)) return false;
  GdiObject<HRGN> shape(CreateRectRgn(0, 0, 0, 0));
  const int kind = shape ? GetWindowRgn(Handle(), shape.get()) : ERROR;
  return kind == ERROR || PtInRegion(shape.get(), cursor.x - bounds.left, cursor.y - bounds.top);
}

void TDragGDIButton::WatchForLeave(TObject* sender) {
  (void)sender;
  POINT cursor{};
  if (!GetCursorPos(&cursor)) return;
  const bool onShape = PointerOnShape(cursor);
  if (!MouseInControl()) {
    WatchForReturn(cursor, onShape);
    return;
  }
  // Still over this window's own shape? (Other programs' windows are the system's business.)
  if (onShape) {
    if (cursor.x == watchedCursor_.x && cursor.y == watchedCursor_.y) {
      leaveWatch_->SetInterval(std::min(leaveWatch_->Interval() * 2, kLeaveWatchRestingInterval));
    }
    watchedCursor_ = cursor;
    return;
  }
  leaveWatch_->SetEnabled(false);
  // As the system would have reported it: the framework clears its hover state and notifies.
  PostMessageW(Handle(), WM_MOUSELEAVE, 0, 0);
}

void TDragGDIButton::WatchForReturn(POINT cursor, bool onShape) {
  // Some systems (Wine) lose sight of the pointer while it is over no window of theirs, and report no move
  // when it comes back to the very point where they last saw it: the button looks for itself for a while.
  // Not while a menu or a drag holds the pointer, this program's or another's.
  if (onShape && WindowFromPoint(cursor) == Handle() && !PointerHeld()) {
    leaveWatch_->SetEnabled(false);
    POINT client = cursor;
    ScreenToClient(Handle(), &client);
    Perform(WM_MOUSEMOVE, 0, MAKELPARAM(client.x, client.y));  // as the system's move would
    return;
  }
  if (GetTickCount64() >= returnWatchEnd_) {
    leaveWatch_->SetEnabled(false);
    return;
  }
  leaveWatch_->SetInterval(std::min(leaveWatch_->Interval() * 2, kLeaveWatchRestingInterval));
}

bool TDragGDIButton::ForegroundThreadInfo(GUITHREADINFO& info) const {
  info.cbSize = sizeof(info);
  return GetGUIThreadInfo(0, &info) != FALSE;
}

bool TDragGDIButton::PointerHeld() const {
  if (GetCapture()) return true;
  // Another program's drag, move or menu holds the pointer on its own thread, which GetCapture does not
  // see: the foreground thread's state tells.
  GUITHREADINFO info{};
  if (!ForegroundThreadInfo(info)) return false;
  constexpr DWORD kHoldingModes = GUI_INMOVESIZE | GUI_INMENUMODE | GUI_POPUPMENUMODE | GUI_SYSTEMMENUMODE;
  return info.hwndCapture != nullptr || (info.flags & kHoldingModes) != 0;
}

TCustomGDIButton* TDragGDIButton::RingHint() const {
  TGDIButtonGroupItems* items = GroupItems();
  TCustomGDIButton* hint = items ? items->Group().HintWindow() : nullptr;
  return hint == this ? nullptr : hint;  // the hint window names nothing
}

void TDragGDIButton::TakeHover() {
  hovered_ = true;
  TGDIButtonGroupItems* items = GroupItems();
  if (!items || !InRing()) return;
  auto release = [this](TCustomGDIButton* button) {
    auto* other = dynamic_cast<TDragGDIButton*>(button);
    if (other && other != this && other->hovered_) other->LoseHover();
  };
  release(items->Group().CentreButton());
  for (int i = 0; i < items->Count(); ++i) {
    if (const TGDIButtonGroupItem* item = items->Items(i)) release(item->Button());
  }
}

void TDragGDIButton::LoseHover() {
  hovered_ = false;
  TCustomGDIButton::CMMouseLeave();
}

void TDragGDIButton::Reenter() {
  // The system's leave report went to the button that took the hover: it is asked for again.
  TRACKMOUSEEVENT track{};
  track.cbSize = sizeof(track);
  track.dwFlags = TME_LEAVE;
  track.hwndTrack = Handle();
  TrackMouseEvent(&track);
  Perform(CM_MOUSEENTER, 0, 0);
}

void TDragGDIButton::CMMouseEnter() {
  if (shape_.kind >= 0) {
    leaveWatch_->SetInterval(kLeaveWatchInterval);
    leaveWatch_->SetEnabled(true);
  }
  ShowHovered();
  if (GroupItems() && InRing()) GroupItems()->Group().NoteHovered(this);
}

void TDragGDIButton::ShowSelected(bool takeFocus) {
  ShowHovered();
  if (takeFocus && !HasFocus()) {
    ::SetFocus(Handle());  // the system raises the focus event
    return;
  }
  // Only what has the focus is announced as focused: a screen reader speaks the selected file's name.
  if (HasFocus()) Announce(EVENT_OBJECT_FOCUS);
}

void TDragGDIButton::EndSelected() {
  if (!hovered_ || MouseInControl()) return;
  LoseHover();
  if (TCustomGDIButton* hint = RingHint()) hint->Hide();
}

void TDragGDIButton::ShowHovered() {
  TCustomGDIButton::CMMouseEnter();
  TakeHover();
  TCustomGDIButton* hint = RingHint();
  if (!hint) return;  // a ring without a hint window, or the hint window itself
  const wchar_t* name = FileInfo.szDisplayName;
  hint->HintText.assign(name, wcsnlen(name, MAX_PATH));
  hint->Show();
  hint->Repaint();
}

void TDragGDIButton::CMMouseLeave() {
  leaveWatch_->SetEnabled(false);
  if (shape_.kind >= 0) {
    returnWatchEnd_ = GetTickCount64() + kReturnWatchTime;
    leaveWatch_->SetInterval(kLeaveWatchInterval);
    leaveWatch_->SetEnabled(true);
  }
  const bool named = hovered_;
  hovered_ = false;
  TCustomGDIButton::CMMouseLeave();
  // A leave that comes after another button's enter (the window system's order, or the leave watch
  // finding it late) leaves that button's name showing.
  if (!named) return;
  if (TCustomGDIButton* hint = RingHint()) hint->Hide();
}

LRESULT TDragGDIButton::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (TGDIButtonGroupItems* items = InRing() ? GroupItems() : nullptr) {
    // The ring's own handling of its windows' keys, clicks and menus (ButtonGroupKeys.cpp).
    if (LRESULT result = 0; items->Group().RingWindowMessage(*this, msg, wParam, lParam, result)) {
      return result;
    }
  }
  if (msg == WM_MOUSEMOVE) {
    if (leaveWatch_ && leaveWatch_->Enabled()) {
      leaveWatch_->SetInterval(kLeaveWatchInterval);  // the pointer moves: it may leave any moment
    }
    // The framework reports an enter only after a leave. A button that another one took the hover from
    // meanwhile, its own leave not yet seen, enters again here: the pointer is back on it.
    const bool inside = MouseInControl();
    const LRESULT result = TCustomGDIButton::WndProc(msg, wParam, lParam);
    if (inside && !hovered_ && HandleAllocated()) Reenter();
    return result;
  }
  if (msg == WM_GETOBJECT) return AnswerGetObject(wParam, lParam);
  if (msg == TRingAccessible::kOpenMessage) {
    // A screen reader's default action: a folder segment's ring opens, as Space opens it; any other
    // button does what a double-click does.
    if (Expands()) {
      ExpandFromKeys();
    } else if (const TNotifyEvent open = OnDblClick) {
      open(this);
    }
    return 0;
  }
  if (msg == WM_DESTROY) DisconnectAccessible();
  if (msg == kLateShellInfoMessage) {
    // The ring lays itself out again with the icon, which may ask it to grow.
    if (TakeLateShellInfo()) GroupItems() ? GroupItems()->Refresh() : Invalidate();
    return 0;
  }
  if (msg == WM_DPICHANGED) {
    // Moved to a monitor of another DPI: the icon is asked for again at the size that monitor wants and
    // comes by message. The window keeps its size; the ring's geometry is the group's business.
    RefetchShellInfo();
  }
  return TCustomGDIButton::WndProc(msg, wParam, lParam);
}
