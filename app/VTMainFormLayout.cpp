// TfrmVantelMain: the settings controls' places, given in 96-dpi pixels and scaled to the window's DPI.
#include "app/VTMainForm.h"

#include "framework/Dpi.h"

int TfrmVantelMain::Scaled(int px96) const {
  return Dpi::Scale(px96, PixelsPerInch());
}

int TfrmVantelMain::RingPixelsPerInch() {
  return Dpi::ForPoint(
      POINT{GetSystemMetrics(SM_CXVIRTUALSCREEN) / 2, GetSystemMetrics(SM_CYVIRTUALSCREEN) / 2});
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
