// The XML-bound button: storing after drops, the delete command and the file's bytes around them.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "framework/ProcessPaths.h"
#include "framework/Application.h"
#include "framework/text/TextCodec.h"
#include "tests/GDIButtons/XmlControlTestSupport.h"
#include "tests/support/TestSupport.h"
#include "xml/ConfigFormat.h"
#include "xml/XmlDocument.h"
#include "xml/XmlError.h"

namespace {

using namespace xmltest;

// Removes a folder tree whose paths may pass MAX_PATH.
void RemoveTree(const std::wstring& folder) {
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW((L"\\\\?\\" + folder + L"\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName, path = folder + L"\\" + name;
      if (name == L"." || name == L"..") continue;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveTree(path);
      else
        DeleteFileW((L"\\\\?\\" + path).c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  RemoveDirectoryW((L"\\\\?\\" + folder).c_str());
}

class XmlControlButtonTest : public XmlControlTestBase {
 protected:
  // The record line a segment without a file appends.
  static std::string EmptyRecord(const TCustomGDIButton& button) {
    return R"(  <ButtonInfo ButonType="0" ButtonGuid=")" + button.ButtonGuid() + R"("/>)";
  }
  static std::string FileRecord(const TCustomGDIButton& button, const std::string& path) {
    return R"(  <ButtonInfo ButonType="0" ButtonFilePath=")" + path + R"(" ButtonGuid=")" +
           button.ButtonGuid() + R"("/>)";
  }
  // Runs the button's (first) delete entry as the popup menu does once it has closed: the one after the
  // file's commands.
  static void ClickDelete(TXmlControlDragGDIButton& button) {
    ASSERT_GE(button.ButtonMenu().Items().Count(), 4);
    TMenuItem* item = button.ButtonMenu().Items().Items(3);
    EXPECT_EQ(item->Caption, L"删除按键");
    item->Click();
  }
};

TEST_F(XmlControlButtonTest, StoringTheExamplesEmptySegmentRewritesOnlyItsLine) {
  WriteConfig(Example());
  auto group = StartGroup();
  Drop(Segment(*group, 1), {L"C:\\Windows\\notepad.exe"}, true);
  EXPECT_EQ(Segment(*group, 1).FileName(), L"C:\\Windows\\notepad.exe");
  EXPECT_EQ(ReadConfig(),
            WithLine(Example(), 4,
                     R"(  <ButtonInfo ButonType="0" ButtonGuid="{0A1B2C3D-0000-4000-8000-0123456789AD}" )"
                     R"(ButtonFilePath="C:\Windows\notepad.exe"/>)"));
  EXPECT_EQ(group->Items().Count(), 4);
}

TEST_F(XmlControlButtonTest, StoringAnAddedSegmentAppendsALineBeforeTheEndTag) {
  WriteConfig(Example());
  auto group = StartGroup();
  TXmlControlDragGDIButton& added = Segment(*group, 2);  // one of the two segments the top-up made
  added.SaveToConfig();
  const std::string once = WithLineBeforeEnd(Example(), EmptyRecord(added));
  EXPECT_EQ(ReadConfig(), once);

  // A right drop on it later fills in that record: the path goes after the GUID.
  Drop(added, {L"C:\\first.exe", L"C:\\last.exe"}, false, true);
  EXPECT_EQ(added.FileName(), L"C:\\last.exe");
  EXPECT_EQ(ReadConfig(),
            WithLineBeforeEnd(Example(), R"(  <ButtonInfo ButonType="0" ButtonGuid=")" + added.ButtonGuid() +
                                             R"(" ButtonFilePath="C:\last.exe"/>)"));
}

TEST_F(XmlControlButtonTest, ChineseAndMarkupCharactersInAPathRoundTrip) {
  WriteConfig(Example());
  const std::wstring path = L"C:\\\u5de5\u5177 & <\"'>\\\u8ba1\u7b97\u5668.lnk";
  {
    auto group = StartGroup();
    Segment(*group, 1).SetFileName(path);
    Segment(*group, 1).SaveToConfig();
  }
  EXPECT_NE(
      ReadConfig().find(
          "ButtonFilePath=\"C:\\\xB9\xA4\xBE\xDF &amp; &lt;&quot;&apos;&gt;\\\xBC\xC6\xCB\xE3\xC6\xF7.lnk\""),
      std::string::npos);
  auto group = StartGroup();
  EXPECT_EQ(Segment(*group, 1).FileName(), path);
}

TEST_F(XmlControlButtonTest, APathPastMaxPathIsStoredShowsItsIconAndNameAndOpensOrSaysWhyNot) {
  // A folder tree deep enough for a 300-character path to our marker program (which leaves "<its own
  // path>.ran" beside itself when it runs).
  const std::wstring marker = ModuleFolder() + L"\\..\\e2e\\e2e_marker.exe";
  const std::wstring root = folder_.File(L"deep");
  RemoveTree(root);  // what an earlier process of the same number may have left
  std::wstring folder = root;
  for (wchar_t letter = L'a'; folder.size() < 290; ++letter) {
    ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + folder).c_str(), nullptr) ||
                GetLastError() == ERROR_ALREADY_EXISTS);
    folder += L"\\" + std::wstring(std::min<std::size_t>(40, 290 - folder.size()), letter);
  }
  ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + folder).c_str(), nullptr));
  const std::wstring program = folder + L"\\long program.exe";
  ASSERT_GE(program.size(), 300u);
  ASSERT_TRUE(CopyFileW(marker.c_str(), (L"\\\\?\\" + program).c_str(), FALSE)) << "build e2e_marker first";

  WriteConfig(Example());
  auto group = StartGroup();
  TXmlControlDragGDIButton& segment = Segment(*group, 1);
  Drop(segment, {program}, true);
  EXPECT_EQ(segment.FileName(), program);
  EXPECT_NE(ReadConfig().find(WideToGb18030(program)), std::string::npos) << "stored whole";
  EXPECT_NE(segment.FileInfo.hIcon, nullptr) << "its icon";
  EXPECT_NE(std::wstring(segment.FileInfo.szDisplayName).find(L"long program"), std::wstring::npos)
      << "its name";

  testsupport::ClearExceptions();
  segment.OnDblClick(&segment);
  const auto ran = [&] {
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((L"\\\\?\\" + folder + L"\\*.ran").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    FindClose(search);
    return true;
  };
  // Windows runs it as its name in its folder (DragButtonLaunchTest drives a shell that behaves so); Wine's
  // shell starts no program at such a path, and the user is then told once, by the path. Never silence.
  const auto& told = testsupport::RecordedExceptions();
  EXPECT_TRUE(testsupport::PumpUntil([&] { return ran() || !told.empty(); }, 20000))
      << "a double-click does nothing";
  if (!ran()) {
    ASSERT_EQ(told.size(), 1u);
    EXPECT_NE(told[0].find(program), std::wstring::npos) << "the message names the path";
  }
  testsupport::ClearExceptions();
  // The tree goes once the program has ended and let go of its file.
  testsupport::PumpUntil([&] { return DeleteFileW((L"\\\\?\\" + program).c_str()) != FALSE; });
  RemoveTree(root);
}

