// TfrmVantelMain: what the settings window tells accessibility clients: each control named by its label,
// the colour boxes' colours as values, the hotkey as a hotkey field.
#include <oleacc.h>

#include <cwchar>
#include <utility>

#include "app/VTMainForm.h"
#include "framework/Accessible.h"

std::wstring ColourValueText(TColor colour) {
  const COLORREF rgb = ColorToRGB(colour);
  wchar_t text[8] = {};
  std::swprintf(text, 8, L"#%02X%02X%02X", GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
  return text;
}

void TfrmVantelMain::MakeAccessible() {
  // Each label right before its control in z-order, where the system's own label rule looks for it.
  Label1->FocusControl = Edit1.get();
  Label2->FocusControl = Edit2.get();
  LabelHotkey->FocusControl = HotkeyField.get();
  for (const auto& pair : {std::pair{Edit1.get(), Label1.get()}, std::pair{Edit2.get(), Label2.get()}}) {
    TAccessibleInfo info;
    info.Name = [label = pair.second] { return label->Caption(); };
    info.Value = [box = pair.first] { return ColourValueText(box->Color()); };
    SetAccessibleInfo(*pair.first, std::move(info));
  }
  TAccessibleInfo hotkey;
  hotkey.Name = [label = LabelHotkey.get()] { return label->Caption(); };
  hotkey.Value = [field = HotkeyField.get()] {
    const vantel::Hotkey key = field->Value();
    return key.Key ? HotkeyText(key) : std::wstring(L"无");
  };
  hotkey.Role = ROLE_SYSTEM_HOTKEYFIELD;
  SetAccessibleInfo(*HotkeyField, std::move(hotkey));
}

void TfrmVantelMain::ShowBoxColour(TEdit& box, TColor colour) {
  box.SetColor(colour);
  NotifyAccessibleValueChange(box);
}
