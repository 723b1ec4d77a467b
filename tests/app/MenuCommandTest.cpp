// The tray menu's commands, the tray icon's events and the settings window's close box.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/VTMainForm.h"
#include "framework/Forms.h"
#include "tests/app/FormTestSupport.h"
#include "tests/support/TestSupport.h"

namespace {
using apptest::MainFormTest;

class MenuCommandTest : public MainFormTest {
 protected:
  // The window as after start-up: shown at 0 by 0 with its group.
  TfrmVantelMain& Started() {
    WriteConfig(apptest::kRedBlueConfig);
    TfrmVantelMain& f = MakeForm();
    ShowWindow(Application->Handle(), SW_SHOWNA);
    f.Show();
    // As the program's loop would turn next: the tray icon joins the notification area.
    EXPECT_TRUE(testsupport::PumpUntil([&] { return f.TrayIcon1->IconVisible(); }));
    log.clear();
    return f;
  }
  int ShowAllCount() const { return static_cast<int>(std::count(log.begin(), log.end(), "ShowAll")); }
};

TEST_F(MenuCommandTest, HideAndShowSettings) {
  TfrmVantelMain& f = Started();
  f.N2->Click();
  EXPECT_TRUE(IsWindowVisible(f.Handle()));
  RECT r{};
  GetWindowRect(f.Handle(), &r);
  EXPECT_EQ(r.right - r.left, 516);
  EXPECT_EQ(r.bottom - r.top, 368);
  EXPECT_EQ(r.left, 335);  // at its last position
  EXPECT_EQ(r.top, 216);

  f.N1->Click();
  EXPECT_FALSE(IsWindowVisible(f.Handle()));
  EXPECT_EQ(f.Width(), 0);
  EXPECT_EQ(f.Height(), 0);
  EXPECT_FALSE(IsWindowVisible(Application->Handle()));

  // Shown again from hidden: the show handler re-reads the colours on the way.
  WriteConfig("<Settings HotColor=\"-16711936\" DefaultColor=\"-1\"/>");
  f.N2->Click();
  EXPECT_TRUE(IsWindowVisible(f.Handle()));
  EXPECT_EQ(f.Width(), 516);
  EXPECT_EQ(f.Height(), 368);
  EXPECT_EQ(f.Edit1->Color(), RGB(0, 255, 0));
  EXPECT_EQ(std::count(log.begin(), log.end(), "Create"), 0);
}

TEST_F(MenuCommandTest, CloseBoxOnlyHides) {
  TfrmVantelMain& f = Started();
  f.N2->Click();
  f.Close();  // WM_CLOSE, as the close box sends it
  EXPECT_TRUE(IsWindow(f.Handle()));
  EXPECT_FALSE(IsWindowVisible(f.Handle()));
  EXPECT_FALSE(Application->Terminated());
  EXPECT_NE(f.ButtonGroup(), nullptr);
  EXPECT_TRUE(f.TrayIcon1->IconVisible());

  TCloseAction action = TCloseAction::caFree;
  f.FormClose(&f, action);
  EXPECT_EQ(action, TCloseAction::caNone);
}

// The desktop's windows as Windows arranges them, made by the test (hidden; the commands see only them):
// the icon view under Progman, or under one of several WorkerW windows (Windows 10 and 11), or none. Where
// the shell offers the desktop's folder view, the commands go through it and leave the windows alone (the
// view window keeps the desktop's right-click menu); elsewhere (Wine) they hide the view window.
TEST_F(MenuCommandTest, DesktopIconCommandsUseTheFolderViewElseHideTheIconViewWhereverItIs) {
  struct Case {
    const char* arrangement;
    bool folderView;                                         // the shell offers the desktop's folder view
    std::vector<std::pair<const wchar_t*, bool>> topLevels;  // class, holds the icon view
    int holder;                                              // the one whose view the commands hide; -1: none
  };
  const Case cases[] = {
      {"folder view", true, {{L"Progman", true}}, -1},
      {"Progman", false, {{L"Progman", true}, {L"WorkerW", false}}, 0},
      {"WorkerW", false, {{L"Progman", false}, {L"WorkerW", false}, {L"WorkerW", true}}, 2},
      {"none", false, {{L"Progman", false}}, -1},
  };
  for (const wchar_t* name : {L"Progman", L"WorkerW", L"SHELLDLL_DefView"})
    EnsureWindowClass(name, DefWindowProcW);
  TfrmVantelMain& f = Started();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arrangement);
    std::vector<HWND> tops, views;
    for (const auto& [className, holdsView] : c.topLevels) {
      tops.push_back(CreateWindowExW(WS_EX_TOOLWINDOW, className, L"", WS_POPUP, 0, 0, 10, 10, nullptr,
                                     nullptr, GetModuleHandleW(nullptr), nullptr));
      views.push_back(holdsView
                          ? CreateWindowExW(0, L"SHELLDLL_DefView", L"", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10,
                                            tops.back(), nullptr, GetModuleHandleW(nullptr), nullptr)
                          : nullptr);
    }
    std::vector<bool> asked;  // what the folder view was asked to show
    f.DesktopFolderView = [&](bool show) {
      asked.push_back(show);
      return c.folderView;
    };
    f.FindDesktopWindow = [&](HWND parent, HWND after, const wchar_t* className) -> HWND {
      if (parent) return FindWindowExW(parent, after, className, nullptr);
      auto it = after ? std::find(tops.begin(), tops.end(), after) + 1 : tops.begin();
      for (; it != tops.end(); ++it) {
        wchar_t found[64] = {};
        GetClassNameW(*it, found, 64);
        if (std::wstring(found) == className) return *it;
      }
      return nullptr;
    };
    // Which views are hidden (by their style: the stand-ins are never on screen).
    const auto hidden = [&] {
      std::vector<bool> result;
      for (HWND view : views) result.push_back(view && !(GetWindowLongW(view, GWL_STYLE) & WS_VISIBLE));
      return result;
    };
    std::vector<bool> afterHide(tops.size(), false);
    if (c.holder >= 0) afterHide[c.holder] = true;
    const std::vector<bool> none(tops.size(), false);

