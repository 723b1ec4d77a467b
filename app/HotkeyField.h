// THotkeyField: the system's hotkey control ("msctls_hotkey32") in the settings window.
#pragma once

#include "app/SettingsFormat.h"
#include "framework/Controls.h"

class THotkeyField : public TWinControl {
 public:
  explicit THotkeyField(TComponent* owner);
  // The combination shown (Key 0: none). The control has no Win key. Arrows, Home, End, Insert, Delete,
  // Page Up and Page Down are shown as those keys, not as the keypad's.
  vantel::Hotkey Value();
  void SetValue(vantel::Hotkey key);
  TNotifyEvent OnChange;  // the user typed another combination

 protected:
  void CreateParams(TCreateParams& params) override;
  // The control's rules: a key typed without Ctrl or Alt becomes Ctrl+Alt+key.
  void HandleCreated() override;
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
};
