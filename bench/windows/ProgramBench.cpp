// The whole program from outside: start-up time to a shown ring, CPU used while idle and working set, for
// the worked example of the configuration format (three records: four segments and the centre), 40 and
// 400 stored buttons; beside a floor program of ours that only creates and pushes as many layered windows
// of the sizes the program's 40-button ring windows have. Runs alternate between the programs: the
// machine is shared, and whatever else it does falls on all of them alike.
//
// ProgramBench.exe [--runs N] [--runs-400 N, default 3] [--idle-seconds S] [--program path\to\Vantel.exe]
// ProgramBench.exe --floor FILE  (the floor program itself: one window per "width height" line of FILE,
//                                 written by the benchmark from the program's own ring windows)
// ProgramBench.exe --floor-ring FILE  (the same windows with the calls every ring window needs besides:
//                                      a drop target, a shape, and a show out of the topmost band)
#include "framework/Win32.h"

#include <ole2.h>
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

constexpr int kButtons = 40;  // stored ring segments of the main case
constexpr int kMany = 400;    // stored ring segments of the linearity case

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

// A drop target that takes nothing: what registering one costs is all the floor wants of it.
class TRefusingDropTarget : public IDropTarget {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = iid == IID_IUnknown || iid == IID_IDropTarget ? this : nullptr;
    return *object ? S_OK : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }  // static: never freed
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject*, DWORD, POINTL, DWORD* effect) override {
    *effect = DROPEFFECT_NONE;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) override {
    *effect = DROPEFFECT_NONE;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DragLeave() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Drop(IDataObject*, DWORD, POINTL, DWORD* effect) override {
    *effect = DROPEFFECT_NONE;
    return S_OK;
  }
};

// One window per size, each a filled pie of its box pushed once, all shown; then a hint window. With
// `ringCalls`, each ring window also gets what the program's must have: a drop target, a window region
// (under Wine the only way the pointer passes where the image is transparent) and a show that moves it
// out of the topmost band.
int RunFloor(const std::filesystem::path& sizesFile, bool ringCalls) {
  static TRefusingDropTarget dropTarget;
  if (ringCalls) OleInitialize(nullptr);
  Gdiplus::GdiplusStartupInput input;
  ULONG_PTR token = 0;
  Gdiplus::GdiplusStartup(&token, &input, nullptr);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"FloorRingWindow";
  RegisterClassExW(&wc);
  std::vector<SIZE> sizes;
  std::ifstream in(sizesFile);
  for (LONG w = 0, h = 0; in >> w >> h;) sizes.push_back(SIZE{w, h});
  const int middleX = GetSystemMetrics(SM_CXVIRTUALSCREEN) / 2,
            middleY = GetSystemMetrics(SM_CYVIRTUALSCREEN) / 2;
  auto make = [&](int x, int y, int w, int h) {
    return CreateWindowExW(WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_ACCEPTFILES,
                           wc.lpszClassName, L"", WS_POPUP, x, y, w, h, nullptr, nullptr, wc.hInstance,
                           nullptr);
  };
  Gdiplus::SolidBrush brush(Gdiplus::Color(210, 0, 128, 255));
  for (const SIZE& size : sizes) {
    HWND window = make(middleX - size.cx / 2, middleY - size.cy / 2, size.cx, size.cy);
    if (ringCalls) {
      RegisterDragDrop(window, &dropTarget);
      SetWindowRgn(window, CreateEllipticRgn(1, 1, size.cx - 1, size.cy - 1), FALSE);
    }
    Push(window, size.cx, size.cy, [&](Gdiplus::Graphics& g) {
      Gdiplus::GraphicsPath path(Gdiplus::FillModeAlternate);
      path.AddPie(1.0f, 1.0f, static_cast<float>(size.cx - 2), static_cast<float>(size.cy - 2), 0.0f, 360.0f);
      g.FillPath(&brush, &path);
    });
    if (ringCalls)
      SetWindowPos(
          window, HWND_NOTOPMOST, 0, 0, 0, 0,
          SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOCOPYBITS | SWP_DEFERERASE);
    else
      ShowWindow(window, SW_SHOWNA);
  }
  HWND hint = make(middleX - 150, 0, 300, 30);  // the name above the ring
  Push(hint, 300, 30, [](Gdiplus::Graphics&) {});
  ShowWindow(hint, SW_SHOWNA);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  Gdiplus::GdiplusShutdown(token);
  return 0;
}