    f.N4->Click();
    EXPECT_EQ(hidden(), afterHide);
    f.N5->Click();
    EXPECT_EQ(hidden(), none);
    f.N4->Click();
    f.N3->Click();  // shown again before the program ends
    EXPECT_EQ(hidden(), none);
    EXPECT_EQ(asked, (std::vector<bool>{false, true, false, true}));
    EXPECT_TRUE(Application->Terminated());
    MSG quit{};
    EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    for (HWND top : tops) DestroyWindow(top);
  }
}

TEST_F(MenuCommandTest, UsageNoteHasItsTwoLinesJoinedByLineFeedThenReturn) {
  TfrmVantelMain& f = Started();
  std::vector<std::wstring> shown;
  const auto messageBox = f.ShowInformation;
  f.ShowInformation = [&](const std::wstring& text) { shown.push_back(text); };
  f.N11->Click();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(
      shown[0],
      L"左键拖拽图标后,如果按键上已存在图标则新增按键\n\r右键拖拽图标后,如果按键上已存在图标则覆盖图标");

  // The real box stands above the ring's topmost windows.
  f.ShowInformation = messageBox;
  LONG_PTR boxStyle = -1;
  const bool answered = testsupport::AnswerDialog([&] { f.N11->Click(); },
                                                  [&](HWND box) {
                                                    boxStyle = GetWindowLongPtrW(box, GWL_EXSTYLE);
                                                    PostMessageW(box, WM_COMMAND, IDOK, 0);
                                                  },
                                                  Application->Title().c_str());
  ASSERT_TRUE(answered);
  ASSERT_NE(boxStyle, -1);
  EXPECT_TRUE(boxStyle & WS_EX_TOPMOST);
}

TEST_F(MenuCommandTest, LinksOpenTheWebAddressShownInTheCaption) {
  TfrmVantelMain& f = Started();
  std::vector<std::wstring> opened;
  f.OpenAddress = [&](const std::wstring& address) { opened.push_back(address); };
  f.N8->Click();
  f.N9->Click();
  f.N10->Click();
  EXPECT_EQ(opened, std::vector<std::wstring>(3, kVantelWebAddress));
  EXPECT_NE(f.Caption().find(kVantelWebAddress), std::wstring::npos);
}

