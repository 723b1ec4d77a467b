// Loading a ring that grows: the ring built with its drawing held is the ring that adding one segment at a
// time with every render drawn gives, window for window and pixel for pixel.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "GDIButtons/ButtonGroupItems.h"
#include "GDIButtons/ShellInfoPrefetch.h"
#include "tests/GDIButtons/XmlControlTestSupport.h"
#include "tests/support/TestSupport.h"

namespace {

using namespace xmltest;

class XmlControlLoadTest : public XmlControlTestBase {
 protected:
  // `count` segment records, each holding a program with an icon: past four segments the icons ask the
  // ring to grow.
  static std::string ProgramRecords(int count) {
    std::vector<std::string> records;
    for (int i = 0; i < count; ++i) {
      char guid[64];
      std::snprintf(guid, sizeof(guid), "{0A1B2C3D-0000-4000-8000-%012X}", i + 1);
      records.push_back(
          std::string(R"(<ButtonInfo ButonType="0" ButtonFilePath="C:\windows\notepad.exe" ButtonGuid=")") +
          guid + R"("/>)");
    }
    return ConfigWithRecords(records);
  }

  // What the loading does, step by step as the records say, with nothing held: every addition renders
  // and pushes every segment.
  std::unique_ptr<TTestXmlGroup> BuildByHand() {
    auto group = std::make_unique<TTestXmlGroup>(form_.get(), kConfig);
    group->LoadConfigFile(kConfig);
    group->SetHeight(180);
    group->SetWidth(180);
    const TXmlNode* root = group->Document().RootElement();
    for (int i = 0; i < root->ChildCount(); ++i) {
      const TXmlNode* record = root->ChildAt(i);
      auto* button = dynamic_cast<TXmlControlDragGDIButton*>(group->Items().AddItem()->Button());
      button->SetXmlFileName(kConfig);
      button->SetFileName(L"C:\\windows\\notepad.exe");
      button->SetButtonGuid(record->AttributeAsString("ButtonGuid", ""));
      button->AddDeleteMenuItem();
      button->DefaultColor = MakeColor(0, 0x80, 0xFF);
    }
    group->ShowAll();
    return group;
  }

  // Whether the ring's centre is stacked above every one of its segments on the desktop. That is the
  // stacking a ring shows: its segments touch only along their shared anti-aliased edges, at rest in one
  // colour, where either order blends alike, so their order among themselves is not compared. (Wine reorders
  // two neighbouring segments of a loaded ring by itself a moment after it shows, with no call or message to
  // either window.)
  static bool CentreOnTop(TTestXmlGroup& group) {
    HWND centre = group.CentreButton()->Handle();
    for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
      if (w == centre) return true;
      for (int i = 0; i < group.Items().Count(); ++i)
        if (group.Items().Items(i)->Button()->Handle() == w) return false;
    }
    return false;
  }

  // The button's bounds on the screen as its window places them (a ring window covers a box of its button).
  static RECT WindowRect(const TCustomGDIButton& button) {
    RECT r{};
    GetWindowRect(const_cast<TCustomGDIButton&>(button).Handle(), &r);
    const RECT box = button.WindowBox();
    OffsetRect(&r, -box.left, -box.top);
    return RECT{r.left, r.top, r.left + button.Width(), r.top + button.Height()};
  }

