// The shell's information about a ring's files (icon, names, attributes), looked up ahead on a worker
// thread while the ring's windows are being made.
#pragma once

#include "framework/Win32.h"

#include <shellapi.h>

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

class TShellInfoPrefetch {
 public:
  // Starts looking up `paths`, in order, as SHGetFileInfoW(path, 0, ..., flags) does (empty paths are
  // skipped). Should no worker thread start, nothing is looked up ahead and Take finds nothing.
  TShellInfoPrefetch(std::vector<std::wstring> paths, UINT flags);
  // Drops the lookups still to come, waits for the one under way and frees the icons nobody took.
  ~TShellInfoPrefetch();
  TShellInfoPrefetch(const TShellInfoPrefetch&) = delete;
  TShellInfoPrefetch& operator=(const TShellInfoPrefetch&) = delete;

  // What the lookup of the first entry for `path` not taken yet gave, once it is done; the caller owns
  // its icon. Nothing when `flags` are not the prefetch's, no such entry is left or its lookup takes
  // more than ten seconds: the caller then asks the shell itself.
  std::optional<SHFILEINFOW> Take(const std::wstring& path, UINT flags);

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
  static std::optional<SHFILEINFOW> TakeCurrent(const std::wstring& path, UINT flags);

 private:
  struct TEntry {
    std::wstring Path;
    SHFILEINFOW Info{};
    bool Done = false;
    bool Taken = false;
  };
  void Run();

  std::vector<TEntry> entries_;
  const UINT flags_;
  std::mutex mutex_;
  std::condition_variable changed_;
  bool stop_ = false;
  bool finished_ = false;
  std::thread worker_;
};
