// Summoning the ring: from the hotkey's press to every ring window at its new place and shown, for the worked
// example and a 40-button ring, beside a floor program that moves as many windows of the same sizes in one
// batch when the same hotkey arrives. The hotkey is pressed with SendInput; the windows are watched from
// here. SummonBench.exe --program PATH [--runs N]   (the figures) SummonBench.exe --floor FILE (the floor:
// one layered window per "x y width height" line)
#include "framework/Win32.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/windows/BenchSupport.h"

namespace {

using bench::Now;
using bench::PressHotkey;
using bench::Rects;
using bench::RingWindows;
using bench::SameRects;
using bench::Start;
using bench::Stop;
using bench::WaitUntil;

constexpr POINT kPointer{400, 300};

// Every window moved off `before` by one and the same offset, and shown.
bool AllMoved(const std::vector<HWND>& windows, const std::vector<RECT>& before) {
  const std::vector<RECT> now = Rects(windows);
  if (now.empty()) return false;
  const LONG dx = now[0].left - before[0].left, dy = now[0].top - before[0].top;
  if (dx == 0 && dy == 0) return false;
  for (size_t i = 0; i < now.size(); ++i)
    if (now[i].left - before[i].left != dx || now[i].top - before[i].top != dy ||
        !IsWindowVisible(windows[i]))
      return false;
  return true;
}

// Summons and dismisses `runs` times; the summons' times in microseconds.
std::vector<double> MeasureSummons(const std::vector<HWND>& windows, int runs) {
  std::vector<double> times;
  const std::vector<RECT> home = Rects(windows);
  for (int i = 0; i < runs; ++i) {
    SetCursorPos(kPointer.x + (i % 2) * 200, kPointer.y);
    const double start = Now();
    PressHotkey();
    if (!WaitUntil([&] { return AllMoved(windows, home); }, 10)) break;
    times.push_back((Now() - start) * 1e6);
    PressHotkey();  // back
    if (!WaitUntil([&] { return SameRects(Rects(windows), home); }, 10)) break;
  }
  return times;
}

int RunFloor(const std::filesystem::path& file) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"FloorSummonWindow";
  RegisterClassW(&wc);
  std::vector<HWND> windows;
  std::vector<POINT> home;
  std::ifstream in(file);
  for (int x, y, w, h; in >> x >> y >> w >> h;) {
    HWND window = CreateWindowExW(WS_EX_LAYERED | WS_EX_TOOLWINDOW, wc.lpszClassName, L"", WS_POPUP, x, y, w,
                                  h, nullptr, nullptr, wc.hInstance, nullptr);
    SetLayeredWindowAttributes(window, 0, 150, LWA_ALPHA);
    HRGN region = CreateEllipticRgn(0, 0, w, h);
    SetWindowRgn(window, region, FALSE);
    ShowWindow(window, SW_SHOWNOACTIVATE);
    windows.push_back(window);
    home.push_back({x, y});
  }
  if (windows.empty() || !RegisterHotKey(windows[0], 1, MOD_CONTROL | MOD_ALT, VK_SPACE)) return 1;
  bool summoned = false;
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (msg.message != WM_HOTKEY) {
      DispatchMessageW(&msg);
      continue;
    }
    POINT pointer{};
    GetCursorPos(&pointer);
    RECT first{};
    GetWindowRect(windows[0], &first);
    const LONG dx = summoned ? 0 : pointer.x - (first.left + first.right) / 2 - (first.left - home[0].x);
    const LONG dy = summoned ? 0 : pointer.y - (first.top + first.bottom) / 2 - (first.top - home[0].y);
    HDWP batch = BeginDeferWindowPos(static_cast<int>(windows.size()));
    for (size_t i = 0; i < windows.size() && batch; ++i)
      batch = DeferWindowPos(batch, windows[i], summoned ? HWND_NOTOPMOST : HWND_TOPMOST, home[i].x + dx,
                             home[i].y + dy, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    if (batch) EndDeferWindowPos(batch);
    if (!summoned) SetForegroundWindow(windows[0]);
    summoned = !summoned;
  }
  return 0;
}

double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

void WriteConfig(const std::filesystem::path& file, int buttons) {
  std::string bytes =
      "<?xml version=\"1.0\" encoding=\"GB2312\"?>\r\n<Settings HotColor=\"-65536\" "
      "DefaultColor=\"-16744193\">\r\n";
  if (buttons == 0)
    bytes +=
        "  <ButtonInfo ButonType=\"1\" ButtonFilePath=\"C:\\Windows\\notepad.exe\" "
        "ButtonGuid=\"{0A1B2C3D-0000-4000-8000-0123456789AB}\"/>\r\n"
        "  <ButtonInfo ButonType=\"0\" ButtonFilePath=\"D:\\Tools &amp; Games\\Player.lnk\" "
        "ButtonGuid=\"{0A1B2C3D-0000-4000-8000-0123456789AC}\"/>\r\n"
        "  <ButtonInfo ButonType=\"0\" ButtonGuid=\"{0A1B2C3D-0000-4000-8000-0123456789AD}\"/>\r\n";
  for (int i = 0; i < buttons; ++i) {
    char guid[64];
    std::snprintf(guid, sizeof(guid), "{0A1B2C3D-0000-4000-8000-%012X}", i + 1);
    bytes += std::string(
                 "  <ButtonInfo ButonType=\"0\" ButtonFilePath=\"C:\\windows\\notepad.exe\" ButtonGuid=\"") +
             guid + "\"/>\r\n";
  }
  std::ofstream(file, std::ios::binary) << bytes << "</Settings>\r\n";
}

