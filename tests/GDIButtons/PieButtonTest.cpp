// The pie button under Wine: what it pushes to its layered window, its window and its colours.
#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <string>

#include "framework/Application.h"
#include "tests/GDIButtons/ButtonTestSupport.h"
#include "tests/support/TestSupport.h"

namespace {

using buttontest::Argb;
using buttontest::PolarPixel;
using buttontest::Split;
using buttontest::TTestButton;

constexpr TARGB kOrange = MakeColor(255, 200, 100, 50);

class PieButtonTest : public buttontest::WindowTestBase {
 protected:
  // A 180 x 180 button at (200, 150) showing the example segment: (10, 10, 160, 160), start 3, sweep 84.
  std::unique_ptr<TTestButton> MakeSegment(TARGB color = kOrange, std::uint8_t kind = 0) {
    auto button = std::make_unique<TTestButton>(form_.get(), TButtonColors{color, 0});
    button->SetBounds(200, 150, 180, 180);
    button->SetButtonKind(kind);
    button->PieRect()->Assign({3.0f, 84.0f, 10.0f, 10.0f, 160.0f, 160.0f});
    return button;
  }
};

int Premultiplied(int channel) {
  return static_cast<int>(std::lround(channel * 210 / 255.0));
}

TEST_F(PieButtonTest, FirstRenderPushesNothingLaterRendersDrawTheShape) {
  for (std::uint8_t kind : {0, 1}) {
    SCOPED_TRACE(kind);
    auto button = MakeSegment(kOrange, kind);
    EXPECT_EQ(button->PaintCount(), 1);  // the constructor's render
    EXPECT_EQ(PushCount(*button), 1);
    EXPECT_TRUE(buttontest::AllTransparent(LastPushedImage(*button)));
    button->UpdateLayered();
    EXPECT_EQ(button->PaintCount(), 2);
    EXPECT_EQ(Split(PolarPixel(LastPushedImage(*button), 90, 90, 60, 45)).a, 210);
  }
}

TEST_F(PieButtonTest, SegmentFillsTheAnnulusPremultipliedAtAlpha210) {
  auto button = MakeSegment();
  button->UpdateLayered();
  const TPushedImage& image = LastPushedImage(*button);
  ASSERT_EQ(image.Width, 180);
  ASSERT_EQ(image.Height, 180);
  for (int angle = 10; angle <= 80; angle += 10) {
    for (int radius = 45; radius <= 75; radius += 5) {
      SCOPED_TRACE(testing::Message() << "angle " << angle << " radius " << radius);
      const Argb p = Split(PolarPixel(image, 90, 90, radius, angle));
      EXPECT_EQ(p.a, 210);
      EXPECT_NEAR(p.r, Premultiplied(200), 1);
      EXPECT_NEAR(p.g, Premultiplied(100), 1);
      EXPECT_NEAR(p.b, Premultiplied(50), 1);
    }
  }
}

TEST_F(PieButtonTest, SegmentLeavesHoleOutsideAndOtherAnglesTransparent) {
  auto button = MakeSegment();
  button->UpdateLayered();
  const TPushedImage& image = LastPushedImage(*button);
  struct Probe {
    double radius, angle;
  };
  const Probe probes[] = {
      {0, 0},   {10, 45},  {25, 45},  {37, 45},  {37, 10},  {37, 80},   // the hole
      {83, 45}, {86, 10},  {88, 80},  {95, 45},                         // outside
      {60, 95}, {60, 135}, {60, 180}, {60, 270}, {60, 352}, {45, 100},  // the other angles
  };
  for (const Probe& probe : probes) {
    SCOPED_TRACE(testing::Message() << "radius " << probe.radius << " angle " << probe.angle);
    EXPECT_EQ(PolarPixel(image, 90, 90, probe.radius, probe.angle), 0u);
  }
  // Corners of the window.
  EXPECT_EQ(image.Pixel(0, 0), 0u);
  EXPECT_EQ(image.Pixel(179, 179), 0u);
}

TEST_F(PieButtonTest, DiscHasNoHole) {
  auto button = MakeSegment(kOrange, 1);
  button->PieRect()->Assign({0.0f, 360.0f, 10.0f, 10.0f, 160.0f, 160.0f});
  button->UpdateLayered();
  const TPushedImage& image = LastPushedImage(*button);
  for (double radius : {0.0, 15.0, 30.0, 39.0, 50.0, 75.0}) {
    for (double angle : {0.0, 45.0, 135.0, 200.0, 300.0}) {
      SCOPED_TRACE(testing::Message() << "radius " << radius << " angle " << angle);
      EXPECT_EQ(Split(PolarPixel(image, 90, 90, radius, angle)).a, 210);
    }
  }
  EXPECT_EQ(PolarPixel(image, 90, 90, 84, 45), 0u);
}

TEST_F(PieButtonTest, KindsAboveOneDrawNothing) {
  for (std::uint8_t kind : {2, 7, 255}) {
    SCOPED_TRACE(static_cast<int>(kind));
    auto button = MakeSegment(kOrange, kind);
    button->UpdateLayered();
    EXPECT_EQ(button->PaintCount(), 2);
    EXPECT_EQ(LastPushedImage(*button).Width, 180);
    EXPECT_TRUE(buttontest::AllTransparent(LastPushedImage(*button)));
  }
}

TEST_F(PieButtonTest, AlphaByteOfAColourHasNoEffect) {
  for (std::uint8_t alpha : {0, 1, 128, 255}) {
    SCOPED_TRACE(static_cast<int>(alpha));
    auto button = MakeSegment(MakeColor(alpha, 0, 0, 255));
    button->UpdateLayered();
    const Argb p = Split(PolarPixel(LastPushedImage(*button), 90, 90, 60, 45));
    EXPECT_EQ(p.a, 210);
    EXPECT_NEAR(p.b, 210, 1);
    EXPECT_EQ(p.r, 0);
  }
}

TEST_F(PieButtonTest, PushGoesToTheWindowOriginWithConstantAlpha150) {
  auto button = MakeSegment();
  button->UpdateLayered();
  const TPushedImage& image = LastPushedImage(*button);
  EXPECT_TRUE(image.Succeeded);
  EXPECT_EQ(image.ConstantAlpha, 150);
  RECT r{};
  GetWindowRect(button->Handle(), &r);
  EXPECT_EQ(image.Destination.x, r.left);
  EXPECT_EQ(image.Destination.y, r.top);
  EXPECT_EQ(r.left, 200);
  EXPECT_EQ(r.top, 150);
}

TEST_F(PieButtonTest, WindowIsALayeredTopmostToolWindowOnTheDesktop) {
  auto button = MakeSegment();
  HWND window = button->Handle();
  const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE));
  EXPECT_EQ(exStyle & ~static_cast<DWORD>(WS_EX_TOPMOST), 0x80090u);
  EXPECT_TRUE(exStyle & WS_EX_TOPMOST);  // the constructor's band, kept through every render
  EXPECT_EQ(GetAncestor(window, GA_PARENT), GetDesktopWindow());
  EXPECT_EQ(GetWindow(window, GW_OWNER), nullptr);
  EXPECT_FALSE(GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD);
  EXPECT_EQ(button->Parent(), form_.get());  // the framework parent stays the owner
  button->Repaint();
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE)), exStyle);
}

