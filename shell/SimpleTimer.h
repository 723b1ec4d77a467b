// TSimpleTimer: a message timer identified by its own address, run on the shared timer window.
#pragma once

#include <memory>

#include "framework/Object.h"

class TSimpleTimerHandler;

// Created stopped. Runs while Enabled and Interval > 0; OnTimer fires on each expiry (Sender = the timer).
class TSimpleTimer : public TObject {
 public:
  TSimpleTimer();
  explicit TSimpleTimer(unsigned interval);
  ~TSimpleTimer() override;

  unsigned Interval() const { return interval_; }
  void SetInterval(unsigned milliseconds);  // restarts a running timer
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  void Start() { SetEnabled(true); }
  void Stop() { SetEnabled(false); }
  bool Running() const { return running_; }  // a system timer exists right now

  bool AutoDisable = false;  // stop after the first expiry
  TNotifyEvent OnTimer;

 private:
  friend class TSimpleTimerHandler;
  void Update();
  void Expired();

  std::shared_ptr<TSimpleTimerHandler> handler_;
  unsigned interval_ = 1000;
  bool enabled_ = false;
  bool running_ = false;
};
