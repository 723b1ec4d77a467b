// THotkeyField: the control's HOTKEYF_ flags translated to and from RegisterHotKey's MOD_ flags.
#include "app/HotkeyField.h"

#include <commctrl.h>

THotkeyField::THotkeyField(TComponent* owner) : TWinControl(owner) {}

void THotkeyField::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  // Registered here too: the class is not among the standard ones.
  static const bool registered = [] {
    const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_HOTKEY_CLASS};
    return InitCommonControlsEx(&classes) != FALSE;
  }();
  (void)registered;
  params.WinClassName = HOTKEY_CLASSW;
  params.SubclassSystemClass = true;
  params.Style |= WS_TABSTOP;
  params.Style &= ~static_cast<DWORD>(WS_CLIPCHILDREN);
  params.ExStyle |= WS_EX_CLIENTEDGE;
}

namespace {

// The keys of the navigation block, which share their codes with the keypad's: the control names them as
// the navigation keys only when told they are extended.
bool ExtendedKey(unsigned key) {
  return (key >= VK_PRIOR && key <= VK_DOWN) || key == VK_INSERT || key == VK_DELETE;
}

}  // namespace

void THotkeyField::HandleCreated() {
  // A key alone, or with Shift alone, would be taken from every program on the desktop.
  SendMessageW(Handle(), HKM_SETRULES, HKCOMB_NONE | HKCOMB_S, MAKELPARAM(HOTKEYF_CONTROL | HOTKEYF_ALT, 0));
}

vantel::Hotkey THotkeyField::Value() {
  const auto value = static_cast<unsigned>(SendMessageW(Handle(), HKM_GETHOTKEY, 0, 0));
  const unsigned flags = (value >> 8) & 0xFF;
  vantel::Hotkey key{0, value & 0xFF};
  if (flags & HOTKEYF_CONTROL) key.Modifiers |= vantel::kModControl;
  if (flags & HOTKEYF_ALT) key.Modifiers |= vantel::kModAlt;
  if (flags & HOTKEYF_SHIFT) key.Modifiers |= vantel::kModShift;
  return key;
}

void THotkeyField::SetValue(vantel::Hotkey key) {
  unsigned flags = 0;
  if (key.Modifiers & vantel::kModControl) flags |= HOTKEYF_CONTROL;
  if (key.Modifiers & vantel::kModAlt) flags |= HOTKEYF_ALT;
  if (key.Modifiers & vantel::kModShift) flags |= HOTKEYF_SHIFT;
  if (ExtendedKey(key.Key)) flags |= HOTKEYF_EXT;
  SendMessageW(Handle(), HKM_SETHOTKEY, MAKEWORD(key.Key & 0xFF, flags), 0);
}

LRESULT THotkeyField::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == CN_COMMAND) {
    if (HIWORD(wParam) == EN_CHANGE && OnChange) OnChange(this);
    return 0;
  }
  return TWinControl::WndProc(msg, wParam, lParam);
}
