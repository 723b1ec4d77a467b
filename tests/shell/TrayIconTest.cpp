// TTrayIcon: the shell's callback messages turned into events, the menu, presence in the notification area.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <string_view>

#include "framework/Application.h"
#include "framework/Form.h"
#include "framework/Menus.h"
#include "shell/SimpleTimer.h"
#include "shell/TrayIcon.h"
#include "shell/TrayIconHandler.h"
#include "tests/shell/ShellTestSupport.h"

namespace {

// Lets the tests see whether the timers run.
class TestTrayIcon : public TTrayIcon {
 public:
  using TTrayIcon::ClickTimerRunning;
  using TTrayIcon::ExitTimerRunning;
  using TTrayIcon::Loaded;
  using TTrayIcon::TTrayIcon;
};

std::wstring ButtonName(TMouseButton b) {
  return b == TMouseButton::mbLeft ? L"left" : b == TMouseButton::mbRight ? L"right" : L"middle";
}

// Whether the shell still knows an icon: modifying an unknown icon fails.
bool ShellHasIcon(HWND window, UINT id) {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof(data);
  data.hWnd = window;
  data.uID = id;
  return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

// The icon windows that Wine's notification area shows right now (one child window per icon, in the
// explorer process; on a display without a system tray of its own, in Wine's stand-alone tray).
constexpr wchar_t kWineTrayIconClass[] = L"__winex11_tray_icon";

std::set<HWND> WineTrayIcons() {
  std::set<HWND> icons;
  EnumWindows(
      [](HWND top, LPARAM found) -> BOOL {
        EnumChildWindows(
            top,
            [](HWND child, LPARAM found) -> BOOL {
              wchar_t name[64] = {};
              GetClassNameW(child, name, 64);
              if (std::wstring_view(name) == kWineTrayIconClass)
                reinterpret_cast<std::set<HWND>*>(found)->insert(child);
              return TRUE;
            },
            found);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&icons));
  return icons;
}

class TrayIconTest : public testing::Test {
 protected:
  void SetUp() override {
    form_ = std::make_unique<TForm>(nullptr);
    menu_ = std::make_unique<TPopupMenu>(form_.get());
    auto item = std::make_unique<TMenuItem>(nullptr);
    item->Caption = L"Item";
    menu_->Items().Add(std::move(item));
    menu_->OnPopup = [this](TObject*) { log_.push_back(L"popup"); };

    tray_ = std::make_unique<TestTrayIcon>(form_.get());
    tray_->SetIcon(LoadIconW(nullptr, IDI_APPLICATION));
    tray_->SetShowHint(false);
    tray_->SetPopupMenu(menu_.get());
    tray_->OnClick = [this](TObject* s) { Record(s, L"click"); };
    tray_->OnDblClick = [this](TObject* s) { Record(s, L"dblclick"); };
    tray_->OnMouseDown = [this](TObject* s, TMouseButton b, TShiftState shift, int, int) {
      Record(s, L"down " + ButtonName(b));
      lastShift_ = shift;
    };
    tray_->OnMouseUp = [this](TObject* s, TMouseButton b, TShiftState, int, int) {
      Record(s, L"up " + ButtonName(b));
    };
    tray_->OnMouseEnter = [this](TObject* s) { Record(s, L"enter"); };
    tray_->OnMouseExit = [this](TObject* s) { Record(s, L"exit"); };
  }
  void TearDown() override {
    tray_.reset();
    menu_.reset();
    form_.reset();
  }

  void Record(TObject* sender, std::wstring entry) {
    EXPECT_EQ(sender, tray_.get());
    log_.push_back(std::move(entry));
  }
  // What the shell sends when the user acts on the icon.
  void Shell(UINT mouseMessage) {
    SendMessageW(tray_->HandlerWindow(), TTrayIcon::kCallbackMessage, tray_->Id(), mouseMessage);
  }
  bool Logged(const wchar_t* entry) const { return std::find(log_.begin(), log_.end(), entry) != log_.end(); }

  std::unique_ptr<TForm> form_;
  std::unique_ptr<TPopupMenu> menu_;
  std::unique_ptr<TestTrayIcon> tray_;
  std::vector<std::wstring> log_;
  TShiftState lastShift_ = 0;
};

TEST_F(TrayIconTest, SingleClickFiresMouseDownAtOnceAndClickAfterTheDoubleClickTime) {
  Shell(WM_LBUTTONDOWN);
  EXPECT_EQ(log_, (std::vector<std::wstring>{L"down left"}));
  EXPECT_TRUE(lastShift_ & ssLeft);
  EXPECT_TRUE(tray_->ClickTimerRunning());
  Shell(WM_LBUTTONUP);
  EXPECT_EQ(log_, (std::vector<std::wstring>{L"down left", L"up left"})) << "no click before the timer";
  ASSERT_TRUE(PumpUntil([&] { return !tray_->ClickTimerRunning(); }));
  EXPECT_EQ(log_, (std::vector<std::wstring>{L"down left", L"up left", L"click"}));
}

TEST_F(TrayIconTest, DoubleClickFiresMouseDownOnceAndDoubleClickButNoClick) {
  Shell(WM_LBUTTONDOWN);
  Shell(WM_LBUTTONUP);
  Shell(WM_LBUTTONDBLCLK);
  Shell(WM_LBUTTONUP);
  ASSERT_TRUE(PumpUntil([&] { return !tray_->ClickTimerRunning(); }));
  PumpPending();
  EXPECT_EQ(log_, (std::vector<std::wstring>{L"down left", L"up left", L"dblclick", L"up left"}));
  // The next single click is recognised again.
  log_.clear();
  Shell(WM_LBUTTONDOWN);
  Shell(WM_LBUTTONUP);
  ASSERT_TRUE(PumpUntil([&] { return Logged(L"click"); }));
}

TEST_F(TrayIconTest, WithoutADoubleClickHandlerTheClickComesAtRelease) {
  tray_->OnDblClick = nullptr;
  Shell(WM_LBUTTONDOWN);
  EXPECT_FALSE(tray_->ClickTimerRunning());
  Shell(WM_LBUTTONUP);
  EXPECT_EQ(log_, (std::vector<std::wstring>{L"down left", L"click", L"up left"}));
}

TEST_F(TrayIconTest, RightPressFiresMouseDownThenShowsTheMenuWithTheHandlerInFront) {
  bool menuOpen = false;
  HWND foregroundBeforeMenu = nullptr;
  HWND foreground = nullptr;
  // Closes the menu from inside its loop. Started as the menu opens, so that an expiry can only be
  // seen once the menu is there, however slow the machine.
  TSimpleTimer closer(50);
  closer.OnTimer = [&](TObject*) {
    if (!TPopupMenu::ActiveMenu()) return;
    closer.Stop();
    menuOpen = true;
    foreground = GetForegroundWindow();
    log_.push_back(L"menu open");
    EndMenu();
  };
  menu_->OnPopup = [&](TObject*) {
    foregroundBeforeMenu = GetForegroundWindow();
    log_.push_back(L"popup");
    closer.Start();
  };
  form_->Handle();
  PumpPending();

  Shell(WM_RBUTTONDOWN);  // returns once the menu has closed
  EXPECT_EQ(log_, (std::vector<std::wstring>{L"down right", L"popup", L"menu open"}));
  EXPECT_TRUE(menuOpen);
  EXPECT_EQ(foregroundBeforeMenu, tray_->HandlerWindow());
  // The menu itself is tracked on the framework's menu window, which takes the foreground in turn.
  EXPECT_TRUE(foreground == tray_->HandlerWindow() || foreground == TPopupMenu::Window());
  EXPECT_EQ(menu_->PopupComponent, tray_.get());
  EXPECT_TRUE(lastShift_ & ssRight);

  bool nullPosted = false;
  MSG msg;
  while (PeekMessageW(&msg, form_->Handle(), 0, 0, PM_REMOVE)) {
    if (msg.message == WM_NULL) nullPosted = true;
    DispatchMessageW(&msg);
  }
  EXPECT_TRUE(nullPosted) << "the owner is told that the menu is gone";

  Shell(WM_RBUTTONUP);
  EXPECT_EQ(log_.back(), L"up right");
}

TEST_F(TrayIconTest, DoubleClickRunsTheMenusDefaultItem) {
  int defaultClicks = 0;
  auto plain = std::make_unique<TMenuItem>(nullptr);
  plain->OnClick = [&](TObject*) { ADD_FAILURE() << "not the default item"; };
  auto preferred = std::make_unique<TMenuItem>(nullptr);
  preferred->Default = true;
  preferred->OnClick = [&](TObject*) { ++defaultClicks; };
  menu_->Items().Clear();
  menu_->Items().Add(std::move(plain));
  menu_->Items().Add(std::move(preferred));

  Shell(WM_LBUTTONDOWN);
  Shell(WM_LBUTTONUP);
  Shell(WM_LBUTTONDBLCLK);
  EXPECT_EQ(defaultClicks, 1);
}

TEST_F(TrayIconTest, DisabledIconIgnoresTheShell) {
  tray_->SetEnabled(false);
  tray_->SetWantEnterExitEvents(true);
  for (UINT m : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN, WM_RBUTTONUP,
                 WM_MBUTTONDOWN, WM_MBUTTONUP}) {
    Shell(m);
  }
  EXPECT_FALSE(tray_->ClickTimerRunning());
  EXPECT_FALSE(tray_->ExitTimerRunning());
  PumpPending();
  EXPECT_TRUE(log_.empty());
}

TEST_F(TrayIconTest, MiddleButtonAndUnknownIdentifiers) {
  Shell(WM_MBUTTONDOWN);
  Shell(WM_MBUTTONUP);
  SendMessageW(tray_->HandlerWindow(), TTrayIcon::kCallbackMessage, tray_->Id() + 1000, WM_LBUTTONDOWN);
  EXPECT_EQ(log_, (std::vector<std::wstring>{L"down middle", L"up middle"}));
}

TEST_F(TrayIconTest, ExitIsWatchedOnlyWhileThePointerIsOverTheIcon) {
  tray_->SetWantEnterExitEvents(true);
  EXPECT_FALSE(tray_->ExitTimerRunning()) << "nothing to watch before the pointer comes";
  SetCursorPos(40, 40);
  Shell(WM_MOUSEMOVE);
  Shell(WM_MOUSEMOVE);
  EXPECT_EQ(log_, (std::vector<std::wstring>{L"enter"}));
  EXPECT_TRUE(tray_->ExitTimerRunning());
  PumpPending();
  EXPECT_EQ(log_, (std::vector<std::wstring>{L"enter"})) << "still at the reported position";

  SetCursorPos(90, 90);
  ASSERT_TRUE(PumpUntil([&] { return Logged(L"exit"); }));
  EXPECT_EQ(log_, (std::vector<std::wstring>{L"enter", L"exit"}));
  EXPECT_FALSE(tray_->ExitTimerRunning()) << "no wake-ups once the exit has fired";

  Shell(WM_MOUSEMOVE);
  EXPECT_EQ(log_.back(), L"enter");
  EXPECT_TRUE(tray_->ExitTimerRunning());
}

TEST_F(TrayIconTest, IconIsInTheNotificationAreaAfterAddAndGoneAfterDestruction) {
  const HWND handler = tray_->HandlerWindow();
  const UINT id = tray_->Id();
  EXPECT_FALSE(ShellHasIcon(handler, id));
  EXPECT_TRUE(tray_->AddToTray());
  EXPECT_TRUE(tray_->IconVisible());
  EXPECT_TRUE(ShellHasIcon(handler, id));
  tray_->SetHint(std::wstring(300, L'h'));  // cut to fit, still accepted
  tray_->SetShowHint(true);
  EXPECT_TRUE(tray_->UpdateInTray());

  tray_.reset();
  EXPECT_FALSE(ShellHasIcon(handler, id));
}

TEST_F(TrayIconTest, IconAppearsInWinesNotificationAreaWhenLoadedAndGoesWithTheComponent) {
  const std::set<HWND> before = WineTrayIcons();
  // As the form description loads it: IconVisible read as true adds the icon, then Loaded.
  tray_->SetIconVisible(true);
  tray_->Loaded();
  std::set<HWND> ours;
  ASSERT_TRUE(PumpUntil([&] {
    ours.clear();
    for (HWND icon : WineTrayIcons())
      if (!before.count(icon)) ours.insert(icon);
    return !ours.empty();
  })) << "no new icon window in Wine's notification area";
  for (HWND icon : ours) EXPECT_TRUE(IsWindowVisible(icon));

  tray_.reset();
  EXPECT_TRUE(PumpUntil([&] {
    return std::any_of(ours.begin(), ours.end(), [](HWND icon) { return !IsWindow(icon); });
  })) << "the icon stayed in the notification area after the component went";
}

TEST_F(TrayIconTest, DirectShowOfTheOwnerBringsItToTheForeground) {
  form_->SetBounds(400, 100, 200, 120);
  form_->Show();
  TForm other(nullptr);
  other.SetBounds(100, 100, 200, 120);
  other.Show();
  SetForegroundWindow(other.Handle());
  ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == other.Handle(); }));
  // What ShowWindow sends for a direct call; the window itself is already mapped, so only the icon's
  // owner hook can bring it in front.
  SendMessageW(form_->Handle(), WM_SHOWWINDOW, TRUE, 0);
  EXPECT_TRUE(PumpUntil([&] { return GetForegroundWindow() == form_->Handle(); }));
  form_->SetVisible(false);
}

