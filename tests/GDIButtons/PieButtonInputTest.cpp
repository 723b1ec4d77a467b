// The pie button driven by the real pointer: hover colours, the menu timer, menu translucency, dragging the
// ring.
#include <gtest/gtest.h>

#include <atomic>
#include <optional>
#include <thread>

#include "GDIButtons/ButtonGroup.h"
#include "framework/Menus.h"
#include "tests/GDIButtons/ButtonTestSupport.h"
#include "tests/support/TestSupport.h"

namespace {

using buttontest::PolarPixel;
using buttontest::Split;
using buttontest::TTestButton;

constexpr TARGB kRed = MakeColor(255, 0, 0);
constexpr TARGB kBlue = MakeColor(0, 0, 255);
// The example segment's window and a point in the middle of its slice (radius 60 at 45 degrees).
constexpr int kLeft = 1100, kTop = 200;  // away from where the other button tests draw
constexpr POINT kOnSlice{kLeft + 90 + 42, kTop + 90 + 42};
constexpr POINT kAway{1700, 1000};

// Moves the pointer the way a user's mouse does: through the X server when xdotool is there.
void PointerTo(POINT p) {
  if (!testsupport::XMoveCursor(p.x, p.y)) testsupport::MoveCursor(p.x, p.y);
}

class PieButtonInputTest : public buttontest::WindowTestBase {
 protected:
  void SetUp() override {
    WindowTestBase::SetUp();
    PointerTo(kAway);
    testsupport::PumpFor(50);
  }
  void TearDown() override {
    testsupport::ReleaseButton(false);
    testsupport::ReleaseButton(true);
    PointerTo(kAway);
    testsupport::PumpFor(50);
    EXPECT_TRUE(testsupport::RecordedExceptions().empty());
    WindowTestBase::TearDown();
  }

  std::unique_ptr<TTestButton> MakeSegment() {
    auto button = std::make_unique<TTestButton>(form_.get(), TButtonColors{kRed, kBlue});
    button->SetBounds(kLeft, kTop, 180, 180);
    button->PieRect()->Assign({3.0f, 84.0f, 10.0f, 10.0f, 160.0f, 160.0f});
    button->Repaint();
    testsupport::PumpFor(50);
    return button;
  }