TEST_F(XmlControlButtonTest, DeletingRemovesExactlyOneRecordAndTheButtonAfterTheCommand) {
  WriteConfig(Example());
  auto group = StartGroup();
  TXmlControlDragGDIButton* doomed = &Segment(*group, 0);
  TCustomGDIButton* next = &Segment(*group, 1);
  const HWND window = doomed->Handle();

  ClickDelete(*doomed);
  // The record is gone at once, every other byte stays.
  EXPECT_EQ(ReadConfig(), WithLine(Example(), 3, nullptr));
  // The button whose menu ran the command is still whole when the command returns.
  EXPECT_FALSE(TTestXmlButton::WasDestroyed(doomed));
  EXPECT_TRUE(IsWindow(window));
  EXPECT_EQ(group->Items().Count(), 4);
  EXPECT_TRUE(doomed->DeletePending());
  // A second click before the deletion ran changes nothing.
  ClickDelete(*doomed);
  EXPECT_EQ(ReadConfig(), WithLine(Example(), 3, nullptr));

  // From the message loop: the item with its button and menu goes, the ring closes up.
  ASSERT_TRUE(testsupport::PumpUntil([&] { return group->Items().Count() == 3; }));
  EXPECT_TRUE(TTestXmlButton::WasDestroyed(doomed));
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(group->Items().Items(0)->Button(), next);
  EXPECT_EQ(group->Items().RectCount(), 3);
  EXPECT_TRUE(testsupport::RecordedExceptions().empty());
}

TEST_F(XmlControlButtonTest, DeletingAnAddedSegmentWithoutRecordWritesTheFileUnchanged) {
  WriteConfig(Example());
  auto group = StartGroup();
  ClickDelete(Segment(*group, 3));
  ASSERT_TRUE(testsupport::PumpUntil([&] { return group->Items().Count() == 3; }));
  EXPECT_EQ(ReadConfig(), Example());
}

