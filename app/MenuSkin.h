// TMenuSkin: draws the program's popup menus owner-drawn, with a sky-blue gradient, while it is active.
#pragma once

#include <string>

#include "framework/Component.h"
#include "framework/Graphics.h"
#include "framework/Menus.h"

constexpr TColor clSkyBlue = RGB(166, 202, 240);

// The framework has one menu painter for the whole process, so one active skin draws every popup
// menu of the program (the tray menu and the buttons' menus alike).
class TMenuSkin : public TComponent, private TMenuPainter {
 public:
  explicit TMenuSkin(TComponent* owner);
  ~TMenuSkin() override;  // stops painting

  bool Active() const { return active_; }
  void SetActive(bool active);

  TColor Color = clSkyBlue;
  std::wstring FontName = L"宋体";
  int FontHeight = 12;       // pixels at 96 dpi
  int IconColumnWidth = 24;  // pixels at 96 dpi, the gradient strip left of the captions

  // The DPI the items are measured and drawn for: the monitor's under the pointer, where the menus open,
  // taken as each item is measured, unless set here (0: follow the pointer again).
  int Dpi() const { return dpi_; }
  void SetDpi(int dpi);

  // The painter's two calls, public for drawing into any DC (a bitmap's as well as a menu's).
  void MeasureItem(TMenuItem& item, MEASUREITEMSTRUCT& measure) { Measure(item, measure); }
  void DrawItem(TMenuItem& item, const DRAWITEMSTRUCT& draw) { Draw(item, draw); }
  // The captions' font (bold for the default item); owned by the skin.
  HFONT ItemFont(bool bold);

 private:
  void Measure(TMenuItem& item, MEASUREITEMSTRUCT& measure) override;
  void Draw(TMenuItem& item, const DRAWITEMSTRUCT& draw) override;

  void TakeDpi(int dpi);
  int Scaled(int px96) const;

  bool active_ = false;
  int dpi_ = 96;
  bool dpiSet_ = false;
  GdiObject<HFONT> font_;
  GdiObject<HFONT> boldFont_;
};
