// TShellInfoPrefetch: workers ask the shell about each path in turn; the ring's buttons take the answers
// as they come to them, or claim the ones that are late.
//
// Everything the workers touch lives in TShared, which each worker, the prefetch and every claim hold a
// reference to: a worker left in a lookup that never returns keeps only that alive, and whoever lets go
// last frees the icons nobody took. Workers are detached; nothing ever waits for one.
#include "GDIButtons/ShellInfoPrefetch.h"

#include <objbase.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

#include "framework/DebugTrace.h"
#include "framework/Handles.h"

namespace {
thread_local TShellInfoPrefetch* currentPrefetch = nullptr;
// Set once the process has started to end: no worker begins another lookup or hands one on.
std::atomic<bool> stopping{false};
// The process starts to end when static objects go: from then on the workers stand still.
struct TStopAtExit {
  TStopAtExit() = default;
  TStopAtExit(const TStopAtExit&) = delete;
  TStopAtExit& operator=(const TStopAtExit&) = delete;
  ~TStopAtExit() { stopping.store(true); }
} stopAtExit;
// Workers one prefetch may have: more start only while every one is stuck in a lookup.
constexpr int kMaxWorkers = 4;

SHFILEINFOW ShellLookup(const std::wstring& path, UINT flags) {
  return ShellFileInfo(path, flags);
}
}  // namespace

std::wstring ShellPath(const std::wstring& path) {
  if (path.size() < MAX_PATH) return path;
  const DWORD length = GetShortPathNameW(path.c_str(), nullptr, 0);
  if (length == 0 || length > MAX_PATH) return path;
  std::wstring shortPath(length, L'\0');
  const DWORD written = GetShortPathNameW(path.c_str(), shortPath.data(), length);
  if (written == 0 || written >= length) return path;
  shortPath.resize(written);
  return shortPath;
}

SHFILEINFOW ShellFileInfo(const std::wstring& path, UINT flags) {
  SHFILEINFOW info{};
  if (SHGetFileInfoW(path.c_str(), 0, &info, sizeof(info), flags) || path.size() < MAX_PATH) return info;
  const std::wstring shortPath = ShellPath(path);
  info = SHFILEINFOW{};
  if (shortPath != path && SHGetFileInfoW(shortPath.c_str(), 0, &info, sizeof(info), flags)) return info;
  // The shell takes no form of this path: the leaf name says the name and type, the file its own icon.
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return SHFILEINFOW{};
  const std::size_t slash = path.find_last_of(L"\\/");
  const std::wstring leaf = slash == std::wstring::npos ? path : path.substr(slash + 1);
  info = SHFILEINFOW{};
  SHGetFileInfoW(leaf.c_str(), attributes & FILE_ATTRIBUTE_DIRECTORY, &info, sizeof(info),
                 (flags & ~static_cast<UINT>(SHGFI_ATTRIBUTES)) | SHGFI_USEFILEATTRIBUTES);
  HICON own = nullptr;
  if ((flags & SHGFI_ICON) && shortPath != path &&
      ExtractIconExW(shortPath.c_str(), 0, &own, nullptr, 1) > 0 && own) {
    UniqueIcon replaced(std::exchange(info.hIcon, own));
  }
  return info;
}

struct TShellInfoPrefetch::TShared {
  struct TEntry {
    std::wstring Path;
    SHFILEINFOW Info{};
    bool Running = false;  // a worker is looking it up
    bool Done = false;
    bool Taken = false;    // the answer went to a caller
    bool Claimed = false;  // a late claim waits for the answer
    HWND NotifyWindow = nullptr;
    UINT NotifyMessage = 0;
  };

  TShared(UINT flags, TShellLookup lookup, TWaits waits)
      : Flags(flags),
        Lookup(lookup ? std::move(lookup) : TShellLookup(&ShellLookup)),
        Remaining(waits.InAll),
        PerAnswer(waits.PerAnswer) {}
  ~TShared() {
    for (TEntry& entry : Entries)
      if (entry.Done && !entry.Taken) UniqueIcon(entry.Info.hIcon).reset();  // an answer nobody took
  }