TEST_F(XmlControlButtonTest, QueuedDeletionOfAGoneRingDoesNothing) {
  WriteConfig(Example());
  auto group = StartGroup();
  ClickDelete(Segment(*group, 0));
  group.reset();  // the ring goes before the message loop runs again
  testsupport::PumpFor(50);
  EXPECT_TRUE(testsupport::RecordedExceptions().empty());
}

TEST_F(XmlControlButtonTest, DuplicateGuidsActOnTheFirst) {
  WriteConfig(
      ConfigWithRecords({R"(<ButtonInfo ButonType="0" ButtonFilePath="C:\one.exe" ButtonGuid="{T}"/>)",
                         R"(<ButtonInfo ButonType="0" ButtonGuid="{T}"/>)",
                         R"(<ButtonInfo ButonType="0" ButtonGuid="{U}"/>)"}));
  auto group = StartGroup();
  TXmlControlDragGDIButton* first = &Segment(*group, 0);
  TXmlControlDragGDIButton& second = Segment(*group, 1);

  // Storing the second updates the first record with its GUID.
  second.SetFileName(L"C:\\two.exe");
  second.SaveToConfig();
  const std::string stored = ConfigWithRecords(
      {R"(<ButtonInfo ButonType="0" ButtonFilePath="C:\two.exe" ButtonGuid="{T}"/>)",
       R"(<ButtonInfo ButonType="0" ButtonGuid="{T}"/>)", R"(<ButtonInfo ButonType="0" ButtonGuid="{U}"/>)"});
  EXPECT_EQ(ReadConfig(), stored);

  // Deleting from the second's menu removes the first segment and the first record.
  ClickDelete(second);
  EXPECT_EQ(ReadConfig(), WithLine(stored, 2, nullptr));
  ASSERT_TRUE(testsupport::PumpUntil([&] { return group->Items().Count() == 4; }));
  EXPECT_TRUE(TTestXmlButton::WasDestroyed(first));
  EXPECT_EQ(&Segment(*group, 0), &second);
  EXPECT_FALSE(second.DeletePending());
}

TEST_F(XmlControlButtonTest, FirstDropWithoutAFileCreatesIt) {
  auto group = StartGroup();
  reporter_.messages.clear();
  Drop(Segment(*group, 1), {L"C:\\Windows\\notepad.exe"}, true);
  EXPECT_EQ(ReadConfig(),
            Lines({kDeclaration, "<Settings>", FileRecord(Segment(*group, 1), R"(C:\Windows\notepad.exe)"),
                   "</Settings>"}));
  EXPECT_TRUE(reporter_.messages.empty()) << "storing says nothing about the missing file";

  // A left drop on the used segment adds one, with a delete entry, and stores it too.
  Drop(Segment(*group, 1), {L"C:\\b.exe"}, true);
  ASSERT_EQ(group->Items().Count(), 5);
  TXmlControlDragGDIButton& added = Segment(*group, 4);
  EXPECT_EQ(added.DeleteMenuItemCount(), 1);
  EXPECT_EQ(added.XmlFileName(), kConfig);
  EXPECT_EQ(ReadConfig(),
            Lines({kDeclaration, "<Settings>", FileRecord(Segment(*group, 1), R"(C:\Windows\notepad.exe)"),
                   FileRecord(added, R"(C:\b.exe)"), "</Settings>"}));
}

TEST_F(XmlControlButtonTest, LeftDropOfSeveralFilesOnAnEmptySegmentStoresBoth) {
  WriteConfig(Example());
  auto group = StartGroup();
  TXmlControlDragGDIButton& empty = Segment(*group, 1);
  Drop(empty, {L"C:\\one.exe", L"C:\\two.exe", L"C:\\three.exe"}, true);
  ASSERT_EQ(group->Items().Count(), 5);
  EXPECT_EQ(empty.FileName(), L"C:\\one.exe");
  TXmlControlDragGDIButton& added = Segment(*group, 4);
  EXPECT_EQ(added.FileName(), L"C:\\two.exe");
  const std::string expected = WithLineBeforeEnd(
      WithLine(Example(), 4,
               R"(  <ButtonInfo ButonType="0" ButtonGuid="{0A1B2C3D-0000-4000-8000-0123456789AD}" )"
               R"(ButtonFilePath="C:\one.exe"/>)"),
      FileRecord(added, R"(C:\two.exe)"));
  EXPECT_EQ(ReadConfig(), expected);
  EXPECT_TRUE(testsupport::RecordedExceptions().empty());
}

