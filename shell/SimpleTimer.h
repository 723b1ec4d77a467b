// TSimpleTimer: the tray icon's timer, a TObject over the framework's system timer (framework/Timer.h).
#pragma once

#include "framework/Object.h"
#include "framework/Timer.h"

// The one hidden window all simple timers run on: the framework's timer window, shared with every TTimer.
using TSimpleTimerHandler = TTimerWindow;

// Created stopped. Runs while Enabled and Interval > 0; OnTimer fires on each expiry (Sender = the timer).
class TSimpleTimer : public TObject {
 public:
  TSimpleTimer() = default;
  explicit TSimpleTimer(unsigned interval) : interval_(interval) {}

  unsigned Interval() const { return interval_; }
  void SetInterval(unsigned milliseconds);  // restarts a running timer
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  void Start() { SetEnabled(true); }
  void Stop() { SetEnabled(false); }
  bool Running() const { return timer_.Running(); }  // a system timer exists right now

  bool AutoDisable = false;  // stop after the first expiry
  TNotifyEvent OnTimer;

 private:
  void Update();
  void Expired();

  unsigned interval_ = 1000;
  bool enabled_ = false;
  TSystemTimer timer_{this, [this] { Expired(); }};
};
