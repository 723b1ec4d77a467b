// TTimer and the system timer under it: message timers on one shared window, running only when needed.
#pragma once

#include <functional>
#include <memory>

#include "framework/Component.h"

class TTimerWindow;  // the one window all timers of the process run on, alive while any timer exists

// One SetTimer timer, identified by its owner's address: the implementation behind TTimer and the shell's
// TSimpleTimer. Stopped at creation; an expiry still queued when it stops is dropped.
class TSystemTimer {
 public:
  // `expired` runs on each expiry and may free the owner; what it throws goes to the application.
  TSystemTimer(TObject* owner, std::function<void()> expired);
  TSystemTimer(const TSystemTimer&) = delete;
  TSystemTimer& operator=(const TSystemTimer&) = delete;
  ~TSystemTimer();

  void Start(unsigned interval);  // restarts a running timer; Running() says whether the system agreed
  void Stop();
  bool Running() const { return running_; }

 private:
  friend class TTimerWindow;
  TObject* owner_;
  std::function<void()> expired_;
  std::shared_ptr<TTimerWindow> window_;
  bool running_ = false;
};

class TTimer : public TComponent {
 public:
  explicit TTimer(TComponent* owner);

  unsigned Interval() const { return interval_; }
  void SetInterval(unsigned milliseconds);  // restarts a running timer
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  void SetOnTimer(TNotifyEvent handler);
  const TNotifyEvent& OnTimer() const { return onTimer_; }

  // True while a system timer exists: Enabled && Interval > 0 && OnTimer assigned.
  bool Running() const { return timer_.Running(); }

 protected:
  virtual void Timer();  // fires OnTimer

 private:
  void UpdateTimer();

  unsigned interval_ = 1000;
  bool enabled_ = true;
  TNotifyEvent onTimer_;
  TSystemTimer timer_{this, [this] { Timer(); }};
};
