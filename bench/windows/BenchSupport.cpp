// The timing harness: session set-up, high-resolution timing, medians and the printed table.
#include "bench/windows/BenchSupport.h"

#include <ole2.h>
#include <psapi.h>
#include <winternl.h>

#include <algorithm>
#include <numeric>
#include <string>
#include <sstream>
#include <iterator>
#include <fstream>
#include <filesystem>

#include "framework/Forms.h"
#include "framework/GdiPlusSession.h"
#include "framework/text/TextCodec.h"

namespace bench {

struct Session::Parts {
  HRESULT ole = OleInitialize(nullptr);
  GdiPlusSession gdiplus;
  TApplication application;
  TScreen screen;
  ~Parts() = default;
};

Session::Session() : parts_(std::make_unique<Parts>()) {
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
  parts_->application.OnException = [](const std::wstring& message) {
    std::fprintf(stderr, "error: %s\n", WideToGb18030(message).c_str());
  };
}

Session::~Session() {
  const bool ole = SUCCEEDED(parts_->ole);
  parts_.reset();
  if (ole) OleUninitialize();
}

void PumpMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

Result Summarise(std::string name, std::vector<double> samples) {
  Result r;
  r.Name = std::move(name);
  r.Runs = static_cast<int>(samples.size());
  if (samples.empty()) return r;
  std::sort(samples.begin(), samples.end());
  const size_t n = samples.size();
  r.Median = n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
  r.Min = samples.front();
  r.Max = samples.back();
  r.P90 = samples[std::min(n - 1, (n * 9) / 10)];
  r.Mean = std::accumulate(samples.begin(), samples.end(), 0.0) / static_cast<double>(n);
  return r;
}

Result Measure(std::string name, const std::function<void()>& body, const Options& options) {
  LARGE_INTEGER frequency{};
  QueryPerformanceFrequency(&frequency);
  for (int i = 0; i < options.Warmup; ++i) {
    if (options.Prepare) options.Prepare();
    body();
  }
  std::vector<double> samples;
  samples.reserve(static_cast<size_t>(std::max(options.Runs, 0)));
  for (int i = 0; i < options.Runs; ++i) {
    if (options.Prepare) options.Prepare();
    LARGE_INTEGER start{}, end{};
    QueryPerformanceCounter(&start);
    body();
    QueryPerformanceCounter(&end);
    samples.push_back(static_cast<double>(end.QuadPart - start.QuadPart) * 1e6 /
                      static_cast<double>(frequency.QuadPart));
  }
  return Summarise(std::move(name), std::move(samples));
}

const Result& Table::Add(Result result) {
  results_.push_back(std::move(result));
  return results_.back();
}

void Table::Print(std::FILE* out) const {
  size_t width = 4;
  for (const Result& r : results_) width = std::max(width, r.Name.size());
  const int w = static_cast<int>(width);
  std::fprintf(out, "%s\n", title_.c_str());
  std::fprintf(out, "%-*s %6s %12s %12s %12s %12s\n", w, "case", "runs", "median us", "min us", "p90 us",
               "max us");
  for (const Result& r : results_)
    std::fprintf(out, "%-*s %6d %12.1f %12.1f %12.1f %12.1f\n", w, r.Name.c_str(), r.Runs, r.Median, r.Min,
                 r.P90, r.Max);
  std::fflush(out);
}

namespace {
// The /proc folder (on drive Z:) of the newest Linux process whose command line holds `needle`; empty if
// none.
std::filesystem::path LinuxProcess(const std::string& needle) {
  std::error_code error;
  int newest = -1;
  for (const auto& entry : std::filesystem::directory_iterator(L"Z:\\proc", error)) {
    const std::wstring name = entry.path().filename().wstring();
    if (name.empty() || name.find_first_not_of(L"0123456789") != std::wstring::npos) continue;
    std::ifstream in(entry.path() / L"cmdline", std::ios::binary);
    const std::string line((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (line.find(needle) != std::string::npos) newest = std::max(newest, std::stoi(name));
  }
  return newest < 0 ? std::filesystem::path() : std::filesystem::path(L"Z:\\proc") / std::to_wstring(newest);
}

std::string ReadAll(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

double CpuSecondsOf(const std::string& needle) {
  const std::filesystem::path process = LinuxProcess(needle);
  if (process.empty()) return -1;
  const std::string stat = ReadAll(process / L"stat");
  const size_t close = stat.rfind(')');
  if (close == std::string::npos) return -1;
  std::istringstream fields(stat.substr(close + 2));
  std::string field;
  double ticks = 0;
  for (int i = 0; i < 13 && fields >> field; ++i)
    if (i == 11 || i == 12) ticks += std::stod(field);  // utime, stime
  return ticks / 100.0;                                 // USER_HZ
}

// The Linux process's private writable memory (VmData), in MB; -1 if unknown.
double LinuxPrivateMb(const std::string& needle) {
  try {
    const std::filesystem::path process = LinuxProcess(needle);
    if (process.empty()) return -1;
    const std::string status = ReadAll(process / L"status");
    const size_t at = status.find("VmData:");
    return at == std::string::npos ? -1 : std::stod(status.substr(at + 7)) / 1024.0;  // kB
  } catch (const std::exception&) {
    return -1;
  }
}

}  // namespace

double CpuSeconds(const std::string& needle) {
  try {
    return CpuSecondsOf(needle);
  } catch (const std::exception&) {
    return -1;  // a process's files went away while they were read
  }
}

double Now() {
  static const LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

bool WaitUntil(const std::function<bool()>& done, double seconds) {
  const double end = Now() + seconds;
  while (!done()) {
    if (Now() > end) return false;
    PumpMessages();
    SwitchToThread();
  }
  return true;
}

void PressKeys(std::initializer_list<WORD> keys) {
  std::vector<INPUT> inputs(keys.size() * 2);
  size_t i = 0;
  for (WORD vk : keys) {
    inputs[i].type = inputs[inputs.size() - 1 - i].type = INPUT_KEYBOARD;
    inputs[i].ki.wVk = inputs[inputs.size() - 1 - i].ki.wVk = vk;
    inputs[inputs.size() - 1 - i].ki.dwFlags = KEYEVENTF_KEYUP;
    ++i;
  }
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

std::vector<HWND> RingWindows(DWORD process) {
  struct Found {
    DWORD process;
    std::vector<HWND> windows;
  } found{process, {}};
  EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        auto* f = reinterpret_cast<Found*>(data);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        const LONG style = GetWindowLongW(window, GWL_EXSTYLE);
        if (owner != f->process || !IsWindowVisible(window) || !(style & WS_EX_LAYERED) ||
            (style & WS_EX_TRANSPARENT))
          return TRUE;
        HRGN region = CreateRectRgn(0, 0, 0, 0);
        const int kind = GetWindowRgn(window, region);
        DeleteObject(region);
        if (kind != ERROR && kind != NULLREGION) f->windows.push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found.windows;
}

std::vector<RECT> Rects(const std::vector<HWND>& windows) {
  std::vector<RECT> rects;
  for (HWND w : windows) {
    RECT r{};
    GetWindowRect(w, &r);
    rects.push_back(r);
  }
  return rects;
}

bool SameRects(const std::vector<RECT>& a, const std::vector<RECT>& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const RECT& x, const RECT& y) {
    return x.left == y.left && x.top == y.top && x.right == y.right && x.bottom == y.bottom;
  });
}

PROCESS_INFORMATION Start(std::wstring command, const std::filesystem::path& folder) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                 &info);
  return info;
}

void Stop(PROCESS_INFORMATION& process) {
  if (!process.hProcess) return;
  TerminateProcess(process.hProcess, 0);
  WaitForSingleObject(process.hProcess, 10000);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  process = {};
}

namespace {
// The process's GDI handle table (the one its PEB names, as the system keeps it for user mode): the entries
// with an object type are the objects it holds.
long GdiTableObjects(HANDLE process) {
  PROCESS_BASIC_INFORMATION basic{};
  ULONG length = 0;
  if (NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof(basic), &length) != 0)
    return -1;
  constexpr size_t kTableInPeb = 0xF8;  // GdiSharedHandleTable in a 64-bit PEB
  const BYTE* table = nullptr;
  SIZE_T read = 0;
  if (!ReadProcessMemory(process, reinterpret_cast<const BYTE*>(basic.PebBaseAddress) + kTableInPeb, &table,
                         sizeof(table), &read) ||
      !table)
    return -1;
  constexpr size_t kEntries = 0x10000, kEntrySize = 24, kTypeAt = 14;
  std::vector<BYTE> entries(kEntries * kEntrySize);
  if (!ReadProcessMemory(process, table, entries.data(), entries.size(), &read)) return -1;
  long used = 0;
  for (size_t i = 0; i < kEntries; ++i) used += entries[i * kEntrySize + kTypeAt] != 0;
  return used;
}

long WindowsOf(DWORD processId) {
  struct Tally {
    DWORD process;
    long windows = 0;
    static BOOL CALLBACK Count(HWND window, LPARAM data) {
      auto* t = reinterpret_cast<Tally*>(data);
      DWORD owner = 0;
      GetWindowThreadProcessId(window, &owner);
      if (owner == t->process) ++t->windows;
      return TRUE;
    }
    static BOOL CALLBACK CountWithChildren(HWND window, LPARAM data) {
      Count(window, data);
      EnumChildWindows(window, &Count, data);
      return TRUE;
    }
  } tally{processId};
  EnumWindows(&Tally::CountWithChildren, reinterpret_cast<LPARAM>(&tally));
  for (HWND w = FindWindowExW(HWND_MESSAGE, nullptr, nullptr, nullptr); w;
       w = FindWindowExW(HWND_MESSAGE, w, nullptr, nullptr))
    Tally::CountWithChildren(w, reinterpret_cast<LPARAM>(&tally));
  return tally.windows;
}

long GuiObjects(HANDLE process, DWORD kind) {
  SetLastError(ERROR_SUCCESS);
  const DWORD count = GetGuiResources(process, kind);
  if (count > 0 || GetLastError() != ERROR_CALL_NOT_IMPLEMENTED) return static_cast<long>(count);
  return -1;
}
}  // namespace

Holdings HoldingsOf(HANDLE process, DWORD processId, const std::string& needle) {
  Holdings h;
  PROCESS_MEMORY_COUNTERS_EX memory{};
  memory.cb = sizeof(memory);
  if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof(memory))) {
    h.PrivateMb = static_cast<double>(memory.PrivateUsage) / (1024.0 * 1024.0);
    h.PrivateFromSystem = memory.PrivateUsage > 0;
    h.WorkingSetMb = static_cast<double>(memory.WorkingSetSize) / (1024.0 * 1024.0);
  }
  if (!h.PrivateFromSystem && !needle.empty()) h.PrivateMb = LinuxPrivateMb(needle);
  h.Gdi = GuiObjects(process, GR_GDIOBJECTS);
  h.User = GuiObjects(process, GR_USEROBJECTS);
  h.GuiResources = h.Gdi >= 0 && h.User >= 0;
  if (h.Gdi < 0) h.Gdi = GdiTableObjects(process);
  if (h.User < 0) h.User = WindowsOf(processId);
  return h;
}

}  // namespace bench
