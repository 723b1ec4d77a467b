// Whole-program test helpers: processes, windows of another process, X pointer input, keys, screenshots.
#include "tests/e2e/E2eSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <numbers>
#include <sstream>

namespace e2e {

namespace {

// Build paths come in as Unix paths; Wine shows the Unix root as drive Z:.
std::filesystem::path FromUnix(const char* unixPath) {
  std::wstring path = L"Z:";
  for (const char* p = unixPath; *p; ++p) path += *p == '/' ? L'\\' : static_cast<wchar_t>(*p);
  return std::filesystem::path(path);
}

std::wstring Quote(const std::filesystem::path& p) { return L"\"" + p.wstring() + L"\""; }

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

void Xdotool(const std::wstring& arguments) {
  const long code = RunUnix(L"/usr/bin/xdotool " + arguments);
  ASSERT_EQ(code, 0) << "xdotool " << std::string(arguments.begin(), arguments.end());
}

std::wstring Number(long v) { return std::to_wstring(v); }

}  // namespace

std::filesystem::path VantelProgram() { return FromUnix(VANTEL_E2E_PROGRAM); }
std::filesystem::path DragSourceProgram() { return FromUnix(VANTEL_E2E_DRAG_SOURCE); }
std::filesystem::path MarkerProgram() { return FromUnix(VANTEL_E2E_MARKER); }

std::string UnixPath(const std::filesystem::path& path) {
  using ToUnix = char*(CDECL*)(const wchar_t*);
  static const auto toUnix =
      reinterpret_cast<ToUnix>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  if (toUnix) {
    if (char* unix = toUnix(path.wstring().c_str())) {
      std::string result = unix;
      HeapFree(GetProcessHeap(), 0, unix);
      return result;
    }
  }
  std::string result;
  const std::wstring w = path.wstring();
  for (size_t i = w.rfind(L"Z:", 0) == 0 ? 2 : 0; i < w.size(); ++i)
    result += w[i] == L'\\' ? '/' : static_cast<char>(w[i]);
  return result;
}

bool WaitFor(const std::function<bool()>& done, unsigned limitMs, unsigned pollMs) {
  const ULONGLONG end = GetTickCount64() + limitMs;
  while (!done()) {
    if (GetTickCount64() >= end) return done();
    Sleep(pollMs);
  }
  return true;
}

long Run(const std::wstring& commandLine, unsigned limitMs) {
  std::wstring command = commandLine;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
    return -1;
  CloseHandle(info.hThread);
  long result = -1;
  if (WaitForSingleObject(info.hProcess, limitMs) == WAIT_OBJECT_0) {
    DWORD code = 0;
    GetExitCodeProcess(info.hProcess, &code);
    result = static_cast<long>(code);
  } else {
    TerminateProcess(info.hProcess, 1);
    WaitForSingleObject(info.hProcess, 5000);
  }
  CloseHandle(info.hProcess);
  return result;
}

long RunUnix(const std::wstring& command, unsigned limitMs) {
  // Wine starts a Unix program without a process handle to wait on: the shell leaves its exit code
  // in a file instead.
  static int counter = 0;
  const std::filesystem::path done =
      std::filesystem::current_path() / L"work" / (L"unix-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                                                   std::to_wstring(++counter) + L".done");
  std::filesystem::create_directories(done.parent_path());
  std::error_code ignored;
  std::filesystem::remove(done, ignored);
  const std::string doneUnix = UnixPath(done);
  const std::wstring line = L"/bin/sh -c \"" + command + L"; echo $? > '" +
                            std::wstring(doneUnix.begin(), doneUnix.end()) + L".part' && mv '" +
                            std::wstring(doneUnix.begin(), doneUnix.end()) + L".part' '" +
                            std::wstring(doneUnix.begin(), doneUnix.end()) + L"'\"";
  std::wstring mutableLine = line;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(nullptr, mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
    return -1;
  if (info.hThread) CloseHandle(info.hThread);
  if (info.hProcess) CloseHandle(info.hProcess);
  if (!WaitFor([&] { return std::filesystem::exists(done); }, limitMs, 10)) return -1;
  const long code = std::atol(ReadBytes(done).c_str());
  std::filesystem::remove(done, ignored);
  return code;
}

std::string ReadBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::filesystem::path& file, const std::string& bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// ---- work folders

WorkFolder::WorkFolder() {
  const auto* test = testing::UnitTest::GetInstance()->current_test_info();
  std::string name = test ? std::string(test->test_suite_name()) + "." + test->name() : "outside-a-test";
  std::replace(name.begin(), name.end(), '/', '_');
  path_ = std::filesystem::current_path() / L"work" / std::filesystem::path(name);
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
  std::filesystem::create_directories(path_);
}

WorkFolder::~WorkFolder() {
  const auto* test = testing::UnitTest::GetInstance()->current_test_info();
  if (test && test->result()->Failed()) {
    std::printf("[ work folder kept: %s ]\n", UnixPath(path_).c_str());
    return;
  }
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

// ---- windows of another process

WindowInfo Describe(HWND window) {
  WindowInfo info;
  info.handle = window;
  wchar_t buffer[512] = {};
  GetClassNameW(window, buffer, 512);
  info.className = buffer;
  const int length = GetWindowTextLengthW(window);
  if (length > 0) {
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), length + 1)));
    info.text = text;
  }
  GetWindowRect(window, &info.rect);
  info.exStyle = GetWindowLongPtrW(window, GWL_EXSTYLE);
  info.visible = IsWindowVisible(window) != FALSE;
  return info;
}

