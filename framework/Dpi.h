// DPI: pixels per inch of a window or a place on the desktop, and 96-dpi pixel figures scaled to it.
#pragma once

#include "framework/DpiScale.h"
#include "framework/Win32.h"

namespace Dpi {

inline constexpr int kBase = vantel::kBaseDpi;

[[nodiscard]] constexpr int Scale(int px96, int dpi) noexcept {
  return vantel::ScaleForDpi(px96, dpi);
}

// The desktop's DPI as the system reports it to this process (the primary monitor's at start-up).
int SystemDpi();
// The DPI of the monitor the window is on (GetDpiForWindow where the system has it), else the system's.
int ForWindow(HWND window);
// The DPI of the monitor that holds (or is nearest to) the point, else the system's.
int ForPoint(POINT point);

}  // namespace Dpi