  static void ExpectSameButton(const TCustomGDIButton& loaded, const TCustomGDIButton& built) {
    HWND loadedWindow = const_cast<TCustomGDIButton&>(loaded).Handle();
    HWND builtWindow = const_cast<TCustomGDIButton&>(built).Handle();
    const RECT loadedRect = WindowRect(loaded);
    const RECT builtRect = WindowRect(built);
    EXPECT_TRUE(EqualRect(&loadedRect, &builtRect));
    EXPECT_TRUE(IsWindowVisible(loadedWindow));
    EXPECT_EQ(IsWindowVisible(loadedWindow), IsWindowVisible(builtWindow));
    EXPECT_EQ(GetWindowLongPtrW(loadedWindow, GWL_EXSTYLE), GetWindowLongPtrW(builtWindow, GWL_EXSTYLE));
    EXPECT_GE(loaded.PaintCount(), 2) << "drawn";
    EXPECT_LE(loaded.PaintCount(), built.PaintCount());
    ASSERT_NE(loaded.PieRect(), nullptr);
    EXPECT_EQ(loaded.PieRect()->Values(), built.PieRect()->Values());
    const auto* loadedDrop = dynamic_cast<const TDragGDIButton*>(&loaded);
    const auto* builtDrop = dynamic_cast<const TDragGDIButton*>(&built);
    ASSERT_NE(loadedDrop, nullptr);
    EXPECT_EQ(loadedDrop->IconX(), builtDrop->IconX());
    EXPECT_EQ(loadedDrop->IconY(), builtDrop->IconY());
    EXPECT_EQ(loadedDrop->IconWidth(), builtDrop->IconWidth());
    const TPushedImage& a = LastPushedImage(loaded);
    const TPushedImage& b = LastPushedImage(built);
    EXPECT_TRUE(a.Succeeded);
    EXPECT_EQ(a.Width, b.Width);
    EXPECT_EQ(a.Height, b.Height);
    EXPECT_EQ(a.ConstantAlpha, b.ConstantAlpha);
    EXPECT_TRUE(a.Pixels == b.Pixels) << "the windows show the same picture";
  }
};

TEST_F(XmlControlLoadTest, LoadingGivesTheRingThatAddingWithEveryRenderDrawnGives) {
  // A ring whose last record made it grow, and one whose last record left a growth pending.
  for (int count : {12, 13}) {
    SCOPED_TRACE(count);
    WriteConfig(ProgramRecords(count));
    auto loaded = StartGroup();
    auto built = BuildByHand();

    ASSERT_GT(built->Width(), 180) << "the icons made the ring grow";
    EXPECT_EQ(loaded->Width(), built->Width());
    EXPECT_EQ(loaded->Height(), built->Height());
    EXPECT_FALSE(loaded->DrawingHeld());
    EXPECT_EQ(loaded->GrowFlag(), built->GrowFlag());
    {
      SCOPED_TRACE("centre");
      ExpectSameButton(*loaded->CentreButton(), *built->CentreButton());
    }
    ASSERT_EQ(loaded->Items().Count(), count);
    ASSERT_EQ(built->Items().Count(), count);
    for (int i = 0; i < count; ++i) {
      SCOPED_TRACE(i);
      ExpectSameButton(*loaded->Items().Items(i)->Button(), *built->Items().Items(i)->Button());
      // Not rendered again at every later addition: made, then drawn once as it shows.
      EXPECT_EQ(loaded->Items().Items(i)->Button()->PaintCount(), 2);
    }
    EXPECT_TRUE(CentreOnTop(*loaded)) << "the centre shows over its segments";
    EXPECT_TRUE(CentreOnTop(*built));
    EXPECT_TRUE(reporter_.messages.empty());
  }
}

TEST_F(XmlControlLoadTest, HeldRendersLayOutWithoutPushingAndNewSegmentsWaitHiddenForShowAll) {
  WriteConfig(ProgramRecords(5));
  auto group = StartGroup();
  TCustomGDIButton& first = *group->Items().Items(0)->Button();
  const int paints = first.PaintCount();
  const int pushes = PushCount(first);

  group->HoldDrawing();
  first.Repaint();
  EXPECT_EQ(first.PaintCount(), paints + 1) << "the render ran";
  EXPECT_EQ(PushCount(first), pushes) << "but pushed nothing";
  TGDIButtonGroupItem* added = group->Items().AddItem();
  TCustomGDIButton& segment = *added->Button();
  EXPECT_FALSE(IsWindowVisible(segment.Handle())) << "no window without its picture";
  group->ReleaseDrawing();
  EXPECT_FALSE(group->DrawingHeld());
  EXPECT_FALSE(IsWindowVisible(segment.Handle()));

  const int segmentPaints = segment.PaintCount();
  group->ShowAll();
  EXPECT_TRUE(IsWindowVisible(segment.Handle()));
  EXPECT_TRUE(segment.Visible());
  EXPECT_EQ(segment.PaintCount(), segmentPaints + 1) << "one render, as Show and Repaint make";
  EXPECT_TRUE(LastPushedImage(segment).Succeeded);
  EXPECT_GT(PushCount(first), pushes);
  // Every segment sits at the centre's place.
  const RECT centre = WindowRect(*group->CentreButton());
  for (int i = 0; i < group->Items().Count(); ++i) {
    SCOPED_TRACE(i);
    const RECT r = WindowRect(*group->Items().Items(i)->Button());
    EXPECT_EQ(r.left, centre.left);
    EXPECT_EQ(r.top, centre.top);
  }
}