  // Puts the pointer on the slice and right-clicks it: the press starts the menu timer, the release stops
  // it (a popup menu of the button opens on the release and has closed by then).
  static void RightClickOnSlice(TTestButton& button) {
    PointerTo(kOnSlice);
    ASSERT_TRUE(testsupport::PumpUntil([&] { return button.MouseInControl(); }));
    testsupport::PressButton(true);
    ASSERT_TRUE(testsupport::PumpUntil([&] { return button.MenuTimer().Enabled(); }));
    testsupport::ReleaseButton(true);
    ASSERT_TRUE(testsupport::PumpUntil([&] { return !button.MenuTimer().Enabled(); }));
  }
};

// What the screen shows at a point (0x00BBGGRR).
COLORREF ScreenAt(POINT p) {
  HDC screen = GetDC(nullptr);
  const COLORREF colour = GetPixel(screen, p.x, p.y);
  ReleaseDC(nullptr, screen);
  return colour;
}

int PushedBlue(const TTestButton& b) {
  return Split(PolarPixel(LastPushedImage(b), 90, 90, 60, 45)).b;
}
int PushedRed(const TTestButton& b) {
  return Split(PolarPixel(LastPushedImage(b), 90, 90, 60, 45)).r;
}

TEST_F(PieButtonInputTest, PointerInAndOutSwitchesTheColourAndRepaints) {
  auto button = MakeSegment();
  ASSERT_NEAR(PushedRed(*button), 210, 1);
  const int painted = button->PaintCount();

  PointerTo(kOnSlice);
  ASSERT_TRUE(testsupport::PumpUntil([&] { return button->MouseInControl(); }));
  EXPECT_EQ(button->CurrentColor(), kBlue);
  ASSERT_TRUE(testsupport::PumpUntil([&] { return button->PaintCount() > painted; }));
  EXPECT_NEAR(PushedBlue(*button), 210, 1);
  EXPECT_EQ(PushedRed(*button), 0);

  const int hovered = button->PaintCount();
  PointerTo(kAway);
  ASSERT_TRUE(testsupport::PumpUntil([&] { return !button->MouseInControl(); }));
  EXPECT_EQ(button->CurrentColor(), kRed);
  ASSERT_TRUE(testsupport::PumpUntil([&] { return button->PaintCount() > hovered; }));
  EXPECT_NEAR(PushedRed(*button), 210, 1);
  EXPECT_EQ(PushedBlue(*button), 0);
}

// Every window of a ring covers the same square: the pointer reaches the one whose slice is under it, and
// none through the hole.
TEST_F(PieButtonInputTest, OverlappingSegmentsEachAnswerOnlyOnTheirOwnSlice) {
  auto lower = MakeSegment();
  auto upper = MakeSegment();  // created later: above the other one
  upper->PieRect()->Assign({183.0f, 84.0f, 10.0f, 10.0f, 160.0f, 160.0f});
  upper->Repaint();
  testsupport::PumpFor(50);
  const POINT onUpper{kLeft + 90 - 42, kTop + 90 - 42};  // radius 60 at 225 degrees
  const POINT inHole{kLeft + 90, kTop + 90};

  // Through the hole from outside: the desktop shows there, and it gets the pointer.
  PointerTo(inHole);
  testsupport::PumpFor(200);
  EXPECT_FALSE(lower->MouseInControl());
  EXPECT_FALSE(upper->MouseInControl());

  PointerTo(kOnSlice);
  ASSERT_TRUE(testsupport::PumpUntil([&] { return lower->MouseInControl(); }));
  EXPECT_FALSE(upper->MouseInControl());
  EXPECT_EQ(lower->CurrentColor(), kBlue);
  PointerTo(onUpper);
  ASSERT_TRUE(testsupport::PumpUntil([&] { return upper->MouseInControl() && !lower->MouseInControl(); }));
  EXPECT_EQ(upper->CurrentColor(), kBlue);
  EXPECT_EQ(lower->CurrentColor(), kRed);
  PointerTo(kOnSlice);
  ASSERT_TRUE(testsupport::PumpUntil([&] { return lower->MouseInControl() && !upper->MouseInControl(); }));
}

TEST_F(PieButtonInputTest, RightPressStartsTheMenuTimerReleaseAndLeaveStopIt) {
  auto button = MakeSegment();
  ASSERT_NO_FATAL_FAILURE(RightClickOnSlice(*button));

  // Held while the pointer leaves the button: the leave stops the timer.
  testsupport::PressButton(true);
  ASSERT_TRUE(testsupport::PumpUntil([&] { return button->MenuTimer().Enabled(); }));
  testsupport::InputMoveTo(kAway.x, kAway.y);
  ASSERT_TRUE(testsupport::PumpUntil([&] { return !button->MouseInControl(); }));
  EXPECT_FALSE(button->MenuTimer().Enabled());
  testsupport::ReleaseButton(true);
  testsupport::PumpFor(50);
  EXPECT_FALSE(button->MenuTimer().Enabled());

  // The left button never starts it.
  PointerTo(kOnSlice);
  ASSERT_TRUE(testsupport::PumpUntil([&] { return button->MouseInControl(); }));
  testsupport::PressButton(false);
  testsupport::PumpFor(50);
  EXPECT_FALSE(button->MenuTimer().Enabled());
  testsupport::ReleaseButton(false);
  testsupport::PumpFor(50);
}

TEST_F(PieButtonInputTest, MenuOpenedByARightClickTurns65PercentOpaque) {
  auto button = MakeSegment();
  TPopupMenu menu(nullptr);
  auto item = std::make_unique<TMenuItem>(nullptr);
  item->Caption = L"Delete";
  menu.Items().Add(std::move(item));
  button->SetPopupMenu(&menu);

  // While the menu's own loop runs, a watcher reads the menu window's alpha and then closes the menu.
  std::optional<int> seenAlpha;
  bool timerRanInMenu = false;
  TTimer watcher(nullptr);
  watcher.SetInterval(20);
  const ULONGLONG deadline = GetTickCount64() + 3000;
  watcher.SetOnTimer([&](TObject*) {
    if (!TPopupMenu::ActiveMenu()) return;
    timerRanInMenu = timerRanInMenu || button->MenuTimer().Enabled();
    HWND popup = testsupport::FindOwnWindow(MAKEINTATOM(0x8000));
    BYTE alpha = 0;
    DWORD flags = 0;
    if (popup && (GetWindowLongPtrW(popup, GWL_EXSTYLE) & WS_EX_LAYERED) &&
        GetLayeredWindowAttributes(popup, nullptr, &alpha, &flags) && (flags & LWA_ALPHA))
      seenAlpha = alpha;
    if (seenAlpha || GetTickCount64() > deadline) EndMenu();
  });

  // The release opens the menu inside the last pump; the timer is stopped once it has closed.
  ASSERT_NO_FATAL_FAILURE(RightClickOnSlice(*button));
  watcher.SetEnabled(false);
  EXPECT_TRUE(timerRanInMenu);
  EXPECT_EQ(seenAlpha, 166);
  button->SetPopupMenu(nullptr);
}

TEST_F(PieButtonInputTest, DraggingTheCentreMovesTheRingAndHidesTheHint) {
  buttontest::ScratchFolder folder;
  const std::wstring file = folder.Write(L"SystemConfig.xml", buttontest::ConfigWithRootAttributes(""));
  // Forget earlier clicks: any press since the last look counts as held, and the centre's first move
  // would hide the hint already.
  GetAsyncKeyState(VK_LBUTTON);
  TGDICustomButtonGroup group(form_.get(), GDIButtonClass<TTestButton>(), file,
                              HintWindowClass<TTestButton>());
  group.SetWidth(180);
  group.SetHeight(180);
  group.Items().AddItem();
  group.Items().AddItem();
  group.ShowAll();
  TCustomGDIButton* centre = group.CentreButton();
  ASSERT_NE(group.HintWindow(), nullptr);
  ASSERT_TRUE(IsWindowVisible(group.HintWindow()->Handle()));
  testsupport::PumpFor(50);
  const int left = centre->Left(), top = centre->Top();
  const POINT start{left + 90, top + 90};  // the middle of the disc

  PointerTo(start);
  ASSERT_TRUE(testsupport::PumpUntil([&] { return centre->MouseInControl(); }));
  // The window manager's move loop runs inside this thread's message handling: input comes from another.
  std::atomic<bool> done{false};
  // The pauses are a hand's pace: the system must see the press, each move and the release on their own.
  std::thread user([&] {
    testsupport::InputMoveTo(start.x, start.y);
    Sleep(50);
    testsupport::PressButton(false);
    Sleep(100);
    for (int step = 1; step <= 8; ++step) {
      testsupport::InputMoveTo(start.x + 5 * step, start.y + 4 * step);
      Sleep(40);
    }
    Sleep(100);
    testsupport::ReleaseButton(false);
    Sleep(100);
    done = true;
  });
  const bool finished = testsupport::PumpUntil([&] { return done.load(); }, 10000);
  user.join();
  ASSERT_TRUE(finished);
  testsupport::PumpFor(100);

  // The move starts at the first move with the button held, so the ring travels at most the pointer's way.
  EXPECT_GT(centre->Left(), left + 20);
  EXPECT_LE(centre->Left(), left + 40);
  EXPECT_GT(centre->Top(), top + 16);
  EXPECT_LE(centre->Top(), top + 32);
  for (int i = 0; i < group.Items().Count(); ++i) {
    RECT r{};
    TCustomGDIButton& segment = *group.Items().Items(i)->Button();
    GetWindowRect(segment.Handle(), &r);
    EXPECT_EQ(r.left, centre->Left() + segment.WindowBox().left) << i;
    EXPECT_EQ(r.top, centre->Top() + segment.WindowBox().top) << i;
  }
  EXPECT_FALSE(IsWindowVisible(group.HintWindow()->Handle()));
}

TEST_F(PieButtonInputTest, PointerMovesOverASegmentWithTheLeftButtonHeldNeverMoveIt) {
  auto button = MakeSegment();
  PointerTo(kOnSlice);
  ASSERT_TRUE(testsupport::PumpUntil([&] { return button->MouseInControl(); }));
  testsupport::PressButton(false);
  testsupport::PumpFor(50);
  testsupport::InputMoveTo(kOnSlice.x + 10, kOnSlice.y + 8);
  testsupport::PumpFor(100);
  testsupport::ReleaseButton(false);
  testsupport::PumpFor(50);
  EXPECT_EQ(button->Left(), kLeft);
  EXPECT_EQ(button->Top(), kTop);
}

}  // namespace