TEST_F(PieButtonTest, DeferredBoundsWaitForTheWindowUntilAppliedOrHandedBack) {
  auto button = MakeSegment();
  HWND window = button->Handle();
  auto windowRect = [window] {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
  };
  button->DeferBounds(true);
  button->SetBounds(300, 250, 260, 260);
  // Restacked meanwhile, as a ring's windows are: the kept bounds are still where it is to be.
  SetWindowPos(window, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  EXPECT_EQ(button->Left(), 300);
  EXPECT_EQ(button->Width(), 260);
  EXPECT_EQ(windowRect().left, 200) << "the window stays until the bounds are applied";
  EXPECT_EQ(windowRect().right - windowRect().left, 180);
  button->ApplyDeferredBounds();
  EXPECT_FALSE(button->BoundsDeferred());
  const RECT applied = windowRect();
  EXPECT_EQ(applied.left, 300);
  EXPECT_EQ(applied.top, 250);
  EXPECT_EQ(applied.right - applied.left, 260);
  EXPECT_EQ(applied.bottom - applied.top, 260);

  // Handed back to a caller that moves the window itself: nothing moves, later bounds act at once.
  button->DeferBounds(true);
  button->SetBounds(100, 100, 260, 260);
  button->DeferBounds(false);
  EXPECT_EQ(windowRect().left, 300);
  button->SetBounds(120, 110, 260, 260);
  EXPECT_EQ(windowRect().left, 120);
  EXPECT_EQ(windowRect().top, 110);
}

TEST_F(PieButtonTest, AWindowShownWithDeferredBoundsIsPushedThereAndShownIntoItsBand) {
  for (bool notTopmost : {false, true}) {
    SCOPED_TRACE(notTopmost);
    TCustomGDIButtonTestAccess::SetKeepPushedImages(true);
    auto button = MakeSegment();
    HWND window = button->Handle();
    button->Hide();
    button->DeferBounds(true);
    button->SetBounds(320, 240, 200, 200);
    button->ShowDeferred(notTopmost);
    EXPECT_FALSE(button->BoundsDeferred());
    EXPECT_TRUE(button->Visible());
    EXPECT_TRUE(IsWindowVisible(window));
    RECT r{};
    GetWindowRect(window, &r);
    EXPECT_EQ(r.left, 320);
    EXPECT_EQ(r.top, 240);
    EXPECT_EQ(r.right - r.left, 200);
    EXPECT_EQ(r.bottom - r.top, 200);
    const TPushedImage& image = LastPushedImage(*button);
    EXPECT_TRUE(image.Succeeded);
    EXPECT_EQ(image.Width, 200);
    EXPECT_EQ(image.Destination.x, 320);
    EXPECT_EQ(image.Destination.y, 240);
    const bool topmost = (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    EXPECT_EQ(topmost, !notTopmost);
  }
}

TEST_F(PieButtonTest, RepaintRendersThroughPaint) {
  auto button = MakeSegment();
  const int before = button->PaintCount();
  button->Repaint();
  EXPECT_EQ(button->PaintCount(), before + 1);
  EXPECT_EQ(Split(PolarPixel(LastPushedImage(*button), 90, 90, 60, 45)).a, 210);
}

TEST_F(PieButtonTest, OverlayRunsOnlyWithAnIconOnTheRenderedSurface) {
  auto button = MakeSegment();
  button->UpdateLayered();
  EXPECT_EQ(button->overlays, 0);
  EXPECT_EQ(PushCount(*button), 2);

  std::uint32_t seen = 0;
  button->overlay = [&](TTestButton& self, TLayeredSurface& surface) {
    seen = surface.Pixel(static_cast<int>(90 + 60 * std::cos(0.785)),
                         static_cast<int>(90 + 60 * std::sin(0.785)));
    self.PushSurface(surface, 210);
  };
  button->FileInfo.hIcon = LoadIconW(nullptr, IDI_APPLICATION);  // shared: never destroyed
  button->UpdateLayered();
  EXPECT_EQ(button->overlays, 1);
  EXPECT_EQ(Split(seen).a, 210);  // the pie is already there
  EXPECT_EQ(PushCount(*button), 4);
  EXPECT_EQ(LastPushedImage(*button).ConstantAlpha, 210);
  button->FileInfo.hIcon = nullptr;
}

TEST_F(PieButtonTest, RepointingThePieRectDrawsTheNewGeometry) {
  auto button = MakeSegment();
  TPieRect other;
  other.Assign({183.0f, 84.0f, 10.0f, 10.0f, 160.0f, 160.0f});
  button->SetPieRect(&other);
  button->UpdateLayered();
  EXPECT_EQ(Split(PolarPixel(LastPushedImage(*button), 90, 90, 60, 225)).a, 210);
  EXPECT_EQ(PolarPixel(LastPushedImage(*button), 90, 90, 60, 45), 0u);
  button->SetPieRect(nullptr);  // nothing to draw, and nothing dangling
  button->UpdateLayered();
  EXPECT_TRUE(buttontest::AllTransparent(LastPushedImage(*button)));
}

TEST_F(PieButtonTest, MouseMoveWithoutTheLeftButtonDoesNotStartAMove) {
  auto button = MakeSegment(kOrange, 1);
  button->Perform(WM_MOUSEMOVE, 0, MAKELPARAM(90, 90));
  button->Perform(WM_MOUSEMOVE, MK_RBUTTON, MAKELPARAM(91, 90));
  RECT r{};
  GetWindowRect(button->Handle(), &r);
  EXPECT_EQ(r.left, 200);
  EXPECT_EQ(r.top, 150);
}

TEST_F(PieButtonTest, MenuTimerFollowsTheRightButtonAndStopsOnLeave) {
  auto button = MakeSegment();
  HWND window = button->Handle();
  EXPECT_FALSE(button->MenuTimer().Enabled());
  EXPECT_EQ(button->MenuTimer().Interval(), 10u);
  SendMessageW(window, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(150, 100));
  EXPECT_TRUE(button->MenuTimer().Enabled());
  SendMessageW(window, WM_RBUTTONUP, 0, MAKELPARAM(150, 100));
  EXPECT_FALSE(button->MenuTimer().Enabled());
  SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(150, 100));
  SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(150, 100));
  EXPECT_FALSE(button->MenuTimer().Enabled());  // the left button never starts it
  SendMessageW(window, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(150, 100));
  button->Perform(CM_MOUSELEAVE, 0, 0);  // left with the right button still held
  EXPECT_FALSE(button->MenuTimer().Enabled());
}

