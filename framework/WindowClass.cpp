// The link between a routed window and its object, and the default report of a failed message.
#include "framework/WindowClass.h"

#include "framework/Application.h"

void LinkWindowObject(HWND window, void* object) {
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
}

void UnlinkWindowObject(HWND window) {
  SetWindowLongPtrW(window, GWLP_USERDATA, 0);
}

void* LinkedWindowObject(HWND window) {
  return reinterpret_cast<void*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

LRESULT ReportWindowException() noexcept {
  HandleCurrentException(nullptr);
  return 0;
}
