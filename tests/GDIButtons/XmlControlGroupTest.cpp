// The XML-bound group: construction with the file name, loading the ring from the file, a first start.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "GDIButtons/HintGDIButton.h"
#include "tests/GDIButtons/XmlControlTestSupport.h"
#include "xml/ConfigFormat.h"
#include "xml/XmlError.h"

namespace {

using namespace xmltest;

class XmlControlGroupTest : public XmlControlTestBase {};

TEST_F(XmlControlGroupTest, WorkedExampleLoadsAsItSays) {
  WriteConfig(Example());
  auto group = StartGroup(true);
  EXPECT_EQ(group->LoadState(), TConfigLoadState::Loaded);
  EXPECT_FALSE(group->LoadFailed());
  EXPECT_EQ(group->HasButtonRecords(), 3);

  // The centre launches notepad and keeps the record's GUID; it carries no delete entry.
  TXmlControlDragGDIButton& centre = Centre(*group);
  EXPECT_EQ(centre.FileName(), L"C:\\Windows\\notepad.exe");
  EXPECT_EQ(centre.ButtonGuid(), kGuid1);
  EXPECT_EQ(centre.DeleteMenuItemCount(), 0);
  EXPECT_EQ(centre.XmlFileName(), kConfig);
  // Colours from the file: hover opaque red, normal blue-azure.
  EXPECT_EQ(centre.HotColor, MakeColor(255, 0, 0));
  EXPECT_EQ(centre.DefaultColor, MakeColor(0, 0x80, 0xFF));

  // Two segments from records plus two empty ones: four, each with one delete entry.
  ASSERT_EQ(group->Items().Count(), 4);
  EXPECT_EQ(Segment(*group, 0).FileName(), L"D:\\Tools & Games\\Player.lnk");
  EXPECT_EQ(Segment(*group, 0).ButtonGuid(), kGuid2);
  EXPECT_EQ(Segment(*group, 1).FileName(), L"");
  EXPECT_EQ(Segment(*group, 1).ButtonGuid(), kGuid3);
  std::set<std::string> guids;
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    TXmlControlDragGDIButton& segment = Segment(*group, i);
    EXPECT_EQ(segment.DeleteMenuItemCount(), 1);
    EXPECT_EQ(segment.XmlFileName(), kConfig);
    EXPECT_EQ(segment.DefaultColor, MakeColor(0, 0x80, 0xFF));
    EXPECT_EQ(segment.ButtonGuid().size(), 38u);
    EXPECT_TRUE(segment.Visible());
    guids.insert(segment.ButtonGuid());
  }
  EXPECT_EQ(guids.size(), 4u) << "the added segments have fresh GUIDs of their own";
  EXPECT_TRUE(IsWindowVisible(centre.Handle()));
  // The hint window is the hint class; loading writes nothing and reports nothing.
  EXPECT_NE(dynamic_cast<THintGDIButton*>(group->HintWindow()), nullptr);
  EXPECT_EQ(ReadConfig(), Example());
  EXPECT_TRUE(reporter_.messages.empty());
}

TEST_F(XmlControlGroupTest, RecordKindsAndTheTopUpToFive) {
  const struct {
    const char* name;
    std::vector<std::string> records;
    std::vector<std::wstring> segmentFiles;  // "" for an empty segment
    std::wstring centreFile;
  } cases[] = {
      {"256 is a segment, 2 is skipped but counts",
       {R"(<ButtonInfo ButonType="256" ButtonFilePath="C:\a.exe" ButtonGuid="{A}"/>)",
        R"(<ButtonInfo ButonType="2" ButtonFilePath="C:\skipped.exe" ButtonGuid="{B}"/>)",
        R"(<ButtonInfo ButonType="0" ButtonFilePath="C:\c.exe" ButtonGuid="{C}"/>)"},
       {L"C:\\a.exe", L"C:\\c.exe", L"", L""},
       L""},
      {"four segment records give five segments",
       {R"(<ButtonInfo ButonType="0" ButtonGuid="{A}"/>)", R"(<ButtonInfo ButonType="0" ButtonGuid="{B}"/>)",
        R"(<ButtonInfo ButonType="0" ButtonGuid="{C}"/>)", R"(<ButtonInfo ButonType="0" ButtonGuid="{D}"/>)"},
       {L"", L"", L"", L"", L""},
       L""},
      {"a centre and four segments give four",
       {R"(<ButtonInfo ButonType="0" ButtonGuid="{A}"/>)",
        R"(<ButtonInfo ButonType="1" ButtonFilePath="C:\m.exe"/>)",
        R"(<ButtonInfo ButonType="0" ButtonGuid="{B}"/>)", R"(<ButtonInfo ButonType="0" ButtonGuid="{C}"/>)",
        R"(<ButtonInfo ButonType="0" ButtonGuid="{D}"/>)"},
       {L"", L"", L"", L""},
       L"C:\\m.exe"},
      {"five skipped records add nothing",
       {R"(<ButtonInfo ButonType="2"/>)", R"(<ButtonInfo ButonType="3"/>)",
        R"(<ButtonInfo ButonType="255"/>)", R"(<ButtonInfo ButonType="-1"/>)",
        R"(<ButtonInfo ButonType="7"/>)"},
       {},
       L""},
      {"a comment and another element are records too",
       {"<!-- kept -->", R"(<Other ButtonFilePath="C:\o.exe"/>)"},
       {L"", L"C:\\o.exe", L"", L"", L""},
       L""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    WriteConfig(ConfigWithRecords(c.records));
    auto group = StartGroup();
    EXPECT_EQ(group->HasButtonRecords(), static_cast<int>(c.records.size()));
    std::vector<std::wstring> files;
    for (int i = 0; i < group->Items().Count(); ++i) {
      files.push_back(Segment(*group, i).FileName());
      EXPECT_EQ(Segment(*group, i).DeleteMenuItemCount(), 1);
    }
    EXPECT_EQ(files, c.segmentFiles);
    EXPECT_EQ(Centre(*group).FileName(), c.centreFile);
  }
}

TEST_F(XmlControlGroupTest, RecordWithoutGuidLeavesTheSegmentWithoutOne) {
  WriteConfig(ConfigWithRecords({R"(<ButtonInfo ButonType="0" ButtonFilePath="C:\n.exe"/>)"}));
  auto group = StartGroup();
  EXPECT_EQ(Segment(*group, 0).ButtonGuid(), "");
  EXPECT_EQ(Segment(*group, 1).ButtonGuid().size(), 38u);
}

TEST_F(XmlControlGroupTest, FirstStartWithoutAFile) {
  TTestXmlGroup group(form_.get(), kConfig);
  reporter_.messages.clear();
  group.LoadConfigFile(kConfig);
  EXPECT_EQ(group.LoadState(), TConfigLoadState::Missing);
  EXPECT_FALSE(group.LoadFailed());
  EXPECT_EQ(reporter_.messages, (std::vector<std::wstring>{std::wstring(kConfig) + L"文件不存在!"}));
  EXPECT_EQ(group.HasButtonRecords(), 0);
  group.CreateDefaultSegments();
  ASSERT_EQ(group.Items().Count(), 4);
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(Segment(group, i).DeleteMenuItemCount(), 0);
    EXPECT_EQ(Segment(group, i).XmlFileName(), kConfig);
  }
  EXPECT_EQ(Centre(group).XmlFileName(), kConfig);
  EXPECT_EQ(Centre(group).DefaultColor, 0u);
  EXPECT_FALSE(ConfigExists());
}

