// TTrayIconHandler: shared callback window and the taskbar-restart message.
#include "shell/TrayIconHandler.h"

#include <shlwapi.h>

#include "shell/TrayIcon.h"

namespace {

DWORD CommonControlsVersion() {
  HMODULE module = LoadLibraryW(L"comctl32.dll");
  if (!module) return 0;
  DWORD version = 0;
  const auto get =
      reinterpret_cast<DLLGETVERSIONPROC>(reinterpret_cast<void*>(GetProcAddress(module, "DllGetVersion")));
  DLLVERSIONINFO info{};
  info.cbSize = sizeof(info);
  if (get && SUCCEEDED(get(&info))) version = MAKELONG(info.dwMinorVersion, info.dwMajorVersion);
  FreeLibrary(module);
  return version;
}

}  // namespace

UINT TaskbarCreatedMessage() {
  static const UINT message =
      CommonControlsVersion() >= 0x40047 ? RegisterWindowMessageW(L"TaskbarCreated") : 0;
  return message;
}

TTrayIconHandler::TTrayIconHandler(Key)
    : window_(L"TTrayIconHandler", [this](HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
        return Handle(window, msg, wParam, lParam);
      }) {}

std::shared_ptr<TTrayIconHandler> TTrayIconHandler::Join() {
  return JoinShared<TTrayIconHandler>([] { return std::make_shared<TTrayIconHandler>(Key{}); });
}

UINT TTrayIconHandler::Add(TTrayIcon* icon) {
  static UINT next = 1;
  const UINT id = next++;
  icons_[id] = icon;
  return id;
}

void TTrayIconHandler::Remove(UINT id) {
  icons_.erase(id);
}

LRESULT TTrayIconHandler::Handle(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case TTrayIcon::kCallbackMessage: {
      const auto found = icons_.find(static_cast<UINT>(wParam));
      if (found != icons_.end()) found->second->HandleCallback(static_cast<UINT>(lParam));
      return 0;
    }
    case WM_DESTROY:
    case WM_CLOSE:
    case WM_QUERYENDSESSION:
    case WM_QUIT:
    case WM_ENDSESSION:
    case WM_NCDESTROY:
      return 1;  // the window lives as long as its icons, whatever the session does
    default:
      return DefWindowProcW(window, msg, wParam, lParam);
  }
}
