// TTimer and TSystemTimer: system timers on one shared message-only window.
#include "framework/Timer.h"

#include <map>

#include "framework/Application.h"
#include "framework/Handles.h"
#include "framework/WindowClass.h"

class TTimerWindow {
 public:
  using Object = TTimerWindow;  // its own window's route (WindowClass.h)

  TTimerWindow();
  TTimerWindow(const TTimerWindow&) = delete;
  TTimerWindow& operator=(const TTimerWindow&) = delete;
  ~TTimerWindow() {
    if (window_) UnlinkWindowObject(window_.get());  // its last messages need no timers
  }

  // Created by the first timer, destroyed when the last one goes. UI thread only.
  static std::shared_ptr<TTimerWindow> Join();
  static LRESULT Message(TTimerWindow& self, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

  bool Start(TSystemTimer& timer, unsigned interval);
  void Stop(TSystemTimer& timer);

 private:
  static UINT_PTR Id(const TSystemTimer& timer) { return reinterpret_cast<UINT_PTR>(timer.owner_); }

  UniqueWindow window_;
  std::map<UINT_PTR, TSystemTimer*> running_;  // by id; a WM_TIMER for any other id is stale
};

namespace {
// Constant-initialised: no static-initialisation order to worry about.
std::weak_ptr<TTimerWindow> sharedTimerWindow;
constexpr wchar_t kTimerClass[] = L"VantelTimerWindow";
}  // namespace

TTimerWindow::TTimerWindow() {
  RegisterRoutedClass<TTimerWindow>(kTimerClass);
  window_.reset(CreateRoutedWindow<TTimerWindow>(*this, 0, kTimerClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE));
}

std::shared_ptr<TTimerWindow> TTimerWindow::Join() {
  std::shared_ptr<TTimerWindow> window = sharedTimerWindow.lock();
  if (!window) {
    window = std::make_shared<TTimerWindow>();
    sharedTimerWindow = window;
  }
  return window;
}

LRESULT TTimerWindow::Message(TTimerWindow& self, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg != WM_TIMER) return DefWindowProcW(hwnd, msg, wParam, lParam);
  const auto found = self.running_.find(wParam);
  if (found == self.running_.end()) return 0;
  // The expiry may free its timer, and with the last timer this window: copy what is needed first.
  const std::function<void()> expired = found->second->expired_;
  TObject* owner = found->second->owner_;
  try {
    expired();
  } catch (...) {
    HandleCurrentException(owner);
  }
  return 0;
}

bool TTimerWindow::Start(TSystemTimer& timer, unsigned interval) {
  if (!window_ || !SetTimer(window_.get(), Id(timer), interval, nullptr)) return false;
  running_[Id(timer)] = &timer;
  return true;
}

void TTimerWindow::Stop(TSystemTimer& timer) {
  if (running_.erase(Id(timer)) && window_) KillTimer(window_.get(), Id(timer));
}

TSystemTimer::TSystemTimer(TObject* owner, std::function<void()> expired)
    : owner_(owner), expired_(std::move(expired)), window_(TTimerWindow::Join()) {}

TSystemTimer::~TSystemTimer() {
  Stop();
}

void TSystemTimer::Start(unsigned interval) {
  Stop();
  running_ = window_->Start(*this, interval);
}

void TSystemTimer::Stop() {
  if (!running_) return;
  window_->Stop(*this);
  running_ = false;
}

TTimer::TTimer(TComponent* owner) : TComponent(owner) {}

void TTimer::SetInterval(unsigned milliseconds) {
  if (interval_ == milliseconds) return;
  interval_ = milliseconds;
  UpdateTimer();
}

void TTimer::SetEnabled(bool enabled) {
  if (enabled_ == enabled) return;
  enabled_ = enabled;
  UpdateTimer();
}

void TTimer::SetOnTimer(TNotifyEvent handler) {
  onTimer_ = std::move(handler);
  UpdateTimer();
}

void TTimer::UpdateTimer() {
  timer_.Stop();
  if (enabled_ && interval_ > 0 && onTimer_) timer_.Start(interval_);
}

void TTimer::Timer() {
  const TNotifyEvent handler = onTimer_;  // the handler may free this timer
  if (handler) handler(this);
}
