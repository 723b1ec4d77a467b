// THotkeyField: the system's hotkey control ("msctls_hotkey32") in the settings window.
#pragma once

#include "app/SettingsFormat.h"
#include "framework/Controls.h"

class THotkeyField : public TWinControl {
 public:
  explicit THotkeyField(TComponent* owner);
  // The combination shown (Key 0: none). The control has no Win key.
  vantel::Hotkey Value();
  void SetValue(vantel::Hotkey key);
  TNotifyEvent OnChange;  // the user typed another combination

 protected:
  void CreateParams(TCreateParams& params) override;
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
};
