// What the XML document needs from its host: a message reporter and a file system.
//
// The document itself is pure C++. A host implements these two small interfaces: the Windows
// layer with MessageBoxW and CreateFileW/FlushFileBuffers/MoveFileExW, others with recorders or
// files in memory. Every document falls back to the process-wide default host, which starts out as the
// std-only implementation below and can be replaced once at start-up (SetDefaultXmlHost).
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

// Shows a modal message to the user (LoadFile: missing file, unreadable file).
class TXmlReporter {
 public:
  virtual ~TXmlReporter() = default;
  virtual void ShowMessage(const std::wstring& text) = 0;
};

enum class TXmlReadResult { Ok, Missing, CannotOpen, TooLarge };

// The files the document reads and writes. Names are wide text, as the caller gave them.
class TXmlFileSystem {
 public:
  virtual ~TXmlFileSystem() = default;

  virtual bool FileExists(const std::wstring& name) = 0;

  // Reads the whole file into bytes, opened so that others may read (and delete) it but not
  // write, and closed before returning. A file larger than maxBytes is not read: TooLarge.
  // Missing when the file is not there (it may vanish after FileExists), CannotOpen otherwise.
  virtual TXmlReadResult ReadFile(const std::wstring& name, std::size_t maxBytes, std::string& bytes) = 0;

  // Replaces the file with exactly these bytes, never leaving it half written: write name.tmp
  // beside it, flush, close, rename over the target. On a failure the old file stays as it
  // was, the temporary file is removed, and EXmlError is thrown with the text of
  // XmlErrors::CannotCreateFile(name in the document's byte encoding, system message). Where the
  // system removed the old file and the new one could not take its place, the temporary file is
  // the only copy: it stays, and the EXmlError names it.
  virtual void WriteFileAtomic(const std::wstring& name, std::string_view bytes) = 0;
};

// Non-owning: the objects must outlive every document that uses them. A null member means
// "use the default's".
struct TXmlHost {
  TXmlReporter* Reporter = nullptr;
  TXmlFileSystem* FileSystem = nullptr;
};

// The process-wide default host (members never null).
TXmlHost DefaultXmlHost();
// Installs a default host; null members restore the std-only implementations.
void SetDefaultXmlHost(const TXmlHost& host);
// What a host's member stands for: the member itself, or the default's where it is null.
TXmlReporter& ReporterOf(const TXmlHost& host);
TXmlFileSystem& FileSystemOf(const TXmlHost& host);

// The default host for a scope: installed at construction, the previous one put back at the end.
class TXmlHostScope {
 public:
  explicit TXmlHostScope(const TXmlHost& host) : previous_(DefaultXmlHost()) { SetDefaultXmlHost(host); }
  ~TXmlHostScope() { SetDefaultXmlHost(previous_); }
  TXmlHostScope(const TXmlHostScope&) = delete;
  TXmlHostScope& operator=(const TXmlHostScope&) = delete;

 private:
  TXmlHost previous_;
};

// The std-only implementations (std::filesystem + fstream; the reporter writes to stderr).
TXmlReporter& StdXmlReporter();
TXmlFileSystem& StdXmlFileSystem();

// UTF-8 form of a wide name, for messages of the std implementation.
std::string WideToUtf8(std::wstring_view text);
// The path of a wide file name: the wide form itself on Windows, its UTF-8 bytes elsewhere.
std::filesystem::path XmlFilePath(const std::wstring& name);
