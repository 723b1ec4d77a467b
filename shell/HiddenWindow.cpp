// THiddenWindow: class registration, creation and the route of its messages to the handler.
#include "shell/HiddenWindow.h"

#include "framework/WindowClass.h"

struct THiddenWindow::WindowRoute {
  using Object = THiddenWindow;
  static LRESULT Message(THiddenWindow& self, HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (!self.handler_) return DefWindowProcW(window, msg, wParam, lParam);
    return self.handler_(window, msg, wParam, lParam);
  }
};

THiddenWindow::THiddenWindow(const wchar_t* className, Handler handler) : handler_(std::move(handler)) {
  RegisterRoutedClass<WindowRoute>(className);
  // A plain top-level window rather than a message-only one: the tray's handler must be able to
  // come to the foreground while its menu is open.
  window_.reset(CreateRoutedWindow<WindowRoute>(*this, WS_EX_TOOLWINDOW, className, L"", WS_POPUP, 0, 0, 0, 0,
                                                nullptr));
}

THiddenWindow::~THiddenWindow() {
  if (window_) UnlinkWindowObject(window_.get());  // its last messages go to DefWindowProcW
  window_.reset();
}
