// TGlassedWindow: window lookup, the ownership check and the layered alpha.
#include "GlassWindow/GlassedWindow.h"

#include "GlassWindow/GlassLogic.h"
#include "framework/Application.h"

void TGlassedWindow::SetGlass(std::string_view percent, LPCWSTR className, LPCWSTR windowName) {
  const auto alpha = vantel::GlassAlpha(percent);
  if (!alpha) return;
  HWND window = FindWindowW(className, windowName);
  if (!window || !IsWindow(window)) return;
  // Without the application object there is no way to tell our UI thread: touch nothing.
  if (!Application) return;
  const DWORD ours = GetWindowThreadProcessId(Application->Handle(), nullptr);
  if (GetWindowThreadProcessId(window, nullptr) != ours) return;
  const LONG_PTR exStyle = GetWindowLongPtrW(window, GWL_EXSTYLE);
  SetWindowLongPtrW(window, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
  SetLayeredWindowAttributes(window, 0, *alpha, LWA_ALPHA);
}