TEST_F(TrayIconTest, RestoreCommandOnTheApplicationWindowShowsTheMainWindow) {
  Application->SetMainForm(form_.get());
  form_->SetBounds(50, 50, 200, 100);
  form_->Show();
  ShowWindow(form_->Handle(), SW_MINIMIZE);
  form_->SetVisible(false);
  SendMessageW(Application->Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
  EXPECT_TRUE(form_->Visible());
  EXPECT_TRUE(IsWindowVisible(form_->Handle()));
  EXPECT_FALSE(IsIconic(form_->Handle()));
  Application->SetMainForm(nullptr);
  form_->SetVisible(false);
  ShowWindow(Application->Handle(), SW_HIDE);
}

TEST_F(TrayIconTest, TaskbarRestartPutsTheIconBack) {
  ASSERT_NE(TaskbarCreatedMessage(), 0u) << "common controls 4.71 or later";
  tray_->SetIconVisible(true);
  ASSERT_TRUE(ShellHasIcon(tray_->HandlerWindow(), tray_->Id()));
  // A new taskbar knows nothing of the old icons.
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof(data);
  data.hWnd = tray_->HandlerWindow();
  data.uID = tray_->Id();
  ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &data));
  ASSERT_FALSE(ShellHasIcon(tray_->HandlerWindow(), tray_->Id()));

  SendMessageW(Application->Handle(), TaskbarCreatedMessage(), 0, 0);
  EXPECT_TRUE(ShellHasIcon(tray_->HandlerWindow(), tray_->Id()));
}

