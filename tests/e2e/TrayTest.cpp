// The notification-area icon and its menu, the settings window and the colour commands.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <algorithm>
#include <functional>

#include "tests/e2e/ProgramTest.h"

namespace e2e {
namespace {

using TrayTest = ProgramTest;

// Controls of the settings window of one class, top to bottom.
std::vector<WindowInfo> Controls(HWND window, const wchar_t* className) {
  std::vector<WindowInfo> found;
  for (const WindowInfo& c : ChildWindows(window))
    if (_wcsicmp(c.className.c_str(), className) == 0 && c.visible) found.push_back(c);
  std::sort(found.begin(), found.end(),
            [](const WindowInfo& a, const WindowInfo& b) { return a.rect.top < b.rect.top; });
  return found;
}

// The colour a colour box shows, away from its text and border, once it satisfies `shown` (or after a
// while: the caller's checks then tell what it showed).
Screenshot::Rgb BoxColour(const WindowInfo& box, const std::function<bool(Screenshot::Rgb)>& shown) {
  const POINT at{box.rect.right - 8, (box.rect.top + box.rect.bottom) / 2};
  Screenshot::Rgb c;
  WaitFor(
      [&] {
        c = Screenshot::Take().At(at.x, at.y);
        return shown(c);
      },
      10000, 100);
  return c;
}

TEST_F(TrayTest, IconMenuShowsTheSettingsWindowItsCloseBoxOnlyHidesItAndCloseEndsTheProgram) {
  WriteBytes(folder_.Config(), ConfigBytes(kGreen, kBlue, {}));
  VantelProcess& program = Start();
  WaitForStartUp();

  HWND main = OpenSettings();
  ASSERT_NE(main, nullptr);
  const WindowInfo settings = e2e::Describe(main);
  EXPECT_TRUE(settings.visible);
  EXPECT_EQ(settings.Width(), 516);
  EXPECT_EQ(settings.Height(), 368);

  // The close box: no window manager draws one on the test display, so the keys that close a window.
  pointer::Click(settings.rect.left + 250, settings.rect.bottom - 40);
  keyboard::Chord({VK_MENU}, VK_F4);
  EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(main); }, 5000)) << "closing hides the settings window";
  WaitUntilIdle();  // the close has been handled to its end
  EXPECT_TRUE(program.Running()) << "closing the settings window does not end the program";

  HWND menu = OpenTrayMenu();
  ASSERT_NE(menu, nullptr) << "the icon is still there";
  ClickMenuEntry(menu, kCloseProgram, kTrayMenuLayout);
  EXPECT_TRUE(program.WaitForExit(10000)) << "the close command ends the process";
  EXPECT_TRUE(WaitFor([] { return TrayIconWindows().empty(); }, 5000)) << "and takes its icon away";
}

// Another program holds the hotkey: the settings window says so beside the field; the start is as ever.
TEST_F(TrayTest, AHotkeyAnotherProgramHoldsIsToldBesideItsFieldAndNothingElseChanges) {
  ASSERT_TRUE(RegisterHotKey(nullptr, 7, MOD_CONTROL | MOD_ALT, VK_SPACE));
  const std::string config = ConfigBytes(kGreen, kBlue, {});
  WriteBytes(folder_.Config(), config);
  VantelProcess& program = Start();
  WaitForRing(5);
  HWND main = OpenSettings();
  ASSERT_NE(main, nullptr);
  const std::wstring held =
      L"\u8be5\u7ec4\u5408\u952e\u5df2\u88ab\u5176\u4ed6\u7a0b\u5e8f\u5360\u7528";  // 该组合键已被其他程序占用
  EXPECT_TRUE(WaitFor([&] {
    const auto children = ChildWindows(main);
    return std::any_of(children.begin(), children.end(), [&](const WindowInfo& c) { return c.text == held; });
  })) << "the message beside the hotkey field";
  UnregisterHotKey(nullptr, 7);
  EXPECT_TRUE(AnswerMessageBoxes(program, 300).empty()) << "no message box";
  EXPECT_EQ(ReadBytes(folder_.Config()), config);
  EXPECT_FALSE(std::filesystem::exists(folder_ / L"Vantel.ini")) << "nothing stored";
}

// The item makes and removes the shortcut in the user's Startup folder.
TEST_F(TrayTest, StartWithWindowsCreatesAndRemovesTheStartupShortcut) {
  PWSTR startup = nullptr;
  ASSERT_TRUE(SUCCEEDED(SHGetKnownFolderPath(FOLDERID_Startup, KF_FLAG_CREATE, nullptr, &startup)));
  const std::filesystem::path link = std::filesystem::path(startup) / L"Vantel.lnk";
  CoTaskMemFree(startup);
  std::filesystem::remove(link);
  // Never left behind: the prefix's next boot would start the program from it.
  struct RemoveAtEnd {
    std::filesystem::path path;
    ~RemoveAtEnd() {
      std::error_code ignored;
      std::filesystem::remove(path, ignored);
    }
  } const removeAtEnd{link};
  Start();
  WaitForStartUp();
  ClickMenuEntry(OpenTrayMenu(), kStartWithWindows, kTrayMenuLayout);
  EXPECT_TRUE(WaitFor([&] { return std::filesystem::exists(link); })) << "开机启动 made the shortcut";
  ClickMenuEntry(OpenTrayMenu(), kStartWithWindows, kTrayMenuLayout);
  EXPECT_TRUE(WaitFor([&] { return !std::filesystem::exists(link); })) << "and took it away";
}

