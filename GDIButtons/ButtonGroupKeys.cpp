// TGDICustomButtonGroup: the keyboard drives the ring (selection, launch, menu, dismiss), and what the ring's
// windows do with keys, clicks and menus before a button handles them.
#include "GDIButtons/ButtonGroup.h"
#include "GDIButtons/DragGDIButton.h"
#include "GDIButtons/RingKeyLogic.h"
#include "framework/Menus.h"

// clang-format off
#include "framework/Win32.h"
#include <windowsx.h>
// clang-format on

#include <cmath>
#include <string_view>
#include <vector>

namespace {

TDragGDIButton* SegmentButton(const TGDIButtonGroupItems& items, int index) {
  const TGDIButtonGroupItem* item = index >= 0 && index < items.Count() ? items.Items(index) : nullptr;
  return item ? dynamic_cast<TDragGDIButton*>(item->Button()) : nullptr;
}

}  // namespace

int TGDICustomButtonGroup::SegmentIndex(const TCustomGDIButton* button) const {
  for (int i = 0; button && i < items_->Count(); ++i) {
    if (const TGDIButtonGroupItem* item = items_->Items(i); item && item->Button() == button) return i;
  }
  return -1;
}

int TGDICustomButtonGroup::SelectedSegment() const {
  for (int i = 0; i < items_->Count(); ++i) {
    if (const TDragGDIButton* button = SegmentButton(*items_, i); button && button->Hovered()) return i;
  }
  return -1;
}

void TGDICustomButtonGroup::NoteHovered(const TCustomGDIButton* button) {
  if (const int index = SegmentIndex(button); index >= 0) lastSelected_ = index;
}

void TGDICustomButtonGroup::SelectSegment(int index) {
  TDragGDIButton* button = SegmentButton(*items_, index);
  if (!button) return;
  lastSelected_ = index;
  // The focus goes along only while this thread has the foreground: SetFocus would otherwise activate
  // the window, and the ring borrows the foreground, never takes it.
  const bool foreground = GetWindowThreadProcessId(GetForegroundWindow(), nullptr) == GetCurrentThreadId();
  button->ShowSelected(keysArmed_ && foreground);
}

void TGDICustomButtonGroup::EndKeyboardSelection() {
  for (int i = 0; i < items_->Count(); ++i) {
    if (TDragGDIButton* button = SegmentButton(*items_, i)) button->EndSelected();
  }
}

void TGDICustomButtonGroup::DisarmKeys() {
  keysArmed_ = false;
  EndKeyboardSelection();
}

void TGDICustomButtonGroup::FocusRing() {
  keysArmed_ = true;
  const int count = items_->Count();
  if (count == 0) return;
  const int hovered = SelectedSegment();
  SelectSegment(hovered >= 0 ? hovered : lastSelected_ >= 0 && lastSelected_ < count ? lastSelected_ : 0);
}

void TGDICustomButtonGroup::LaunchSegment(int index) {
  TDragGDIButton* button = SegmentButton(*items_, index);
  if (!button || button->FileName().empty()) return;
  // Exactly what a double-click does.
  if (const TNotifyEvent open = button->OnDblClick) open(button);
  if (const std::function<void()> launched = OnLaunched) launched();
}

void TGDICustomButtonGroup::OpenSegmentMenu(int index) {
  TDragGDIButton* button = SegmentButton(*items_, index);
  if (!button) return;
  HWND ring = GetForegroundWindow();
  // As the system reports a menu asked for from the keyboard: the button opens it at its slice.
  button->Perform(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(button->Handle()), MAKELPARAM(-1, -1));
  // The menu took the foreground for its own window; once it closed, the keys go on reaching the ring.
  if (IsWindow(ring) && GetForegroundWindow() == TPopupMenu::Window()) SetForegroundWindow(ring);
}

