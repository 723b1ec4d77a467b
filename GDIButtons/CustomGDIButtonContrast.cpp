// TCustomGDIButton: the system's high-contrast mode and colours, and following a switch while it runs.
#include "GDIButtons/CustomGDIButton.h"

TCustomGDIButton::TContrastSource TCustomGDIButton::SetContrastSource(TContrastSource source) {
  const TContrastSource previous = contrastSource_;
  contrastSource_ = source ? source : &TCustomGDIButton::SystemContrast;
  return previous;
}

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