  // Starts one more worker; false when the system gives no thread. Called with the lock held or before
  // anyone else knows the state.
  static bool StartWorker(const std::shared_ptr<TShared>& shared) {
    try {
      std::thread([shared] { Work(shared); }).detach();
      ++shared->Workers;
      return true;
    } catch (const std::system_error&) {
      return false;
    }
  }

  static void Work(std::shared_ptr<TShared> shared) {
    // The shell wants COM on the thread that asks it.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    for (;;) {
      TEntry* entry = nullptr;
      {
        std::lock_guard<std::mutex> lock(shared->Mutex);
        if (!stopping.load()) entry = shared->NextWanted();
        if (!entry) {
          --shared->Workers;
          break;
        }
        entry->Running = true;
      }
      // Entries are never added or moved: the path stays put while the lock is not held.
      SHFILEINFOW info{};
      try {
        info = shared->Lookup(entry->Path, shared->Flags);
      } catch (...) {
        TraceCaughtException(L"shell information lookup");
        info = SHFILEINFOW{};  // no answer is an answer without an icon
      }
      if (stopping.load()) {
        UniqueIcon(info.hIcon).reset();  // nobody is left to take it
        break;
      }
      {
        std::lock_guard<std::mutex> lock(shared->Mutex);
        entry->Info = info;
        entry->Running = false;
        entry->Done = true;
        // A claim that was given up has cleared the window: nothing is posted to a window that is gone.
        if (entry->NotifyWindow) PostMessageW(entry->NotifyWindow, entry->NotifyMessage, 0, 0);
      }
      shared->Changed.notify_all();
    }
    if (SUCCEEDED(com)) CoUninitialize();
  }

  // The first entry still to look up that somebody wants: every one while the prefetch lives, afterwards
  // only those a late button claimed.
  TEntry* NextWanted() {
    for (TEntry& entry : Entries)
      if (!entry.Done && !entry.Running && !entry.Taken && (!Abandoned || entry.Claimed)) return &entry;
    return nullptr;
  }

  bool AllWorkersBusy() const {
    const auto running =
        std::count_if(Entries.begin(), Entries.end(), [](const TEntry& e) { return e.Running; });
    return running >= Workers;
  }

  const UINT Flags;
  const TShellLookup Lookup;
  std::mutex Mutex;
  std::condition_variable Changed;
  std::vector<TEntry> Entries;  // fixed once the first worker runs
  int Workers = 0;
  bool Abandoned = false;               // the prefetch is gone
  std::chrono::milliseconds Remaining;  // what the user-interface thread may still wait in all
  const std::chrono::milliseconds PerAnswer;
};

TShellInfoPrefetch::TWaits& TShellInfoPrefetch::DefaultWaits() {
  static TWaits waits;
  return waits;
}

TShellLookup& TShellInfoPrefetch::DefaultLookup() {
  static TShellLookup lookup;
  return lookup;
}

TShellInfoPrefetch::TShellInfoPrefetch(std::vector<std::wstring> paths, UINT flags)
    : TShellInfoPrefetch(std::move(paths), flags, DefaultLookup(), DefaultWaits()) {}

TShellInfoPrefetch::TShellInfoPrefetch(std::vector<std::wstring> paths, UINT flags, TShellLookup lookup,
                                       TWaits waits)
    : shared_(std::make_shared<TShared>(flags, std::move(lookup), waits)) {
  shared_->Entries.reserve(paths.size());
  for (std::wstring& path : paths) {
    if (!path.empty()) shared_->Entries.push_back(TShared::TEntry{std::move(path)});
  }
  if (shared_->Entries.empty() || stopping.load()) return;
  std::lock_guard<std::mutex> lock(shared_->Mutex);
  TShared::StartWorker(shared_);  // without one, the buttons ask the shell themselves
}

TShellInfoPrefetch::~TShellInfoPrefetch() {
  std::lock_guard<std::mutex> lock(shared_->Mutex);
  shared_->Abandoned = true;
}