TEST_F(TrayTest, ColoursChosenInTheDialogAreStoredAsSignedDecimalAndShownCancelWritesNothing) {
  WriteBytes(folder_.Config(), ConfigBytes(kBlue, kBlue, {}));
  VantelProcess& program = Start();
  WaitForStartUp();
  HWND main = OpenSettings();
  ASSERT_NE(main, nullptr);
  const auto edits = Controls(main, L"Edit");
  const auto buttons = Controls(main, L"Button");
  ASSERT_EQ(edits.size(), 2u);
  ASSERT_EQ(buttons.size(), 2u);

  // Runs the colour dialog from `button` and picks one of its basic colours (row, column), or cancels.
  const WindowInfo settings = e2e::Describe(main);
  auto choose = [&](const WindowInfo& button, int row, int column) {
    // A click on the window's empty part first: the window becomes the active one, which owns the dialog.
    pointer::Click(settings.rect.left + 250, settings.rect.bottom - 40);
    HWND dialog = nullptr;
    for (int attempt = 0; attempt < 3 && !dialog; ++attempt) {
      pointer::Click(button.Centre().x, button.Centre().y);
      WaitFor([&] { return (dialog = program.MessageBoxWindow()) != nullptr; }, 3000);
    }
    ASSERT_NE(dialog, nullptr) << "no colour dialog";
    // The dialog's grid of basic colours: 8 columns, 6 rows, 4 pixels between the cells.
    constexpr int kBasicColours = 0x2d0;
    const WindowInfo grid = e2e::Describe(GetDlgItem(dialog, kBasicColours));
    const int dx = grid.Width() / 8, dy = grid.Height() / 6;
    auto cellAt = [&](int r, int c) {
      return POINT{grid.rect.left + c * dx + (dx - 4) / 2, grid.rect.top + r * dy + (dy - 4) / 2};
    };
    // The dialog is on the display once its grid shows the pure red of row 1, column 0.
    const POINT red = cellAt(1, 0);
    ScreenWhen([&](const Screenshot& shot) { return Reddish(shot.At(red.x, red.y)); });
    if (row < 0) {
      const POINT cancel = e2e::Describe(GetDlgItem(dialog, IDCANCEL)).Centre();
      pointer::Click(cancel.x, cancel.y);
    } else {
      const POINT cell = cellAt(row, column);
      ASSERT_EQ(GetAncestor(WindowFromPoint(cell), GA_ROOT), dialog) << "the colour dialog is covered";
      pointer::Click(cell.x, cell.y);
      // No pause needed: OK lies far outside the double-click rectangle of the cell, and the dialog takes
      // the two clicks in the order they were made.
      const POINT ok = e2e::Describe(GetDlgItem(dialog, IDOK)).Centre();
      pointer::Click(ok.x, ok.y);
    }
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog); }, 5000)) << "the dialog closes";
    WaitUntilIdle();  // the command has stored the colour (or not) and set the box
  };

  choose(buttons[0], 1, 0);  // pure red
  std::string stored = ReadBytes(folder_.Config());
  EXPECT_EQ(stored, ConfigBytes(kRed, kBlue, {})) << "HotColor rewritten in place, signed";
  Screenshot::Rgb c = BoxColour(edits[0], Reddish);
  EXPECT_GT(c.r, 200);
  EXPECT_LT(c.g, 60);
  EXPECT_LT(c.b, 60);

  choose(buttons[1], 0, 5);  // 0, 128, 255
  stored = ReadBytes(folder_.Config());
  EXPECT_EQ(stored, ConfigBytes(kRed, -16744193, {})) << "DefaultColor FF0080FF";
  c = BoxColour(edits[1], [](Screenshot::Rgb shown) { return shown.g > 90 && shown.b > 200; });
  EXPECT_LT(c.r, 60);
  EXPECT_GT(c.g, 90);
  EXPECT_LT(c.g, 170);
  EXPECT_GT(c.b, 200);

  choose(buttons[0], -1, -1);
  EXPECT_EQ(ReadBytes(folder_.Config()), stored) << "a cancelled dialog writes nothing";
  c = BoxColour(edits[0], Reddish);
  EXPECT_GT(c.r, 200) << "and changes no box";
  EXPECT_LT(c.g, 60);
}

}  // namespace
}  // namespace e2e
