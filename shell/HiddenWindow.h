// THiddenWindow: a never-shown top-level window that hands its messages to one handler object.
#pragma once

#include <functional>
#include <memory>

#include "framework/Handles.h"
#include "framework/Win32.h"

// Used by the tray icons' shared handler window. The window class is
// registered on first use; the window is destroyed with the object.
class THiddenWindow {
 public:
  using Handler = std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)>;

  THiddenWindow(const wchar_t* className, Handler handler);
  THiddenWindow(const THiddenWindow&) = delete;
  THiddenWindow& operator=(const THiddenWindow&) = delete;
  ~THiddenWindow();

  HWND Handle() const { return window_.get(); }

 private:
  struct WindowRoute;  // routes the window's messages to the handler (framework/WindowClass.h)

  Handler handler_;
  UniqueWindow window_;
};

// Where JoinShared keeps the one T: a slot per T, whatever builds it.
template <class T>
inline std::weak_ptr<T> joinedShared;

// The one T its users share: `make` builds it for the first, and it is destroyed when the last lets go
// (the tray icons' shared handler window). UI thread only.
template <class T, class Make>
std::shared_ptr<T> JoinShared(Make make) {
  std::shared_ptr<T> held = joinedShared<T>.lock();
  if (!held) {
    held = make();
    joinedShared<T> = held;
  }
  return held;
}
