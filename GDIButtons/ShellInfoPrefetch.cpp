// TShellInfoPrefetch: one worker thread asks the shell about each path in turn; the ring's buttons take
// the answers as they come to them.
#include "GDIButtons/ShellInfoPrefetch.h"

#include <objbase.h>

#include <chrono>
#include <system_error>
#include <utility>

namespace {
thread_local TShellInfoPrefetch* currentPrefetch = nullptr;
constexpr std::chrono::seconds kLongestWait{10};
}  // namespace

TShellInfoPrefetch::TShellInfoPrefetch(std::vector<std::wstring> paths, UINT flags) : flags_(flags) {
  entries_.reserve(paths.size());
  for (std::wstring& path : paths) {
    if (!path.empty()) entries_.push_back(TEntry{std::move(path)});
  }
  if (entries_.empty()) return;
  try {
    worker_ = std::thread([this] { Run(); });
  } catch (const std::system_error&) {
    // No thread to spare: the buttons ask the shell themselves.
  }
}

TShellInfoPrefetch::~TShellInfoPrefetch() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  if (worker_.joinable()) worker_.join();
  for (TEntry& entry : entries_) {
    if (entry.Done && !entry.Taken && entry.Info.hIcon) DestroyIcon(entry.Info.hIcon);
  }
}

void TShellInfoPrefetch::Run() {
  // The shell wants COM on the thread that asks it.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  for (TEntry& entry : entries_) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (stop_) break;
    }
    // The path is not changed by anyone while the worker runs; the answer is written under the lock.
    SHFILEINFOW info{};
    SHGetFileInfoW(entry.Path.c_str(), 0, &info, sizeof(info), flags_);
    {
      std::lock_guard<std::mutex> lock(mutex_);
      entry.Info = info;
      entry.Done = true;
    }
    changed_.notify_all();
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    finished_ = true;
  }
  changed_.notify_all();
  if (SUCCEEDED(com)) CoUninitialize();
}

std::optional<SHFILEINFOW> TShellInfoPrefetch::Take(const std::wstring& path, UINT flags) {
  if (flags != flags_ || !worker_.joinable() || path.empty()) return std::nullopt;
  std::unique_lock<std::mutex> lock(mutex_);
  for (TEntry& entry : entries_) {
    if (entry.Taken || entry.Path != path) continue;
    // A lookup that hangs (a shell extension waiting for this very thread, say) is not waited for
    // for ever: the caller then asks the shell itself.
    if (!changed_.wait_for(lock, kLongestWait, [&] { return entry.Done || finished_; }) || !entry.Done)
      return std::nullopt;
    entry.Taken = true;
    return entry.Info;
  }
  return std::nullopt;
}

TShellInfoPrefetch::TScope::TScope(TShellInfoPrefetch& prefetch) : previous_(currentPrefetch) {
  currentPrefetch = &prefetch;
}

TShellInfoPrefetch::TScope::~TScope() {
  currentPrefetch = previous_;
}

std::optional<SHFILEINFOW> TShellInfoPrefetch::TakeCurrent(const std::wstring& path, UINT flags) {
  return currentPrefetch ? currentPrefetch->Take(path, flags) : std::nullopt;
}
