// THiddenWindow: class registration, creation and the message trampoline.
#include "shell/HiddenWindow.h"

#include "framework/Application.h"

THiddenWindow::THiddenWindow(const wchar_t* className, Handler handler) : handler_(std::move(handler)) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  EnsureWindowClass(className, &THiddenWindow::WindowProc);
  // A plain top-level window rather than a message-only one: the tray's handler must be able to
  // come to the foreground while its menu is open.
  window_.reset(CreateWindowExW(WS_EX_TOOLWINDOW, className, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                instance, this));
}

THiddenWindow::~THiddenWindow() {
  if (window_) SetWindowLongPtrW(window_.get(), GWLP_USERDATA, 0);
  window_.reset();
}

LRESULT CALLBACK THiddenWindow::WindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<THiddenWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self && self->handler_) {
    try {
      return self->handler_(window, msg, wParam, lParam);
    } catch (...) {
      HandleCurrentException(nullptr);
      return 0;
    }
  }
  return DefWindowProcW(window, msg, wParam, lParam);
}
