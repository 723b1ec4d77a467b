// TScreen: desktop metrics from GetSystemMetrics, monitors from EnumDisplayMonitors.
#include "framework/Screen.h"

#include "framework/Win32.h"

TScreen* Screen = nullptr;

namespace {

vantel::ScreenRect FromRect(const RECT& r) {
  return vantel::ScreenRect{r.left, r.top, r.right, r.bottom};
}

// GetDpiForMonitor(monitor, MDT_EFFECTIVE_DPI = 0, &x, &y), looked up: shcore may be missing.
int MonitorDpi(HMONITOR monitor) {
  using Fn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
  static const Fn getDpiForMonitor = [] {
    HMODULE shcore = GetModuleHandleW(L"shcore.dll");
    if (!shcore) shcore = LoadLibraryW(L"shcore.dll");
    return shcore ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(shcore, "GetDpiForMonitor")))
                  : nullptr;
  }();
  UINT x = 0, y = 0;
  if (getDpiForMonitor && SUCCEEDED(getDpiForMonitor(monitor, 0, &x, &y)) && y > 0) {
    return static_cast<int>(y);
  }
  HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : vantel::kBaseDpi;
}

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  if (!GetMonitorInfoW(monitor, &info)) return TRUE;
  reinterpret_cast<vantel::MonitorList*>(data)->push_back(
      vantel::MonitorInfo{FromRect(info.rcMonitor), FromRect(info.rcWork), MonitorDpi(monitor),
                          (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
  return TRUE;
}

}  // namespace

TScreen::TScreen() {
  Screen = this;
}
TScreen::~TScreen() {
  if (Screen == this) Screen = nullptr;
}
int TScreen::DesktopLeft() const {
  return GetSystemMetrics(SM_XVIRTUALSCREEN);
}
int TScreen::DesktopTop() const {
  return GetSystemMetrics(SM_YVIRTUALSCREEN);
}
int TScreen::DesktopWidth() const {
  return GetSystemMetrics(SM_CXVIRTUALSCREEN);
}
int TScreen::DesktopHeight() const {
  return GetSystemMetrics(SM_CYVIRTUALSCREEN);
}
int TScreen::Width() const {
  return GetSystemMetrics(SM_CXSCREEN);
}
int TScreen::Height() const {
  return GetSystemMetrics(SM_CYSCREEN);
}

vantel::MonitorList TScreen::Monitors() const {
  if (monitorSource_) {
    vantel::MonitorList monitors = monitorSource_();
    if (!monitors.empty()) return monitors;
  }
  return SystemMonitors();
}

TMonitorSource TScreen::SetMonitorSource(TMonitorSource source) {
  TMonitorSource previous = std::move(monitorSource_);
  monitorSource_ = std::move(source);
  return previous;
}

vantel::MonitorList SystemMonitors() {
  vantel::MonitorList monitors;
  EnumDisplayMonitors(nullptr, nullptr, &AddMonitor, reinterpret_cast<LPARAM>(&monitors));
  if (monitors.empty()) {
    // No answer (a session without a display): the primary screen as the metrics give it.
    RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    const vantel::ScreenRect bounds = FromRect(work);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    monitors.push_back(vantel::MonitorInfo{bounds, FromRect(work), MonitorDpi(nullptr), true});
  }
  return monitors;
}

vantel::MonitorList CurrentMonitors() {
  return Screen ? Screen->Monitors() : SystemMonitors();
}
