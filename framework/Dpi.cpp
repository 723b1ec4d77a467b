// Dpi: the newer DPI calls are looked up at run time, so the program still starts where they are missing.
#include "framework/Dpi.h"

#include "framework/Handles.h"

namespace {
template <class Fn>
Fn Lookup(const wchar_t* module, const char* name) {
  HMODULE library = GetModuleHandleW(module);
  if (!library) library = LoadLibraryW(module);
  return library ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(library, name))) : nullptr;
}
}  // namespace

namespace Dpi {

int SystemDpi() {
  WindowDC screen(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
  return dpi > 0 ? dpi : kBase;
}

int ForWindow(HWND window) {
  using Fn = UINT(WINAPI*)(HWND);
  static const Fn getDpiForWindow = Lookup<Fn>(L"user32.dll", "GetDpiForWindow");
  if (getDpiForWindow && window) {
    if (const UINT dpi = getDpiForWindow(window)) return static_cast<int>(dpi);
  }
  return SystemDpi();
}

int ForPoint(POINT point) {
  // GetDpiForMonitor(monitor, MDT_EFFECTIVE_DPI = 0, &x, &y)
  using Fn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
  static const Fn getDpiForMonitor = Lookup<Fn>(L"shcore.dll", "GetDpiForMonitor");
  if (getDpiForMonitor) {
    UINT x = 0, y = 0;
    if (SUCCEEDED(getDpiForMonitor(MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST), 0, &x, &y)) && y) {
      return static_cast<int>(y);
    }
  }
  return SystemDpi();
}

}  // namespace Dpi
