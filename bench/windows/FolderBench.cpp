// Folder rings from outside. In one run of the program, whose ring holds 24 segments (25 windows, as many as
// a full folder ring) and two folder segments, alternately: the hotkey's summons of that ring, and a click
// on each folder segment (a folder of 24 files, one of 10,000), each timed to every window of its ring
// shown at its final place; a ring window shows only once its picture is pushed. Then 100 openings and
// closings of a folder ring (Esc and a click elsewhere, in turn), with the program's memory and GDI and
// USER objects before and after.
//
// FolderBench.exe --program PATH [--runs N] [--cycles N]   (folders and configuration go in the current
// folder)
#include "framework/Win32.h"

#include <oleacc.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "bench/windows/BenchSupport.h"

namespace {

using bench::Now;
using bench::SameRects;
using bench::WaitUntil;

constexpr int kSegments = 24;
constexpr int kFew = 24, kMany = 10000;  // files of the two folders
constexpr double kLimit = 30;            // seconds any one state may take before the run gives up

// `files` empty files in `folder` (those already there stay).
void FillFolder(const std::filesystem::path& folder, int files) {
  std::filesystem::create_directories(folder);
  for (int i = 1; i <= files; ++i) {
    const std::filesystem::path file = folder / (L"Document " + std::to_wstring(i) + L".txt");
    HANDLE h =
        CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
}

// Segment 1 opens `few`, segment 2 `many`, the others Notepad.
void WriteConfig(const std::filesystem::path& file, const std::filesystem::path& few,
                 const std::filesystem::path& many) {
  std::string bytes =
      "<?xml version=\"1.0\" encoding=\"GB2312\"?>\r\n<Settings HotColor=\"-65536\" "
      "DefaultColor=\"-16744193\">\r\n";
  for (int i = 0; i < kSegments; ++i) {
    char guid[64];
    std::snprintf(guid, sizeof(guid), "{0A1B2C3D-0000-4000-8000-%012X}", i + 1);
    const std::string path = i == 0 ? few.string() : i == 1 ? many.string() : "C:\\windows\\notepad.exe";
    bytes +=
        "  <ButtonInfo ButonType=\"0\" ButtonFilePath=\"" + path + "\" ButtonGuid=\"" + guid + "\"/>\r\n";
  }
  std::ofstream(file, std::ios::binary) << bytes << "</Settings>\r\n";
}

// The file a ring window's accessible object names.
std::wstring FileOf(HWND window) {
  IAccessible* object = nullptr;
  if (AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                 reinterpret_cast<void**>(&object)) != S_OK)
    return {};
  VARIANT self{};
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  BSTR text = nullptr;
  std::wstring file;
  if (object->get_accDescription(self, &text) == S_OK && text) file = text;
  SysFreeString(text);
  object->Release();
  return file;
}

// A point on `window`'s slice (the pointer finds the window there), the middle of them; {-1, -1} if none.
POINT PointOn(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  std::vector<POINT> on;
  for (LONG y = r.top + 2; y < r.bottom; y += 4)
    for (LONG x = r.left + 2; x < r.right; x += 4)
      if (WindowFromPoint({x, y}) == window) on.push_back({x, y});
  if (on.empty()) return {-1, -1};
  long long sx = 0, sy = 0;
  for (const POINT& p : on) sx += p.x, sy += p.y;
  const POINT middle{static_cast<LONG>(sx / static_cast<long long>(on.size())),
                     static_cast<LONG>(sy / static_cast<long long>(on.size()))};
  return *std::min_element(on.begin(), on.end(), [&](const POINT& a, const POINT& b) {
    auto d = [&](const POINT& p) {
      return (p.x - middle.x) * (p.x - middle.x) + (p.y - middle.y) * (p.y - middle.y);
    };
    return d(a) < d(b);
  });
}

std::vector<RECT> Sorted(std::vector<RECT> rects) {
  std::sort(rects.begin(), rects.end(), [](const RECT& a, const RECT& b) {
    return std::tie(a.left, a.top, a.right, a.bottom) < std::tie(b.left, b.top, b.right, b.bottom);
  });
  return rects;
}

// Whether `now` is `layout` moved by one and the same offset (by none when `moved` is false): the ring
// drawn whole, wherever the pointer put it.
bool SameLayout(const std::vector<RECT>& now, const std::vector<RECT>& layout, bool moved = false) {
  if (now.empty() || now.size() != layout.size()) return false;
  const LONG dx = now[0].left - layout[0].left, dy = now[0].top - layout[0].top;
  if (moved && dx == 0 && dy == 0) return false;
  for (size_t i = 0; i < now.size(); ++i) {
    RECT r = layout[i];
    OffsetRect(&r, dx, dy);
    if (!EqualRect(&r, &now[i])) return false;
  }
  return true;
}

LONG Widest(const std::vector<RECT>& rects) {
  LONG widest = 0;
  for (const RECT& r : rects) widest = std::max(widest, r.right - r.left);
  return widest;
}

class Program {
 public:
  Program(const std::filesystem::path& exe, const std::filesystem::path& folder)
      : process_(bench::Start(L"\"" + exe.wstring() + L"\"", folder)) {}
  ~Program() { bench::Stop(process_); }
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  bool Running() const {
    return process_.hProcess && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
  }
  DWORD Id() const { return process_.dwProcessId; }
  HANDLE Handle() const { return process_.hProcess; }

