// Helpers for Windows tests: message pumping, the exception recorder and real pointer input.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "framework/Screen.h"
#include "framework/Win32.h"

namespace testsupport {

// Handles messages until `done` returns true or `timeoutMs` has passed; returns done().
bool PumpUntil(const std::function<bool()>& done, unsigned timeoutMs = 5000);
// Handles messages until none is waiting, so that whatever was queued has run; false after `timeoutMs`.
bool PumpUntilQueueEmpty(unsigned timeoutMs = 5000);
// Handles messages for `ms` milliseconds.
void PumpFor(unsigned ms);

// Messages that reached Application->OnException since the last ClearExceptions().
void RecordException(const std::wstring& message);  // the recorder WinTestMain installs
const std::vector<std::wstring>& RecordedExceptions();
void ClearExceptions();

// Moves the real pointer (SetCursorPos), in screen pixels.
void MoveCursor(int x, int y);
// Moves the pointer through SendInput (absolute, over the virtual desktop): the mouse-move message a
// real mouse makes, with the buttons held as they are. Safe from any thread.
void InputMoveTo(int x, int y);
// Presses / releases a mouse button at the current position (SendInput).
void PressButton(bool right);
void ReleaseButton(bool right);
void ClickAt(int x, int y, bool right = false);
// Runs a Unix shell command line, e.g. RunUnix(L"/usr/bin/xdotool mousemove 10 20"), handling messages
// meanwhile; waits up to `timeoutMs`. Returns 0 when it exited with 0, 1 when it failed, -1 when it could
// not be started or timed out.
int RunUnix(const std::wstring& commandLine, unsigned timeoutMs = 10000);
// xdotool's pointer move: goes through the X server as a user's move would.
bool XMoveCursor(int x, int y);

// FindWindowW limited to this thread's top-level windows. Test programs run side by side, and a
// plain FindWindowW can return a neighbour's dialog, menu or probe.
HWND FindOwnWindow(LPCWSTR className, LPCWSTR windowName = nullptr);

// Runs `show`, which shows a modal dialog box (#32770) on this thread. A timer of this thread, run by the
// box's own modal loop, hands the box to `answer` once it is up; `answer` reads it and closes it. With a
// `title`, only a box of that title counts. Returns whether a box was answered.
bool AnswerDialog(const std::function<void()>& show, const std::function<void(HWND)>& answer,
                  LPCWSTR title = nullptr);

// Centre of a window in screen pixels.
POINT WindowCentre(HWND window);

// For its life, Screen reports these monitors instead of the system's (Wine on Xvfb has one).
class FakeMonitors {
 public:
  explicit FakeMonitors(vantel::MonitorList monitors)
      : previous_(Screen->SetMonitorSource([monitors] { return monitors; })) {}
  ~FakeMonitors() { Screen->SetMonitorSource(std::move(previous_)); }
  FakeMonitors(const FakeMonitors&) = delete;
  FakeMonitors& operator=(const FakeMonitors&) = delete;

 private:
  TMonitorSource previous_;
};

}  // namespace testsupport
