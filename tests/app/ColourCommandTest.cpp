// The two colour buttons: the dialog's answer, the colour box, and the signed value in SystemConfig.xml.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <utility>

#include "app/VTMainForm.h"
#include "framework/Forms.h"
#include "tests/app/FormTestSupport.h"
#include "tests/support/TestSupport.h"
#include "xml/XmlDocument.h"

namespace {
using apptest::MainFormTest;

// A click as the button's parent hears of it, through the window procedure (which shows errors).
void ClickButton(TBitBtn& button) {
  HWND window = button.Handle();
  SendMessageW(GetParent(window), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(window), BN_CLICKED),
               reinterpret_cast<LPARAM>(window));
}

class ColourCommandTest : public MainFormTest {
 protected:
  // The window after start-up, with the dialog replaced: each run records the colour it opened on
  // and answers with the next scripted choice (nullopt: cancel).
  TfrmVantelMain& Started(const std::string& config = apptest::kRedBlueConfig) {
    if (!config.empty()) WriteConfig(config);
    TfrmVantelMain& f = MakeForm();
    f.Show();
    reporter.Messages.clear();
    f.ExecuteColorDialog = [this](TColorDialog& dialog) {
      openedOn.push_back(dialog.Color);
      const std::optional<COLORREF> answer = answers.at(openedOn.size() - 1);
      if (answer) dialog.Color = *answer;
      return answer.has_value();
    };
    return f;
  }
  std::string Attribute(const char* name) {
    TXmlDocument document;
    document.LoadFile(L"SystemConfig.xml");
    return document.RootElement()->GetAttribute(name);
  }

  std::vector<std::optional<COLORREF>> answers;
  std::vector<COLORREF> openedOn;
};

TEST_F(ColourCommandTest, HotColourWritesSignedDecimalAndTurnsItsBox) {
  TfrmVantelMain& f = Started();
  answers = {RGB(255, 0, 0)};
  ClickButton(*f.BitBtn1);
  EXPECT_EQ(Attribute("HotColor"), "-65536");
  EXPECT_EQ(Attribute("DefaultColor"), "-16776961");  // the other colour stays
  EXPECT_EQ(f.Edit1->Color(), RGB(255, 0, 0));
  EXPECT_TRUE(testsupport::RecordedExceptions().empty());
}

TEST_F(ColourCommandTest, NormalColourTable) {
  struct Case {
    COLORREF chosen;
    const char* stored;
  };
  const Case cases[] = {{RGB(0, 0, 0), "-16777216"},
                        {RGB(255, 255, 255), "-1"},
                        {RGB(0, 0, 255), "-16776961"},
                        {RGB(0x12, 0x34, 0x56), "-15584170"}};
  TfrmVantelMain& f = Started();
  for (const Case& c : cases) answers.push_back(c.chosen);
  for (const Case& c : cases) {
    f.BitBtn2Click(f.BitBtn2.get());
    EXPECT_EQ(Attribute("DefaultColor"), c.stored);
    EXPECT_EQ(f.Edit2->Color(), c.chosen);
  }
  // The records stay as they were.
  TXmlDocument document;
  document.LoadFile(L"SystemConfig.xml");
  EXPECT_EQ(document.RootElement()->ChildCount(), 1);
}

TEST_F(ColourCommandTest, TheDialogOpensOnTheColourLastChosenByEitherButton) {
  TfrmVantelMain& f = Started();
  answers = {RGB(1, 2, 3), std::nullopt, RGB(4, 5, 6)};
  f.BitBtn1Click(nullptr);
  f.BitBtn2Click(nullptr);
  f.BitBtn1Click(nullptr);
  EXPECT_EQ(openedOn, (std::vector<COLORREF>{0, RGB(1, 2, 3), RGB(1, 2, 3)}));
}

TEST_F(ColourCommandTest, AColourIsSavedWhereTheFileWasFoundThoughTheCurrentFolderChangedSince) {
  TfrmVantelMain& f = Started();
  // A common dialog or a shell call moves the current folder; the save stays with the file.
  const std::filesystem::path elsewhere = Folder() / "elsewhere";
  std::filesystem::create_directory(elsewhere);
  std::filesystem::current_path(elsewhere);
  answers = {RGB(0, 255, 0)};
  f.BitBtn1Click(nullptr);
  EXPECT_FALSE(std::filesystem::exists(elsewhere / "SystemConfig.xml"));
  EXPECT_NE(ReadConfig().find("HotColor=\"-16711936\""), std::string::npos) << ReadConfig();
  EXPECT_TRUE(reporter.Messages.empty());
}