std::vector<WindowInfo> TopLevelWindows(DWORD processId) {
  struct Search {
    DWORD id;
    std::vector<WindowInfo> found;
  } search{processId, {}};
  EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<Search*>(data);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == s->id) s->found.push_back(Describe(window));
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::vector<WindowInfo> ChildWindows(HWND parent) {
  std::vector<WindowInfo> found;
  EnumChildWindows(
      parent,
      [](HWND window, LPARAM data) -> BOOL {
        reinterpret_cast<std::vector<WindowInfo>*>(data)->push_back(Describe(window));
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

// ---- the program

VantelProcess::VantelProcess(const std::filesystem::path& folder) {
  std::wstring command = Quote(VantelProgram());
  // Whatever the program prints stays out of the test log.
  SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
  HANDLE nul = CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                           OPEN_EXISTING, 0, nullptr);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = startup.hStdOutput = startup.hStdError = nul;
  PROCESS_INFORMATION info{};
  const BOOL started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                      folder.wstring().c_str(), &startup, &info);
  const DWORD error = GetLastError();
  if (nul != INVALID_HANDLE_VALUE) CloseHandle(nul);
  if (!started) {
    ADD_FAILURE() << "could not start " << VantelProgram().string() << ": error " << error;
    return;
  }
  CloseHandle(info.hThread);
  process_ = info.hProcess;
  id_ = info.dwProcessId;
}

VantelProcess::~VantelProcess() {
  Kill();
  if (process_) CloseHandle(process_);
}

bool VantelProcess::Running() const { return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }

bool VantelProcess::WaitForExit(unsigned limitMs) {
  return process_ && WaitForSingleObject(process_, limitMs) == WAIT_OBJECT_0;
}

void VantelProcess::Kill() {
  if (!Running()) return;
  TerminateProcess(process_, 99);
  WaitForSingleObject(process_, 10000);
}

HWND VantelProcess::MessageBoxWindow() const {
  for (const WindowInfo& w : Windows())
    if (w.visible && w.className == L"#32770") return w.handle;
  return nullptr;
}

std::wstring VantelProcess::MessageBoxText(HWND box) {
  std::wstring longest;
  for (const WindowInfo& child : ChildWindows(box))
    if (_wcsicmp(child.className.c_str(), L"Static") == 0 && child.text.size() > longest.size()) longest = child.text;
  return longest;
}

namespace {
int ringDpi = 96;
}  // namespace

void SetRingDpi(int dpi) { ringDpi = dpi; }

RECT RingSquare(const std::vector<WindowInfo>& windows) {
  // The disc's window is its box (diameter side / 2 - 18 at 96 dpi, plus 2 px each side for its
  // anti-aliased edge): the ring's square is twice its width less the edges and the scaled 36 px more,
  // around its middle (at 96 dpi: twice the width and 28 px more). The disc is the window
  // whose square so made holds the most of the others (the smallest such square: the slices reach close
  // to the ring's edge).
  RECT best{};
  int held = -1;
  for (const WindowInfo& disc : windows) {
    const LONG half = disc.Width() - 4 + MulDiv(18, ringDpi, 96);
    const POINT c = disc.Centre();
    const RECT square{c.x - half, c.y - half, c.x + half, c.y + half};
    int n = 0;
    for (const WindowInfo& w : windows) {
      RECT inside{};
      n += IntersectRect(&inside, &w.rect, &square) && EqualRect(&inside, &w.rect);
    }
    if (n > held || (n == held && square.right - square.left < best.right - best.left)) {
      best = square;
      held = n;
    }
  }
  return best;
}

std::vector<WindowInfo> VantelProcess::RingWindows() const {
  const int desktopWidth = GetSystemMetrics(SM_CXVIRTUALSCREEN);
  std::vector<WindowInfo> ring;
  for (const WindowInfo& w : Windows())
    if (w.visible && (w.exStyle & WS_EX_LAYERED) && w.Width() < desktopWidth) {
      // A ring window is shaped to its pie (the hint window is not): the box of its slice or disc.
      HRGN shape = CreateRectRgn(0, 0, 0, 0);
      const int kind = GetWindowRgn(w.handle, shape);
      DeleteObject(shape);
      if (kind != ERROR && kind != NULLREGION) ring.push_back(w);
    }
  // The hint window is shaped too (to its text), above the ring: outside the ring's square.
  const RECT square = RingSquare(ring);
  std::erase_if(ring, [&](const WindowInfo& w) {
    RECT inside{};
    return !IntersectRect(&inside, &w.rect, &square) || !EqualRect(&inside, &w.rect);
  });
  return ring;
}

HWND VantelProcess::MainWindow() const {
  for (const WindowInfo& w : Windows())
    if (w.className == L"VantelForm") return w.handle;
  return nullptr;
}

HWND VantelProcess::PopupMenuWindow() const {
  for (const WindowInfo& w : Windows())
    if (w.visible && w.className == L"#32768") return w.handle;
  return nullptr;
}

// ---- input

namespace pointer {
void MoveTo(int x, int y) { Xdotool(L"mousemove " + Number(x) + L" " + Number(y)); }

void Click(int x, int y, int button) {
  Xdotool(L"mousemove " + Number(x) + L" " + Number(y) + L" sleep 0.1 click " + Number(button));
}

void DoubleClick(int x, int y) {
  Xdotool(L"mousemove " + Number(x) + L" " + Number(y) + L" sleep 0.1 click --repeat 2 --delay 60 1");
}

void Drag(POINT from, POINT to, int steps) {
  std::wstring args = L"mousemove " + Number(from.x) + L" " + Number(from.y) + L" sleep 0.1 mousedown 1 sleep 0.2";
  for (int i = 1; i <= steps; ++i) {
    const long x = from.x + (to.x - from.x) * i / steps;
    const long y = from.y + (to.y - from.y) * i / steps;
    args += L" mousemove " + Number(x) + L" " + Number(y) + L" sleep 0.05";
  }
  args += L" sleep 0.2 mouseup 1";
  Xdotool(args);
}
}  // namespace pointer

namespace keyboard {
void Press(WORD vk) {
  SendKey(vk, false);
  SendKey(vk, true);
  Sleep(60);
}

void Chord(WORD modifier, WORD vk) {
  SendKey(modifier, false);
  SendKey(vk, false);
  SendKey(vk, true);
  SendKey(modifier, true);
  Sleep(60);
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
      Sleep(50);
      continue;
    }
    Sleep(150);  // let it finish drawing and take the input focus
    texts.push_back(VantelProcess::MessageBoxText(box));
    HWND ok = GetDlgItem(box, IDOK);
    if (!ok) ok = FindWindowExW(box, nullptr, L"Button", nullptr);
    if (!ok) {
      ADD_FAILURE() << "a message box without a button";
      break;
    }
    // The pointer when the button can be reached; the ring's topmost windows may cover a box in the
    // middle of the screen, and then its default button is pressed with Enter, as a user would.
    const POINT at = Describe(ok).Centre();
    auto gone = [&] { return !IsWindow(box) || !IsWindowVisible(box); };
    const bool reachable = WindowFromPoint(at) == ok;
    if (reachable) pointer::Click(at.x, at.y);
    else keyboard::Press(VK_RETURN);
    if (!WaitFor(gone, 3000)) {
      if (reachable) keyboard::Press(VK_RETURN);
      else pointer::Click(at.x, at.y);
      if (!WaitFor(gone, 3000)) {
        ADD_FAILURE() << "the message box did not go away when it was answered";
        break;
      }
    }
    lastActivity = GetTickCount64();
  }
  return texts;
}

