// Helpers for Windows tests: message pumping, the exception recorder and real pointer input.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "framework/Win32.h"

namespace testsupport {

// Handles messages until `done` returns true or `timeoutMs` has passed; returns done().
bool PumpUntil(const std::function<bool()>& done, unsigned timeoutMs = 5000);
// Handles messages for `ms` milliseconds.
void PumpFor(unsigned ms);

// Messages that reached Application->OnException since the last ClearExceptions().
void RecordException(const std::wstring& message);  // the recorder WinTestMain installs
const std::vector<std::wstring>& RecordedExceptions();
void ClearExceptions();

// Moves the real pointer (SetCursorPos), in screen pixels.
void MoveCursor(int x, int y);
// Presses / releases a mouse button at the current position (SendInput).
void PressButton(bool right);
void ReleaseButton(bool right);
void ClickAt(int x, int y, bool right = false);
// Runs a Unix program (Wine starts it directly), e.g. RunUnix(L"/usr/bin/xdotool mousemove 10 20");
// waits up to `timeoutMs`; returns its exit code, or -1 when it could not be started or timed out.
int RunUnix(const std::wstring& commandLine, unsigned timeoutMs = 10000);
// xdotool's pointer move: goes through the X server as a user's move would.
bool XMoveCursor(int x, int y);

// Centre of a window in screen pixels.
POINT WindowCentre(HWND window);

}  // namespace testsupport
