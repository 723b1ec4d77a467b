// TfrmVantelMain: the settings controls' places, given in 96-dpi pixels and scaled to the window's DPI.
#include "app/VTMainForm.h"

#include "framework/Dpi.h"
#include "framework/Screen.h"

int TfrmVantelMain::Scaled(int px96) const {
  return Dpi::Scale(px96, PixelsPerInch());
}

int TfrmVantelMain::RingPixelsPerInch() {
  // The ring starts on the primary monitor (TGDICustomButtonGroup places it there).
  const vantel::MonitorList monitors = CurrentMonitors();
  const int primary = vantel::PrimaryMonitor(monitors);
  return primary >= 0 ? monitors[static_cast<size_t>(primary)].Dpi : Dpi::SystemDpi();
}

void TfrmVantelMain::Place(TWinControl& control, int left, int top, int width, int height) {
  placed_.push_back({&control, RECT{left, top, left + width, top + height}});
  control.SetBounds(Scaled(left), Scaled(top), Scaled(width), Scaled(height));
  control.SetParent(Panel1.get());
}

void TfrmVantelMain::DpiChanged(int dpi) {
  Font().SetHeight(FormFontHeight(dpi));
  if (Panel1) Panel1->SetBounds(0, 0, Scaled(kSettingsClientWidth), Scaled(kSettingsClientHeight));
  for (const PlacedControl& placed : placed_) {
    const RECT& r = placed.Bounds96;
    placed.Control->SetBounds(Scaled(r.left), Scaled(r.top), Scaled(r.right - r.left),
                              Scaled(r.bottom - r.top));
    ApplyParentFont(*placed.Control);
  }
}