TEST_F(PieButtonTest, ExceptionInAMouseHandlerIsReportedAndTheButtonWorksOn) {
  auto button = MakeSegment();
  button->OnDblClick = [](TObject*) { throw std::runtime_error("cannot open the shortcut"); };
  HWND window = button->Handle();
  SendMessageW(window, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(150, 100));
  SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(150, 100));
  ASSERT_EQ(testsupport::RecordedExceptions().size(), 1u);
  EXPECT_NE(testsupport::RecordedExceptions()[0].find(L"cannot open the shortcut"), std::wstring::npos);
  EXPECT_EQ(GetCapture(), nullptr);
  // Still answering: the menu timer, the hover colour and the render.
  SendMessageW(window, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(150, 100));
  EXPECT_TRUE(button->MenuTimer().Enabled());
  SendMessageW(window, WM_RBUTTONUP, 0, MAKELPARAM(150, 100));
  button->HotColor = MakeColor(0, 255, 0);
  button->Perform(CM_MOUSEENTER, 0, 0);
  EXPECT_EQ(button->CurrentColor(), MakeColor(0, 255, 0));
  button->Repaint();
  EXPECT_NEAR(Split(PolarPixel(LastPushedImage(*button), 90, 90, 60, 45)).g, 210, 1);
}

// The default error display: a message box with the exception's text, and the program runs on.
TEST_F(PieButtonTest, ExceptionInAMouseHandlerShowsTheApplicationsErrorBox) {
  auto button = MakeSegment();
  button->OnMouseUp = [](TObject*, TMouseButton, TShiftState, int, int) {
    throw std::runtime_error("the shortcut has no target");
  };
  const auto recorder = Application->OnException;
  Application->OnException = nullptr;  // the box itself, not the tests' recorder

  std::wstring boxText, boxTitle;
  const bool answered = testsupport::AnswerDialog(
      [&] {
        SendMessageW(button->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(150, 100));
        SendMessageW(button->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(150, 100));  // throws; the box is modal
      },
      [&](HWND box) {
        wchar_t text[256] = {};
        GetDlgItemTextW(box, 0xFFFF, text, 256);  // the message text of a message box
        boxText = text;
        GetWindowTextW(box, text, 256);
        boxTitle = text;
        PostMessageW(box, WM_COMMAND, IDOK, 0);
      });
  Application->OnException = recorder;

  ASSERT_TRUE(answered);
  EXPECT_EQ(boxText, L"the shortcut has no target");
  EXPECT_EQ(boxTitle, Application->Title());
  // The button answers as before.
  button->OnMouseUp = nullptr;
  SendMessageW(button->Handle(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(150, 100));
  EXPECT_TRUE(button->MenuTimer().Enabled());
  const int painted = button->PaintCount();
  button->Repaint();
  EXPECT_EQ(button->PaintCount(), painted + 1);
}

TEST_F(PieButtonTest, HoverNotificationsSwitchColourAndAskForARepaint) {
  auto button = MakeSegment(MakeColor(255, 0, 0), 0);
  button->HotColor = MakeColor(0, 0, 255);
  button->UpdateLayered();
  testsupport::PumpFor(50);
  const int painted = button->PaintCount();
  button->Perform(CM_MOUSEENTER, 0, 0);
  EXPECT_EQ(button->CurrentColor(), MakeColor(0, 0, 255));
  EXPECT_EQ(button->PaintCount(), painted);  // an invalidation, painted by the message loop
  ASSERT_TRUE(testsupport::PumpUntil([&] { return button->PaintCount() > painted; }));
  EXPECT_NEAR(Split(PolarPixel(LastPushedImage(*button), 90, 90, 60, 45)).b, 210, 1);
  button->Perform(CM_MOUSELEAVE, 0, 0);
  ASSERT_TRUE(testsupport::PumpUntil([&] { return button->PaintCount() > painted + 1; }));
  EXPECT_NEAR(Split(PolarPixel(LastPushedImage(*button), 90, 90, 60, 45)).r, 210, 1);
}

}  // namespace
