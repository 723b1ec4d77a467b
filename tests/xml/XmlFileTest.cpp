// Loading and saving files: the missing-file messages, atomic replacement, unwritable targets.
#include "XmlTestSupport.h"

#include "xml/XmlError.h"

#include <gtest/gtest.h>

using namespace XmlTest;
namespace fs = std::filesystem;

namespace {

const std::string OldFile = Lines({Declaration, R"(<Settings HotColor="-1"></Settings>)"});

// A file system whose reads fail as told; writes go to the real one.
class TFailingReads : public TXmlFileSystem {
 public:
  explicit TFailingReads(TXmlReadResult result) : FResult(result) {}
  bool FileExists(const std::wstring&) override { return true; }
  TXmlReadResult ReadFile(const std::wstring&, std::size_t, std::string&) override { return FResult; }
  void WriteFileAtomic(const std::wstring& name, std::string_view bytes) override {
    ++Writes;
    StdXmlFileSystem().WriteFileAtomic(name, bytes);
  }
  int Writes = 0;

 private:
  TXmlReadResult FResult;
};

class XmlFile : public testing::Test {
 protected:
  testsupport::ScratchFolder Folder;
  TRecordingReporter Reporter;
  TXmlDocument Doc{TXmlHost{&Reporter, nullptr}};

