// TMenuGlassTimer: the popup menu a ring button opens is made translucent while it is open.
#pragma once

#include <memory>

#include "framework/Timer.h"

class TComponent;

// A right press on a ring button starts it and the release or a leave stops it; meanwhile, every 10 ms,
// this program's open popup menu is made 65 % opaque (the menu appears at some point in between, and
// the system makes it without asking us).
class TMenuGlassTimer {
 public:
  explicit TMenuGlassTimer(TComponent* owner);  // stopped

  void Start() { timer_->SetEnabled(true); }
  void Stop() { timer_->SetEnabled(false); }
  TTimer& Timer() { return *timer_; }

 private:
  std::unique_ptr<TTimer> timer_;
};
