// Whole-program test helpers: pointer input through the X server, keys and buttons through SendInput,
// answering message boxes.
#include "tests/e2e/E2eSupport.h"

#include <gtest/gtest.h>

namespace e2e {

namespace {

void SendMouseFlags(DWORD flags) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  SendInput(1, &input, sizeof(input));
}

void SendKey(WORD vk, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = vk;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  SendInput(1, &input, sizeof(input));
}

// A pointer move may be asked again when xdotool hung (seen once, on a loaded machine): it lands where it
// would have. Clicks are never repeated.
void Xdotool(const std::wstring& arguments, bool again = false) {
  long code = RunUnix(L"/usr/bin/xdotool " + arguments);
  if (again && (code == 124 || code == -1)) code = RunUnix(L"/usr/bin/xdotool " + arguments);
  ASSERT_EQ(code, 0) << "xdotool " << std::string(arguments.begin(), arguments.end())
                     << (code == 124  ? " hung"
                         : code == -1 ? " (the shell never ran)"
                                      : "");
}

std::wstring Number(long v) {
  return std::to_wstring(v);
}

}  // namespace

// The pauses inside an xdotool line are a hand's pace: the program must see the move, the press and the
// release as events of their own.
namespace pointer {
POINT OnDisplay(int x, int y) {
  return {x - GetSystemMetrics(SM_XVIRTUALSCREEN), y - GetSystemMetrics(SM_YVIRTUALSCREEN)};
}

namespace {
std::wstring MoveArgs(long x, long y) {
  const POINT p = OnDisplay(x, y);
  return L"mousemove " + Number(p.x) + L" " + Number(p.y);
}
}  // namespace

void MoveTo(int x, int y) {
  Xdotool(MoveArgs(x, y), true);
}

void Click(int x, int y, int button) {
  Xdotool(MoveArgs(x, y) + L" sleep 0.1 click " + Number(button));
}

void DoubleClick(int x, int y) {
  Xdotool(MoveArgs(x, y) + L" sleep 0.1 click --repeat 2 --delay 60 1");
}

void Drag(POINT from, POINT to, int steps) {
  std::wstring args = MoveArgs(from.x, from.y) + L" sleep 0.1 mousedown 1 sleep 0.2";
  for (int i = 1; i <= steps; ++i) {
    const long x = from.x + (to.x - from.x) * i / steps;
    const long y = from.y + (to.y - from.y) * i / steps;
    args += L" " + MoveArgs(x, y) + L" sleep 0.05";
  }
  args += L" sleep 0.2 mouseup 1";
  Xdotool(args);
}
}  // namespace pointer

// The keys go in order into one queue; each caller waits for what its keys bring about.
namespace keyboard {
void Press(WORD vk) {
  SendKey(vk, false);
  SendKey(vk, true);
}

void Chord(std::initializer_list<WORD> modifiers, WORD vk) {
  for (WORD modifier : modifiers) SendKey(modifier, false);
  SendKey(vk, false);
  SendKey(vk, true);
  for (WORD modifier : modifiers) SendKey(modifier, true);
}

void Type(const std::wstring& text) {
  for (wchar_t c : text) Press(static_cast<WORD>(towupper(c)));
}
}  // namespace keyboard

void HoldMouseButton(bool right, bool down) {
  SendMouseFlags(right ? (down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP)
                       : (down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP));
}

std::vector<std::wstring> AnswerMessageBoxes(const VantelProcess& program, unsigned quietMs,
                                             const std::function<bool()>& until, unsigned limitMs) {
  std::vector<std::wstring> texts;
  const ULONGLONG end = GetTickCount64() + limitMs;
  ULONGLONG lastActivity = GetTickCount64();
  while (GetTickCount64() < end && program.Running()) {
    HWND box = program.MessageBoxWindow();
    if (!box) {
      if (GetTickCount64() - lastActivity >= quietMs && (!until || until())) break;
      WaitFor([&] { return program.MessageBoxWindow() != nullptr || !program.Running(); }, 50);
      continue;
    }
    texts.push_back(VantelProcess::MessageBoxText(box));
    HWND ok = GetDlgItem(box, IDOK);
    if (!ok) ok = FindWindowExW(box, nullptr, L"Button", nullptr);
    if (!ok) {
      ADD_FAILURE() << "a message box without a button";
      break;
    }
    // Its button shown and the input focus taken (Enter goes to the focus); a box that takes no focus
    // is answered all the same, by the pointer or, failing that, by Enter.
    WaitFor([&] { return IsWindowVisible(ok) && GetForegroundWindow() == box; }, 2000);
    // The pointer when the button can be reached; the ring's topmost windows may cover a box in the
    // middle of the screen, and then its default button is pressed with Enter, as a user would.
    const POINT at = Describe(ok).Centre();
    auto gone = [&] { return !IsWindow(box) || !IsWindowVisible(box); };
    const bool reachable = WindowFromPoint(at) == ok;
    if (reachable)
      pointer::Click(at.x, at.y);
    else
      keyboard::Press(VK_RETURN);
    if (!WaitFor(gone, 3000)) {
      if (reachable)
        keyboard::Press(VK_RETURN);
      else
        pointer::Click(at.x, at.y);
      if (!WaitFor(gone, 3000)) {
        ADD_FAILURE() << "the message box did not go away when it was answered";
        break;
      }
    }
    lastActivity = GetTickCount64();
  }
  return texts;
}

}  // namespace e2e
