// TWinXmlFileSystem: whole-file reads with sharing, atomic saves, and the error when a save cannot happen;
// SystemMessage, the system's text that such errors carry; the log that caught failures go to.
#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <string>

#include "VantelVersion.h"
#include "framework/AppLog.h"
#include "framework/DebugTrace.h"
#include "framework/Handles.h"
#include "framework/SystemMessage.h"
#include "framework/text/TextCodec.h"
#include "framework/WinFileSystem.h"
#include "tests/support/ScratchFolder.h"
#include "xml/XmlError.h"

namespace {

namespace fs = std::filesystem;

class WinFileSystemTest : public testing::Test {
 protected:
  void SetUp() override {
    files_.RetryAttempts = 3;
    files_.RetryDelayMs = 10;
  }
  std::wstring Path(const std::wstring& leaf) const { return folder_.File(leaf); }
  static std::string Read(const std::wstring& path) {
    std::string bytes;
    TWinXmlFileSystem reader;
    EXPECT_EQ(reader.ReadFile(path, 1 << 20, bytes), TXmlReadResult::Ok);
    return bytes;
  }
  static void Write(const std::wstring& path, const std::string& bytes) {
    UniqueFile f(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    ASSERT_TRUE(Valid(f));
    WriteFile(f.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  }
  bool NoTemporaryFiles() const {
    for (const auto& entry : fs::directory_iterator(folder_.Path()))
      if (entry.path().extension() == L".tmp") return false;
    return true;
  }

  testsupport::ScratchFolder folder_;
  TWinXmlFileSystem files_;
};

TEST_F(WinFileSystemTest, SaveCreatesOrReplacesWithExactBytesAndLeavesNoTemporary) {
  const std::wstring target = Path(L"SystemConfig.xml");
  const std::string first = "<?xml version=\"1.0\"?>\r\n<Root/>\r\n";
  std::string second("\0binary\xff\x80", 9);
  second += WideToGb18030(L"按键颜色");
  for (const std::string& bytes : {first, second, std::string()}) {
    files_.WriteFileAtomic(target, bytes);
    EXPECT_EQ(Read(target), bytes);
    EXPECT_TRUE(NoTemporaryFiles());
  }
}

TEST_F(WinFileSystemTest, SaveWaitsOutAReaderThatLetsGoSoon) {
  const std::wstring target = Path(L"open.xml");
  Write(target, "old");
  // Without delete sharing (a reader that shares it does not stand in the way).
  UniqueFile reader(
      CreateFileW(target.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(Valid(reader));
  int retries = 0;
  files_.OnRetry = [&](int) {
    ++retries;
    reader.reset();  // the other program closes the file
  };
  files_.WriteFileAtomic(target, "new");
  EXPECT_EQ(retries, 1);
  EXPECT_EQ(Read(target), "new");
  EXPECT_TRUE(NoTemporaryFiles());
}

TEST_F(WinFileSystemTest, SaveThatCannotReplaceThrowsAndKeepsTheOldFile) {
  const std::wstring target = Path(L"locked.xml");
  Write(target, "old contents");
  // Held open without delete sharing: the rename over it cannot succeed.
  UniqueFile holder(
      CreateFileW(target.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(Valid(holder));
  int retries = 0;
  files_.OnRetry = [&](int) { ++retries; };
  try {
    files_.WriteFileAtomic(target, "new contents");
    ADD_FAILURE() << "no error";
  } catch (const EXmlError& e) {
    const std::string prefix = "Cannot create file \"" + WideToGb18030(target) + "\". ";
    EXPECT_EQ(std::string(e.what()).substr(0, prefix.size()), prefix);
    EXPECT_GT(std::string(e.what()).size(), prefix.size());  // the system's own text follows
  }
  EXPECT_EQ(retries, files_.RetryAttempts - 1);  // tried, waited, gave up
  holder.reset();
  EXPECT_EQ(Read(target), "old contents");
  EXPECT_TRUE(NoTemporaryFiles());
}

TEST_F(WinFileSystemTest, AReadOnlyFileIsRefusedAtOnceAndKept) {
  const std::wstring target = Path(L"readonly.xml");
  Write(target, "old contents");
  ASSERT_TRUE(SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_READONLY));
  int retries = 0;
  files_.OnRetry = [&](int) { ++retries; };
  EXPECT_THROW(files_.WriteFileAtomic(target, "new contents"), EXmlError);
  EXPECT_EQ(retries, 0) << "access denied is not waited out";
  SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(Read(target), "old contents");
  EXPECT_TRUE(NoTemporaryFiles());
}

TEST_F(WinFileSystemTest, SaveKeepsTheFilesHiddenAttribute) {
  const std::wstring target = Path(L"hidden.xml");
  Write(target, "old");
  ASSERT_TRUE(SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_HIDDEN));
  files_.WriteFileAtomic(target, "new");
  EXPECT_EQ(Read(target), "new");
  EXPECT_TRUE(GetFileAttributesW(target.c_str()) & FILE_ATTRIBUTE_HIDDEN);
}

// ReplaceFileW and the rename after it failing as Windows documents them: where the plain rename may do the
// work it does; a file we may not write is not replaced by a rename behind its back; and where the replace
// stopped halfway (the old file gone, the new one still under its temporary name) the temporary file is the
// only copy: kept, named in the error, and no later save writes over it.
TEST_F(WinFileSystemTest, AReplaceThatFailsFallsBackToTheRenameOnlyWhereThatIsRight) {
  enum TOld { Kept, Removed, RenamedAway };  // what the failed replace did to the old file
  constexpr int always = 1000;
  struct Case {
    DWORD error;
    TOld old;
    int moveRefusals;  // access denied, as over a name still delete-pending, before the rename works
    bool saved;
    bool copyKept;
  };
  for (const Case& c : {
           Case{ERROR_UNABLE_TO_MOVE_REPLACEMENT, Removed, 0, true, false},
           Case{ERROR_UNABLE_TO_MOVE_REPLACEMENT, Removed, 2, true, false},
           Case{ERROR_UNABLE_TO_MOVE_REPLACEMENT, Removed, always, false, true},
           Case{ERROR_UNABLE_TO_MOVE_REPLACEMENT_2, RenamedAway, always, false, true},
           Case{ERROR_NOT_SUPPORTED, Kept, 0, true, false},
           Case{ERROR_NOT_SUPPORTED, Kept, always, false, false},
           Case{ERROR_ACCESS_DENIED, Kept, 0, false, false},
       }) {
    const std::wstring target = Path(L"replace.xml"), temporary = target + L".tmp";
    Write(target, "old");
    files_.ReplaceExisting = [&](const std::wstring& replaced, const std::wstring&) {
      if (c.old == Removed) DeleteFileW(replaced.c_str());
      if (c.old == RenamedAway) MoveFileW(replaced.c_str(), Path(L"replace.xml.~old").c_str());
      SetLastError(c.error);
      return false;
    };
    int refusals = 0;
    files_.MoveReplacing = [&](const std::wstring& from, const std::wstring& to) {
      if (refusals++ < c.moveRefusals) {
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
      }
      return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
    };
    const std::string where = std::to_string(c.error) + " after " + std::to_string(c.moveRefusals);
    if (c.saved) {
      files_.WriteFileAtomic(target, "new");
    } else if (!c.copyKept) {
      EXPECT_THROW(files_.WriteFileAtomic(target, "new"), EXmlError) << where;
    } else {
      for (const char* bytes : {"new", "a later save"}) {
        try {
          files_.WriteFileAtomic(target, bytes);
          ADD_FAILURE() << where << ": no error";
        } catch (const EXmlError& e) {
          EXPECT_NE(std::string(e.what()).find(WideToGb18030(L"“" + temporary + L"”")), std::string::npos)
              << where;
        }
      }
      EXPECT_EQ(Read(temporary), "new") << where;
      EXPECT_FALSE(files_.FileExists(target)) << where;
    }
    if (!c.copyKept) {
      EXPECT_EQ(Read(target), c.saved ? "new" : "old") << where;
      EXPECT_TRUE(NoTemporaryFiles()) << where;
    }
    DeleteFileW(temporary.c_str());
    DeleteFileW(target.c_str());
    DeleteFileW(Path(L"replace.xml.~old").c_str());
  }
}

TEST_F(WinFileSystemTest, ReadWaitsOutAProgramThatHoldsTheFileWithoutSharingForAMoment) {
  const std::wstring target = Path(L"synced.xml");
  Write(target, "kept");
  UniqueFile holder(CreateFileW(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(Valid(holder));
  int retries = 0;
  files_.OnRetry = [&](int) {
    if (++retries == 2) holder.reset();  // the sync tool is done
  };
  std::string bytes;
  EXPECT_EQ(files_.ReadFile(target, 100, bytes), TXmlReadResult::Ok);
  EXPECT_EQ(bytes, "kept");
  EXPECT_EQ(retries, 2);
}

TEST_F(WinFileSystemTest, SaveIntoAMissingFolderNamesTheFileInTheError) {
  const std::wstring target = Path(L"没有\\配置.xml");
  try {
    files_.WriteFileAtomic(target, "x");
    ADD_FAILURE() << "no error";
  } catch (const EXmlError& e) {
    // The file name is in the program's narrow encoding (GB18030), like every message.
    EXPECT_NE(std::string(e.what()).find(WideToGb18030(L"配置.xml")), std::string::npos) << e.what();
  }
}

TEST_F(WinFileSystemTest, ReadResults) {
  std::string bytes = "untouched";
  EXPECT_EQ(files_.ReadFile(Path(L"absent.xml"), 100, bytes), TXmlReadResult::Missing);
  EXPECT_EQ(files_.ReadFile(Path(L"no-folder\\absent.xml"), 100, bytes), TXmlReadResult::Missing);
  EXPECT_EQ(bytes, "untouched");
  EXPECT_FALSE(files_.FileExists(Path(L"absent.xml")));

  Write(Path(L"big.xml"), std::string(101, 'x'));
  EXPECT_EQ(files_.ReadFile(Path(L"big.xml"), 100, bytes), TXmlReadResult::TooLarge);
  EXPECT_EQ(files_.ReadFile(Path(L"big.xml"), 101, bytes), TXmlReadResult::Ok);
  EXPECT_EQ(bytes.size(), 101u);
  EXPECT_TRUE(files_.FileExists(Path(L"big.xml")));
  EXPECT_FALSE(files_.FileExists(folder_.Path().wstring()));  // a folder is not a file
}

TEST_F(WinFileSystemTest, ReadingDoesNotKeepTheFileOpenAndAllowsOthersToWriteAfterwards) {
  const std::wstring target = Path(L"中文名.xml");
  Write(target, "abc");
  EXPECT_EQ(Read(target), "abc");
  // Exclusive access succeeds only if our read closed its handle.
  UniqueFile exclusive(
      CreateFileW(target.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  EXPECT_TRUE(Valid(exclusive));
}

TEST_F(WinFileSystemTest, ReadingWorksWhileAnotherProgramHoldsTheFileForReading) {
  const std::wstring target = Path(L"shared.xml");
  Write(target, "shared");
  UniqueFile other(CreateFileW(target.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(Valid(other));
  EXPECT_EQ(Read(target), "shared");
}

TEST(SystemMessage, IsTheSystemsTextReadyToBeQuotedOrEmpty) {
  for (const DWORD code : {ERROR_FILE_NOT_FOUND, ERROR_ACCESS_DENIED, ERROR_SHARING_VIOLATION}) {
    const std::wstring text = SystemMessage(code);
    ASSERT_FALSE(text.empty()) << code;
    EXPECT_GT(text.back(), L' ') << code;  // no line break or blank left at the end
    EXPECT_NE(text.back(), L'.') << code;  // our own sentence goes on after it
  }
  EXPECT_EQ(SystemMessage(0x2FFFFFFF), L"");  // no such message
}

TEST_F(WinFileSystemTest, ACaughtFailureIsLoggedAndAFullLogTurnsOver) {
  const std::string full(kLogFileLimit - 20, 'x');
  Write(Path(kLogFileName), full);
  AppLog::Start(folder_.Path().wstring());
  try {
    throw std::runtime_error("boom");
  } catch (...) {
    TraceCaughtException(L"LoadIcons");
  }
  AppLog::Flush(10000);
  AppLog::Start(L"");  // the other tests log nothing
  EXPECT_EQ(Read(Path(std::wstring(kLogFileName) + kOlderLogSuffix)), full);
  const std::string log = Read(Path(kLogFileName));
  EXPECT_NE(log.find(" " VANTEL_VERSION_TEXT " caught: LoadIcons: boom\r\n"), std::string::npos) << log;
}

}  // namespace