bool TGDICustomButtonGroup::SelectByLetter(unsigned virtualKey) {
  if (virtualKey < vantel::kKeyA || virtualKey > vantel::kKeyZ) return false;
  std::vector<char> initials;
  for (int i = 0; i < items_->Count(); ++i) {
    const TDragGDIButton* button = SegmentButton(*items_, i);
    const wchar_t* shown = button ? button->FileInfo.szDisplayName : L"";
    initials.push_back(vantel::NameInitial(std::wstring_view(shown, wcsnlen(shown, MAX_PATH))));
  }
  const int next = vantel::NextWithInitial(initials, SelectedSegment(), static_cast<char>(virtualKey));
  if (next < 0) return false;  // a letter no name starts with changes nothing
  SelectSegment(next);
  return true;
}

bool TGDICustomButtonGroup::RingKeyDown(unsigned virtualKey, bool shift) {
  if (!keysArmed_) return false;
  const vantel::RingKeyAction action =
      vantel::RingKeyActionFor(virtualKey, shift, SelectedSegment(), items_->Count());
  switch (action.Command) {
    case vantel::RingKeyCommand::None:
      return SelectByLetter(virtualKey);
    case vantel::RingKeyCommand::Select:
      SelectSegment(action.Index);
      return true;
    case vantel::RingKeyCommand::Launch:
      LaunchSegment(action.Index);
      return true;
    case vantel::RingKeyCommand::Menu:
      OpenSegmentMenu(action.Index);
      return true;
    case vantel::RingKeyCommand::Dismiss:
      DisarmKeys();
      if (const std::function<void()> dismiss = OnDismiss) dismiss();
      return true;
    case vantel::RingKeyCommand::Expand:
      if (TDragGDIButton* button = SegmentButton(*items_, action.Index); button && button->Expands()) {
        button->ExpandFromKeys();
        return true;
      }
      return false;
    case vantel::RingKeyCommand::Back:
      // A folder's ring goes back to the ring below; a ring of its own has nothing below it.
      if (!folderRings_) return false;
      DisarmKeys();
      if (const std::function<void()> dismiss = OnDismiss) dismiss();
      return true;
  }
  return false;
}

bool TGDICustomButtonGroup::RingWindowMessage(TDragGDIButton& button, UINT msg, WPARAM wParam, LPARAM& lParam,
                                              LRESULT& result) {
  result = 0;
  // The ring's keys, on whichever of its windows has the foreground. F10 comes as a system key.
  if ((msg == WM_KEYDOWN || (msg == WM_SYSKEYDOWN && wParam == VK_F10)) &&
      RingKeyDown(static_cast<unsigned>(wParam), GetKeyState(VK_SHIFT) < 0)) {
    return true;
  }
  // The menu opened at the press; the default handling would open it again at the release (the menu
  // key) or look for a menu bar the window has not got (F10).
  if ((msg == WM_KEYUP || msg == WM_SYSKEYUP) && (wParam == VK_APPS || wParam == VK_F10)) return true;
  // A click makes the window active, and the keys drive the ring from then on.
  if (msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN || msg == WM_MBUTTONDOWN) ArmKeys();
  // Alt+F4 on the ring's foreground window would close that one window and leave a gap in the ring.
  if (msg == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_CLOSE) return true;
  // The summoned ring came under a pointer that rests: no hover takes the keys' selection from its segment.
  if (msg == WM_MOUSEMOVE && PointerRestsSinceSummons()) return true;
  if (msg == WM_CONTEXTMENU && GET_X_LPARAM(lParam) == -1 && GET_Y_LPARAM(lParam) == -1 && button.PieRect()) {
    // Asked for from the keyboard: the menu opens on the slice, not wherever the pointer is.
    const vantel::PointF at = vantel::SliceMenuPoint(button.PieRect()->Values());
    lParam = MAKELPARAM(button.Left() + std::lround(at.X), button.Top() + std::lround(at.Y));
  }
  return false;
}
