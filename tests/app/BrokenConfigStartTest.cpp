// Start-up with a SystemConfig.xml that does not load: told once, file untouched, ring and tray usable.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "app/VTMainForm.h"
#include "framework/Forms.h"
#include "framework/Handles.h"
#include "tests/app/FormTestSupport.h"
#include "tests/support/TestSupport.h"

namespace {
using apptest::MainFormTest;

class BrokenConfigStartTest : public MainFormTest, public testing::WithParamInterface<const char*> {};

TEST_P(BrokenConfigStartTest, ErrorShownOnceFileKeptDefaultRingAndWorkingTray) {
  const std::string broken = GetParam();
  WriteConfig(broken);
  TfrmVantelMain& f = MakeForm();
  ShowWindow(Application->Handle(), SW_SHOWNA);
  f.Show();

  ASSERT_EQ(testsupport::RecordedExceptions().size(), 1u);
  EXPECT_FALSE(testsupport::RecordedExceptions()[0].empty());
  EXPECT_TRUE(reporter.Messages.empty());  // not also "missing" for every button
  EXPECT_EQ(ReadConfig(), broken);

  // On as with a file without records: black boxes, the four default segments, the rest of the show.
  EXPECT_EQ(f.Edit1->Color(), RGB(0, 0, 0));
  EXPECT_EQ(f.Edit2->Color(), RGB(0, 0, 0));
  EXPECT_EQ(f.Width(), 0);
  EXPECT_FALSE(IsWindowVisible(Application->Handle()));
  EXPECT_FALSE(GetWindowLongW(f.Handle(), GWL_EXSTYLE) & WS_EX_APPWINDOW);
  ASSERT_NE(f.ButtonGroup(), nullptr);
  EXPECT_EQ(f.ButtonGroup()->SegmentCount(), 4);
  EXPECT_EQ(log.back(), "CreateDefaultSegments");
  EXPECT_TRUE(f.MenuSkin1->Active());

  // The tray's commands work.
  log.clear();
  f.TrayIcon1Click(f.TrayIcon1.get());
  EXPECT_EQ(log, std::vector<std::string>{"ShowAll"});
  f.N1->Click();
  EXPECT_FALSE(IsWindowVisible(f.Handle()));
  f.N2->Click();
  EXPECT_EQ(f.Width(), 516);
  EXPECT_TRUE(IsWindowVisible(f.Handle()));
  EXPECT_EQ(testsupport::RecordedExceptions().size(), 1u)
      << "the show handler reads the file again, tells once";

  // Every later load sees the real file again: documents made after start-up still report the fault.
  TXmlDocument document;
  EXPECT_THROW(document.LoadFile(L"SystemConfig.xml"), EXmlError);
  EXPECT_EQ(ReadConfig(), broken);
}

INSTANTIATE_TEST_SUITE_P(Files, BrokenConfigStartTest,
                         testing::Values("", "<?xml version=\"1.0\" encoding=\"GB2312\"?>\r\n",
                                         "<Settings HotColor=\"-1\">\r\n<ButtonInfo ButonType=\"0\"",
                                         "<Settings></Other>", "plain text"));

// Another program (a sync or backup tool) holds the file without sharing while Vantel starts.
UniqueFile HoldConfig() {
  return UniqueFile(CreateFileW(L"SystemConfig.xml", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
}

TEST_F(MainFormTest, FileHeldThroughTheStartIsToldOnceByNameAndKept) {
  WriteConfig(apptest::kRedBlueConfig);
  UniqueFile holder = HoldConfig();
  ASSERT_TRUE(Valid(holder));
  TfrmVantelMain& f = MakeForm();
  f.Show();
  // One message, not one per load (colours, the group, each button), naming the file and what to do.
  ASSERT_EQ(reporter.Messages.size(), 1u);
  EXPECT_NE(reporter.Messages[0].find((Folder() / L"SystemConfig.xml").wstring()), std::wstring::npos);
  EXPECT_NE(reporter.Messages[0].find(L"请关闭占用该文件的程序"), std::wstring::npos);
  EXPECT_TRUE(testsupport::RecordedExceptions().empty());
  ASSERT_NE(f.ButtonGroup(), nullptr);
  EXPECT_EQ(log.back(), "CreateDefaultSegments");
  holder.reset();
  EXPECT_EQ(ReadConfig(), apptest::kRedBlueConfig);
}

TEST_F(MainFormTest, FileHeldAMomentAtStartIsWaitedForWhileMessagesAreHandled) {
  WriteConfig(apptest::kRedBlueConfig);
  static UniqueFile holder;
  holder = HoldConfig();
  ASSERT_TRUE(Valid(holder));
  // A timer of this thread lets go of the file: it runs only if the wait handles messages.
  const UINT_PTR timer = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    holder.reset();
  });
  TfrmVantelMain& f = MakeForm();
  f.Show();
  KillTimer(nullptr, timer);
  holder.reset();
  EXPECT_TRUE(reporter.Messages.empty());
  EXPECT_EQ(f.Edit1->Color(), RGB(255, 0, 0));
  EXPECT_EQ(log.back(), "LoadButtons");
}

// A save that Windows stopped halfway left no SystemConfig.xml and its whole content in the temporary file.
TEST_F(MainFormTest, AMissingFileIsOfferedBackFromTheCompleteCopyAHalfDoneSaveKept) {
  struct Case {
    const char* config;  // null: missing
    const char* copy;
    bool asked;
    bool yes;
  };
  for (const Case& c : {Case{nullptr, apptest::kRedBlueConfig, true, true},
                        Case{nullptr, apptest::kRedBlueConfig, true, false},
                        Case{nullptr, "<Settings HotColor=\"-65536\"/>", false, true},        // no records
                        Case{nullptr, "<Settings><ButtonInfo ButonType=\"0\"", false, true},  // cut short
                        Case{"<Settings/>", apptest::kRedBlueConfig, false, true}}) {  // the file is there
    const std::filesystem::path copy = Folder() / L"SystemConfig.xml.tmp";
    std::filesystem::remove(Folder() / L"SystemConfig.xml");
    if (c.config) WriteConfig(c.config);
    std::ofstream(copy, std::ios::binary) << c.copy;
    log.clear();
    TfrmVantelMain& f = MakeForm();
    std::vector<std::wstring> questions;
    f.AskAtStart = [&](const std::wstring& text) {
      questions.push_back(text);
      return c.yes;
    };
    f.Show();
    const std::string where = std::string(c.copy) + (c.yes ? " yes" : " no");
    ASSERT_EQ(questions.size(), c.asked ? 1u : 0u) << where;
    const bool restored = c.asked && c.yes;
    if (c.asked) {
      EXPECT_NE(questions[0].find(L"“" + copy.wstring() + L"”"), std::wstring::npos) << where;
    }
    EXPECT_EQ(std::filesystem::exists(copy), !restored) << where;
    EXPECT_EQ(ReadConfig(), restored ? std::string(c.copy) : std::string(c.config ? c.config : "")) << where;
    EXPECT_EQ(f.Edit1->Color(), restored ? RGB(255, 0, 0) : RGB(0, 0, 0)) << where;
    EXPECT_EQ(log.back(), restored ? "LoadButtons" : "CreateDefaultSegments") << where;
    Application->SetMainForm(nullptr);
    form.reset();
  }
  EXPECT_TRUE(testsupport::RecordedExceptions().empty());
}

// A file that loads for the show handler but not for the group (changed in between): the same road.
TEST_F(MainFormTest, FileBrokenBetweenTheTwoLoadsStillGivesTheDefaultRing) {
  WriteConfig(apptest::kRedBlueConfig);
  bool broke = false;
  form =
      std::make_unique<TfrmVantelMain>(Application, [&](TComponent*, const std::wstring&, const TXmlHost&) {
        if (!broke) {
          broke = true;
          WriteConfig("<Settings");
        }
        return std::make_unique<apptest::TRecordingRingGroup>(log);
      });
  Application->SetMainForm(form.get());
  form->Show();
  EXPECT_EQ(testsupport::RecordedExceptions().size(), 1u);
  ASSERT_NE(form->ButtonGroup(), nullptr);
  EXPECT_EQ(log.back(), "CreateDefaultSegments");
  EXPECT_EQ(form->Edit1->Color(), RGB(255, 0, 0));  // read before the file broke
  EXPECT_EQ(ReadConfig(), "<Settings");
}
}  // namespace
