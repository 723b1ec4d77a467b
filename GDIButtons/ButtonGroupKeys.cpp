// TGDICustomButtonGroup: the keyboard drives the ring (selection, launch, menu, dismiss).
#include "GDIButtons/ButtonGroup.h"
#include "GDIButtons/DragGDIButton.h"
#include "GDIButtons/RingKeyLogic.h"
#include "framework/Menus.h"

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
