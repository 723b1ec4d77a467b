// TSettingsFile: reading with defaults, and saves that never write over a file we could not read.
#include "app/SettingsFile.h"

#include "app/ConfigBackup.h"
#include "framework/DebugTrace.h"
#include "framework/Win32.h"

namespace {
constexpr std::size_t kMaxSettingsBytes = std::size_t{64} * 1024;
}  // namespace

TSettingsFile::TSettingsFile(std::wstring name, TXmlFileSystem& files)
    : name_(std::move(name)), files_(files) {}

void TSettingsFile::Load() {
  settings_ = {};
  keepAside_ = false;
  std::string bytes;
  const TXmlReadResult read = files_.ReadFile(name_, kMaxSettingsBytes, bytes);
  if (read == TXmlReadResult::Missing) return;
  const std::optional<vantel::Settings> parsed =
      read == TXmlReadResult::Ok ? vantel::ParseSettings(bytes) : std::nullopt;
  if (parsed) {
    settings_ = *parsed;
  } else {
    keepAside_ = true;
  }
}

bool TSettingsFile::Save(const vantel::Settings& settings) {
  settings_ = settings;
  try {
    if (keepAside_ && files_.FileExists(name_)) {
      const std::time_t now = std::time(nullptr);
      std::tm local{};
      localtime_s(&local, &now);
      bool kept = false;
      for (int attempt = 0; attempt < 10 && !kept; ++attempt) {
        kept = MoveFileExW(name_.c_str(), BackupFileName(name_, local, attempt).c_str(), 0) != FALSE;
      }
      if (!kept) return false;  // held by another program: the settings live for this run only
    }
    keepAside_ = false;
    files_.WriteFileAtomic(name_, vantel::WriteSettings(settings_));
    return true;
  } catch (...) {
    // A preference that could not be written is no reason to interrupt the user: it holds for this run.
    TraceCaughtException(L"TSettingsFile::Save");
    return false;
  }
}