// ---- screenshots

Screenshot Screenshot::Take(const std::filesystem::path& keepAs) {
  Screenshot shot;
  const std::filesystem::path raw = std::filesystem::current_path() / L"work" / L"screen.ppm";
  std::filesystem::create_directories(raw.parent_path());
  const std::string rawUnix = UnixPath(raw);
  if (RunUnix(L"/usr/bin/import -window root -depth 8 ppm:" + std::wstring(rawUnix.begin(), rawUnix.end())) != 0) {
    ADD_FAILURE() << "import could not take a screenshot";
    return shot;
  }
  const std::string bytes = ReadBytes(raw);
  // Binary PPM: "P6", width, height, maximum value, one whitespace, then RGB triples.
  std::istringstream header(bytes);
  std::string magic;
  int maxValue = 0;
  header >> magic >> shot.width_ >> shot.height_ >> maxValue;
  const auto offset = static_cast<size_t>(header.tellg()) + 1;
  if (magic != "P6" || maxValue != 255 ||
      bytes.size() < offset + static_cast<size_t>(shot.width_) * static_cast<size_t>(shot.height_) * 3) {
    ADD_FAILURE() << "unexpected screenshot format";
    shot.width_ = shot.height_ = 0;
    return shot;
  }
  shot.rgb_.assign(bytes.begin() + static_cast<std::ptrdiff_t>(offset), bytes.end());
  if (!keepAs.empty()) {
    const std::string keep = UnixPath(keepAs);
    RunUnix(L"/usr/bin/convert " + std::wstring(rawUnix.begin(), rawUnix.end()) + L" " +
        std::wstring(keep.begin(), keep.end()));
  }
  return shot;
}

