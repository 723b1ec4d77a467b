// TTimer: system timers on one shared message-only window, alive only while some timer exists.
#include "framework/Timer.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "framework/Application.h"
#include "framework/Handles.h"
#include "framework/WindowClass.h"

struct TimerWindow {
  using Object = TimerWindow;  // its own window's route (WindowClass.h)

  UniqueWindow window;
  std::vector<TTimer*> timers;  // live timers; a WM_TIMER may still be queued for a freed one

  TimerWindow() = default;
  TimerWindow(const TimerWindow&) = delete;
  TimerWindow& operator=(const TimerWindow&) = delete;
  ~TimerWindow() {
    if (window) UnlinkWindowObject(window.get());  // its last messages need no timers
  }

  static LRESULT Message(TimerWindow& self, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  static TimerWindow& Acquire(TTimer* timer);
  static void Release(TTimer* timer);
  static HWND Handle();
};

namespace {
// Constant-initialised: no static-initialisation order to worry about.
std::unique_ptr<TimerWindow> sharedTimerWindow;
constexpr wchar_t kTimerClass[] = L"VantelTimerWindow";
}  // namespace

LRESULT TimerWindow::Message(TimerWindow& self, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_TIMER) {
    auto* timer = reinterpret_cast<TTimer*>(wParam);
    const auto& live = self.timers;
    if (std::find(live.begin(), live.end(), timer) != live.end() && timer->running_) {
      try {
        timer->Timer();  // may free the last timer, and with it this window: touch nothing after
      } catch (...) {
        HandleCurrentException(timer);
      }
    }
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

TimerWindow& TimerWindow::Acquire(TTimer* timer) {
  if (!sharedTimerWindow) {
    RegisterRoutedClass<TimerWindow>(kTimerClass);
    auto created = std::make_unique<TimerWindow>();
    created->window.reset(
        CreateRoutedWindow<TimerWindow>(*created, 0, kTimerClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE));
    sharedTimerWindow = std::move(created);
  }
  sharedTimerWindow->timers.push_back(timer);
  return *sharedTimerWindow;
}

void TimerWindow::Release(TTimer* timer) {
  if (!sharedTimerWindow) return;
  auto& live = sharedTimerWindow->timers;
  live.erase(std::remove(live.begin(), live.end(), timer), live.end());
  if (live.empty()) sharedTimerWindow.reset();
}

HWND TimerWindow::Handle() {
  return sharedTimerWindow ? sharedTimerWindow->window.get() : nullptr;
}

TTimer::TTimer(TComponent* owner) : TComponent(owner) {
  TimerWindow::Acquire(this);
}

TTimer::~TTimer() {
  onTimer_ = nullptr;
  UpdateTimer();
  TimerWindow::Release(this);
}

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
  HWND window = TimerWindow::Handle();
  const UINT_PTR id = reinterpret_cast<UINT_PTR>(this);
  if (running_) {
    KillTimer(window, id);
    running_ = false;
  }
  if (enabled_ && interval_ > 0 && onTimer_ && window)
    running_ = SetTimer(window, id, interval_, nullptr) != 0;
}

void TTimer::Timer() {
  const TNotifyEvent handler = onTimer_;  // the handler may free this timer
  if (handler) handler(this);
}
