// The log's entries and its rotation.
#include "framework/AppLogLogic.h"

#include <cstdio>

#include "xml/XmlText.h"

namespace {

// A wchar_t as a number: a UTF-16 unit on Windows (a code point where wchar_t is 32 bits wide).
char32_t Unit(wchar_t c) {
  // NOLINTNEXTLINE(bugprone-signed-char-misuse): a wchar_t (signed on Linux), not a char
  return static_cast<char32_t>(static_cast<std::uint32_t>(c));
}

// UTF-16 units as UTF-8, one line.
void AppendText(std::string& out, std::wstring_view text) {
  if (text.size() > kLogTextLimit) text = text.substr(0, kLogTextLimit);
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t code = Unit(text[i]);
    if (code >= 0xD800 && code < 0xDC00 && i + 1 < text.size()) {
      const char32_t low = Unit(text[i + 1]);
      if (low >= 0xDC00 && low < 0xE000) {
        code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
        ++i;
      }
    }
    if ((code >= 0xD800 && code < 0xE000) || code > 0x10FFFF) code = 0xFFFD;
    if (code < 0x20 || code == 0x7F) code = U' ';
    XmlText::AppendUtf8(out, code);
  }
}

}  // namespace

std::string FormatLogEntry(const TLogTime& time, std::string_view version, std::string_view kind,
                           std::wstring_view text) {
  char stamp[40] = {};
  std::snprintf(stamp, sizeof(stamp), "%04d-%02d-%02d %02d:%02d:%02d.%03d ", time.Year, time.Month, time.Day,
                time.Hour, time.Minute, time.Second, time.Millisecond);
  std::string entry = stamp;
  entry.append(version).append(" ").append(kind).append(": ");
  AppendText(entry, text);
  entry += "\r\n";
  return entry;
}

void AppendToRotatingLog(TLogFiles& files, const std::wstring& path, std::string_view entry,
                         std::uint64_t limit) {
  if (entry.size() > limit) return;
  const std::uint64_t size = files.Size(path);
  if (size + entry.size() > limit && !files.MoveReplacing(path, path + kOlderLogSuffix)) return;
  files.Append(path, entry);
}