TEST_F(XmlControlGroupTest, FileThatDoesNotParseIsReportedAndKept) {
  const std::string broken = kDeclaration + "\r\n<Settings DefaultColor=\"-1\"><ButtonInfo ButonType=\"0\"";
  WriteConfig(broken);
  EXPECT_THROW(StartGroup(), EXmlError);  // already the centre button's colours fail

  TTestXmlGroup group(form_.get(), L"");
  EXPECT_EQ(group.LoadState(), TConfigLoadState::NotLoaded);
  EXPECT_THROW(group.LoadConfigFile(kConfig), EXmlError);
  EXPECT_EQ(group.LoadState(), TConfigLoadState::Unparseable);
  EXPECT_TRUE(group.LoadFailed());
  EXPECT_EQ(group.HasButtonRecords(), 0);

  // Neither storing nor deleting a button replaces the file.
  TXmlControlDragGDIButton& centre = Centre(group);
  centre.SetFileName(L"C:\\a.exe");
  EXPECT_THROW(centre.SaveToConfig(), EXmlError);
  EXPECT_THROW(centre.RemoveFromConfig(centre.ButtonGuid()), EXmlError);
  EXPECT_EQ(ReadConfig(), broken);
}

TEST_F(XmlControlGroupTest, FileThatCannotBeOpenedIsReportedAndKept) {
  WriteConfig(Example());
  TTestXmlGroup group(form_.get(), kConfig);
  {
    UniqueFile lock(
        CreateFileW(folder_.File(kConfig).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(Valid(lock));
    group.LoadConfigFile(kConfig);
    EXPECT_EQ(group.LoadState(), TConfigLoadState::Unreadable);
    EXPECT_TRUE(group.LoadFailed());
    EXPECT_EQ(group.HasButtonRecords(), 0);
    EXPECT_EQ(reporter_.messages, (std::vector<std::wstring>{L"XML文件流创建出错"}));

    TXmlControlDragGDIButton& centre = Centre(group);
    centre.SetFileName(L"C:\\a.exe");
    centre.SaveToConfig();
    centre.RemoveFromConfig(kGuid1);
    EXPECT_EQ(reporter_.messages.size(), 3u);
    EXPECT_EQ(reporter_.messages.back(), ConfigFormat::SaveRefusedMessage(kConfig));
  }
  EXPECT_EQ(ReadConfig(), Example());
}

TEST_F(XmlControlGroupTest, FileNameIsInPlaceBeforeTheCentreIsMade) {
  WriteConfig(Example());
  TXmlControlButtonGroup named(form_.get(), kConfig);
  EXPECT_EQ(named.XmlFileName(), kConfig);
  auto* centre = dynamic_cast<TXmlControlDragGDIButton*>(named.CentreButton());
  ASSERT_NE(centre, nullptr);
  EXPECT_EQ(centre->DefaultColor, MakeColor(0, 0x80, 0xFF));
  EXPECT_EQ(centre->HotColor, MakeColor(255, 0, 0));
  // Segments are of the same class.
  named.Items().AddItem();
  EXPECT_NE(dynamic_cast<TXmlControlDragGDIButton*>(named.Items().Items(0)->Button()), nullptr);

  TXmlControlButtonGroup unnamed(form_.get());
  EXPECT_EQ(unnamed.XmlFileName(), L"");
  EXPECT_EQ(unnamed.CentreButton()->DefaultColor, 0u);
  // Only the missing (unnamed) file was reported, by the centre button's colour reading.
  EXPECT_EQ(reporter_.messages, (std::vector<std::wstring>{L"文件不存在!"}));
}

}  // namespace