  std::string SaveFails(const std::wstring& name) {
    try {
      Doc.SaveFile(name);
    } catch (const EXmlError& e) {
      return e.what();
    }
    return "saved";
  }
};

TEST_F(XmlFile, MissingFileIsReportedAndTheTreeKept) {
  Doc.RootElement()->SetAttribute("kept", "1");
  const std::wstring name = Folder.File(L"SystemConfig.xml");
  Doc.LoadFile(name);
  ASSERT_EQ(Reporter.Messages.size(), 1u);
  EXPECT_EQ(Reporter.Messages[0], name + L"文件不存在!");
  EXPECT_EQ(Doc.LoadedFileName(), name);
  Doc.SaveFile(Doc.LoadedFileName());
  EXPECT_EQ(ReadBytes(name), Lines({Declaration, R"(<Settings kept="1"></Settings>)"}));
}

TEST_F(XmlFile, UnreadableFileIsReported) {
  TFailingReads files(TXmlReadResult::CannotOpen);
  Doc.SetHost(TXmlHost{&Reporter, &files});
  Doc.LoadFile(L"x.xml");
  ASSERT_EQ(Reporter.Messages.size(), 1u);
  EXPECT_EQ(Reporter.Messages[0], L"XML文件流创建出错");
  EXPECT_EQ(Doc.RootElement()->Name(), "Settings");
}

TEST_F(XmlFile, OversizedFileIsRefused) {
  TFailingReads files(TXmlReadResult::TooLarge);
  Doc.SetHost(TXmlHost{&Reporter, &files});
  try {
    Doc.LoadFile(L"x.xml");
    FAIL();
  } catch (const EXmlError& e) {
    EXPECT_EQ(std::string(e.what()), "File too large");
  }
}

TEST_F(XmlFile, EmptyNameSavesNothing) {
  TFailingReads files(TXmlReadResult::Ok);
  Doc.SetHost(TXmlHost{&Reporter, &files});
  Doc.SaveFile(L"");
  EXPECT_EQ(files.Writes, 0);
}

TEST_F(XmlFile, LoadAndSaveUnderAUnicodeName) {
  const std::wstring name = Folder.File(L"\u914D\u7F6E \u00E9.xml");
  WriteBytes(name, OldFile);
  Doc.LoadFile(name);
  EXPECT_TRUE(Reporter.Messages.empty());
  EXPECT_EQ(Doc.RootElement()->AttributeAsInteger("HotColor", 0), -1);
  Doc.RootElement()->StoreIntegerAttribute("HotColor", -2, 0);
  Doc.SaveFile(Doc.LoadedFileName());
  EXPECT_EQ(ReadBytes(name), Lines({Declaration, R"(<Settings HotColor="-2"></Settings>)"}));
  EXPECT_FALSE(fs::exists(XmlFilePath(name + L".tmp")));
}

TEST_F(XmlFile, RenameBlockedLeavesTheOldFileAndNoTemporary) {
  // A directory at the target: the temporary file is written in full, the rename fails.
  const std::wstring name = Folder.File(L"cfg.xml");
  fs::create_directory(XmlFilePath(name));
  const std::string message = SaveFails(name);
  EXPECT_EQ(message.rfind("Cannot create file \"" + WideToUtf8(name) + "\". ", 0), 0u) << message;
  EXPECT_GT(message.size(), WideToUtf8(name).size() + 22);
  EXPECT_TRUE(fs::is_directory(XmlFilePath(name)));
  EXPECT_FALSE(fs::exists(XmlFilePath(name + L".tmp")));
}

TEST_F(XmlFile, UncreatableTemporaryLeavesTheOldFile) {
  const std::wstring name = Folder.File(L"cfg.xml");
  WriteBytes(name, OldFile);
  fs::create_directory(XmlFilePath(name + L".tmp"));
  Doc.RootElement()->SetAttribute("new", "1");
  EXPECT_EQ(SaveFails(name).rfind("Cannot create file \"", 0), 0u);
  EXPECT_EQ(ReadBytes(name), OldFile);
  EXPECT_TRUE(fs::is_directory(XmlFilePath(name + L".tmp")));
}

TEST_F(XmlFile, ReadOnlyTargetIsRefusedAndKept) {
  const std::wstring name = Folder.File(L"cfg.xml");
  WriteBytes(name, OldFile);
  const fs::path path = XmlFilePath(name);
  fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  Doc.RootElement()->SetAttribute("new", "1");
  const std::string message = SaveFails(name);
  fs::permissions(path, fs::perms::owner_write, fs::perm_options::add);  // so the folder can be removed
  EXPECT_EQ(message.rfind("Cannot create file \"" + WideToUtf8(name) + "\". ", 0), 0u) << message;
  EXPECT_EQ(ReadBytes(name), OldFile);
  EXPECT_FALSE(fs::exists(XmlFilePath(name + L".tmp")));
}

#ifndef _WIN32
TEST_F(XmlFile, SaveCutOffHalfWayLeavesTheOldFile) {
  // The temporary file lands on a device that is full: the write stops part of the way.
  const std::wstring name = Folder.File(L"cfg.xml");
  WriteBytes(name, OldFile);
  std::error_code ec;
  fs::create_symlink("/dev/full", XmlFilePath(name + L".tmp"), ec);
  if (ec) GTEST_SKIP() << "no /dev/full: " << ec.message();
  for (int i = 0; i < 2000; ++i) Doc.RootElement()->NewChild("ButtonInfo")->SetAttribute("ButonType", "0");
  const std::string message = SaveFails(name);
  EXPECT_EQ(message.rfind("Cannot create file \"" + WideToUtf8(name) + "\". ", 0), 0u) << message;
  EXPECT_EQ(ReadBytes(name), OldFile);
  EXPECT_FALSE(fs::exists(fs::symlink_status(XmlFilePath(name + L".tmp"))))
      << "the temporary is cleared away";
}
#endif

TEST_F(XmlFile, UnwritableNodeLeavesTheOldFile) {
  const std::wstring name = Folder.File(L"cfg.xml");
  WriteBytes(name, OldFile);
  Doc.RootElement()->NewChild("x")->SetElementType(static_cast<TXmlElementType>(200));
  EXPECT_EQ(SaveFails(name), "Illegal element type");
  EXPECT_EQ(ReadBytes(name), OldFile);
}

TEST_F(XmlFile, UnparseableFileIsNeverOverwritten) {
  const std::wstring name = Folder.File(L"cfg.xml");
  const std::string broken = "<Settings><ButtonInfo";
  WriteBytes(name, broken);
  EXPECT_THROW(Doc.LoadFile(name), EXmlError);
  EXPECT_EQ(ReadBytes(name), broken);
  EXPECT_EQ(Doc.LoadedFileName(), name);
  EXPECT_TRUE(Reporter.Messages.empty()) << "a parse error is raised, not shown as a message";
}

TEST_F(XmlFile, LoadReplacesTheWholeTree) {
  const std::wstring name = Folder.File(L"cfg.xml");
  WriteBytes(name, Lines({"<Other a=\"1\">", "  <ButtonInfo/>", "</Other>"}));
  Doc.RootElement()->NewChild("old");
  Doc.LoadFile(name);
  ASSERT_EQ(Doc.Nodes().ChildCount(), 1) << "no declaration of its own is added";
  EXPECT_EQ(Doc.RootElement()->Name(), "Other") << "a loaded file keeps its root name";
  ASSERT_EQ(Doc.RootElement()->ChildCount(), 1);
  EXPECT_EQ(Doc.RootElement()->ChildAt(0)->Name(), "ButtonInfo");
  Doc.SaveFile(Doc.LoadedFileName());
  EXPECT_EQ(ReadBytes(name), Lines({"<Other a=\"1\">", "  <ButtonInfo/>", "</Other>"}));
}

TEST_F(XmlFile, DefaultHostServesDocumentsWithoutOne) {
  TRecordingReporter other;
  SetDefaultXmlHost(TXmlHost{&other, nullptr});
  TXmlDocument plain;
  plain.LoadFile(Folder.File(L"none.xml"));
  SetDefaultXmlHost(TXmlHost{});
  EXPECT_EQ(other.Messages.size(), 1u);
  EXPECT_TRUE(Reporter.Messages.empty());
}

}  // namespace
