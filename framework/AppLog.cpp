// The log's queue and its worker on the system's thread pool, and the Windows files it writes.
#include "framework/AppLog.h"

#include "framework/Win32.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>

#include "VantelVersion.h"
#include "framework/Handles.h"

namespace AppLog {
namespace {

// A burst of failures (one per button, say) is kept; a flood is cut rather than held in memory.
constexpr std::size_t kMaxQueued = 200;

struct TLogState {
  std::mutex Mutex;
  std::condition_variable Idle;
  std::deque<std::string> Queue;
  std::wstring Path;
  bool Writing = false;
};

// Never destroyed: a worker may still run while the process ends.
TLogState& State() {
  static TLogState* const state = new TLogState();  // NOLINT(cppcoreguidelines-owning-memory)
  return *state;
}

void CALLBACK WriteQueued(PTP_CALLBACK_INSTANCE, PVOID) {
  TLogState& state = State();
  TWinLogFiles files;
  for (;;) {
    std::string entry;
    std::wstring path;
    {
      std::lock_guard<std::mutex> lock(state.Mutex);
      if (state.Queue.empty()) {
        state.Writing = false;
        state.Idle.notify_all();
        return;
      }
      entry = std::move(state.Queue.front());
      state.Queue.pop_front();
      path = state.Path;
    }
    try {
      AppendToRotatingLog(files, path, entry);
    } catch (...) {
      // A log that cannot be written is skipped.
    }
  }
}

}  // namespace

void Start(const std::wstring& folder) {
  if (!folder.empty()) CreateDirectoryW(folder.c_str(), nullptr);
  TLogState& state = State();
  std::lock_guard<std::mutex> lock(state.Mutex);
  state.Path = folder.empty() ? std::wstring() : folder + L"\\" + kLogFileName;
}

void Write(std::string_view kind, std::wstring_view text) noexcept {
  try {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    const TLogTime time{now.wYear,   now.wMonth,  now.wDay,         now.wHour,
                        now.wMinute, now.wSecond, now.wMilliseconds};
    std::string entry = FormatLogEntry(time, VANTEL_VERSION_TEXT, kind, text);
    TLogState& state = State();
    std::lock_guard<std::mutex> lock(state.Mutex);
    if (state.Path.empty() || state.Queue.size() >= kMaxQueued) return;
    state.Queue.push_back(std::move(entry));
    if (state.Writing) return;
    state.Writing = TrySubmitThreadpoolCallback(&WriteQueued, nullptr, nullptr) != FALSE;
    if (!state.Writing) state.Queue.clear();
  } catch (...) {
    // Out of memory or the like: the entry is skipped.
  }
}

void Flush(unsigned limitMs) noexcept {
  try {
    TLogState& state = State();
    std::unique_lock<std::mutex> lock(state.Mutex);
    state.Idle.wait_for(lock, std::chrono::milliseconds(limitMs), [&] { return !state.Writing; });
  } catch (...) {
  }
}

std::uint64_t TWinLogFiles::Size(const std::wstring& name) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(name.c_str(), GetFileExInfoStandard, &data)) return 0;
  return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool TWinLogFiles::MoveReplacing(const std::wstring& from, const std::wstring& to) {
  return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
}

bool TWinLogFiles::Append(const std::wstring& name, std::string_view bytes) {
  const UniqueFile file(CreateFileW(name.c_str(), FILE_APPEND_DATA,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!Valid(file)) return false;
  DWORD written = 0;
  return WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

}  // namespace AppLog
