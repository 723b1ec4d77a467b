// TConfigBackupFileSystem: the load test and the backup written before a save replaces a broken file.
#include "app/ConfigBackup.h"

#include <cstdio>

#include "framework/text/Gb18030.h"
#include "xml/XmlDocument.h"
#include "xml/XmlError.h"

namespace {
constexpr int kMaxAttempts = 100;

// The name as the error's text carries it: the program's multi-byte form (GB18030), in which every
// message is read back.
std::string MessageName(const std::wstring& name) {
  std::u16string utf16;
  utf16.reserve(name.size());
  for (const wchar_t c : name) {
    const auto code = static_cast<char32_t>(c);
    if (code > 0xFFFF) {
      utf16.push_back(static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10)));
      utf16.push_back(static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF)));
    } else {
      utf16.push_back(static_cast<char16_t>(code));
    }
  }
  return Gb18030Encode(utf16);
}

std::tm LocalNow() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &now);
#else
  localtime_r(&now, &local);
#endif
  return local;
}
}  // namespace

std::wstring BackupFileName(const std::wstring& name, const std::tm& time, int attempt) {
  wchar_t stamp[32] = {};
  std::swprintf(stamp, sizeof(stamp) / sizeof(stamp[0]), L"%04d%02d%02d-%02d%02d%02d", time.tm_year + 1900,
                time.tm_mon + 1, time.tm_mday, time.tm_hour, time.tm_min, time.tm_sec);
  std::wstring result = name + L"." + stamp;
  if (attempt > 0) result += L"-" + std::to_wstring(attempt + 1);
  return result + L".bak";
}

bool LoadsAsXml(std::string_view bytes) {
  try {
    TXmlDocument document;
    document.LoadFromBytes(bytes);
    return document.RootElement() != nullptr;
  } catch (const EXmlError&) {
    return false;
  }
}

TConfigBackupFileSystem::TConfigBackupFileSystem(TXmlFileSystem& inner, TClock clock)
    : inner_(inner), clock_(clock ? std::move(clock) : TClock(&LocalNow)) {}

bool TConfigBackupFileSystem::FileExists(const std::wstring& name) {
  return inner_.FileExists(name);
}

TXmlReadResult TConfigBackupFileSystem::ReadFile(const std::wstring& name, std::size_t maxBytes,
                                                 std::string& bytes) {
  return inner_.ReadFile(name, maxBytes, bytes);
}

void TConfigBackupFileSystem::WriteFileAtomic(const std::wstring& name, std::string_view bytes) {
  KeepCopyIfUnloadable(name);
  inner_.WriteFileAtomic(name, bytes);
}

void TConfigBackupFileSystem::KeepCopyIfUnloadable(const std::wstring& name) {
  if (!inner_.FileExists(name)) return;
  std::string present;
  switch (inner_.ReadFile(name, TXmlDocument::MaxFileSize, present)) {
    case TXmlReadResult::Missing:
      return;  // gone since FileExists: nothing to keep
    case TXmlReadResult::Ok:
      if (LoadsAsXml(present)) return;
      break;
    case TXmlReadResult::CannotOpen:
    case TXmlReadResult::TooLarge:
      // What we cannot read we cannot judge, nor copy: better no save than a lost file.
      XmlErrors::Raise(XmlErrors::CannotCreateFile(
          MessageName(name), "Its present content cannot be read, so no copy of it can be kept."));
  }
  const std::tm now = clock_();
  for (int attempt = 0; attempt < kMaxAttempts; ++attempt) {
    const std::wstring backup = BackupFileName(name, now, attempt);
    if (inner_.FileExists(backup)) continue;
    inner_.WriteFileAtomic(backup, present);  // throws when it cannot: then nothing is replaced
    backups_.push_back(backup);
    return;
  }
  XmlErrors::Raise(
      XmlErrors::CannotCreateFile(MessageName(name), "No free name for a copy of its present content."));
}
