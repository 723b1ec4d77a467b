// The log a user can send: one UTF-8 line per entry, and two files of at most 256 KB.
#include "framework/AppLogLogic.h"

#include <gtest/gtest.h>

#include <map>

namespace {

TEST(AppLogTest, AnEntryIsOneStampedUtf8LineWithTheVersion) {
  const TLogTime time{2026, 1, 8, 3, 5, 9, 45};
  struct Case {
    std::wstring text;
    std::string line;
  };
  const Case cases[] = {
      {L"D:\\按键\\SystemConfig.xml文件不存在!",
       "2026-01-08 03:05:09.045 1.2.3 message: D:\\\xE6\x8C\x89\xE9\x94\xAE\\SystemConfig.xml"
       "\xE6\x96\x87\xE4\xBB\xB6\xE4\xB8\x8D\xE5\xAD\x98\xE5\x9C\xA8!\r\n"},
      {L"two\r\nlines\ttab", "2026-01-08 03:05:09.045 1.2.3 message: two  lines tab\r\n"},
      {std::wstring{L'a', wchar_t(0xD83D), wchar_t(0xDE00), wchar_t(0xD800), L'b'},  // a pair, a lone half
       "2026-01-08 03:05:09.045 1.2.3 message: a\xF0\x9F\x98\x80\xEF\xBF\xBD"
       "b\r\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatLogEntry(time, "1.2.3", "message", c.text), c.line);
  const std::string longEntry = FormatLogEntry(time, "1.2.3", "error", std::wstring(100000, L'x'));
  EXPECT_LT(longEntry.size(), kLogTextLimit + 100) << "one message cannot fill the log";
}

class MemoryLogFiles final : public TLogFiles {
 public:
  std::uint64_t Size(const std::wstring& name) override {
    return Files.contains(name) ? Files[name].size() : 0;
  }
  bool MoveReplacing(const std::wstring& from, const std::wstring& to) override {
    if (!Files.contains(from) || LockedOlder) return false;
    Files[to] = std::move(Files[from]);
    Files.erase(from);
    return true;
  }
  bool Append(const std::wstring& name, std::string_view bytes) override {
    Files[name].append(bytes);
    return true;
  }
  std::map<std::wstring, std::string> Files;
  bool LockedOlder = false;
};

TEST(AppLogTest, TheLogTurnsOverAt256KilobytesKeepingOneOlderFile) {
  MemoryLogFiles files;
  const std::wstring log = L"C:\\Vantel\\Vantel.log", older = log + L".1";
  const std::string entry(1000, 'a');
  for (int i = 0; i < 262; ++i) AppendToRotatingLog(files, log, entry);
  EXPECT_EQ(files.Files[log].size(), 262000u) << "262 entries fit in 262,144 bytes";
  EXPECT_FALSE(files.Files.contains(older));

  AppendToRotatingLog(files, log, std::string(1000, 'b'));
  EXPECT_EQ(files.Files[older], std::string(262000, 'a'));
  EXPECT_EQ(files.Files[log], std::string(1000, 'b'));

  for (int i = 0; i < 262; ++i) AppendToRotatingLog(files, log, std::string(1000, 'c'));
  EXPECT_EQ(files.Files[older].substr(0, 1000), std::string(1000, 'b')) << "the oldest file went";
  EXPECT_EQ(files.Files[log], std::string(1000, 'c'));
  for (const auto& [name, bytes] : files.Files) EXPECT_LE(bytes.size(), kLogFileLimit);

  // A file that cannot turn over (held by a reader that shares no delete) takes no more.
  files.LockedOlder = true;
  for (int i = 0; i < 300; ++i) AppendToRotatingLog(files, log, entry);
  EXPECT_LE(files.Files[log].size(), kLogFileLimit);
}

}  // namespace