// ---- the benchmark

using bench::Now;

struct Count {
  DWORD process = 0;
  bool shapedOnly = false;
  int ring = 0;
  bool messageBox = false;
  std::vector<SIZE> sizes;
};

// The shown layered windows of the process (with `shapedOnly`, those with a window region: the ring's,
// not the hint's) and their sizes.
int ShownRingWindows(DWORD process, bool shapedOnly, bool* messageBox, std::vector<SIZE>* sizes = nullptr) {
  Count count{process, shapedOnly, 0, false, {}};
  EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        auto* c = reinterpret_cast<Count*>(data);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner != c->process || !IsWindowVisible(window)) return TRUE;
        wchar_t name[64] = {};
        GetClassNameW(window, name, 64);
        if (std::wstring(name) == L"#32770") c->messageBox = true;
        if (!(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_LAYERED)) return TRUE;
        if (c->shapedOnly) {
          HRGN region = CreateRectRgn(0, 0, 0, 0);
          const int kind = GetWindowRgn(window, region);
          DeleteObject(region);
          if (kind == ERROR || kind == NULLREGION) return TRUE;
        }
        RECT r{};
        GetWindowRect(window, &r);
        ++c->ring;
        c->sizes.push_back(SIZE{r.right - r.left, r.bottom - r.top});
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&count));
  if (messageBox) *messageBox = count.messageBox;
  if (sizes) *sizes = std::move(count.sizes);
  return count.ring;
}

struct Figures {
  double startupSeconds = -1;  // process start to ring shown
  double idleCpuSeconds = -1;  // CPU used in the idle interval
  double workingSetMb = -1;
  std::vector<SIZE> sizes;  // of the shown ring's windows
};

