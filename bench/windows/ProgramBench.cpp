// The whole program from outside: start-up time to a shown ring of 40 stored buttons, CPU used while idle,
// working set; each beside a floor program of ours that only creates and pushes the same 42 layered windows.
//
// ProgramBench.exe [--runs N] [--idle-seconds S] [--program path\to\Vantel.exe]
// ProgramBench.exe --floor N  (the floor program itself, with ring windows of N px; started by the benchmark,
//                              N being the size the program's own ring reaches)
#include "framework/Win32.h"

#include <psapi.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "bench/windows/BenchSupport.h"
#include "framework/GdiPlus.h"

namespace {

constexpr int kButtons = 40;      // stored ring segments
constexpr int kRingWindows = 41;  // the segments and the centre
constexpr int kRingSize = 180;    // a ring that never grew

// ---- the floor: 41 ring windows and a hint window, each rendered with GDI+ and pushed once

void Push(HWND window, int width, int height, const std::function<void(Gdiplus::Graphics&)>& draw) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  {
    Gdiplus::Graphics graphics(memory);
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    draw(graphics);
  }
  RECT r{};
  GetWindowRect(window, &r);
  POINT destination{r.left, r.top}, source{0, 0};
  SIZE size{width, height};
  BLENDFUNCTION blend{AC_SRC_OVER, 0, 150, AC_SRC_ALPHA};
  UpdateLayeredWindow(window, screen, &destination, &size, memory, &source, 0, &blend, ULW_ALPHA);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
}

int RunFloor(int ringSize) {
  Gdiplus::GdiplusStartupInput input;
  ULONG_PTR token = 0;
  Gdiplus::GdiplusStartup(&token, &input, nullptr);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"FloorRingWindow";
  RegisterClassExW(&wc);
  const int left = (GetSystemMetrics(SM_CXVIRTUALSCREEN) - ringSize) / 2;
  const int top = (GetSystemMetrics(SM_CYVIRTUALSCREEN) - ringSize) / 2;
  const float k = static_cast<float>(ringSize) / kRingSize;  // the 180 px ring's geometry, scaled
  auto make = [&](int x, int y, int w, int h) {
    return CreateWindowExW(WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_ACCEPTFILES,
                           wc.lpszClassName, L"", WS_POPUP, x, y, w, h, nullptr, nullptr, wc.hInstance,
                           nullptr);
  };
  Gdiplus::SolidBrush brush(Gdiplus::Color(210, 0, 128, 255));
  const float step = 360.0f / kButtons;
  for (int i = 0; i <= kButtons; ++i) {
    HWND window = make(left, top, ringSize, ringSize);
    Push(window, ringSize, ringSize, [&](Gdiplus::Graphics& g) {
      Gdiplus::GraphicsPath path(Gdiplus::FillModeAlternate);
      if (i == kButtons) {
        path.AddPie(54.0f * k, 54.0f * k, 72.0f * k, 72.0f * k, 0.0f, 360.0f);
      } else {
        path.AddPie(50.0f * k, 50.0f * k, 80.0f * k, 80.0f * k, i * step + 3, step - 6);
        path.AddPie(10.0f * k, 10.0f * k, 160.0f * k, 160.0f * k, i * step + 3, step - 6);
      }
      g.FillPath(&brush, &path);
    });
    ShowWindow(window, SW_SHOWNA);
  }
  HWND hint = make(left - 60, top - 30, 300, 30);  // the name above the ring: not square
  Push(hint, 300, 30, [](Gdiplus::Graphics&) {});
  ShowWindow(hint, SW_SHOWNA);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  Gdiplus::GdiplusShutdown(token);
  return 0;
}

// ---- the benchmark

double Now() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

struct Count {
  DWORD process = 0;
  int ring = 0;
  int side = 0;  // the largest ring window's side
  bool messageBox = false;
};

