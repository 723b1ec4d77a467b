// Message pumping, the exception recorder and pointer input for Windows tests.
#include "tests/support/TestSupport.h"

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <utility>

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

void RecordException(const std::wstring& message) {
  Recorded().push_back(message);
}
const std::vector<std::wstring>& RecordedExceptions() {
  return Recorded();
}
void ClearExceptions() {
  Recorded().clear();
}

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

bool PumpUntilQueueEmpty(unsigned timeoutMs) {
  return PumpUntil(
      [] {
        MSG msg;
        return !PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
      },
      timeoutMs);
}

void PumpFor(unsigned ms) {
  PumpUntil([] { return false; }, ms);
}

void MoveCursor(int x, int y) {
  SetCursorPos(x, y);
}

void InputMoveTo(int x, int y) {
  const int left = GetSystemMetrics(SM_XVIRTUALSCREEN), top = GetSystemMetrics(SM_YVIRTUALSCREEN);
  const int width = GetSystemMetrics(SM_CXVIRTUALSCREEN), height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
  INPUT input{};
  input.type = INPUT_MOUSE;
  // Normalised to 0..65535 across the desktop; the rounding lands on the pixel itself.
  input.mi.dx = static_cast<LONG>(((x - left) * 65536LL + 65535 / 2) / (width > 1 ? width : 1));
  input.mi.dy = static_cast<LONG>(((y - top) * 65536LL + 65535 / 2) / (height > 1 ? height : 1));
  input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK;
  SendInput(1, &input, sizeof(input));
}

void PressButton(bool right) {
  SendMouse(right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN);
}
void ReleaseButton(bool right) {
  SendMouse(right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP);
}

void ClickAt(int x, int y, bool right) {
  MoveCursor(x, y);
  PumpFor(50);
  PressButton(right);
  PumpFor(50);
  ReleaseButton(right);
}

int RunUnix(const std::wstring& commandLine, unsigned timeoutMs) {
  // Wine starts a Unix program from CreateProcessW without a process handle to wait on; ntdll's own
  // spawn waits for it. It blocks, so it runs on a thread of its own while this one handles messages.
  using Spawn = LONG(__cdecl*)(char* const argv[], int wait);
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  const auto spawn =
      ntdll ? reinterpret_cast<Spawn>(reinterpret_cast<void*>(GetProcAddress(ntdll, "__wine_unix_spawnvp")))
            : nullptr;
  if (!spawn) return -1;
  std::string command(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, commandLine.c_str(), -1, nullptr, 0,
                                                              nullptr, nullptr)),
                      '\0');
  WideCharToMultiByte(CP_UTF8, 0, commandLine.c_str(), -1, command.data(), static_cast<int>(command.size()),
                      nullptr, nullptr);
  struct Shared {
    std::string shell = "/bin/sh", flag = "-c", command;
    std::atomic<bool> done{false};
    std::atomic<LONG> status{-1};
  };
  auto shared = std::make_shared<Shared>();
  shared->command = command.c_str();
  std::thread runner([shared, spawn] {
    char* argv[] = {shared->shell.data(), shared->flag.data(), shared->command.data(), nullptr};
    shared->status = spawn(argv, 1);
    shared->done = true;
  });
  // Keep handling messages: the program may need our windows to answer.
  if (!PumpUntil([&] { return shared->done.load(); }, timeoutMs)) {
    runner.detach();  // still owns its copy of everything it touches
    return -1;
  }
  runner.join();
  return shared->status == 0 ? 0 : 1;
}

bool XMoveCursor(int x, int y) {
  return RunUnix(L"/usr/bin/xdotool mousemove " + std::to_wstring(x) + L" " + std::to_wstring(y)) == 0;
}

HWND FindOwnWindow(LPCWSTR className, LPCWSTR windowName) {
  const DWORD thread = GetCurrentThreadId();
  HWND window = nullptr;
  while ((window = FindWindowExW(nullptr, window, className, windowName)) != nullptr)
    if (GetWindowThreadProcessId(window, nullptr) == thread) return window;
  return nullptr;
}

namespace {
// The answer a running AnswerDialog waits to give: a thread timer's callback has no context of its own.
struct DialogAnswer {
  const std::function<void(HWND)>* answer;
  LPCWSTR title;
  bool answered;
};
DialogAnswer* pendingAnswer = nullptr;

void CALLBACK AnswerDialogTick(HWND, UINT, UINT_PTR, DWORD) {
  DialogAnswer* pending = pendingAnswer;
  if (!pending || pending->answered) return;
  HWND box = FindOwnWindow(L"#32770", pending->title);
  if (!box || !IsWindowVisible(box)) return;
  pending->answered = true;
  (*pending->answer)(box);
}
}  // namespace

bool AnswerDialog(const std::function<void()>& show, const std::function<void(HWND)>& answer, LPCWSTR title) {
  DialogAnswer state{&answer, title, false};
  struct Scope {
    DialogAnswer* outer;
    UINT_PTR timer;
    ~Scope() {
      KillTimer(nullptr, timer);
      pendingAnswer = outer;
    }
  } scope{std::exchange(pendingAnswer, &state), SetTimer(nullptr, 0, 50, AnswerDialogTick)};
  show();
  return state.answered;
}

POINT WindowCentre(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

}  // namespace testsupport
