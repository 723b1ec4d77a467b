// TSimpleTimerHandler: the one hidden window all simple timers of the process run on.
#pragma once

#include <memory>
#include <set>

#include "framework/Win32.h"
#include "shell/HiddenWindow.h"

class TSimpleTimer;

// Shared through Join(): created by the first timer, destroyed when the last one lets go.
class TSimpleTimerHandler {
  struct Key {};

 public:
  explicit TSimpleTimerHandler(Key);
  static std::shared_ptr<TSimpleTimerHandler> Join();

  HWND Handle() const { return window_.Handle(); }
  bool Start(TSimpleTimer* timer, unsigned interval);  // SetTimer with the timer's address as id
  void Stop(TSimpleTimer* timer);

 private:
  LRESULT Handle(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

  std::set<TSimpleTimer*> running_;  // a WM_TIMER still queued for a stopped timer is dropped
  THiddenWindow window_;
};
