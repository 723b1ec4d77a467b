// TConfigBackupFileSystem: keeps a copy of a file that does not load before any save replaces it.
#pragma once

#include <ctime>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "xml/XmlHost.h"

// The copy's name: "<name>.<YYYYMMDD-HHMMSS>.bak", with "-<attempt>" before ".bak" from the
// second attempt on (a copy made in the same second as another).
std::wstring BackupFileName(const std::wstring& name, const std::tm& time, int attempt);

// Whether these bytes load as an XML document (the test a save must pass before replacing them).
bool LoadsAsXml(std::string_view bytes);

// Wraps the file system every document writes through. Before a file is replaced, its present
// content is read: when it does not load as XML (the user's hand-edited or damaged file), it is
// first written to a backup beside it, and only then replaced. When the present content cannot
// be read, or no copy can be written, the save fails (EXmlError) and the file stays as it is.
class TConfigBackupFileSystem : public TXmlFileSystem {
 public:
  using TClock = std::function<std::tm()>;
  explicit TConfigBackupFileSystem(TXmlFileSystem& inner, TClock clock = {});  // default: local time

  bool FileExists(const std::wstring& name) override;
  TXmlReadResult ReadFile(const std::wstring& name, std::size_t maxBytes, std::string& bytes) override;
  void WriteFileAtomic(const std::wstring& name, std::string_view bytes) override;

  // The backups written so far, oldest first.
  const std::vector<std::wstring>& Backups() const { return backups_; }

 private:
  void KeepCopyIfUnloadable(const std::wstring& name);

  TXmlFileSystem& inner_;
  TClock clock_;
  std::vector<std::wstring> backups_;
};