TShellInfoPrefetch::TTaken TShellInfoPrefetch::Take(const std::wstring& path, UINT flags) {
  TShared& shared = *shared_;
  if (flags != shared.Flags || path.empty()) return {};
  std::unique_lock<std::mutex> lock(shared.Mutex);
  if (shared.Workers == 0 && std::none_of(shared.Entries.begin(), shared.Entries.end(),
                                          [](const TShared::TEntry& e) { return e.Done; }))
    return {};  // nothing runs and nothing came: the caller asks the shell
  for (std::size_t i = 0; i < shared.Entries.size(); ++i) {
    TShared::TEntry& entry = shared.Entries[i];
    if (entry.Taken || entry.Claimed || entry.Path != path) continue;
    const auto wait =
        std::max(std::chrono::milliseconds::zero(), std::min(shared.PerAnswer, shared.Remaining));
    const auto start = std::chrono::steady_clock::now();
    shared.Changed.wait_for(lock, wait, [&] { return entry.Done; });
    shared.Remaining -=
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    if (entry.Done) {
      entry.Taken = true;
      return {entry.Info, nullptr};
    }
    // Late: the button shows without the answer and takes it when it comes. Workers that are all stuck
    // in lookups of their own get a fresh one beside them, so that one slow file holds up no other.
    entry.Claimed = true;
    if (shared.AllWorkersBusy() && shared.NextWanted() && shared.Workers < kMaxWorkers && !stopping.load())
      TShared::StartWorker(shared_);
    return {std::nullopt, std::make_unique<TLateShellInfo>(shared_, i)};
  }
  return {};
}

TShellInfoPrefetch::TScope::TScope(TShellInfoPrefetch& prefetch) : previous_(currentPrefetch) {
  currentPrefetch = &prefetch;
}

TShellInfoPrefetch::TScope::~TScope() {
  currentPrefetch = previous_;
}

TShellInfoPrefetch::TTaken TShellInfoPrefetch::TakeCurrent(const std::wstring& path, UINT flags) {
  return currentPrefetch ? currentPrefetch->Take(path, flags) : TTaken{};
}

std::optional<SHFILEINFOW> ShellInfoFor(const std::wstring& path, UINT flags, HWND window, UINT message,
                                        std::unique_ptr<TLateShellInfo>& late) {
  late.reset();
  if (path.empty()) return std::nullopt;
  TShellInfoPrefetch::TTaken ahead = TShellInfoPrefetch::TakeCurrent(path, flags);
  if (ahead.Info) return ahead.Info;  // a ring being loaded asked the shell already
  if (!ahead.Late) return ShellFileInfo(path, flags);
  late = std::move(ahead.Late);
  late->NotifyWhenReady(window, message);
  return std::nullopt;
}

TLateShellInfo::TLateShellInfo(std::shared_ptr<TShellInfoPrefetch::TShared> shared, std::size_t index)
    : shared_(std::move(shared)), index_(index) {}

TLateShellInfo::~TLateShellInfo() {
  std::lock_guard<std::mutex> lock(shared_->Mutex);
  auto& entry = shared_->Entries[index_];
  entry.NotifyWindow = nullptr;  // the button (and its window) may be about to go
  entry.Claimed = false;         // not looked up any more when the prefetch is gone
}

void TLateShellInfo::NotifyWhenReady(HWND window, UINT message) {
  std::lock_guard<std::mutex> lock(shared_->Mutex);
  auto& entry = shared_->Entries[index_];
  entry.NotifyWindow = window;
  entry.NotifyMessage = message;
  if (entry.Done && window) PostMessageW(window, message, 0, 0);
}

std::optional<SHFILEINFOW> TLateShellInfo::TakeIfReady() {
  std::lock_guard<std::mutex> lock(shared_->Mutex);
  auto& entry = shared_->Entries[index_];
  if (!entry.Done || entry.Taken) return std::nullopt;
  entry.Taken = true;
  entry.NotifyWindow = nullptr;
  return entry.Info;
}
