// Message pumping, the exception recorder and pointer input for Windows tests.
#include "tests/support/TestSupport.h"

#include "framework/Application.h"
#include "framework/Handles.h"

namespace testsupport {

namespace {
std::vector<std::wstring>& Recorded() {
  static std::vector<std::wstring> recorded;
  return recorded;
}

void SendMouse(DWORD flags) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  SendInput(1, &input, sizeof(input));
}
}  // namespace

void RecordException(const std::wstring& message) { Recorded().push_back(message); }
const std::vector<std::wstring>& RecordedExceptions() { return Recorded(); }
void ClearExceptions() { Recorded().clear(); }

bool PumpUntil(const std::function<bool()>& done, unsigned timeoutMs) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  while (!done()) {
    if (GetTickCount64() >= end) return done();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    if (Application) {
      Application->ProcessMessages();
    } else {
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
    }
  }
  return true;
}

void PumpFor(unsigned ms) { PumpUntil([] { return false; }, ms); }

void MoveCursor(int x, int y) { SetCursorPos(x, y); }

void PressButton(bool right) { SendMouse(right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN); }
void ReleaseButton(bool right) { SendMouse(right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP); }

void ClickAt(int x, int y, bool right) {
  MoveCursor(x, y);
  PumpFor(50);
  PressButton(right);
  PumpFor(50);
  ReleaseButton(right);
}

int RunUnix(const std::wstring& commandLine, unsigned timeoutMs) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  std::wstring line = commandLine;  // CreateProcessW may write into it
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
    return -1;
  UniqueFile process(info.hProcess);
  UniqueFile thread(info.hThread);
  // Keep handling messages: the program may need our windows to answer.
  const bool finished = PumpUntil(
      [&] { return WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0; }, timeoutMs);
  if (!finished) return -1;
  DWORD code = 0;
  GetExitCodeProcess(process.get(), &code);
  return static_cast<int>(code);
}

bool XMoveCursor(int x, int y) {
  return RunUnix(L"/usr/bin/xdotool mousemove " + std::to_wstring(x) + L" " + std::to_wstring(y)) == 0;
}

POINT WindowCentre(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

}  // namespace testsupport
