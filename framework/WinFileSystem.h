// The Windows file system of the XML document: CreateFileW reads and atomic saves.
#pragma once

#include <functional>

#include "xml/XmlHost.h"

class TWinXmlFileSystem final : public TXmlFileSystem {
 public:
  bool FileExists(const std::wstring& name) override;
  // Opened with sharing for read and delete, read whole, closed at once.
  TXmlReadResult ReadFile(const std::wstring& name, std::size_t maxBytes, std::string& bytes) override;
  // name.tmp in the same folder, FlushFileBuffers, close, MoveFileExW(REPLACE_EXISTING | WRITE_THROUGH);
  // a sharing violation (another program has the file open) is retried briefly; anything else, access
  // denied included, fails at once. A failure throws EXmlError "Cannot create file ..." with the
  // system's message, leaving the old file as it was and no temporary file behind.
  void WriteFileAtomic(const std::wstring& name, std::string_view bytes) override;

  // How often and how long a sharing violation is waited out (total ~ attempts x delay).
  int RetryAttempts = 10;
  unsigned RetryDelayMs = 50;
  // Runs before each retry in place of the plain wait, when set (tests release a lock here).
  std::function<void(int attempt)> OnRetry;
};
