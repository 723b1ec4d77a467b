// TTrayIconHandler: the one hidden window that receives the shell's callbacks for every tray icon.
#pragma once

#include <map>
#include <memory>

#include "framework/Win32.h"
#include "shell/HiddenWindow.h"

class TTrayIcon;

// Shared through Join(): created by the first icon, destroyed when the last one lets go. The shell
// calls back with the icon's identifier as first parameter; the handler maps it to the component.
class TTrayIconHandler {
  struct Key {};

 public:
  explicit TTrayIconHandler(Key);
  static std::shared_ptr<TTrayIconHandler> Join();

  HWND Handle() const { return window_.Handle(); }
  UINT Add(TTrayIcon* icon);  // returns the icon's identifier, unique in the process
  void Remove(UINT id);

 private:
  LRESULT Handle(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

  std::map<UINT, TTrayIcon*> icons_;
  THiddenWindow window_;
};

// The "TaskbarCreated" message when common controls are 4.71 or later; else 0, and an icon is not added
// again after the taskbar restarts.
UINT TaskbarCreatedMessage();
