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

// The system calls ShellFileInfo makes; a caller may hand in others, e.g. calls that fail as a default
// Windows does (no long paths, no 8.3 names).
struct TShellCalls {
  std::function<DWORD_PTR(const wchar_t* path, DWORD attributes, SHFILEINFOW* info, UINT flags)> FileInfo;
  std::function<DWORD(const wchar_t* longPath, wchar_t* shortPath, DWORD length)> ShortPathName;
  std::function<DWORD(const wchar_t* path)> FileAttributes;
  // The file's own first icon (an exe's, an .ico's) at the system's large size; nullptr without one.
  std::function<HICON(const wchar_t* path)> OwnIcon;
};
const TShellCalls& SystemShellCalls();

// The shell's answer for a path, as SHGetFileInfoW(path, 0, &info, sizeof info, flags) gives it, also for
// a path the shell does not take (MAX_PATH or longer): then its short (8.3) form is asked where the volume
// keeps one (an answer naming another path is not taken: a shell may expand the short form again and cut
// it), and otherwise the leaf name gives the name and the type's icon, the file its own icon where it has
// one. A file that is not there gets nothing.
SHFILEINFOW ShellFileInfo(const std::wstring& path, UINT flags,
                          const TShellCalls& calls = SystemShellCalls());
// As ShellFileInfo, the icon drawn for `iconSize` pixels (0: the shell's own size).
SHFILEINFOW ShellFileInfoAt(const std::wstring& path, UINT flags, int iconSize);
// The form of a path to hand to the shell: the path itself, or for one longer than the shell takes, its
// short (8.3) form where the volume keeps one.
std::wstring ShellPath(const std::wstring& path);

// The form of a path the file APIs take beyond MAX_PATH even where long paths are off (Microsoft: "Naming
// Files, Paths, and Namespaces"); the shell's own functions do not take it reliably.
std::wstring ExtendedPath(const std::wstring& path);

// How one path is looked up, its icon at `iconSize` pixels (0: the shell's size): ShellFileInfoAt by
// default. It runs on a worker thread.
using TShellLookup = std::function<SHFILEINFOW(const std::wstring& path, UINT flags, int iconSize)>;

class TLateShellInfo;

class TShellInfoPrefetch {
 public:
  // The longest the user-interface thread waits for one answer, and for all answers of one prefetch.
  struct TWaits {
    std::chrono::milliseconds PerAnswer{100};
    std::chrono::milliseconds InAll{2000};
  };

  // Starts looking up `paths`, in order, as `lookup` does (empty: the shell's own; empty paths are
  // skipped), their icons at `iconSize` pixels. Should no worker thread start, nothing is looked up ahead
  // and Take finds nothing.
  TShellInfoPrefetch(std::vector<std::wstring> paths, UINT flags, int iconSize = 0);
  TShellInfoPrefetch(std::vector<std::wstring> paths, UINT flags, TShellLookup lookup, TWaits waits,
                     int iconSize = 0);
  // Never waits: lookups nobody claimed are dropped, one under way finishes on its worker, which then
  // frees what it found. Late answers still go to the buttons that wait for them.
  ~TShellInfoPrefetch();
  TShellInfoPrefetch(const TShellInfoPrefetch&) = delete;
  TShellInfoPrefetch& operator=(const TShellInfoPrefetch&) = delete;

  // For the first entry for `path` not taken yet: its answer when it is there within the waits (the
  // caller owns its icon), or else a claim on the answer still to come. Both empty when `flags` or
  // `iconSize` are not the prefetch's, no such entry is left or no worker runs: the caller then asks the
  // shell itself.
  struct TTaken {
    std::optional<SHFILEINFOW> Info;
    std::unique_ptr<TLateShellInfo> Late;
  };
  TTaken Take(const std::wstring& path, UINT flags, int iconSize = 0);
  // A claim on the first entry's answer, come or to come, without waiting; nullptr when it was taken or
  // claimed, or no worker runs.
  std::unique_ptr<TLateShellInfo> ClaimFirst();

  struct TShared;  // what the workers and the claims share with the prefetch

 private:
  std::shared_ptr<TShared> shared_;
};

// Where a ring's load gets the shell's answers: how a path is looked up (empty: the shell's own) and how
// long the user-interface thread waits for them.
struct TShellSource {
  TShellLookup Lookup;
  TShellInfoPrefetch::TWaits Waits;
};

// The answer for a button's file: the prefetch's (`answers`, Take) or, without one or an entry in it,
// `lookup`'s (empty: the shell's own), asked here. Nothing for an empty path, or while the prefetch's answer
// is late: `late` then holds the claim, which posts `message` to `window` once the answer is there. `late` is
// replaced either way.
std::optional<SHFILEINFOW> ShellInfoFor(const std::wstring& path, UINT flags, int iconSize, HWND window,
                                        UINT message, std::unique_ptr<TLateShellInfo>& late,
                                        TShellInfoPrefetch* answers = nullptr,
                                        const TShellLookup& lookup = {});
// A claim on the answer for `path` from a worker of its own (asking `lookup`), never asked on this thread:
// posts `message` to `window` once the answer is there. Nothing when no worker starts.
std::unique_ptr<TLateShellInfo> ShellInfoLater(const std::wstring& path, UINT flags, int iconSize,
                                               HWND window, UINT message, const TShellLookup& lookup = {});

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
