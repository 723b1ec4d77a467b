// A window in a process of its own, for the translucency tests: "ForeignWindow <class name>" shows a
// window of that class and runs until it is closed (or for a minute at most).
#include "framework/Win32.h"

namespace {
LRESULT CALLBACK Proc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_DESTROY || (msg == WM_TIMER && wParam == 1)) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(window, msg, wParam, lParam);
}
}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR className, int) {
  if (!className || !*className) return 2;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = &Proc;
  wc.hInstance = instance;
  wc.lpszClassName = className;
  if (!RegisterClassExW(&wc)) return 3;
  HWND window = CreateWindowExW(WS_EX_TOOLWINDOW, className, L"foreign", WS_POPUP | WS_VISIBLE, 40, 40, 60,
                                60, nullptr, nullptr, instance, nullptr);
  if (!window) return 4;
  SetTimer(window, 1, 60000, nullptr);  // never outlives a test run that forgot it
  MSG msg{};
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  return 0;
}
