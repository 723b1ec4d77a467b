// TSimpleTimer and its shared handler window.
#include "shell/SimpleTimer.h"

#include "framework/Application.h"
#include "shell/SimpleTimerHandler.h"

TSimpleTimerHandler::TSimpleTimerHandler(Key)
    : window_(L"TSimpleTimerHandler", [this](HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
        return Handle(window, msg, wParam, lParam);
      }) {}

std::shared_ptr<TSimpleTimerHandler> TSimpleTimerHandler::Join() {
  return JoinShared<TSimpleTimerHandler>([] { return std::make_shared<TSimpleTimerHandler>(Key{}); });
}

bool TSimpleTimerHandler::Start(TSimpleTimer* timer, unsigned interval) {
  if (!Handle() || !SetTimer(Handle(), reinterpret_cast<UINT_PTR>(timer), interval, nullptr)) return false;
  running_.insert(timer);
  return true;
}

void TSimpleTimerHandler::Stop(TSimpleTimer* timer) {
  if (running_.erase(timer) && Handle()) KillTimer(Handle(), reinterpret_cast<UINT_PTR>(timer));
}

LRESULT TSimpleTimerHandler::Handle(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_TIMER) {
    auto* timer = reinterpret_cast<TSimpleTimer*>(wParam);
    if (running_.count(timer)) timer->Expired();
    return 0;
  }
  return DefWindowProcW(window, msg, wParam, lParam);
}

TSimpleTimer::TSimpleTimer() : handler_(TSimpleTimerHandler::Join()) {}

TSimpleTimer::TSimpleTimer(unsigned interval) : TSimpleTimer() {
  interval_ = interval;
}

TSimpleTimer::~TSimpleTimer() {
  if (running_) handler_->Stop(this);
}

void TSimpleTimer::SetInterval(unsigned milliseconds) {
  interval_ = milliseconds;
  if (running_) {
    handler_->Stop(this);
    running_ = false;
  }
  Update();
}

void TSimpleTimer::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Update();
}

void TSimpleTimer::Update() {
  const bool wanted = enabled_ && interval_ > 0;
  if (wanted && !running_) {
    running_ = handler_->Start(this, interval_);
  } else if (!wanted && running_) {
    handler_->Stop(this);
    running_ = false;
  }
}

void TSimpleTimer::Expired() {
  if (AutoDisable) SetEnabled(false);
  if (!OnTimer) return;
  try {
    OnTimer(this);
  } catch (...) {
    HandleCurrentException(this);
  }
}