// Starts `command` in `folder`, waits for the ring; optionally measures idle CPU and memory; ends it.
Figures RunOnce(const std::wstring& command, const std::string& needle, const std::filesystem::path& folder,
                int ringWindows, bool shapedOnly, double idleSeconds) {
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
    if (ShownRingWindows(info.dwProcessId, shapedOnly, &messageBox, &f.sizes) >= ringWindows) {
      f.startupSeconds = Now() - start;
      break;
    }
    if (messageBox) {
      std::fprintf(stderr, "the program shows a message box: no figure\n");
      break;
    }
    Sleep(1);
  }
  if (f.startupSeconds > 0 && idleSeconds >= 0) {
    Sleep(1000);  // what start-up queued (late paints) is done
    if (idleSeconds > 0) {
      const double before = bench::CpuSeconds(needle);
      Sleep(static_cast<DWORD>(idleSeconds * 1000));
      const double after = bench::CpuSeconds(needle);
      if (before >= 0 && after >= 0) f.idleCpuSeconds = after - before;
    }
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

// A configuration with `buttons` stored segments, each holding a program, so every segment draws an icon;
// 0 gives the worked example of the configuration format.
void WriteConfig(const std::filesystem::path& file, int buttons) {
  std::string bytes =
      "<?xml version=\"1.0\" encoding=\"GB2312\"?>\r\n<Settings HotColor=\"-65536\" "
      "DefaultColor=\"-16744193\">\r\n";
  if (buttons == 0) {
    bytes +=
        "  <ButtonInfo ButonType=\"1\" ButtonFilePath=\"C:\\Windows\\notepad.exe\" "
        "ButtonGuid=\"{0A1B2C3D-0000-4000-8000-0123456789AB}\"/>\r\n"
        "  <ButtonInfo ButonType=\"0\" ButtonFilePath=\"D:\\Tools &amp; Games\\Player.lnk\" "
        "ButtonGuid=\"{0A1B2C3D-0000-4000-8000-0123456789AC}\"/>\r\n"
        "  <ButtonInfo ButonType=\"0\" ButtonGuid=\"{0A1B2C3D-0000-4000-8000-0123456789AD}\"/>\r\n";
  }
  for (int i = 0; i < buttons; ++i) {
    char guid[64];
    std::snprintf(guid, sizeof(guid), "{0A1B2C3D-0000-4000-8000-%012X}", i + 1);
    bytes += std::string(
                 "  <ButtonInfo ButonType=\"0\" ButtonFilePath=\"C:\\windows\\notepad.exe\" ButtonGuid=\"") +
             guid + "\"/>\r\n";
  }
  bytes += "</Settings>\r\n";
  std::ofstream(file, std::ios::binary) << bytes;
}

// One configuration the program starts with: its own working folder and the ring it shows.
struct Case {
  const char* name;
  int buttons;      // stored segments (0: the worked example)
  int ringWindows;  // centre and segments
  std::filesystem::path folder;
  std::vector<double> times;   // start-up, microseconds
  std::vector<double> memory;  // working set after start-up, MB
};

double Median(std::vector<double> v) {
  if (v.empty()) return -1;
  std::sort(v.begin(), v.end());
  return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

void PrintRatio(const char* what, double numerator, double denominator, const char* goal) {
  if (numerator > 0 && denominator > 0)
    std::printf("  %-58s %6.2f  (goal: %s)\n", what, numerator / denominator, goal);
  else
    std::printf("  %-58s   n/a\n", what);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  int runs = 7;  // alternating: the programs share whatever else the machine is doing
  // The 400-button ring's icons never fit its slices: it grows to the screen's smaller side and stops.
  // Its runs take some seconds each, so fewer of them.
  int runsMany = 3;
  double idleSeconds = 10;
  std::filesystem::path program = SelfPath().parent_path().parent_path() / L"app" / L"Vantel.exe";
  for (int i = 1; i < argc; ++i) {
    const std::wstring a = argv[i];
    if (a == L"--floor" && i + 1 < argc) return RunFloor(argv[i + 1], false);
    if (a == L"--floor-ring" && i + 1 < argc) return RunFloor(argv[i + 1], true);
    if (a == L"--runs" && i + 1 < argc)
      runs = std::max(1, _wtoi(argv[++i]));
    else if (a == L"--runs-400" && i + 1 < argc)
      runsMany = std::max(0, _wtoi(argv[++i]));
    else if (a == L"--idle-seconds" && i + 1 < argc)
      idleSeconds = _wtof(argv[++i]);
    else if (a == L"--program" && i + 1 < argc)
      program = argv[++i];
  }
  // The pointer away from where the rings appear: no hover while the figures are taken.
  SetCursorPos(GetSystemMetrics(SM_CXVIRTUALSCREEN) - 5, GetSystemMetrics(SM_CYVIRTUALSCREEN) - 5);
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::filesystem::path root = std::filesystem::path(temp) / L"vantel-program-bench";
  Case example{"worked example (3 records)", 0, 5, root / L"example", {}, {}};
  Case forty{"40 stored buttons", kButtons, kButtons + 1, root / L"40", {}, {}};
  Case many{"400 stored buttons", kMany, kMany + 1, root / L"400", {}, {}};
  for (Case* c : {&example, &forty, &many}) {
    std::filesystem::create_directories(c->folder);
    WriteConfig(c->folder / L"SystemConfig.xml", c->buttons);
  }
  const std::wstring programCommand = L"\"" + program.wstring() + L"\"";
  auto runProgram = [&](Case& c, double idle) {
    return RunOnce(programCommand, "Vantel.exe", c.folder, c.ringWindows, true, idle);
  };
  // The floor pushes windows of the sizes the program's 40-button ring windows have (the ring grows as
  // icons stop fitting): a first, unmeasured run of the program tells them.
  const Figures first = runProgram(forty, -1);
  const std::filesystem::path sizesFile = root / L"ring-sizes.txt";
  {
    std::ofstream out(sizesFile);
    for (const SIZE& size : first.sizes) out << size.cx << ' ' << size.cy << '\n';
  }
  long long pixels = 0;
  LONG largest = 0;
  for (const SIZE& size : first.sizes) {
    pixels += static_cast<long long>(size.cx) * size.cy;
    largest = std::max({largest, size.cx, size.cy});
  }
  auto floorCommandWith = [&](const wchar_t* option) {
    return L"\"" + SelfPath().wstring() + L"\" " + option + L" \"" + sizesFile.wstring() + L"\"";
  };
  const std::wstring floorCommand = floorCommandWith(L"--floor");
  const std::wstring floorRingCommand = floorCommandWith(L"--floor-ring");
  const int floorWindows = static_cast<int>(first.sizes.size()) + 1;
  std::printf("The 40-button ring: %zu windows, %.2f Mpx in all, the largest side %ld px\n",
              first.sizes.size(), static_cast<double>(pixels) / 1e6, static_cast<long>(largest));
  std::printf("Start-up to a shown ring, %d alternating runs (400 buttons: %d), then working set after 1 s\n",
              runs, runsMany);
  std::vector<double> floorTimes, floorMemory, floorRingTimes;
  for (int r = 0; r < runs; ++r) {
    for (Case* c : {&example, &forty}) {
      const Figures f = runProgram(*c, 0);
      if (f.startupSeconds > 0) c->times.push_back(f.startupSeconds * 1e6);
      if (f.workingSetMb > 0) c->memory.push_back(f.workingSetMb);
    }
    const Figures f = RunOnce(floorCommand, "--floor", root, floorWindows, false, 0);
    if (f.startupSeconds > 0) floorTimes.push_back(f.startupSeconds * 1e6);
    if (f.workingSetMb > 0) floorMemory.push_back(f.workingSetMb);
    const Figures g = RunOnce(floorRingCommand, "--floor-ring", root, floorWindows, false, -1);
    if (g.startupSeconds > 0) floorRingTimes.push_back(g.startupSeconds * 1e6);
    if (r < runsMany) {
      const Figures m = runProgram(many, 0);
      if (m.startupSeconds > 0) many.times.push_back(m.startupSeconds * 1e6);
      if (m.workingSetMb > 0) many.memory.push_back(m.workingSetMb);
    }
  }
  bench::Table table("Start-up (microseconds)");
  for (Case* c : {&example, &forty, &many})
    if (!c->times.empty()) table.Add(bench::Summarise(std::string("Vantel.exe, ") + c->name, c->times));
  table.Add(bench::Summarise("floor: the 40-button ring's windows", floorTimes));
  table.Add(bench::Summarise("floor + drop targets, shapes, shows", floorRingTimes));
  table.Print();
  std::printf("\nWorking set (median MB): example %.1f, 40 buttons %.1f, 400 buttons %.1f, floor %.1f\n",
              Median(example.memory), Median(forty.memory), Median(many.memory), Median(floorMemory));
  std::printf("\nRatios (medians):\n");
  PrintRatio("working set, 40 buttons / worked example", Median(forty.memory), Median(example.memory),
             "at most 1.3");
  PrintRatio("start-up, 40 buttons / worked example", Median(forty.times), Median(example.times),
             "at most 2.0");
  PrintRatio("start-up, 40 buttons / floor of the same windows", Median(forty.times), Median(floorTimes),
             "at most 1.3");
  PrintRatio("start-up, floor + the ring windows' own calls / floor", Median(floorRingTimes),
             Median(floorTimes), "none: what the platform adds");
  PrintRatio("start-up, 40 buttons / floor + the ring windows' own calls", Median(forty.times),
             Median(floorRingTimes), "none: what the program adds");
  PrintRatio("start-up, 400 buttons / 40 buttons", Median(many.times), Median(forty.times), "at most 12");

  std::printf("\nIdle for %.0f s after start-up:\n", idleSeconds);
  const Figures p = runProgram(forty, idleSeconds);
  const Figures f = RunOnce(floorCommand, "--floor", root, floorWindows, false, idleSeconds);
  std::printf("  %-36s idle CPU %8.1f ms   working set %7.1f MB\n", "Vantel.exe, 40 stored buttons",
              p.idleCpuSeconds * 1000, p.workingSetMb);
  std::printf("  %-36s idle CPU %8.1f ms   working set %7.1f MB\n", "floor", f.idleCpuSeconds * 1000,
              f.workingSetMb);
  std::printf("  (goal: Vantel.exe idle CPU 0 ms)\n");
  std::error_code ignored;
  std::filesystem::remove_all(root, ignored);
  return 0;
}