TEST_F(TrayIconTest, IconsShareOneHandlerWindowWithTheirOwnIdentifiers) {
  TTrayIcon second(form_.get());
  EXPECT_EQ(second.HandlerWindow(), tray_->HandlerWindow());
  EXPECT_NE(second.Id(), tray_->Id());
  int secondClicks = 0;
  second.OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++secondClicks; };
  SendMessageW(second.HandlerWindow(), TTrayIcon::kCallbackMessage, second.Id(), WM_MBUTTONDOWN);
  EXPECT_EQ(secondClicks, 1);
  EXPECT_TRUE(log_.empty());
}

TEST_F(TrayIconTest, HideAndShowTheMainWindow) {
  Application->SetMainForm(form_.get());
  form_->SetBounds(50, 50, 200, 100);
  form_->Show();
  ShowWindow(Application->Handle(), SW_SHOWNA);
  tray_->HideMainWindow();
  EXPECT_FALSE(form_->Visible());
  EXPECT_FALSE(IsWindowVisible(form_->Handle()));
  EXPECT_FALSE(IsWindowVisible(Application->Handle())) << "the taskbar button goes with it";
  tray_->ShowMainWindow();
  EXPECT_TRUE(form_->Visible());
  EXPECT_TRUE(IsWindowVisible(form_->Handle()));
  Application->SetMainForm(nullptr);
}

}  // namespace
