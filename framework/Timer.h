// TTimer: a message timer (SetTimer on one shared hidden window) that runs only when needed.
#pragma once

#include "framework/Component.h"

class TTimer : public TComponent {
 public:
  explicit TTimer(TComponent* owner);
  ~TTimer() override;

  unsigned Interval() const { return interval_; }
  void SetInterval(unsigned milliseconds);  // restarts a running timer
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  void SetOnTimer(TNotifyEvent handler);
  const TNotifyEvent& OnTimer() const { return onTimer_; }

  // True while a system timer exists: Enabled && Interval > 0 && OnTimer assigned.
  bool Running() const { return running_; }

 protected:
  virtual void Timer();  // fires OnTimer

 private:
  friend struct TimerWindow;
  void UpdateTimer();

  unsigned interval_ = 1000;
  bool enabled_ = true;
  bool running_ = false;
  TNotifyEvent onTimer_;
};
