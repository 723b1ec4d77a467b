// TCustomGDIButton: the system's high-contrast mode and colours, and following a switch while it runs.
#include "GDIButtons/CustomGDIButton.h"
#include "xml/ConfigFormat.h"

#include <cmath>

vantel::ContrastScheme TCustomGDIButton::SystemContrast() {
  vantel::ContrastScheme scheme;
  HIGHCONTRASTW mode{};
  mode.cbSize = sizeof(mode);
  scheme.HighContrast = SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(mode), &mode, 0) &&
                        (mode.dwFlags & HCF_HIGHCONTRASTON) != 0;
  // Out of high contrast the ring draws in its own colours: a change of the system's then asks for nothing.
  if (!scheme.HighContrast) return scheme;
  scheme.Window = ColorRefToARGB(GetSysColor(COLOR_WINDOW));
  scheme.WindowText = ColorRefToARGB(GetSysColor(COLOR_WINDOWTEXT));
  scheme.Highlight = ColorRefToARGB(GetSysColor(COLOR_HIGHLIGHT));
  return scheme;
}

void TCustomGDIButton::ReadContrast() {
  const vantel::ContrastScheme scheme = contrastSource_();
  if (scheme == contrast_) return;
  contrast_ = scheme;
  // The next paint renders in the new colours; a hidden window renders them when it shows.
  Invalidate();
}

void TCustomGDIButton::DrawOutline(Gdiplus::Graphics& graphics, TARGB color, const TPieRect& rect) {
  // Where the window colour meets itself or a window-coloured desktop, the slices still stand apart. The
  // line follows the filled shape's own edges (the pies it is made of also run to the middle) and stays
  // within the window's fringe.
  Gdiplus::Pen pen(Gdiplus::Color(color), 1.0f);
  const bool segment = buttonKind_ == ConfigFormat::KindSegment;
  if (std::abs(rect.SweepAngle) >= 360.0f) {
    graphics.DrawEllipse(&pen, outerRect_.X, outerRect_.Y, outerRect_.Width, outerRect_.Height);
    if (segment) graphics.DrawEllipse(&pen, innerRect_.X, innerRect_.Y, innerRect_.Width, innerRect_.Height);
    return;
  }
  if (!segment) {
    graphics.DrawPie(&pen, outerRect_.X, outerRect_.Y, outerRect_.Width, outerRect_.Height, rect.StartAngle,
                     rect.SweepAngle);
    return;
  }
  Gdiplus::GraphicsPath edge;
  edge.AddArc(outerRect_.X, outerRect_.Y, outerRect_.Width, outerRect_.Height, rect.StartAngle,
              rect.SweepAngle);
  edge.AddArc(innerRect_.X, innerRect_.Y, innerRect_.Width, innerRect_.Height,
              rect.StartAngle + rect.SweepAngle, -rect.SweepAngle);
  edge.CloseFigure();
  graphics.DrawPath(&pen, &edge);
}
