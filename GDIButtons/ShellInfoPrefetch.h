// The shell's information about a ring's files (icon, names, attributes), looked up ahead on worker
// threads while the ring's windows are being made. The user-interface thread waits for an answer only
// briefly; a button whose answer is late takes it when it comes.
#pragma once

#include "framework/Win32.h"

#include <shellapi.h>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// The shell's answer for a path, as SHGetFileInfoW(path, 0, &info, sizeof info, flags) gives it, also for
// a path longer than the shell takes (MAX_PATH): then its short (8.3) form is asked, and where even that
// finds nothing (Wine's shell expands it again), the file's own icon is read from its short form and its
// name and type come from its leaf name.
SHFILEINFOW ShellFileInfo(const std::wstring& path, UINT flags);
// The form of a path to hand to the shell: the path itself, or for one longer than the shell takes, its
// short (8.3) form where the volume keeps one.
std::wstring ShellPath(const std::wstring& path);

// How one path is looked up: ShellFileInfo by default.
using TShellLookup = std::function<SHFILEINFOW(const std::wstring& path, UINT flags)>;

class TLateShellInfo;

class TShellInfoPrefetch {
 public:
  // The longest the user-interface thread waits for one answer, and for all answers of one prefetch.
  struct TWaits {
    std::chrono::milliseconds PerAnswer{100};
    std::chrono::milliseconds InAll{2000};
  };
  // What prefetches use unless told otherwise (tests change them).
  static TWaits& DefaultWaits();
  static TShellLookup& DefaultLookup();  // empty: the shell's own

  // Starts looking up `paths`, in order, as the lookup does (empty paths are skipped). Should no worker
  // thread start, nothing is looked up ahead and Take finds nothing.
  TShellInfoPrefetch(std::vector<std::wstring> paths, UINT flags);
  TShellInfoPrefetch(std::vector<std::wstring> paths, UINT flags, TShellLookup lookup, TWaits waits);
  // Never waits: lookups nobody claimed are dropped, one under way finishes on its worker, which then
  // frees what it found. Late answers still go to the buttons that wait for them.
  ~TShellInfoPrefetch();
  TShellInfoPrefetch(const TShellInfoPrefetch&) = delete;
  TShellInfoPrefetch& operator=(const TShellInfoPrefetch&) = delete;

  // For the first entry for `path` not taken yet: its answer when it is there within the waits (the
  // caller owns its icon), or else a claim on the answer still to come. Both empty when `flags` are not
  // the prefetch's, no such entry is left or no worker runs: the caller then asks the shell itself.
  struct TTaken {
    std::optional<SHFILEINFOW> Info;
    std::unique_ptr<TLateShellInfo> Late;
  };
  TTaken Take(const std::wstring& path, UINT flags);

  // Makes a prefetch the one that Take consults on this thread while the scope lives.
  class TScope {
   public:
    explicit TScope(TShellInfoPrefetch& prefetch);
    ~TScope();
    TScope(const TScope&) = delete;
    TScope& operator=(const TScope&) = delete;

   private:
    TShellInfoPrefetch* previous_;
  };
  // Take on this thread's prefetch; nothing when there is none.
  static TTaken TakeCurrent(const std::wstring& path, UINT flags);

  struct TShared;  // what the workers and the claims share with the prefetch

 private:
  std::shared_ptr<TShared> shared_;
};

// The answer for a button's file: the current prefetch's (TakeCurrent) or, without one, the shell's own
// (ShellFileInfo). Nothing for an empty path, or while the prefetch's answer is late: `late` then holds
// the claim, which posts `message` to `window` once the answer is there. `late` is replaced either way.
std::optional<SHFILEINFOW> ShellInfoFor(const std::wstring& path, UINT flags, HWND window, UINT message,
                                        std::unique_ptr<TLateShellInfo>& late);

// A button's claim on an answer that was late. The answer is the claim's to take once; until then the
// window named is sent `message` when it comes. A claim given up leaves the answer to be freed.
class TLateShellInfo {
 public:
  TLateShellInfo(std::shared_ptr<TShellInfoPrefetch::TShared> shared, std::size_t index);
  ~TLateShellInfo();
  TLateShellInfo(const TLateShellInfo&) = delete;
  TLateShellInfo& operator=(const TLateShellInfo&) = delete;

  // Posts `message` to `window` once the answer is there (at once when it is already).
  void NotifyWhenReady(HWND window, UINT message);
  // The answer, once (the caller owns its icon); nothing while it is still to come.
  std::optional<SHFILEINFOW> TakeIfReady();

 private:
  std::shared_ptr<TShellInfoPrefetch::TShared> shared_;
  std::size_t index_;
};
