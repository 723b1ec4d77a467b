// TSimpleTimer: interval, enabled and auto-disable over the framework's system timer.
#include "shell/SimpleTimer.h"

void TSimpleTimer::SetInterval(unsigned milliseconds) {
  interval_ = milliseconds;
  timer_.Stop();
  Update();
}

void TSimpleTimer::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Update();
}

void TSimpleTimer::Update() {
  const bool wanted = enabled_ && interval_ > 0;
  if (wanted && !timer_.Running()) {
    timer_.Start(interval_);
  } else if (!wanted) {
    timer_.Stop();
  }
}

void TSimpleTimer::Expired() {
  if (AutoDisable) SetEnabled(false);
  if (OnTimer) OnTimer(this);  // what it throws goes to the application (TSystemTimer)
}
