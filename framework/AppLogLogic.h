// The log a user can send: its entries' form and its two files, Vantel.log and Vantel.log.1.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

inline constexpr wchar_t kLogFileName[] = L"Vantel.log";
inline constexpr wchar_t kOlderLogSuffix[] = L".1";
// Each of the two files stays at or under this size.
inline constexpr std::uint64_t kLogFileLimit = 262144;  // 256 KB
// An entry's text is cut to this many UTF-16 units, so that one message cannot fill the log.
inline constexpr std::size_t kLogTextLimit = 4000;

struct TLogTime {
  int Year = 0, Month = 0, Day = 0, Hour = 0, Minute = 0, Second = 0, Millisecond = 0;
};

// One line of UTF-8: "2026-12-08 03:52:13.045 1.0.0 <kind>: <text>" and CR LF. Line breaks and other
// control characters in the text become spaces, an unpaired surrogate U+FFFD.
std::string FormatLogEntry(const TLogTime& time, std::string_view version, std::string_view kind,
                           std::wstring_view text);

// The file operations the log needs; they report failure instead of throwing.
class TLogFiles {
 public:
  virtual ~TLogFiles() = default;
  virtual std::uint64_t Size(const std::wstring& name) = 0;  // 0 when missing
  virtual bool MoveReplacing(const std::wstring& from, const std::wstring& to) = 0;
  virtual bool Append(const std::wstring& name, std::string_view bytes) = 0;
};

// Appends `entry` to `path`. When the file would grow over `limit`, it first becomes path + ".1" (the
// older file goes) and the entry starts a new file. An entry that cannot be placed is skipped.
void AppendToRotatingLog(TLogFiles& files, const std::wstring& path, std::string_view entry,
                         std::uint64_t limit = kLogFileLimit);
