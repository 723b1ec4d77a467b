// The SystemConfig.xml format: the worked example, colours, records and the ring's top-up.
#include "XmlTestSupport.h"

#include "xml/ConfigFormat.h"
#include "xml/XmlError.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

using namespace XmlTest;
using namespace ConfigFormat;

namespace {

const std::string Guid1 = "{0A1B2C3D-0000-4000-8000-0123456789AB}";
const std::string Guid2 = "{0A1B2C3D-0000-4000-8000-0123456789AC}";
const std::string Guid3 = "{0A1B2C3D-0000-4000-8000-0123456789AD}";

const std::string Example = Lines({
    Declaration,
    R"(<Settings HotColor="-65536" DefaultColor="-16744193">)",
    R"(  <ButtonInfo ButonType="1" ButtonFilePath="C:\Windows\notepad.exe" ButtonGuid="{0A1B2C3D-0000-4000-8000-0123456789AB}"/>)",
    R"(  <ButtonInfo ButonType="0" ButtonFilePath="D:\Tools &amp; Games\Player.lnk" ButtonGuid="{0A1B2C3D-0000-4000-8000-0123456789AC}"/>)",
    R"(  <ButtonInfo ButonType="0" ButtonGuid="{0A1B2C3D-0000-4000-8000-0123456789AD}"/>)",
    "</Settings>",
});

std::string ExampleWithLine(int index, std::string_view replacement) {
  std::string s = Example;
  std::size_t begin = 0;
  for (int i = 0; i < index; ++i) begin = s.find("\r\n", begin) + 2;
  const std::size_t end = s.find("\r\n", begin);
  return s.replace(begin, end - begin, replacement);
}

TEST(ConfigExample, ReadsAsDescribed) {
  auto doc = Parse(Example);
  const TXmlNode& root = *doc->RootElement();
  EXPECT_EQ(ReadHotColor(root), MakeColor(255, 255, 0, 0));
  EXPECT_EQ(ReadDefaultColor(root), MakeColor(255, 0, 0x80, 0xFF));
  const TRingPlan plan = InterpretRecords(root);
  EXPECT_EQ(plan.RecordCount, 3);
  ASSERT_TRUE(plan.Centre.has_value());
  EXPECT_EQ(*plan.Centre, (TButtonRecord{KindCentre, "C:\\Windows\\notepad.exe", Guid1}));
  ASSERT_EQ(plan.Segments.size(), 2u);
  EXPECT_EQ(plan.Segments[0], (TButtonRecord{KindSegment, "D:\\Tools & Games\\Player.lnk", Guid2}));
  EXPECT_EQ(plan.Segments[1], (TButtonRecord{KindSegment, "", Guid3}));
  EXPECT_EQ(plan.EmptySegments, 2);
  EXPECT_EQ(plan.Segments.size() + plan.EmptySegments, 4u);
  EXPECT_EQ(doc->SaveToBytes(), Example);
}

TEST(ConfigExample, StoringTheEmptySegmentAddsItsPathLast) {
  auto doc = Parse(Example);
  TXmlNode& root = *doc->RootElement();
  const int index = FindRecord(root, Guid3);
  ASSERT_EQ(index, 2);
  UpdateButtonRecord(*root.ChildAt(index), KindSegment, "E:\\a'b.exe");
  EXPECT_EQ(
      doc->SaveToBytes(),
      ExampleWithLine(4, R"(  <ButtonInfo ButonType="0" ButtonGuid="{0A1B2C3D-0000-4000-8000-0123456789AD}" )"
                         R"(ButtonFilePath="E:\a&apos;b.exe"/>)"));
}

TEST(ConfigExample, StoringAnAddedSegmentAppendsARecord) {
  auto doc = Parse(Example);
  AppendButtonRecord(*doc, TButtonRecord{KindSegment, "F:\\\xD6\xD0\xCE\xC4.lnk", "{G}"});
  std::string expected = Example;
  expected.insert(
      expected.rfind("</Settings>"),
      "  <ButtonInfo ButonType=\"0\" ButtonFilePath=\"F:\\\xD6\xD0\xCE\xC4.lnk\" ButtonGuid=\"{G}\"/>\r\n");
  const std::string written = doc->SaveToBytes();
  EXPECT_EQ(written, expected);
  EXPECT_EQ(RecordFilePath(*Parse(written)->RootElement()->ChildAt(3)), "F:\\\xD6\xD0\xCE\xC4.lnk");
}

TEST(ConfigExample, SettingTheHoverColourRewritesOnlyItsValue) {
  auto doc = Parse(Example);
  StoreHotColor(*doc->RootElement(), MakeColor(0, 255, 0));
  EXPECT_EQ(doc->SaveToBytes(),
            ExampleWithLine(1, R"(<Settings HotColor="-16711936" DefaultColor="-16744193">)"));
}

TEST(ConfigExample, EmptyButtonInfoFixesTheAttributeOrder) {
  TXmlDocument doc;
  TXmlNode& record = AppendButtonInfo(doc);
  record.SetAttribute("ButtonGuid", "{G}");
  record.SetAttribute("ButonType", "0");
  EXPECT_EQ(doc.SaveToBytes(), Lines({Declaration, "<Settings>",
                                      R"(  <ButtonInfo ButonType="0" ButtonGuid="{G}"/>)", "</Settings>"}));
}

struct TColorCase {
  const char* Text;
  TARGB Color;
};
void PrintTo(const TColorCase& c, std::ostream* os) {
  PrintLabel(c.Text, os);
}

class ConfigColor : public testing::TestWithParam<TColorCase> {};

TEST_P(ConfigColor, ReadsLow32Bits) {
  TXmlDocument doc;
  doc.RootElement()->SetAttribute("DefaultColor", GetParam().Text);
  EXPECT_EQ(ReadDefaultColor(*doc.RootElement()), GetParam().Color) << GetParam().Text;
}

INSTANTIATE_TEST_SUITE_P(Texts, ConfigColor,
                         testing::Values(TColorCase{"-16777216", 0xFF000000u},
                                         TColorCase{"4278190080", 0xFF000000u}, TColorCase{"-1", 0xFFFFFFFFu},
                                         TColorCase{"", 0u}, TColorCase{"red", 0u},
                                         TColorCase{"4294967296", 0u}, TColorCase{"8589934593", 1u}));

TEST(ConfigColor, HelpersAndConversions) {
  EXPECT_EQ(MakeColor(255, 0, 0), 0xFFFF0000u);
  EXPECT_EQ(MakeColor(0x12, 0x34, 0x56, 0x78), 0x12345678u);
  EXPECT_EQ(GetRed(0x12345678u), 0x34);
  EXPECT_EQ(GetGreen(0x12345678u), 0x56);
  EXPECT_EQ(GetBlue(0x12345678u), 0x78);
  EXPECT_EQ(ARGBToColorRef(MakeColor(0x11, 0x22, 0x33)), 0x00332211u);
  EXPECT_EQ(ColorRefToARGB(0x00332211u), MakeColor(0x11, 0x22, 0x33));
  EXPECT_EQ(ColorToText(MakeColor(255, 0, 0)), "-65536");
  EXPECT_EQ(ColorToText(MakeColor(0, 0, 0)), "-16777216");
  EXPECT_EQ(ColorToText(MakeColor(255, 255, 255)), "-1");
}

struct TKindCase {
  const char* Text;
  std::uint8_t Kind;
  TRecordRole Role;
};
void PrintTo(const TKindCase& c, std::ostream* os) {
  PrintLabel(c.Text, os);
}

class RecordKindText : public testing::TestWithParam<TKindCase> {};

TEST_P(RecordKindText, LowEightBits) {
  TXmlDocument doc;
  TXmlNode* record = doc.RootElement()->NewChild("ButtonInfo");
  record->SetAttribute("ButonType", GetParam().Text);
  EXPECT_EQ(RecordKind(*record), GetParam().Kind) << GetParam().Text;
  EXPECT_EQ(RoleOfKind(RecordKind(*record)), GetParam().Role);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, RecordKindText,
    testing::Values(TKindCase{"0", 0, TRecordRole::Segment}, TKindCase{"1", 1, TRecordRole::Centre},
                    TKindCase{"256", 0, TRecordRole::Segment}, TKindCase{"2", 2, TRecordRole::Skipped},
                    TKindCase{"", 0, TRecordRole::Segment}, TKindCase{"x", 0, TRecordRole::Segment},
                    TKindCase{"-255", 1, TRecordRole::Centre}));

TEST(ConfigRecords, TopUpCountsEveryRecord) {
  const std::pair<int, int> table[] = {{0, 4}, {1, 4}, {3, 2}, {4, 1}, {5, 0}, {9, 0}};
  for (auto [records, added] : table) EXPECT_EQ(EmptySegmentsToAdd(records), added) << records;

  // A comment and a skipped kind count as records; a centre record does not make a segment.
  auto doc = Parse(
      "<S><!-- c --><ButtonInfo ButonType=\"2\"/><X/><ButtonInfo ButonType=\"1\" ButtonGuid=\"{C}\"/>"
      "<ButtonInfo/></S>");
  const TRingPlan plan = InterpretRecords(*doc->RootElement());
  EXPECT_EQ(plan.RecordCount, 5);
  EXPECT_EQ(plan.Segments.size(), 3u);
  EXPECT_EQ(plan.EmptySegments, 0);
  ASSERT_TRUE(plan.Centre.has_value());
  EXPECT_EQ(plan.Centre->Guid, "{C}");
  EXPECT_FALSE(plan.FirstStart());
}

TEST(ConfigRecords, GuidMatchesExactlyAndOnlyTheFirstIsRemoved) {
  auto doc =
      Parse(R"(<S><B ButtonGuid="{a}" n="1"/><B ButtonGuid="{A}" n="2"/><B ButtonGuid="{A}" n="3"/></S>)");
  TXmlNode& root = *doc->RootElement();
  EXPECT_EQ(FindRecord(root, "{A}"), 1);
  EXPECT_EQ(FindRecord(root, "{b}"), -1);
  EXPECT_TRUE(RemoveRecord(root, "{A}"));
  ASSERT_EQ(root.ChildCount(), 2);
  EXPECT_EQ(root.ChildAt(1)->GetAttribute("n"), "3");
  EXPECT_FALSE(RemoveRecord(root, "{x}"));
}

TEST(ConfigRecords, PathWithMarkupCharactersSurvivesAFile) {
  testsupport::ScratchFolder folder;
  const std::wstring name = folder.File(FileName);
  const std::string path = "C:\\a&b <c> 'd' \"e\" \xD6\xD0\xCE\xC4.exe";
  {
    TXmlDocument doc;
    AppendButtonRecord(doc, TButtonRecord{KindSegment, path, "{G}"});
    doc.SaveFile(name);
  }
  TXmlDocument doc;
  doc.LoadFile(name);
  EXPECT_EQ(ReadRecord(*doc.RootElement()->ChildAt(0)), (TButtonRecord{KindSegment, path, "{G}"}));
  EXPECT_NE(ReadBytes(name).find("&amp;b &lt;c&gt; &apos;d&apos; &quot;e&quot;"), std::string::npos);
}

// --- Whole-file stores and deletes -------------------------------------------------------

// The std file system, with writes counted and reads that can be made to fail as a locked file does.
class TWatchedFileSystem : public TXmlFileSystem {
 public:
  bool FileExists(const std::wstring& name) override { return StdXmlFileSystem().FileExists(name); }
  TXmlReadResult ReadFile(const std::wstring& name, std::size_t maxBytes, std::string& bytes) override {
    if (Locked) return TXmlReadResult::CannotOpen;
    return StdXmlFileSystem().ReadFile(name, maxBytes, bytes);
  }
  void WriteFileAtomic(const std::wstring& name, std::string_view bytes) override {
    ++Writes;
    StdXmlFileSystem().WriteFileAtomic(name, bytes);
  }
  bool Locked = false;
  int Writes = 0;
};

class ConfigFile : public testing::Test {
 protected:
  std::wstring Name() const { return Folder.File(FileName); }
  void WriteConfig(std::string_view bytes) const { WriteBytes(Name(), bytes); }
  std::string Written() const { return ReadBytes(Name()); }
  TXmlHost Host() { return TXmlHost{&Reporter, &Files}; }
  TStoreOutcome Store(const TButtonRecord& button) { return StoreButton(Document, Name(), button, Host()); }
  TRemoveOutcome Remove(std::string_view guid) { return RemoveButton(Document, Name(), guid, Host()); }