  // The ring windows that are not the main ring's: the folder rings'.
  std::vector<HWND> FolderRingWindows() const {
    std::vector<HWND> windows = bench::RingWindows(process_.dwProcessId);
    std::erase_if(windows, [&](HWND w) { return std::find(main.begin(), main.end(), w) != main.end(); });
    return windows;
  }
  // Waits until what the program's loop holds now is handled.
  void Sync() const {
    DWORD_PTR ignored = 0;
    if (!main.empty()) SendMessageTimeoutW(main.front(), WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored);
  }
  // Puts the pointer at `at` once the program's loop has handled what X reported of its earlier moves (a
  // late report would put it back where it was).
  void PlacePointer(POINT at) const {
    for (int i = 0; i < 50; ++i) {
      SetCursorPos(at.x, at.y);
      Sync();
      bench::PumpMessages();
      POINT now{};
      if (GetCursorPos(&now) && now.x == at.x && now.y == at.y) return;
    }
  }
  // Clicks with the left button at `at`, never so soon after the last click that the two make a
  // double-click; when the press went.
  double Click(POINT at) {
    const double gap = GetDoubleClickTime() / 1000.0 + 0.05;
    WaitUntil([&] { return Now() - lastClick_ > gap; }, gap + 1);
    PlacePointer(at);
    // The move again with the press, in one input: no late report of another place comes between.
    INPUT press[3] = {};
    press[0].type = press[1].type = press[2].type = INPUT_MOUSE;
    press[0].mi.dx = MulDiv(at.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    press[0].mi.dy = MulDiv(at.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    press[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    press[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    press[2].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    lastClick_ = Now();
    SendInput(3, press, sizeof(INPUT));
    return lastClick_;
  }

  std::vector<HWND> main;  // the main ring's windows

 private:
  PROCESS_INFORMATION process_;
  double lastClick_ = 0;
};

bool Same(const std::vector<RECT>& a, const std::vector<RECT>& b) {
  return SameRects(a, b);
}
bool Same(const bench::Holdings& a, const bench::Holdings& b) {
  return a == b;
}

// Waits until `sample` gives the same value over a quarter of a second of samples taken between turns of
// the program's loop; that value.
template <class Sample>
auto Settled(const Program& program, const Sample& sample) {
  auto last = sample();
  double since = Now();
  const double end = since + kLimit;
  while (Now() - since < 0.25 && Now() < end) {
    Sleep(20);
    program.Sync();
    const auto now = sample();
    if (!Same(now, last)) {
      last = now;
      since = Now();
    }
  }
  return last;
}

// A folder segment of the main ring and what its ring looks like once drawn.
struct Folder {
  const char* name;
  std::filesystem::path path;
  POINT at{-1, -1};           // where it is clicked
  std::vector<RECT> drawn;    // its ring's windows, sorted
  std::vector<double> times;  // click to drawn, microseconds
  std::vector<HWND> last;     // the windows of the last ring opened
};

// Clicks the folder's segment and waits for its ring: timed, until its windows are where and as large as
// they were drawn before (the microseconds until then; -1 if they never are: a ring whose icons came late
// may stay smaller); untimed, until its windows are all shown (0, or -1).
double Open(Program& program, Folder& folder, bool timed) {
  const double start = program.Click(folder.at);
  const bool drawn = WaitUntil(
      [&] {
        // The windows the last opening showed, while they all stand (a ring kept hidden), are watched as the
        // summons watches the main ring's: a list of windows, no search of every window for each look.
        if (timed && !folder.last.empty() && std::all_of(folder.last.begin(), folder.last.end(), IsWindow)) {
          return std::all_of(folder.last.begin(), folder.last.end(), IsWindowVisible) &&
                 SameRects(Sorted(bench::Rects(folder.last)), folder.drawn);
        }
        const std::vector<RECT> now = Sorted(bench::Rects(folder.last = program.FolderRingWindows()));
        return timed ? SameRects(now, folder.drawn) : now.size() == folder.drawn.size();
      },
      timed ? 10 : kLimit);
  return !drawn ? -1 : timed ? (Now() - start) * 1e6 : 0;
}

// Closes the folder ring (Esc, or a click on `elsewhere`) and waits until its windows are gone: hidden (the
// program keeps a few closed rings to show again) or destroyed.
bool Close(Program& program, Folder& folder, HWND elsewhere) {
  // The ring takes the keys once drawn: a click elsewhere before then would be no click away from it.
  WaitUntil(
      [&] {
        return std::find(folder.last.begin(), folder.last.end(), GetForegroundWindow()) != folder.last.end();
      },
      kLimit);
  if (elsewhere) {
    RECT r{};
    GetWindowRect(elsewhere, &r);
    program.Click({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
  } else {
    bench::PressKeys({VK_ESCAPE});
  }
  return WaitUntil([&] { return std::none_of(folder.last.begin(), folder.last.end(), IsWindowVisible); },
                   kLimit);
}

double Median(const std::vector<double>& v) {
  return bench::Summarise("", v).Median;
}

// A window of this program to click on: the activation leaves the folder rings.
HWND MakeElsewhere() {
  EnsureWindowClass(L"FolderBenchElsewhere", DefWindowProcW);
  HWND window = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"FolderBenchElsewhere", L"", WS_POPUP, 0,
                                GetSystemMetrics(SM_CYSCREEN) - 60, 60, 60, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
  ShowWindow(window, SW_SHOWNOACTIVATE);
  return window;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::filesystem::path exe;
  int runs = 15, cycles = 100;
  for (int i = 1; i + 1 < argc; ++i) {
    const std::wstring a = argv[i];
    if (a == L"--program")
      exe = argv[++i];
    else if (a == L"--runs")
      runs = std::max(1, _wtoi(argv[++i]));
    else if (a == L"--cycles")
      cycles = std::max(1, _wtoi(argv[++i]));
  }
  CoInitialize(nullptr);
  const std::filesystem::path root = std::filesystem::current_path() / L"folder-bench";
  Folder few{"24 files", root / L"24 files", {-1, -1}, {}, {}, {}};
  Folder many{"10,000 files", root / L"10000 files", {-1, -1}, {}, {}, {}};
  FillFolder(few.path, kFew);
  FillFolder(many.path, kMany);
  const std::filesystem::path work = root / L"program";
  std::filesystem::create_directories(work);
  WriteConfig(work / L"SystemConfig.xml", few.path, many.path);
  std::filesystem::remove(work / L"Vantel.ini");
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  SetCursorPos(width - 5, height - 5);  // no hover while the ring comes up
  HWND elsewhere = MakeElsewhere();

  Program program(exe, work);
  if (!WaitUntil([&] { return bench::RingWindows(program.Id()).size() >= kSegments + 1; }, 120)) {
    std::fprintf(stderr, "the program showed no ring of %d windows\n", kSegments + 1);
    return 1;
  }
  // The ring at home, its icons in: laid out for good.
  program.main = bench::RingWindows(program.Id());
  const std::vector<RECT> home = Settled(program, [&] { return bench::Rects(program.main); });
  for (HWND w : program.main)
    for (Folder* f : {&few, &many})
      if (FileOf(w) == f->path.wstring()) f->at = PointOn(w);
  if (few.at.x < 0 || many.at.x < 0) {
    std::fprintf(stderr, "the folder segments were not found\n");
    return 1;
  }

  // Untimed (what a first use costs): a summons, and each folder ring twice; its windows as the second
  // opening draws them are the ring drawn. The first opening asks a cold shell.
  RECT centre{};
  GetWindowRect(program.main.front(), &centre);
  const POINT summonAt{(centre.left + centre.right) / 2 < width / 2 ? width * 3 / 4 : width / 4, height / 2};
  program.PlacePointer(summonAt);
  bench::PressHotkey();
  WaitUntil([&] { return SameLayout(bench::Rects(program.main), home, true); }, kLimit);
  bench::PressHotkey();
  WaitUntil([&] { return SameRects(bench::Rects(program.main), home); }, kLimit);
  for (Folder* f : {&few, &many}) {
    std::vector<RECT> first;
    for (int i = 0; i < 2; ++i) {
      first = f->drawn;
      program.Click(f->at);
      WaitUntil([&] { return program.FolderRingWindows().size() >= kSegments + 1; }, kLimit);
      f->drawn =
          Settled(program, [&] { return Sorted(bench::Rects(f->last = program.FolderRingWindows())); });
      Close(program, *f, nullptr);
    }
    std::printf("%s: its ring has %zu windows, the widest %ld px%s\n", f->name, f->drawn.size(),
                Widest(f->drawn),
                SameRects(first, f->drawn) ? ""
                                           : (" (the first opening drew them otherwise, the widest " +
                                              std::to_string(Widest(first)) + " px)")
                                                 .c_str());
  }

  // Alternately: the machine is shared, and whatever else it does falls on all three alike.
  std::vector<double> summons;
  for (int r = 0; r < runs && program.Running(); ++r) {
    program.PlacePointer(summonAt);
    const double start = Now();
    bench::PressHotkey();
    if (WaitUntil(
            [&] {
              return SameLayout(bench::Rects(program.main), home, true) &&
                     std::all_of(program.main.begin(), program.main.end(), IsWindowVisible);
            },
            10)) {
      summons.push_back((Now() - start) * 1e6);
      bench::PressHotkey();  // back; a ring that could not take the foreground stayed home
      WaitUntil([&] { return SameRects(bench::Rects(program.main), home); }, kLimit);
    }
    for (Folder* f : {&few, &many}) {
      if (const double t = Open(program, *f, true); t >= 0) f->times.push_back(t);
      Close(program, *f, nullptr);
    }
  }

  // Open and close, the first time untimed (what stays for good comes then).
  auto cycle = [&](int i) {
    return Open(program, few, false) >= 0 && Close(program, few, i % 2 ? elsewhere : nullptr);
  };
  cycle(0);
  const auto holdings = [&] { return bench::HoldingsOf(program.Handle(), program.Id(), exe.string()); };
  const bench::Holdings before = Settled(program, holdings);
  int done = 0;
  while (done < cycles && cycle(done)) ++done;
  const bench::Holdings after = Settled(program, holdings);

  std::printf(
      "Click to folder ring drawn, against the hotkey's summons of a ring of as many windows (%d "
      "alternating runs, medians, microseconds):\n",
      runs);
  const double hotkey = Median(summons), ring = Median(few.times), big = Median(many.times);
  std::printf("  main ring of %d windows, summoned by the hotkey: %.0f (%zu runs)\n", kSegments + 1, hotkey,
              summons.size());
  std::printf("  folder ring of %zu windows, %s:             %.0f (%zu runs)\n", few.drawn.size(), few.name,
              ring, few.times.size());
  std::printf("  folder ring of %zu windows, %s:         %.0f (%zu runs)\n", many.drawn.size(), many.name,
              big, many.times.size());
  std::printf("  folder ring (24 files) / summons:       %.2f (goal <= 1.5)\n",
              hotkey > 0 ? ring / hotkey : 0);
  std::printf("  10,000 files / 24 files:                %.2f (goal <= 2)\n", ring > 0 ? big / ring : 0);
  std::printf(
      "%d open-and-close cycles of the 24-file folder ring (Esc and a click elsewhere in turn), after one "
      "untimed:\n",
      done);
  std::printf(
      "  private bytes %.2f MB -> %.2f MB (%+.0f KB), working set %.2f MB -> %.2f MB (%+.0f KB) "
      "(goal: within 1 MB)\n",
      before.PrivateMb, after.PrivateMb, (after.PrivateMb - before.PrivateMb) * 1024, before.WorkingSetMb,
      after.WorkingSetMb, (after.WorkingSetMb - before.WorkingSetMb) * 1024);
  std::printf("  GDI objects %ld -> %ld, USER objects %ld -> %ld (goal: back where they began)%s\n",
              before.Gdi, after.Gdi, before.User, after.User,
              after.GuiResources
                  ? ""
                  : "\n  (GetGuiResources counts nothing here: the GDI objects are the process's handle "
                    "table's, the USER objects its windows)");
  if (!after.PrivateFromSystem)
    std::printf("  (private bytes: the Linux process's VmData, as Wine tells none)\n");
  DestroyWindow(elsewhere);
  return done == cycles ? 0 : 1;
}
