// A small timing harness for the programs under Wine: the Windows session they need, timed runs, a table.
#pragma once

#include "framework/Win32.h"

#include <cstdio>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace bench {

// What a benchmark of windows needs, for its lifetime: OLE, GDI+, the Application and Screen objects.
// Errors that reach the application are printed instead of shown in a box.
class Session {
 public:
  Session();
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

 private:
  struct Parts;
  std::unique_ptr<Parts> parts_;
};

// Handles every message queued now (paints, timers) without waiting.
void PumpMessages();

// Timings of one case, in microseconds.
struct Result {
  std::string Name;
  int Runs = 0;
  double Median = 0, Min = 0, P90 = 0, Max = 0, Mean = 0;
};

// Summary of raw samples (microseconds).
Result Summarise(std::string name, std::vector<double> samples);

struct Options {
  int Runs = 200;   // timed runs
  int Warmup = 10;  // untimed runs first (caches, first-use allocations)
  // Runs before each timed run and is not counted (resetting state, pumping messages).
  std::function<void()> Prepare;
};

// Times `body` over options.Runs runs with the high-resolution counter.
Result Measure(std::string name, const std::function<void()>& body, const Options& options = {});

// Collects results and prints them as an aligned table (median first: it is the figure to compare).
class Table {
 public:
  explicit Table(std::string title) : title_(std::move(title)) {}
  const Result& Add(Result result);
  void Print(std::FILE* out = stdout) const;

 private:
  std::string title_;
  std::vector<Result> results_;
};

// CPU seconds (user and system) used so far by the newest process whose command line holds `needle`, or -1.
// Wine reports no CPU times for other processes: the Linux process's own account (/proc, seen on drive Z:)
// is read instead.
double CpuSeconds(const std::string& needle);

// ---- driving a program from outside

// Seconds on the high-resolution counter.
double Now();
// Polls `done` (handling this thread's messages meanwhile) until it holds or `seconds` pass; whether it held.
bool WaitUntil(const std::function<bool()>& done, double seconds);
// Presses the keys in order and lets them go in the reverse order, in one SendInput.
void PressKeys(std::initializer_list<WORD> keys);
// The program's hotkey, Ctrl+Alt+Space.
inline void PressHotkey() {
  PressKeys({VK_CONTROL, VK_MENU, VK_SPACE});
}

// The shown ring windows of a process: layered, with a window region, taking the pointer (the hint takes
// none). In the system's order of top-level windows.
std::vector<HWND> RingWindows(DWORD process);
std::vector<RECT> Rects(const std::vector<HWND>& windows);
bool SameRects(const std::vector<RECT>& a, const std::vector<RECT>& b);

// Starts `command` with `folder` as its current folder (hProcess null when it did not start); Stop ends it.
PROCESS_INFORMATION Start(std::wstring command, const std::filesystem::path& folder);
void Stop(PROCESS_INFORMATION& process);

// What a process holds: its private bytes and working set (GetProcessMemoryInfo), its GDI and USER objects
// (GetGuiResources). Where the system tells none (Wine, for another process): the private bytes are the
// private writable memory of the Linux process whose command line holds `needle`, the GDI objects the
// entries in use of the process's own handle table, the USER objects its windows (top-level, child and
// message-only). -1 where nothing could be read.
struct Holdings {
  double PrivateMb = -1, WorkingSetMb = -1;
  long Gdi = -1, User = -1;
  bool PrivateFromSystem = false, GuiResources = false;  // as the system counts them
  bool operator==(const Holdings&) const = default;
};
Holdings HoldingsOf(HANDLE process, DWORD processId, const std::string& needle = {});

}  // namespace bench
