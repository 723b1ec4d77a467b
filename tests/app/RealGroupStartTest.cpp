// Start-up with the program's own button group: the ring it makes and the messages the user sees.
#include <gtest/gtest.h>

#include "GDIButtons/XmlControlButtonGroup.h"
#include "app/VTMainForm.h"
#include "framework/Forms.h"
#include "tests/app/FormTestSupport.h"
#include "tests/support/TestSupport.h"

namespace {

class RealGroupStartTest : public apptest::MainFormTest {
 protected:
  TfrmVantelMain& Start() {
    form = std::make_unique<TfrmVantelMain>(Application);  // the XML-bound group
    Application->SetMainForm(form.get());
    form->Show();
    return *form;
  }
  TXmlControlButtonGroup& Ring() const {
    TXmlControlButtonGroup* group = form->ButtonGroup()->XmlGroup();
    EXPECT_NE(group, nullptr);
    return *group;
  }
};

TEST_F(RealGroupStartTest, FirstStartWithoutFileTellsSevenTimesAndWritesNothing) {
  // A second monitor left of the primary one, which has a taskbar below.
  testsupport::FakeMonitors monitors({{{-1280, 0, 0, 1024}, {-1280, 0, 0, 1024}, 96, false},
                                      {{0, 0, 1920, 1080}, {0, 0, 1920, 1040}, 96, true}});
  TfrmVantelMain& f = Start();
  // The show handler, the centre button, the group's load and each of the four segments.
  EXPECT_EQ(reporter.Messages, std::vector<std::wstring>(7, f.ConfigFile() + L"文件不存在!"));
  EXPECT_EQ(f.ButtonGroup()->SegmentCount(), 4);
  EXPECT_EQ(Ring().Width(), 180);
  EXPECT_EQ(Ring().Height(), 180);
  EXPECT_EQ(Ring().PopupMenu(), f.PmButtonControl.get());
  EXPECT_EQ(f.Edit1->Color(), RGB(0, 0, 0));
  EXPECT_FALSE(ConfigExists());
  EXPECT_TRUE(testsupport::RecordedExceptions().empty());

  // The ring is centred in the primary monitor's work area and every window of it is shown.
  HWND centre = Ring().CentreButton()->Handle();
  EXPECT_TRUE(IsWindowVisible(centre));
  RECT r{};
  GetWindowRect(centre, &r);
  EXPECT_NEAR((r.left + r.right) / 2, 960, 1);
  EXPECT_NEAR((r.top + r.bottom) / 2, 520, 1);
  for (int i = 0; i < Ring().Items().Count(); ++i)
    EXPECT_TRUE(IsWindowVisible(Ring().Items().Items(i)->Button()->Handle()));
}

TEST_F(RealGroupStartTest, RecordsAreLoadedAndNothingIsRewritten) {
  WriteConfig(apptest::kRedBlueConfig);  // one segment record: topped up to five segments
  TfrmVantelMain& f = Start();
  EXPECT_TRUE(reporter.Messages.empty());
  EXPECT_EQ(f.ButtonGroup()->SegmentCount(), 5);
  EXPECT_EQ(ReadConfig(), apptest::kRedBlueConfig);
  EXPECT_TRUE(testsupport::RecordedExceptions().empty());
}

TEST_F(RealGroupStartTest, UnloadableFileIsToldOnceKeptAndTheRingStillComes) {
  const std::string broken = "<Settings HotColor=\"-1\">\r\n<ButtonInfo ButonType=\"0\"";
  WriteConfig(broken);
  TfrmVantelMain& f = Start();
  EXPECT_EQ(testsupport::RecordedExceptions().size(), 1u);
  EXPECT_TRUE(reporter.Messages.empty());
  ASSERT_NE(f.ButtonGroup(), nullptr);
  EXPECT_EQ(f.ButtonGroup()->SegmentCount(), 4);
  EXPECT_TRUE(IsWindowVisible(Ring().CentreButton()->Handle()));

  // The tray's handlers find the group.
  f.TrayIcon1Click(f.TrayIcon1.get());
  f.TrayIcon1DblClick(f.TrayIcon1.get());
  EXPECT_EQ(testsupport::RecordedExceptions().size(), 1u);
  EXPECT_EQ(ReadConfig(), broken);
}

TEST_F(RealGroupStartTest, ClosingTheProgramTakesTheRingAndTheTrayIconAway) {
  TfrmVantelMain& f = Start();
  HWND centre = Ring().CentreButton()->Handle();
  f.N3->Click();
  EXPECT_TRUE(Application->Terminated());
  Application->SetMainForm(nullptr);
  form.reset();
  EXPECT_FALSE(IsWindow(centre));
}
TEST_F(RealGroupStartTest, MinimisedStartShowsTheRingButNotTheWindow) {
  WriteConfig(apptest::kRedBlueConfig);
  form = std::make_unique<TfrmVantelMain>(Application);
  form->PrepareWithoutShowing();
  EXPECT_FALSE(IsWindowVisible(form->Handle()));
  EXPECT_TRUE(IsWindowVisible(Ring().CentreButton()->Handle()));
  for (int i = 0; i < Ring().Items().Count(); ++i)
    EXPECT_TRUE(IsWindowVisible(Ring().Items().Items(i)->Button()->Handle()));
}
}  // namespace