// A window that keeps its size gets only the part of its image that changed (where the old or the new
// image has ink): the screen must show the new picture whole and nothing of the old one.
TEST_F(PieButtonInputTest, ARenderOfTheSameSizeLeavesNothingOfTheOldPictureOnTheScreen) {
  constexpr POINT kOpposite{kLeft + 90 - 42, kTop + 90 - 42};  // the slice turned by 180 degrees
  const COLORREF desktop = ScreenAt(kOnSlice);
  const COLORREF desktopOpposite = ScreenAt(kOpposite);
  auto button = MakeSegment();
  // The display shows a push when the X server has drawn it: each step waits for the picture it expects.
  EXPECT_TRUE(testsupport::PumpUntil([&] { return ScreenAt(kOnSlice) != desktop; })) << "the slice shows";

  button->PieRect()->Assign({183.0f, 84.0f, 10.0f, 10.0f, 160.0f, 160.0f});
  button->Repaint();
  EXPECT_TRUE(testsupport::PumpUntil([&] {
    return ScreenAt(kOnSlice) == desktop && ScreenAt(kOpposite) != desktopOpposite;
  })) << "the old slice is gone and the new one shows";

  // Back, in the other colour: all of the slice takes it.
  button->PieRect()->Assign({3.0f, 84.0f, 10.0f, 10.0f, 160.0f, 160.0f});
  button->DefaultColor = kBlue;
  button->Perform(CM_MOUSELEAVE, 0, 0);  // takes the normal colour and invalidates
  button->Repaint();
  EXPECT_TRUE(testsupport::PumpUntil(
      [&] { return ScreenAt(kOpposite) == desktopOpposite && ScreenAt(kOnSlice) != desktop; }));
  const COLORREF blue = ScreenAt(kOnSlice);
  EXPECT_EQ(GetRValue(blue), GetRValue(desktop)) << "no red left";
  EXPECT_GT(GetBValue(blue), GetBValue(desktop));
  // Hidden and shown again, and after a change of size, the window still shows exactly its picture.
  button->Hide();
  EXPECT_TRUE(testsupport::PumpUntil([&] { return ScreenAt(kOnSlice) == desktop; }));
  button->Show();
  button->Repaint();
  EXPECT_TRUE(testsupport::PumpUntil([&] { return ScreenAt(kOnSlice) == blue; }));
  button->SetBounds(kLeft, kTop, 200, 200);
  button->PieRect()->Assign({183.0f, 84.0f, 10.0f, 10.0f, 180.0f, 180.0f});
  button->Repaint();
  EXPECT_TRUE(testsupport::PumpUntil([&] { return ScreenAt(kOnSlice) == desktop; }));
}
