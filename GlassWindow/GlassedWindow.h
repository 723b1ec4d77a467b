// TGlassedWindow: makes one window of this program's user-interface thread translucent.
#pragma once

#include <string_view>

#include "framework/Win32.h"

class TGlassedWindow {
 public:
  // Finds the first window of `className` (a name or a MAKEINTATOM class atom) and `windowName`
  // (nullptr: any name) and makes it `percent` % opaque. Does nothing for a percentage string that
  // is not accepted, for no window, and for a window of any other thread or process: only the
  // thread that owns the application's hidden window counts as ours.
  static void SetGlass(std::string_view percent, LPCWSTR className, LPCWSTR windowName);
};
