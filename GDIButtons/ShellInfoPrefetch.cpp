// TShellInfoPrefetch: workers ask the shell about each path in turn; the ring's buttons take the answers
// as they come to them, or claim the ones that are late.
//
// Everything the workers touch lives in TShared, which each worker, the prefetch and every claim hold a
// reference to: a worker left in a lookup that never returns keeps only that alive, and whoever lets go
// last frees the icons nobody took. Workers are detached; nothing ever waits for one.
#include "GDIButtons/ShellInfoPrefetch.h"

#include <objbase.h>
#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <iterator>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

#include "GDIButtons/ShellIcon.h"
#include "framework/DebugTrace.h"
#include "framework/Handles.h"
#include "shell/ShortcutResolver.h"

namespace {
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

SHFILEINFOW ShellLookup(const std::wstring& path, UINT flags, int iconSize) {
  return ShellFileInfoAt(path, flags, iconSize);
}

// The 8.3 form of a long path, when the volume keeps one short enough for the shell; else empty.
std::wstring ShortForm(const std::wstring& path, const TShellCalls& calls) {
  const DWORD length = calls.ShortPathName(path.c_str(), nullptr, 0);
  if (length == 0 || length > MAX_PATH) return {};
  std::wstring shortPath(length, L'\0');
  const DWORD written = calls.ShortPathName(path.c_str(), shortPath.data(), length);
  if (written == 0 || written >= length) return {};
  shortPath.resize(written);
  return shortPath.size() < MAX_PATH ? shortPath : std::wstring();  // no 8.3 names: the same long path
}

std::wstring LeafName(const std::wstring& path) {
  const std::size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

void SetDisplayName(SHFILEINFOW& info, const std::wstring& name) {
  const std::size_t n = std::min(name.size(), std::size(info.szDisplayName) - 1);
  name.copy(info.szDisplayName, n);
  info.szDisplayName[n] = L'\0';
}

// The shell names a file by its leaf, with or without the extension. An answer for a long path's short
// form that names something else (a shell that expanded the short form again and cut it at MAX_PATH, as
// Wine's does) is the name of another path.
bool NamesLeaf(const wchar_t* shown, const std::wstring& leaf) {
  const std::size_t n = wcsnlen(shown, MAX_PATH);
  return n > 0 && n <= leaf.size() &&
         CompareStringOrdinal(shown, static_cast<int>(n), leaf.c_str(), static_cast<int>(n), TRUE) ==
             CSTR_EQUAL;
}
}  // namespace

const TShellCalls& SystemShellCalls() {
  static const TShellCalls calls{[](const wchar_t* path, DWORD attributes, SHFILEINFOW* info, UINT flags) {
                                   return SHGetFileInfoW(path, attributes, info, sizeof(*info), flags);
                                 },
                                 [](const wchar_t* longPath, wchar_t* shortPath, DWORD length) {
                                   return GetShortPathNameW(longPath, shortPath, length);
                                 },
                                 [](const wchar_t* path) { return GetFileAttributesW(path); },
                                 [](const wchar_t* path) {
                                   HICON icon = nullptr;
                                   return ExtractIconExW(path, 0, &icon, nullptr, 1) > 0 ? icon : nullptr;
                                 }};
  return calls;
}

std::wstring ShellPath(const std::wstring& path) {
  if (path.size() < MAX_PATH) return path;
  const std::wstring shortPath = ShortForm(path, SystemShellCalls());
  return shortPath.empty() ? path : shortPath;
}

std::wstring ExtendedPath(const std::wstring& path) {
  if (path.rfind(L"\\\\?\\", 0) == 0) return path;
  if (path.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + path.substr(2);
  return L"\\\\?\\" + path;
}

SHFILEINFOW ShellFileInfo(const std::wstring& path, UINT flags, const TShellCalls& calls) {
  SHFILEINFOW info{};
  const bool isLong = path.size() >= MAX_PATH;
  if (!isLong && calls.FileInfo(path.c_str(), 0, &info, flags)) return info;
  const std::wstring leaf = LeafName(path);
  const std::wstring shortPath = isLong ? ShortForm(path, calls) : std::wstring();
  info = SHFILEINFOW{};
  // An answer for the short form that names another path is about that path, its icon too.
  if (!shortPath.empty() && calls.FileInfo(shortPath.c_str(), 0, &info, flags) &&
      (!(flags & SHGFI_DISPLAYNAME) || NamesLeaf(info.szDisplayName, leaf))) {
    return info;
  }
  UniqueIcon(info.hIcon).reset();
  // The shell takes no form of this path. A file that is there still shows: its leaf gives the name and
  // the type's icon, the file its own icon where it has one.
  const std::wstring filePath = isLong ? ExtendedPath(path) : path;
  const DWORD attributes = calls.FileAttributes(filePath.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return SHFILEINFOW{};
  info = SHFILEINFOW{};
  const DWORD kind =
      (attributes & FILE_ATTRIBUTE_DIRECTORY) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
  calls.FileInfo(leaf.c_str(), kind, &info,
                 (flags & ~static_cast<UINT>(SHGFI_ATTRIBUTES)) | SHGFI_USEFILEATTRIBUTES);
  if (flags & SHGFI_DISPLAYNAME) SetDisplayName(info, leaf);
  if ((flags & SHGFI_ATTRIBUTES) && (attributes & FILE_ATTRIBUTE_DIRECTORY)) info.dwAttributes = SFGAO_FOLDER;
  if ((flags & SHGFI_ICON) && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    // Where the icon reader takes neither form, the type's icon stays.
    HICON own = shortPath.empty() ? nullptr : calls.OwnIcon(shortPath.c_str());
    if (!own) own = calls.OwnIcon(filePath.c_str());
    if (own) {
      UniqueIcon replaced(std::exchange(info.hIcon, own));
    }
  }
  return info;
}

SHFILEINFOW ShellFileInfoAt(const std::wstring& path, UINT flags, int iconSize) {
  SHFILEINFOW info = ShellFileInfo(path, flags);
  // A shortcut to a folder opens as the folder does (its own ring): it is told apart here, on the worker,
  // so that no ring window reads a link to know.
  if ((flags & SHGFI_ATTRIBUTES) && !(info.dwAttributes & SFGAO_FOLDER) && IsShortcutName(path) &&
      ShortcutTargetIsFolder(path)) {
    info.dwAttributes |= SFGAO_FOLDER;
  }
  if (info.hIcon && iconSize > 0) SizeShellIcon(info, path, iconSize);
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

  TShared(UINT flags, int iconSize, TShellLookup lookup, TWaits waits)
      : Flags(flags),
        IconSize(iconSize),
        Lookup(lookup ? std::move(lookup) : TShellLookup(&ShellLookup)),
        Remaining(waits.InAll),
        PerAnswer(waits.PerAnswer) {}
  ~TShared() {
    for (TEntry& entry : Entries) {
      if (entry.Done && !entry.Taken) UniqueIcon(entry.Info.hIcon).reset();  // an answer nobody took
    }
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

  static void Work(const std::shared_ptr<TShared>& shared) {
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
        info = shared->Lookup(entry->Path, shared->Flags, shared->IconSize);
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
    for (TEntry& entry : Entries) {
      if (!entry.Done && !entry.Running && !entry.Taken && (!Abandoned || entry.Claimed)) return &entry;
    }
    return nullptr;
  }

  bool AllWorkersBusy() const {
    const auto running =
        std::count_if(Entries.begin(), Entries.end(), [](const TEntry& e) { return e.Running; });
    return running >= Workers;
  }

  const UINT Flags;
  const int IconSize;
  const TShellLookup Lookup;
  std::mutex Mutex;
  std::condition_variable Changed;
  std::vector<TEntry> Entries;  // fixed once the first worker runs
  int Workers = 0;
  bool Abandoned = false;               // the prefetch is gone
  std::chrono::milliseconds Remaining;  // what the user-interface thread may still wait in all
  const std::chrono::milliseconds PerAnswer;
};

TShellInfoPrefetch::TShellInfoPrefetch(std::vector<std::wstring> paths, UINT flags, int iconSize)
    : TShellInfoPrefetch(std::move(paths), flags, TShellLookup{}, TWaits{}, iconSize) {}

TShellInfoPrefetch::TShellInfoPrefetch(std::vector<std::wstring> paths, UINT flags, TShellLookup lookup,
                                       TWaits waits, int iconSize)
    : shared_(std::make_shared<TShared>(flags, iconSize, std::move(lookup), waits)) {
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

TShellInfoPrefetch::TTaken TShellInfoPrefetch::Take(const std::wstring& path, UINT flags, int iconSize) {
  TShared& shared = *shared_;
  if (flags != shared.Flags || iconSize != shared.IconSize || path.empty()) return {};
  std::unique_lock<std::mutex> lock(shared.Mutex);
  if (shared.Workers == 0 && std::none_of(shared.Entries.begin(), shared.Entries.end(),
                                          [](const TShared::TEntry& e) { return e.Done; })) {
    return {};  // nothing runs and nothing came: the caller asks the shell
  }
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
    if (shared.AllWorkersBusy() && shared.NextWanted() && shared.Workers < kMaxWorkers && !stopping.load()) {
      TShared::StartWorker(shared_);
    }
    return {std::nullopt, std::make_unique<TLateShellInfo>(shared_, i)};
  }
  return {};
}

std::unique_ptr<TLateShellInfo> TShellInfoPrefetch::ClaimFirst() {
  std::lock_guard<std::mutex> lock(shared_->Mutex);
  if (shared_->Entries.empty() || shared_->Entries.front().Taken || shared_->Entries.front().Claimed ||
      (shared_->Workers == 0 && !shared_->Entries.front().Done)) {
    return nullptr;
  }
  shared_->Entries.front().Claimed = true;
  return std::make_unique<TLateShellInfo>(shared_, 0);
}

std::optional<SHFILEINFOW> ShellInfoFor(const std::wstring& path, UINT flags, int iconSize, HWND window,
                                        UINT message, std::unique_ptr<TLateShellInfo>& late,
                                        TShellInfoPrefetch* answers, const TShellLookup& lookup) {
  late.reset();
  if (path.empty()) return std::nullopt;
  TShellInfoPrefetch::TTaken ahead =
      answers ? answers->Take(path, flags, iconSize) : TShellInfoPrefetch::TTaken{};
  if (ahead.Info) return ahead.Info;  // a ring being loaded asked the shell already
  if (!ahead.Late) return lookup ? lookup(path, flags, iconSize) : ShellFileInfoAt(path, flags, iconSize);
  late = std::move(ahead.Late);
  late->NotifyWhenReady(window, message);
  return std::nullopt;
}

std::unique_ptr<TLateShellInfo> ShellInfoLater(const std::wstring& path, UINT flags, int iconSize,
                                               HWND window, UINT message, const TShellLookup& lookup) {
  if (path.empty()) return nullptr;
  // A prefetch of one path that nobody waits for: it goes at once, and its worker looks the path up for
  // the claim alone. A claim given up (the button gone, or another DPI) leaves the answer to be freed.
  TShellInfoPrefetch prefetch({path}, flags, lookup, {}, iconSize);
  std::unique_ptr<TLateShellInfo> late = prefetch.ClaimFirst();
  if (late) late->NotifyWhenReady(window, message);
  return late;
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
