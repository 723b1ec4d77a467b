// The Windows host of the XML document: a MessageBoxW reporter and a CreateFileW file system with atomic
// saves.
#pragma once

#include <functional>

#include "xml/XmlHost.h"

// Shows the text in a message box (owned by the active window, titled with the application's title).
class TWinXmlReporter final : public TXmlReporter {
 public:
  void ShowMessage(const std::wstring& text) override;
};

class TWinXmlFileSystem final : public TXmlFileSystem {
 public:
  bool FileExists(const std::wstring& name) override;
  // Opened with sharing for read and delete, read whole, closed at once.
  TXmlReadResult ReadFile(const std::wstring& name, std::size_t maxBytes, std::string& bytes) override;
  // name.tmp in the same folder, FlushFileBuffers, close, MoveFileExW(REPLACE_EXISTING | WRITE_THROUGH);
  // a sharing violation is retried briefly; any failure throws EXmlError "Cannot create file ..."
  // with the system's message, leaving the old file as it was and no temporary file behind.
  void WriteFileAtomic(const std::wstring& name, std::string_view bytes) override;

  // How often and how long a sharing violation is waited out (total ~ attempts x delay).
  int RetryAttempts = 10;
  unsigned RetryDelayMs = 50;
  // Runs before each retry in place of the plain wait, when set (tests release a lock here).
  std::function<void(int attempt)> OnRetry;
};

// Makes the Windows reporter and file system the XML document's default host (process lifetime).
void InstallWinXmlHost();