Screenshot::Rgb Screenshot::At(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return {};
  const size_t i = (static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)) * 3;
  return {rgb_[i], rgb_[i + 1], rgb_[i + 2]};
}

int Screenshot::Count(const RECT& area, const std::function<bool(Rgb)>& test) const {
  int n = 0;
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x)
      if (test(At(x, y))) ++n;
  return n;
}

// ---- ring geometry

POINT AnglePoint(const RECT& ringRect, double degrees, double radiusShare) {
  const double size = ringRect.right - ringRect.left;
  const double outerRadius = (size - 20) / 2;
  const double a = degrees * std::numbers::pi / 180.0;
  const double cx = ringRect.left + size / 2, cy = ringRect.top + size / 2;
  return {static_cast<LONG>(std::lround(cx + std::cos(a) * outerRadius * radiusShare)),
          static_cast<LONG>(std::lround(cy + std::sin(a) * outerRadius * radiusShare))};
}

POINT SegmentPoint(const RECT& ringRect, int index, int count) {
  const double step = 360.0 / count;
  return AnglePoint(ringRect, index * step + step / 2);
}

std::string ConfigBytes(long long hotColor, long long defaultColor, const std::vector<Record>& records) {
  std::string bytes = "<?xml version=\"1.0\" encoding=\"GB2312\"?>\r\n<Settings HotColor=\"" +
                      std::to_string(hotColor) + "\" DefaultColor=\"" + std::to_string(defaultColor) + "\">";
  if (records.empty()) return bytes + "</Settings>\r\n";
  bytes += "\r\n";
  for (const Record& r : records) {
    bytes += "  <ButtonInfo ButonType=\"" + std::to_string(r.kind) + "\"";
    if (!r.path.empty()) bytes += " ButtonFilePath=\"" + r.path + "\"";
    if (!r.guid.empty()) bytes += " ButtonGuid=\"" + r.guid + "\"";
    bytes += "/>\r\n";
  }
  return bytes + "</Settings>\r\n";
}

std::string TestGuid(int n) {
  char text[64];
  std::snprintf(text, sizeof(text), "{0A1B2C3D-0000-4000-8000-%012X}", n);
  return text;
}

std::string ConfigPath(const std::filesystem::path& path) {
  std::string result;
  for (wchar_t c : path.wstring()) {
    EXPECT_LT(c, 0x80) << "the tests keep to ASCII paths";
    result += static_cast<char>(c);
  }
  return result;
}

std::string WithoutLine(const std::string& bytes, int index) {
  size_t start = 0;
  for (int i = 0; i < index && start != std::string::npos; ++i) {
    start = bytes.find("\r\n", start);
    if (start != std::string::npos) start += 2;
  }
  if (start == std::string::npos) return bytes;
  const size_t end = bytes.find("\r\n", start);
  return end == std::string::npos ? bytes.substr(0, start) : bytes.substr(0, start) + bytes.substr(end + 2);
}

std::vector<HWND> TrayIconWindows() {
  std::vector<WindowInfo> icons;
  // Wine keeps the icons in a tray window of its own: the X11 driver's stand-alone tray, or explorer's.
  for (const wchar_t* trayClass : {L"__winex11_standalone_tray", L"Shell_TrayWnd"})
    for (HWND tray = FindWindowExW(nullptr, nullptr, trayClass, nullptr); tray;
         tray = FindWindowExW(nullptr, tray, trayClass, nullptr))
      for (const WindowInfo& child : ChildWindows(tray))
        if ((child.className == L"__winex11_tray_icon" || child.className == L"__wine_tray_icon") && child.visible)
          icons.push_back(child);
  std::sort(icons.begin(), icons.end(), [](const WindowInfo& a, const WindowInfo& b) { return a.rect.left < b.rect.left; });
  std::vector<HWND> handles;
  for (const WindowInfo& w : icons) handles.push_back(w.handle);
  return handles;
}

}  // namespace e2e