int ShownRingWindows(DWORD process, bool* messageBox, int* side = nullptr) {
  Count count{process, 0, 0, false};
  EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        auto* c = reinterpret_cast<Count*>(data);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner != c->process || !IsWindowVisible(window)) return TRUE;
        wchar_t name[64] = {};
        GetClassNameW(window, name, 64);
        if (std::wstring(name) == L"#32770") c->messageBox = true;
        RECT r{};
        GetWindowRect(window, &r);
        const LONG w = r.right - r.left, h = r.bottom - r.top;
        if ((GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_LAYERED) && w == h && w >= 100) {
          ++c->ring;
          c->side = std::max(c->side, static_cast<int>(w));
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&count));
  if (messageBox) *messageBox = count.messageBox;
  if (side) *side = count.side;
  return count.ring;
}

// Wine reports no CPU times for other processes: the Linux process's own account (/proc, seen on drive Z:)
// is read instead. The newest process whose command line holds `needle` is the one.
double CpuSeconds(const std::string& needle) {
  std::error_code error;
  int newest = -1;
  for (const auto& entry : std::filesystem::directory_iterator(L"Z:\\proc", error)) {
    const std::wstring name = entry.path().filename().wstring();
    if (name.empty() || name.find_first_not_of(L"0123456789") != std::wstring::npos) continue;
    std::ifstream in(entry.path() / L"cmdline", std::ios::binary);
    const std::string line((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (line.find(needle) != std::string::npos) newest = std::max(newest, std::stoi(name));
  }
  if (newest < 0) return -1;
  std::ifstream in(std::filesystem::path(L"Z:\\proc") / std::to_wstring(newest) / L"stat");
  const std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const size_t close = stat.rfind(')');
  if (close == std::string::npos) return -1;
  std::istringstream fields(stat.substr(close + 2));
  std::string field;
  double ticks = 0;
  for (int i = 0; i < 13 && fields >> field; ++i)
    if (i == 11 || i == 12) ticks += std::stod(field);  // utime, stime
  return ticks / 100.0;                                 // USER_HZ
}

struct Figures {
  double startupSeconds = -1;  // process start to ring shown
  double idleCpuSeconds = -1;  // CPU used in the idle interval
  double workingSetMb = -1;
  int ringSide = 0;  // the side of the shown ring's windows
};

// Starts `command` in `folder`, waits for the ring; optionally measures idle CPU and memory; ends it.
Figures RunOnce(const std::wstring& command, const std::string& needle, const std::filesystem::path& folder,
                double idleSeconds) {
  Figures f;
  std::wstring line = command;
  // The programs' own output (diagnostics) goes nowhere: the table stays readable.
  SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
  HANDLE nul = CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                           OPEN_EXISTING, 0, nullptr);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = startup.hStdOutput = startup.hStdError = nul;
  PROCESS_INFORMATION info{};
  const double start = Now();
  const BOOL started = CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                      folder.wstring().c_str(), &startup, &info);
  if (nul != INVALID_HANDLE_VALUE) CloseHandle(nul);
  if (!started) {
    std::fprintf(stderr, "could not start %ls\n", command.c_str());
    return f;
  }
  bool messageBox = false;
  while (Now() - start < 180) {
    if (ShownRingWindows(info.dwProcessId, &messageBox, &f.ringSide) >= kRingWindows) {
      f.startupSeconds = Now() - start;
      break;
    }
    if (messageBox) {
      std::fprintf(stderr, "the program shows a message box: no figure\n");
      break;
    }
    Sleep(1);
  }
  if (f.startupSeconds > 0 && idleSeconds > 0) {
    Sleep(1000);  // what start-up queued (late paints) is done
    const double before = CpuSeconds(needle);
    Sleep(static_cast<DWORD>(idleSeconds * 1000));
    const double after = CpuSeconds(needle);
    if (before >= 0 && after >= 0) f.idleCpuSeconds = after - before;
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof(memory);
    if (GetProcessMemoryInfo(info.hProcess, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                             sizeof(memory))) {
      f.workingSetMb = static_cast<double>(memory.WorkingSetSize) / (1024.0 * 1024.0);
    }
  }
  TerminateProcess(info.hProcess, 0);
  WaitForSingleObject(info.hProcess, 10000);
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  return f;
}

std::filesystem::path SelfPath() {
  wchar_t path[MAX_PATH * 4] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
  return path;
}