TEST_F(MenuCommandTest, TrayEventsShowTheRing) {
  TfrmVantelMain& f = Started();
  f.TrayIcon1MouseDown(f.TrayIcon1.get(), TMouseButton::mbRight, ssRight, 0, 0);
  f.TrayIcon1MouseDown(f.TrayIcon1.get(), TMouseButton::mbMiddle, ssMiddle, 0, 0);
  EXPECT_EQ(ShowAllCount(), 0);
  f.TrayIcon1MouseDown(f.TrayIcon1.get(), TMouseButton::mbLeft, ssLeft, 0, 0);
  EXPECT_EQ(ShowAllCount(), 1);
  f.TrayIcon1Click(f.TrayIcon1.get());
  EXPECT_EQ(ShowAllCount(), 2);

  // A double-click shrinks an open settings window to 0 by 0 and keeps it visible.
  f.N2->Click();
  f.TrayIcon1DblClick(f.TrayIcon1.get());
  EXPECT_EQ(ShowAllCount(), 3);
  EXPECT_EQ(f.Width(), 0);
  EXPECT_EQ(f.Height(), 0);
  EXPECT_TRUE(IsWindowVisible(f.Handle()));

  // From hidden, the double-click shows the window (its show handler runs) without a second group.
  f.N1->Click();
  f.TrayIcon1DblClick(f.TrayIcon1.get());
  EXPECT_TRUE(IsWindowVisible(f.Handle()));
  EXPECT_EQ(std::count(log.begin(), log.end(), "Create"), 0);
}

TEST_F(MenuCommandTest, TheShellsClickReachesTheHandlers) {
  TfrmVantelMain& f = Started();
  // A left press as the shell reports it: the mouse-down event at once.
  SendMessageW(f.TrayIcon1->HandlerWindow(), TTrayIcon::kCallbackMessage, f.TrayIcon1->Id(), WM_LBUTTONDOWN);
  EXPECT_EQ(ShowAllCount(), 1);
  SendMessageW(f.TrayIcon1->HandlerWindow(), TTrayIcon::kCallbackMessage, f.TrayIcon1->Id(), WM_LBUTTONUP);
  // The click follows once the double-click time has passed.
  EXPECT_TRUE(testsupport::PumpUntil([&] { return ShowAllCount() == 2; }, 5000));
}

TEST_F(MenuCommandTest, TrayCommandsDuringTheStartUpMessagesNeitherShowAgainNorBuildASecondRing) {
  // A first start: the missing-file messages' modal loops let the tray icon's commands in.
  TfrmVantelMain& f = MakeForm();
  int messages = 0;
  reporter.OnMessage = [&] {
    ++messages;
    f.N1->Click();  // "隐藏系统设置", then "显示系统设置"
    f.N2->Click();
    f.TrayIcon1DblClick(f.TrayIcon1.get());
    f.TrayIcon1Click(f.TrayIcon1.get());
  };
  f.Show();
  reporter.OnMessage = nullptr;
  EXPECT_GE(messages, 2);
  EXPECT_EQ(std::count(log.begin(), log.end(), "Create"), 1);
  EXPECT_EQ(std::count(log.begin(), log.end(), "Destroy"), 0);
  EXPECT_EQ(ShowAllCount(), 0) << "no command reached the ring while it was made";
  ASSERT_NE(f.ButtonGroup(), nullptr);
  // Once the ring is there, the commands work.
  f.N2->Click();
  EXPECT_EQ(f.Width(), 516);
  f.TrayIcon1Click(f.TrayIcon1.get());
  EXPECT_EQ(ShowAllCount(), 1);
}

TEST_F(MenuCommandTest, HandlersBeforeTheFirstShowFindNoGroupAndDoNoHarm) {
  TfrmVantelMain& f = MakeForm();
  f.TrayIcon1Click(f.TrayIcon1.get());
  f.TrayIcon1MouseDown(f.TrayIcon1.get(), TMouseButton::mbLeft, ssLeft, 0, 0);
  EXPECT_TRUE(log.empty());
}
}  // namespace
