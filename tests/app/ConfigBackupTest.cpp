// Backups before a save replaces a file that does not load; the load test; the backup names.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/ConfigBackup.h"
#include "framework/text/Gb18030.h"
#include "tests/app/AppLogicTestSupport.h"
#include "tests/support/ScratchFolder.h"
#include "xml/XmlDocument.h"
#include "xml/XmlError.h"

namespace {
using apptest::TMemoryFileSystem;

std::tm At(int year, int month, int day, int hour, int minute, int second) {
  std::tm t{};
  t.tm_year = year - 1900;
  t.tm_mon = month - 1;
  t.tm_mday = day;
  t.tm_hour = hour;
  t.tm_min = minute;
  t.tm_sec = second;
  return t;
}

const std::tm kNow = At(2026, 12, 7, 8, 5, 9);
const std::wstring kConfig = L"SystemConfig.xml";
const std::wstring kFirstBackup = L"SystemConfig.xml.20261207-080509.bak";

TEST(BackupFileName, StampsTheNameAndCountsFurtherAttempts) {
  EXPECT_EQ(BackupFileName(kConfig, kNow, 0), kFirstBackup);
  EXPECT_EQ(BackupFileName(kConfig, kNow, 1), L"SystemConfig.xml.20261207-080509-2.bak");
  EXPECT_EQ(BackupFileName(L"a.xml", At(1999, 1, 31, 23, 59, 58), 0), L"a.xml.19990131-235958.bak");
}

struct LoadCase {
  const char* label;
  std::string bytes;
  bool loads;
};

// Printed by its label: test names stay the same from build to build.
void PrintTo(const LoadCase& c, std::ostream* out) {
  *out << c.label;
}

class LoadsAsXmlTest : public testing::TestWithParam<LoadCase> {};

TEST_P(LoadsAsXmlTest, MatchesWhatTheDocumentLoads) {
  EXPECT_EQ(LoadsAsXml(GetParam().bytes), GetParam().loads);
}

INSTANTIATE_TEST_SUITE_P(Files, LoadsAsXmlTest,
                         testing::Values(LoadCase{"Settings", apptest::kGoodConfig, true},
                                         LoadCase{"BareRoot", "<a/>", true}, LoadCase{"Empty", "", false},
                                         LoadCase{"DeclarationOnly", "<?xml version=\"1.0\"?>", false},
                                         LoadCase{"Unclosed", "<Settings HotColor=\"1\">", false},
                                         LoadCase{"WrongCloseTag", "<a></b>", false},
                                         LoadCase{"PlainText", "hello", false}),
                         [](const testing::TestParamInfo<LoadCase>& info) {
                           return std::string(info.param.label);
                         });

class ConfigBackupTest : public testing::Test {
 protected:
  TMemoryFileSystem inner;
  TConfigBackupFileSystem files{inner, [] { return kNow; }};
};

TEST_F(ConfigBackupTest, ReplacesAFileThatLoadsWithoutACopy) {
  inner.Files[kConfig] = apptest::kGoodConfig;
  files.WriteFileAtomic(kConfig, "<new/>");
  EXPECT_EQ(inner.Files[kConfig], "<new/>");
  EXPECT_EQ(inner.Files.size(), 1u);
  EXPECT_TRUE(files.Backups().empty());
}

TEST_F(ConfigBackupTest, CreatesAMissingFileWithoutACopy) {
  files.WriteFileAtomic(kConfig, "<new/>");
  EXPECT_EQ(inner.Files[kConfig], "<new/>");
  EXPECT_EQ(inner.Files.size(), 1u);
}

TEST_F(ConfigBackupTest, KeepsTheExactBytesOfAnUnloadableFileBeforeReplacingIt) {
  const std::string broken("<Settings HotColor=\"-1\">\r\n<ButtonInfo\0 x", 36);
  inner.Files[kConfig] = broken;
  files.WriteFileAtomic(kConfig, "<new/>");
  ASSERT_EQ(inner.Writes, (std::vector<std::wstring>{kFirstBackup, kConfig}));  // the copy first
  EXPECT_EQ(inner.Files[kFirstBackup], broken);
  EXPECT_EQ(inner.Files[kConfig], "<new/>");
  EXPECT_EQ(files.Backups(), std::vector<std::wstring>{kFirstBackup});
}

TEST_F(ConfigBackupTest, AnEarlierCopyIsNeverOverwritten) {
  inner.Files[kFirstBackup] = "older copy";
  inner.Files[kConfig] = "";
  files.WriteFileAtomic(kConfig, "<new/>");
  EXPECT_EQ(inner.Files[kFirstBackup], "older copy");
  EXPECT_EQ(inner.Files[L"SystemConfig.xml.20261207-080509-2.bak"], "");
}

TEST_F(ConfigBackupTest, NoCopyNoSave) {
  inner.Files[kConfig] = "broken";
  inner.FailWrites.insert(kFirstBackup);
  EXPECT_THROW(files.WriteFileAtomic(kConfig, "<new/>"), EXmlError);
  EXPECT_EQ(inner.Files[kConfig], "broken");
}

TEST_F(ConfigBackupTest, AFileThatCannotBeReadIsNotReplaced) {
  inner.Files[kConfig] = apptest::kGoodConfig;
  inner.Unreadable.insert(kConfig);
  EXPECT_THROW(files.WriteFileAtomic(kConfig, "<new/>"), EXmlError);
  EXPECT_EQ(inner.Files[kConfig], apptest::kGoodConfig);
  EXPECT_TRUE(inner.Writes.empty());

  // The message names the file in the program's multi-byte form, as every message does.
  const std::wstring chinese = L"配置.xml";
  inner.Files[chinese] = apptest::kGoodConfig;
  inner.Unreadable.insert(chinese);
  try {
    files.WriteFileAtomic(chinese, "<new/>");
    ADD_FAILURE() << "no error";
  } catch (const EXmlError& e) {
    EXPECT_NE(std::string(e.what()).find(Gb18030Encode(u"配置.xml")), std::string::npos) << e.what();
  }
}

// The whole road on disk: a document saved through the host over a damaged file.
TEST(ConfigBackupOnDisk, DocumentSaveOverADamagedFileLeavesItsCopyBeside) {
  const testsupport::ScratchFolder scratch;
  const std::filesystem::path& folder = scratch.Path();
  const std::filesystem::path config = folder / "SystemConfig.xml";
  { std::ofstream(config, std::ios::binary) << "<Settings"; }
  TConfigBackupFileSystem files(StdXmlFileSystem(), [] { return kNow; });
  TXmlHostScope host(TXmlHost{nullptr, &files});
  TXmlDocument document;
  document.SaveFile(config.wstring());

  const std::filesystem::path copy = folder / "SystemConfig.xml.20261207-080509.bak";
  ASSERT_TRUE(std::filesystem::exists(copy));
  {
    std::ifstream in(copy, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()), "<Settings");
  }
  EXPECT_TRUE(LoadsAsXml(document.SaveToBytes()));
}
}  // namespace