TEST_F(XmlControlLoadTest, IconsThatNeverFitGrowTheRingOnlyUntilTheScreensSmallerSide) {
  // 60 records would grow it to about 1,700 px.
  WriteConfig(ProgramRecords(60));
  auto group = StartGroup();
  const int largest = std::min(GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN));
  EXPECT_LE(group->Width(), largest);
  EXPECT_GT(group->Width() + 40, largest) << "it grew as far as it could";
  EXPECT_EQ(group->Width(), group->Height());
}

TEST_F(XmlControlLoadTest, AShellThatNeverAnswersStillGivesTheRingAndALateIconArrivesOnItsOwn) {
  // One record on a share that never answers, one the shell is slow with.
  static HANDLE never = CreateEventW(nullptr, TRUE, FALSE, nullptr);  // never set: left to the process's end
  static HANDLE slowDone = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  const std::wstring stuck = L"\\\\offline\\share\\tool.exe", slow = L"C:\\slow\\tool.exe";
  const TShellSource shell{[stuck, slow](const std::wstring& path, UINT flags, int) {
                             if (path == stuck) WaitForSingleObject(never, INFINITE);
                             if (path == slow) WaitForSingleObject(slowDone, INFINITE);
                             SHFILEINFOW info{};
                             SHGetFileInfoW(L"C:\\windows\\notepad.exe", 0, &info, sizeof(info), flags);
                             return info;
                           },
                           {std::chrono::milliseconds(20), std::chrono::milliseconds(200)}};
  WriteConfig(ConfigWithRecords(
      {R"(<ButtonInfo ButonType="0" ButtonFilePath="\\offline\share\tool.exe" ButtonGuid="{A}"/>)",
       R"(<ButtonInfo ButonType="0" ButtonFilePath="C:\slow\tool.exe" ButtonGuid="{B}"/>)"}));
  auto group = StartGroup(false, shell);

  // The ring is there, the late buttons without their icons, and usable.
  ASSERT_EQ(group->Items().Count(), 5);
  EXPECT_TRUE(IsWindowVisible(group->CentreButton()->Handle()));
  auto& stalled = dynamic_cast<TXmlControlDragGDIButton&>(*group->Items().Items(0)->Button());
  auto& late = dynamic_cast<TXmlControlDragGDIButton&>(*group->Items().Items(1)->Button());
  EXPECT_TRUE(IsWindowVisible(stalled.Handle()));
  EXPECT_EQ(stalled.FileName(), stuck);
  EXPECT_EQ(stalled.FileInfo.hIcon, nullptr);
  EXPECT_STREQ(stalled.FileInfo.szDisplayName, L"tool.exe") << "named meanwhile";
  EXPECT_EQ(late.FileInfo.hIcon, nullptr);
  EXPECT_EQ(late.DeleteMenuItemCount(), 1);

  // The slow answer comes: the button takes its icon and name by itself, and shows them.
  const int pushes = PushCount(late);
  SetEvent(slowDone);
  EXPECT_TRUE(testsupport::PumpUntil([&] { return late.FileInfo.hIcon != nullptr; }));
  EXPECT_STRNE(late.FileInfo.szDisplayName, L"");
  EXPECT_GT(PushCount(late), pushes);

  // The stalled button takes another file at once; its stuck lookup can never reach it.
  stalled.SetFileName(L"C:\\windows\\notepad.exe");
  EXPECT_NE(stalled.FileInfo.hIcon, nullptr);
  group.reset();
  testsupport::PumpFor(50);
}

}  // namespace