// A configuration with 40 stored segments, each holding a program, so every segment draws an icon.
void WriteConfig(const std::filesystem::path& file) {
  std::string bytes =
      "<?xml version=\"1.0\" encoding=\"GB2312\"?>\r\n<Settings HotColor=\"-16711936\" "
      "DefaultColor=\"-16744193\">\r\n";
  for (int i = 0; i < kButtons; ++i) {
    char guid[64];
    std::snprintf(guid, sizeof(guid), "{0A1B2C3D-0000-4000-8000-%012X}", i + 1);
    bytes += std::string(
                 "  <ButtonInfo ButonType=\"0\" ButtonFilePath=\"C:\\windows\\notepad.exe\" ButtonGuid=\"") +
             guid + "\"/>\r\n";
  }
  bytes += "</Settings>\r\n";
  std::ofstream(file, std::ios::binary) << bytes;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  int runs = 9;  // alternating: the two programs share whatever else the machine is doing
  double idleSeconds = 10;
  std::filesystem::path program = SelfPath().parent_path().parent_path() / L"app" / L"Vantel.exe";
  for (int i = 1; i < argc; ++i) {
    const std::wstring a = argv[i];
    if (a == L"--floor") return RunFloor(i + 1 < argc ? std::max(100, _wtoi(argv[i + 1])) : kRingSize);
    if (a == L"--runs" && i + 1 < argc)
      runs = std::max(1, _wtoi(argv[++i]));
    else if (a == L"--idle-seconds" && i + 1 < argc)
      idleSeconds = _wtof(argv[++i]);
    else if (a == L"--program" && i + 1 < argc)
      program = argv[++i];
  }
  // The pointer away from where the rings appear: no hover while the figures are taken.
  SetCursorPos(GetSystemMetrics(SM_CXVIRTUALSCREEN) - 5, GetSystemMetrics(SM_CYVIRTUALSCREEN) - 5);
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::filesystem::path folder = std::filesystem::path(temp) / L"vantel-program-bench";
  std::filesystem::create_directories(folder);
  WriteConfig(folder / L"SystemConfig.xml");

  const std::wstring programCommand = L"\"" + program.wstring() + L"\"";
  // The floor pushes windows of the size the program's ring reaches with these buttons (it grows as
  // icons stop fitting): a first, unmeasured run of the program tells it.
  const int ringSide = std::max(kRingSize, RunOnce(programCommand, "Vantel.exe", folder, 0).ringSide);
  const std::wstring floorCommand = L"\"" + SelfPath().wstring() + L"\" --floor " + std::to_wstring(ringSide);
  std::printf(
      "Start-up to a shown ring of %d stored buttons (%d ring windows of %d px), %d runs each, alternating\n",
      kButtons, kRingWindows, ringSide, runs);
  std::vector<double> programTimes, floorTimes;
  for (int r = 0; r < runs; ++r) {
    const Figures p = RunOnce(programCommand, "Vantel.exe", folder, 0);
    const Figures f = RunOnce(floorCommand, "--floor", folder, 0);
    if (p.startupSeconds > 0) programTimes.push_back(p.startupSeconds * 1e6);
    if (f.startupSeconds > 0) floorTimes.push_back(f.startupSeconds * 1e6);
  }
  bench::Table table("Start-up (microseconds)");
  const bench::Result& programResult = table.Add(bench::Summarise("Vantel.exe", programTimes));
  const bench::Result& floorResult = table.Add(bench::Summarise("floor: 42 layered windows", floorTimes));
  table.Print();
  if (floorResult.Median > 0)
    std::printf("start-up ratio (median, program / floor): %.2f  (goal: at most 1.5)\n",
                programResult.Median / floorResult.Median);

  std::printf("\nIdle for %.0f s after start-up, then memory:\n", idleSeconds);
  const Figures p = RunOnce(programCommand, "Vantel.exe", folder, idleSeconds);
  const Figures f = RunOnce(floorCommand, "--floor", folder, idleSeconds);
  std::printf("  %-28s idle CPU %8.1f ms   working set %7.1f MB\n", "Vantel.exe", p.idleCpuSeconds * 1000,
              p.workingSetMb);
  std::printf("  %-28s idle CPU %8.1f ms   working set %7.1f MB\n", "floor: 42 layered windows",
              f.idleCpuSeconds * 1000, f.workingSetMb);
  std::printf("  (goal: Vantel.exe idle CPU below 50 ms)\n");
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
  return 0;
}
