// The Windows file system of the XML document: CreateFileW reads and atomic saves.
#pragma once

#include <functional>
#include <set>
#include <string>

#include "framework/Win32.h"
#include "xml/XmlHost.h"

class TWinXmlFileSystem final : public TXmlFileSystem {
 public:
  bool FileExists(const std::wstring& name) override;
  // Opened with sharing for read and delete, read whole, closed at once. A file another program holds
  // without sharing (a sync or backup tool) is tried again for ReadRetryAttempts x ReadRetryDelayMs.
  TXmlReadResult ReadFile(const std::wstring& name, std::size_t maxBytes, std::string& bytes) override;
  // name.tmp in the same folder, FlushFileBuffers, close, then ReplaceFileW over the file, so that it
  // keeps its attributes (hidden), its permissions and its identity; where there is no file yet, or
  // ReplaceFileW cannot do it, MoveFileExW(REPLACE_EXISTING | WRITE_THROUGH). A read-only file is
  // refused. A sharing violation (another program has the file open) is retried briefly; anything
  // else, access denied included, fails at once. A failure throws EXmlError "Cannot create file ..."
  // with the system's message, leaving the old file as it was and no temporary file behind.
  // One failure differs: ReplaceFileW may remove the old file and then fail to rename the new one into
  // its place (the old name still delete-pending while an indexer or antivirus holds it). The rename is
  // tried again for RescueAttempts x RescueDelayMs; if it still fails, the temporary file is the only
  // copy: it is kept, the EXmlError says in Chinese where it is, and later saves of that name are refused
  // while the name is missing and the copy is there, so that none writes over it.
  void WriteFileAtomic(const std::wstring& name, std::string_view bytes) override;

  // How often and how long a sharing violation is waited out (total ~ attempts x delay). A read runs
  // on the UI thread: it waits no more than about 100 ms.
  int RetryAttempts = 10;
  unsigned RetryDelayMs = 50;
  int ReadRetryAttempts = 5;
  unsigned ReadRetryDelayMs = 20;
  // Runs before each retry in place of the plain wait, when set.
  std::function<void(int attempt)> OnRetry;
  // ReplaceFileW(replaced, replacement, no backup, flags) with its last error, or another call handed in
  // (one that fails as Windows documents it).
  using TReplaceFile = std::function<bool(const std::wstring& replaced, const std::wstring& replacement)>;
  TReplaceFile ReplaceExisting;
  // MoveFileExW(from, to, REPLACE_EXISTING | WRITE_THROUGH) with its last error, likewise.
  using TMoveFile = std::function<bool(const std::wstring& from, const std::wstring& to)>;
  TMoveFile MoveReplacing;
  // The rename after a replace that stopped halfway: tried within the UI thread's budget.
  int RescueAttempts = 5;
  unsigned RescueDelayMs = 20;

 private:
  // Runs `attempt` up to `attempts` times, trying again only after a sharing problem, which may pass.
  // Returns ERROR_SUCCESS or the last failure's code.
  DWORD Retrying(int attempts, unsigned delayMs, const std::function<bool()>& attempt,
                 const std::function<bool(DWORD)>& passes);
  // False with the last error set; stoppedHalfway says the old file is gone and the temporary remains.
  bool Replace(const std::wstring& name, const std::wstring& temporary, bool& stoppedHalfway);
  bool Move(const std::wstring& from, const std::wstring& to);

  std::set<std::wstring> stranded_;  // names whose temporary file holds the only copy
};

// The full path of a name (a relative one is taken in the current folder), or the name when it has none.
std::wstring FullPathName(const std::wstring& name);