struct Figures {
  double program = 0, floor = 0;
  // The program's CPU over 10 s summoned and 10 s after going back (ms); working set before the first summon
  // and after the last (MB). -1 where not measured.
  double idleSummonedMs = -1, idleDismissedMs = -1, memoryBeforeMb = -1, memoryAfterMb = -1;
};

// CPU the program uses over 10 s of doing nothing, in ms.
double IdleCpuMs(const std::string& needle) {
  const double before = bench::CpuSeconds(needle);
  Sleep(10000);
  const double after = bench::CpuSeconds(needle);
  return before >= 0 && after >= 0 ? (after - before) * 1000 : -1;
}

// The program's summons with this configuration, then the floor's with windows of the same places and sizes.
Figures Measure(const std::filesystem::path& program, const std::filesystem::path& folder, int buttons,
                int windowsWanted, int runs, bool idle) {
  std::filesystem::create_directories(folder);
  WriteConfig(folder / L"SystemConfig.xml", buttons);
  std::filesystem::remove(folder / L"Vantel.ini");
  Figures figures;
  // Away from the ring: no hover shows the hint window, which is not one of the ring's.
  SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 5, GetSystemMetrics(SM_CYSCREEN) - 5);
  PROCESS_INFORMATION vantel = Start(L"\"" + program.wstring() + L"\"", folder);
  std::vector<HWND> windows;
  WaitUntil(
      [&] { return static_cast<int>((windows = RingWindows(vantel.dwProcessId)).size()) >= windowsWanted; },
      60);
  Sleep(1000);  // the icons settle: the ring is laid out for good
  windows = RingWindows(vantel.dwProcessId);
  const std::vector<RECT> rects = Rects(windows);
  figures.memoryBeforeMb = bench::HoldingsOf(vantel.hProcess, vantel.dwProcessId).WorkingSetMb;
  const std::vector<double> times = MeasureSummons(windows, runs);
  if (idle) {
    const std::string needle = program.string();  // this build's program, not another checkout's
    PressHotkey();
    WaitUntil([&] { return AllMoved(windows, rects); }, 10);
    figures.idleSummonedMs = IdleCpuMs(needle);
    PressHotkey();
    WaitUntil([&] { return SameRects(Rects(windows), rects); }, 10);
    figures.idleDismissedMs = IdleCpuMs(needle);
  }
  figures.memoryAfterMb = bench::HoldingsOf(vantel.hProcess, vantel.dwProcessId).WorkingSetMb;
  if (static_cast<int>(times.size()) < runs)
    std::printf("  (%d buttons: %zu of %d summons seen, %zu windows)\n", buttons, times.size(), runs,
                windows.size());
  figures.program = Median(times);
  Stop(vantel);
  const std::filesystem::path sizes = folder / L"floor.txt";
  {
    std::ofstream out(sizes);
    for (const RECT& r : rects)
      out << r.left << ' ' << r.top << ' ' << r.right - r.left << ' ' << r.bottom - r.top << '\n';
  }
  wchar_t self[MAX_PATH * 4] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH * 4);
  PROCESS_INFORMATION floor =
      Start(L"\"" + std::wstring(self) + L"\" --floor \"" + sizes.wstring() + L"\"", folder);
  WaitUntil([&] { return (windows = RingWindows(floor.dwProcessId)).size() == rects.size(); }, 30);
  Sleep(500);  // its hotkey registered
  figures.floor = Median(MeasureSummons(windows, runs));
  Stop(floor);
  return figures;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::filesystem::path program;
  int runs = 20;
  for (int i = 1; i + 1 < argc; ++i) {
    const std::wstring a = argv[i];
    if (a == L"--floor") return RunFloor(argv[i + 1]);
    if (a == L"--program")
      program = argv[++i];
    else if (a == L"--runs")
      runs = std::max(1, _wtoi(argv[++i]));
  }
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::filesystem::path root = std::filesystem::path(temp) / L"vantel-summon-bench";
  const Figures example = Measure(program, root / L"example", 0, 5, runs, true);
  const Figures forty = Measure(program, root / L"40", 40, 41, runs, false);
  std::printf("Summon, hotkey to every ring window moved (median of %d, microseconds):\n", runs);
  std::printf("  worked example: %.0f   floor of its 5 windows: %.0f   ratio %.2f (goal <= 1.2)\n",
              example.program, example.floor, example.floor > 0 ? example.program / example.floor : 0);
  std::printf("  40 buttons:     %.0f   floor of its 41 windows: %.0f   ratio %.2f (goal <= 1.2)\n",
              forty.program, forty.floor, forty.floor > 0 ? forty.program / forty.floor : 0);
  std::printf("  40 buttons / worked example: %.2f (goal <= 3)\n",
              example.program > 0 ? forty.program / example.program : 0);
  std::printf(
      "Worked example: idle CPU over 10 s summoned %.1f ms, after going back %.1f ms (goal 0); working set "
      "%.1f MB before the summons, %.1f MB after (goal: within 1 MB)\n",
      example.idleSummonedMs, example.idleDismissedMs, example.memoryBeforeMb, example.memoryAfterMb);
  return 0;
}