TEST_F(ColourCommandTest, CancelNeitherLoadsNorWrites) {
  TfrmVantelMain& f = Started("");  // no file: a load would say so
  answers = {std::nullopt};
  const TColor before = f.Edit1->Color();
  f.BitBtn1Click(nullptr);
  EXPECT_TRUE(reporter.Messages.empty());
  EXPECT_FALSE(ConfigExists());
  EXPECT_EQ(f.Edit1->Color(), before);
}

TEST_F(ColourCommandTest, AMissingFileIsReportedThenCreatedWithTheColourAlone) {
  TfrmVantelMain& f = Started("");
  answers = {RGB(255, 0, 0)};
  f.BitBtn1Click(nullptr);
  EXPECT_EQ(reporter.Messages, std::vector<std::wstring>{f.ConfigFile() + L"文件不存在!"});
  ASSERT_TRUE(ConfigExists());
  TXmlDocument document;
  document.LoadFile(L"SystemConfig.xml");
  EXPECT_EQ(document.RootElement()->GetAttribute("HotColor"), "-65536");
  EXPECT_EQ(document.RootElement()->ChildCount(), 0);
}

TEST_F(ColourCommandTest, AnUnwritableFileIsReportedAndKeepsItsValue) {
  TfrmVantelMain& f = Started();
  // Another program holds the file open for reading and lets nobody replace it.
  const std::wstring path = (Folder() / "SystemConfig.xml").wstring();
  HANDLE held = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  answers = {RGB(0, 255, 0)};
  ClickButton(*f.BitBtn1);
  CloseHandle(held);
  EXPECT_EQ(testsupport::RecordedExceptions().size(), 1u);  // shown in the error box, program runs on
  EXPECT_EQ(f.Edit1->Color(), RGB(0, 255, 0));              // the box already shows it
  EXPECT_EQ(ReadConfig(), apptest::kRedBlueConfig);
}

TEST_F(ColourCommandTest, AFileHeldAtTheReadIsNeverWrittenOverThoughReleasedBeforeTheSave) {
  TfrmVantelMain& f = Started();
  const COLORREF shown = f.Edit1->Color();
  // A sync client holds the file without sharing, and lets go while the user reads the message.
  const std::wstring path = (Folder() / "SystemConfig.xml").wstring();
  HANDLE held = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  reporter.OnMessage = [&] {
    if (held != INVALID_HANDLE_VALUE) CloseHandle(std::exchange(held, INVALID_HANDLE_VALUE));
  };
  answers = {RGB(0, 255, 0)};
  ClickButton(*f.BitBtn1);
  EXPECT_EQ(held, INVALID_HANDLE_VALUE);
  EXPECT_EQ(ReadConfig(), apptest::kRedBlueConfig) << "every record is still there";
  ASSERT_EQ(reporter.Messages.size(), 1u);
  EXPECT_NE(reporter.Messages[0].find(L"SystemConfig.xml"), std::wstring::npos) << "names the file";
  EXPECT_NE(reporter.Messages[0].find(L"请关闭占用该文件的程序"), std::wstring::npos) << "says what to do";
  EXPECT_EQ(f.Edit1->Color(), shown) << "the colour was not stored";
  EXPECT_TRUE(testsupport::RecordedExceptions().empty());
}

TEST_F(ColourCommandTest, AnUnloadableFileIsReportedAndNeverReplaced) {
  const std::string broken = "<Settings HotColor=\"-1\"><ButtonInfo";
  TfrmVantelMain& f = Started(broken);
  testsupport::ClearExceptions();
  answers = {RGB(0, 255, 0)};
  ClickButton(*f.BitBtn1);
  EXPECT_EQ(testsupport::RecordedExceptions().size(), 1u);
  EXPECT_EQ(ReadConfig(), broken);
}

// The real common dialog: opens on the colour last chosen and hands back what it shows on OK.
TEST_F(ColourCommandTest, RealDialogOpensOnItsColour) {
  TfrmVantelMain& f = MakeForm();
  f.ColorDialog1->Color = RGB(10, 20, 30);
  for (bool withCancel : {false, true}) {
    bool chosen = false;
    const bool answered = testsupport::AnswerDialog(
        [&] { chosen = f.ColorDialog1->Execute(); },
        [&](HWND dialog) { PostMessageW(dialog, WM_COMMAND, withCancel ? IDCANCEL : IDOK, 0); });
    EXPECT_TRUE(answered);
    EXPECT_EQ(chosen, !withCancel);
    EXPECT_EQ(f.ColorDialog1->Color, RGB(10, 20, 30));
  }
}
}  // namespace