TEST_F(XmlControlButtonTest, StoringAnEmptyButtonAgainKeepsOneRecord) {
  WriteConfig(Example());
  auto group = StartGroup();
  TXmlControlDragGDIButton& added = Segment(*group, 3);
  // A drag without a mouse button takes no file; the button is stored all the same, twice.
  Drop(added, {L"C:\\x.exe"}, false);
  Drop(added, {L"C:\\x.exe"}, false);
  EXPECT_EQ(added.FileName(), L"");
  EXPECT_EQ(ReadConfig(), WithLineBeforeEnd(Example(), EmptyRecord(added)));
  // The next start shows the same four segments, not one more per store.
  group.reset();
  EXPECT_EQ(StartGroup()->Items().Count(), 4);
}

TEST_F(XmlControlButtonTest, AFileBrokenMeanwhileIsReportedAndNeverWritten) {
  WriteConfig(Example());
  auto group = StartGroup();
  const std::string broken = Example().substr(0, Example().size() - 8);  // cut inside the end tag
  WriteConfig(broken);
  // The drop's store fails inside the drop target's call: the error reaches the application's display.
  Drop(Segment(*group, 1), {L"C:\\x.exe"}, true);
  ASSERT_EQ(testsupport::RecordedExceptions().size(), 1u);
  EXPECT_NE(testsupport::RecordedExceptions()[0].find(L"Missing"), std::wstring::npos);
  EXPECT_THROW(Segment(*group, 0).RemoveFromConfig(kGuid2), EXmlError);
  EXPECT_EQ(ReadConfig(), broken);
}

TEST_F(XmlControlButtonTest, GuidIsANewRegistryStringPerButton) {
  std::set<std::string> seen;
  for (int i = 0; i < 3; ++i) {
    TXmlControlDragGDIButton button(form_.get());
    const std::string& guid = button.ButtonGuid();
    ASSERT_EQ(guid.size(), 38u) << guid;
    EXPECT_EQ(guid.front(), '{');
    EXPECT_EQ(guid.back(), '}');
    for (size_t k = 1; k < 37; ++k) {
      if (k == 9 || k == 14 || k == 19 || k == 24) {
        EXPECT_EQ(guid[k], '-') << guid;
      } else {
        EXPECT_TRUE((guid[k] >= '0' && guid[k] <= '9') || (guid[k] >= 'A' && guid[k] <= 'F')) << guid;
      }
    }
    seen.insert(guid);
  }
  EXPECT_EQ(seen.size(), 3u);
}

TEST_F(XmlControlButtonTest, WithoutAFileNameNothingIsStoredOrDeleted) {
  TXmlControlDragGDIButton button(form_.get());
  button.SetFileName(L"C:\\a.exe");
  button.SaveToConfig();
  button.RemoveFromConfig(button.ButtonGuid());
  EXPECT_FALSE(ConfigExists());
  EXPECT_EQ(reporter_.messages, (std::vector<std::wstring>{L"文件不存在!"}));
}

TEST_F(XmlControlButtonTest, RemovingWithoutAFileReportsItAndCreatesIt) {
  TXmlControlDragGDIButton button(form_.get());
  button.SetXmlFileName(kConfig);
  button.RemoveFromConfig(button.ButtonGuid());
  EXPECT_EQ(reporter_.messages, (std::vector<std::wstring>{std::wstring(kConfig) + L"文件不存在!"}));
  EXPECT_EQ(ReadConfig(), Lines({kDeclaration, "<Settings></Settings>"}));
}

TEST_F(XmlControlButtonTest, AppendButtonInfoFixesTheAttributeOrder) {
  TXmlControlDragGDIButton button(form_.get());
  TXmlDocument document;
  button.AppendButtonInfo(document);
  button.AppendButtonInfo(document);
  ASSERT_EQ(document.RootElement()->ChildCount(), 2);
  const TXmlNode& record = *document.RootElement()->ChildAt(1);
  EXPECT_EQ(record.Name(), "ButtonInfo");
  ASSERT_EQ(record.AttributeCount(), 3);
  EXPECT_EQ(record.AttributeName(0), "ButonType");
  EXPECT_EQ(record.AttributeName(1), "ButtonFilePath");
  EXPECT_EQ(record.AttributeName(2), "ButtonGuid");
  button.AddDeleteMenuItem();
  button.AddDeleteMenuItem();
  EXPECT_EQ(button.DeleteMenuItemCount(), 2) << "every call appends another entry";
  EXPECT_EQ(button.PopupMenu(), &button.ButtonMenu());
}

}  // namespace