  testsupport::ScratchFolder Folder;
  TRecordingReporter Reporter;
  TWatchedFileSystem Files;
  TXmlDocument Document;
};

TEST_F(ConfigFile, StoringTheExamplesSegmentsChangesOnlyTheirLines) {
  WriteConfig(Example);
  // The empty segment takes a file: its line gets the path after the GUID, nothing else moves.
  EXPECT_EQ(Store({KindSegment, "C:\\x.exe", Guid3}), TStoreOutcome::Updated);
  const std::string line4 =
      R"(  <ButtonInfo ButonType="0" ButtonGuid="{0A1B2C3D-0000-4000-8000-0123456789AD}" )"
      R"(ButtonFilePath="C:\x.exe"/>)";
  EXPECT_EQ(Written(), ExampleWithLine(4, line4));

  // One of the two added segments (no record yet) appends a line before the end tag.
  EXPECT_EQ(Store({KindSegment, "C:\\y.exe", "{NEW}"}), TStoreOutcome::Appended);
  std::string expected = ExampleWithLine(4, line4);
  expected.insert(expected.rfind("</Settings>"),
                  "  <ButtonInfo ButonType=\"0\" ButtonFilePath=\"C:\\y.exe\" ButtonGuid=\"{NEW}\"/>\r\n");
  EXPECT_EQ(Written(), expected);

  // A right drop on the centre replaces its file in place; the GUID attribute stays as it was.
  EXPECT_EQ(Store({KindCentre, "C:\\z.exe", Guid1}), TStoreOutcome::Updated);
  EXPECT_NE(Written().find(R"(<ButtonInfo ButonType="1" ButtonFilePath="C:\z.exe" ButtonGuid=")" + Guid1),
            std::string::npos);
  EXPECT_EQ(Files.Writes, 3);
  EXPECT_TRUE(Reporter.Messages.empty());
}

TEST_F(ConfigFile, StoringWithoutAFileCreatesIt) {
  EXPECT_EQ(Store({KindSegment, "C:\\a&b.exe", "{G}"}), TStoreOutcome::Created);
  EXPECT_EQ(Written(),
            Lines({Declaration, "<Settings>",
                   R"(  <ButtonInfo ButonType="0" ButtonFilePath="C:\a&amp;b.exe" ButtonGuid="{G}"/>)",
                   "</Settings>"}));
  // Storing is silent about the missing file; the next store finds the record.
  EXPECT_TRUE(Reporter.Messages.empty());
  EXPECT_EQ(Store({KindSegment, "C:\\c.exe", "{G}"}), TStoreOutcome::Updated);
  EXPECT_EQ(InterpretRecords(*Parse(Written())->RootElement()).Segments,
            (std::vector<TButtonRecord>{{KindSegment, "C:\\c.exe", "{G}"}}));
}

TEST_F(ConfigFile, AnEmptyButtonKeepsOneRecord) {
  WriteConfig(Example);
  EXPECT_EQ(Store({KindSegment, "", "{E}"}), TStoreOutcome::Appended);
  const std::string once = Written();
  EXPECT_EQ(Store({KindSegment, "", "{E}"}), TStoreOutcome::Updated);
  EXPECT_EQ(Written(), once);
  EXPECT_EQ(InterpretRecords(*Parse(once)->RootElement()).RecordCount, 4);

  // An empty button never takes away the path of an earlier record with its GUID.
  EXPECT_EQ(Store({KindSegment, "", Guid2}), TStoreOutcome::Updated);
  EXPECT_EQ(Written(), once);
}

TEST_F(ConfigFile, DuplicateGuidsActOnTheFirst) {
  const std::string twins =
      Lines({Declaration, "<Settings>", R"(  <ButtonInfo ButonType="0" ButtonGuid="{T}" n="1"/>)",
             R"(  <ButtonInfo ButonType="0" ButtonGuid="{T}" n="2"/>)", "</Settings>"});
  WriteConfig(twins);
  EXPECT_EQ(Store({KindSegment, "C:\\p.exe", "{T}"}), TStoreOutcome::Updated);
  auto doc = Parse(Written());
  EXPECT_EQ(RecordFilePath(*doc->RootElement()->ChildAt(0)), "C:\\p.exe");
  EXPECT_EQ(RecordFilePath(*doc->RootElement()->ChildAt(1)), "");

  EXPECT_EQ(Remove("{T}"), TRemoveOutcome::Removed);
  EXPECT_EQ(Written(), Lines({Declaration, "<Settings>",
                              R"(  <ButtonInfo ButonType="0" ButtonGuid="{T}" n="2"/>)", "</Settings>"}));
}

TEST_F(ConfigFile, DeletingRemovesExactlyOneRecord) {
  WriteConfig(Example);
  EXPECT_EQ(Remove(Guid2), TRemoveOutcome::Removed);
  std::string expected = Example;
  const std::size_t line = expected.find("  <ButtonInfo ButonType=\"0\" ButtonFilePath");
  expected.erase(line, expected.find("\r\n", line) + 2 - line);
  EXPECT_EQ(Written(), expected);

  // An unknown GUID writes the file back as it was.
  EXPECT_EQ(Remove("{0A1B2C3D-0000-4000-8000-0123456789ac}"), TRemoveOutcome::NotFound);
  EXPECT_EQ(Written(), expected);
  EXPECT_EQ(Files.Writes, 2);
}

TEST_F(ConfigFile, AFileThatDoesNotParseIsNeverWritten) {
  const std::string broken = "<?xml version=\"1.0\"?>\r\n<Settings><ButtonInfo ButonType=\"0\"/>";
  WriteConfig(broken);
  EXPECT_THROW(Store({KindSegment, "C:\\a.exe", "{G}"}), EXmlError);
  EXPECT_THROW(Remove("{G}"), EXmlError);
  EXPECT_EQ(Written(), broken);
  EXPECT_EQ(Files.Writes, 0);
  // What was half read is gone: a later delete with the file moved away writes no record of it.
  ASSERT_TRUE(std::filesystem::remove(XmlFilePath(Name())));
  EXPECT_EQ(Remove("{G}"), TRemoveOutcome::NotFound);
  EXPECT_EQ(Written(), Lines({Declaration, "<Settings></Settings>"}));
}

TEST_F(ConfigFile, AFileThatCannotBeReadIsNeverWritten) {
  WriteConfig(Example);
  Files.Locked = true;
  EXPECT_EQ(Store({KindSegment, "C:\\a.exe", "{G}"}), TStoreOutcome::Unreadable);
  EXPECT_EQ(Remove(Guid2), TRemoveOutcome::Unreadable);
  EXPECT_EQ(StoreRootColor(Document, Name(), HotColorAttribute, 0xFFFF0000u, Host()),
            TColorOutcome::Unreadable);
  EXPECT_EQ(Files.Writes, 0);
  EXPECT_EQ(Written(), Example);
  // Each time the user learns which file it is and what to do, once.
  EXPECT_EQ(Reporter.Messages, std::vector<std::wstring>(3, SaveRefusedMessage(Name())));
  EXPECT_NE(Reporter.Messages[0].find(Name()), std::wstring::npos);
  EXPECT_NE(Reporter.Messages[0].find(L"请关闭占用该文件的程序"), std::wstring::npos);
}

// Our own messages read as Chinese: full-width punctuation around the file's name, whose characters are the
// user's; and each says what to do.
TEST(ConfigMessages, UseFullWidthPunctuationAndSayWhatToDo) {
  const std::wstring name = L"C:\\配置(1),a.xml";
  for (const std::wstring& message : {SaveRefusedMessage(name), HeldAtStartMessage(name)}) {
    std::wstring text = message;
    const std::size_t at = text.find(L"“" + name + L"”");
    ASSERT_NE(at, std::wstring::npos) << WideToUtf8(message);
    text.erase(at, name.size() + 2);
    EXPECT_EQ(text.find_first_of(L"\",;:()!?"), std::wstring::npos) << WideToUtf8(message);
    EXPECT_NE(text.find(L"请关闭占用该文件的程序，然后"), std::wstring::npos) << WideToUtf8(message);
  }
  EXPECT_NE(HeldAtStartMessage(name).find(L"然后重新启动Vantel"), std::wstring::npos);
}

TEST_F(ConfigFile, AColourIsStoredOverTheFileAsItIsNowOrInANewFile) {
  WriteConfig(Example);
  EXPECT_EQ(StoreRootColor(Document, Name(), HotColorAttribute, 0xFF00FF00u, Host()), TColorOutcome::Stored);
  EXPECT_EQ(Written(), ExampleWithLine(1, R"(<Settings HotColor="-16711936" DefaultColor="-16744193">)"));
  ASSERT_TRUE(std::filesystem::remove(XmlFilePath(Name())));
  EXPECT_EQ(StoreRootColor(Document, Name(), DefaultColorAttribute, 0xFF0000FFu, Host()),
            TColorOutcome::Created);
  EXPECT_EQ(Written(), Lines({Declaration, "<Settings DefaultColor=\"-16776961\"></Settings>"}));
  EXPECT_EQ(Reporter.Messages, (std::vector<std::wstring>{Name() + L"文件不存在!"}));
  WriteConfig("<Settings");
  EXPECT_THROW(StoreRootColor(Document, Name(), HotColorAttribute, 0, Host()), EXmlError);
  EXPECT_EQ(Written(), "<Settings");
}

TEST_F(ConfigFile, DeletingWithoutAFileReportsItAndWritesWhatTheDocumentHeld) {
  WriteConfig(Example);
  EXPECT_EQ(Store({KindSegment, "", "{E}"}), TStoreOutcome::Appended);  // the document now holds four records
  ASSERT_TRUE(std::filesystem::remove(XmlFilePath(Name())));
  EXPECT_EQ(Remove(Guid1), TRemoveOutcome::Removed);
  EXPECT_EQ(Reporter.Messages, (std::vector<std::wstring>{Name() + L"文件不存在!"}));
  const TRingPlan plan = InterpretRecords(*Parse(Written())->RootElement());
  EXPECT_EQ(plan.RecordCount, 3);
  EXPECT_FALSE(plan.Centre.has_value());

  // Without a name there is nothing to write to.
  const int writes = Files.Writes;
  EXPECT_EQ(RemoveButton(Document, L"", Guid2, Host()), TRemoveOutcome::NotSaved);
  EXPECT_EQ(StoreButton(Document, L"", {KindSegment, "C:\\a.exe", "{G}"}, Host()), TStoreOutcome::NoFileName);
  EXPECT_EQ(Files.Writes, writes);
  EXPECT_EQ(Reporter.Messages.back(), L"文件不存在!");
}

TEST_F(ConfigFile, LoadingReportsHowItWent) {
  EXPECT_EQ(LoadConfigFile(Document, Name(), Host()), TConfigRead::Missing);
  WriteConfig(Example);
  Files.Locked = true;
  EXPECT_EQ(LoadConfigFile(Document, Name(), Host()), TConfigRead::Unreadable);
  Files.Locked = false;
  EXPECT_EQ(LoadConfigFile(Document, Name(), Host()), TConfigRead::Loaded);
  EXPECT_EQ(Document.SaveToBytes(), Example);
  EXPECT_EQ(Reporter.Messages, (std::vector<std::wstring>{Name() + L"文件不存在!", L"XML文件流创建出错"}));
  WriteConfig("");
  EXPECT_THROW(LoadConfigFile(Document, Name(), Host()), EXmlError);
  EXPECT_EQ(Document.RootElement()->ChildCount(), 0);
}

}  // namespace
