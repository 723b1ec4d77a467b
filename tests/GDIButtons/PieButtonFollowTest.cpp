// The ring follows its centre button: segment windows move to the centre's origin, in the not-topmost band.
#include <gtest/gtest.h>

#include <vector>

#include "GDIButtons/ButtonGroup.h"
#include "GDIButtons/HintGDIButton.h"
#include "tests/GDIButtons/ButtonTestSupport.h"
#include "tests/support/TestSupport.h"
#include "xml/ConfigFormat.h"

namespace {

using buttontest::TTestButton;

// Where the window puts its button on the screen: a ring window covers a box inside its button.
POINT Origin(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  const auto* button = dynamic_cast<const TCustomGDIButton*>(TWinControl::FromHandle(window));
  const RECT box = button ? button->WindowBox() : RECT{};
  return POINT{r.left - box.left, r.top - box.top};
}

bool Topmost(HWND window) {
  return (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

class PieButtonFollowTest : public buttontest::WindowTestBase {
 protected:
  void SetUp() override {
    WindowTestBase::SetUp();
    file_ =
        folder_.Write(L"SystemConfig.xml",
                      buttontest::ConfigWithRootAttributes(R"( HotColor="-65536" DefaultColor="-16776961")"));
  }
  void TearDown() override {
    EXPECT_TRUE(testsupport::RecordedExceptions().empty());
    WindowTestBase::TearDown();
  }

  std::unique_ptr<TGDICustomButtonGroup> MakeGroup(int segments) {
    auto group = std::make_unique<TGDICustomButtonGroup>(form_.get(), GDIButtonClass<TTestButton>(), file_);
    group->SetWidth(180);
    group->SetHeight(180);
    for (int i = 0; i < segments; ++i) group->Items().AddItem();
    return group;
  }
  std::vector<HWND> SegmentWindows(const TGDICustomButtonGroup& group) {
    std::vector<HWND> windows;
    for (int i = 0; i < group.Items().Count(); ++i)
      windows.push_back(group.Items().Items(i)->Button()->Handle());
    return windows;
  }

  buttontest::ScratchFolder folder_;
  std::wstring file_;
};

TEST_F(PieButtonFollowTest, SegmentsTakeTheCentresOriginInTheNotTopmostBand) {
  auto group = MakeGroup(3);
  TCustomGDIButton* centre = group->CentreButton();
  ASSERT_NE(centre, nullptr);
  ASSERT_EQ(centre->ButtonKind(), ConfigFormat::KindCentre);
  const std::vector<HWND> segments = SegmentWindows(*group);
  ASSERT_EQ(segments.size(), 3u);
  // Scatter the segments and put them back in the topmost band, where the constructor put them.
  for (size_t i = 0; i < segments.size(); ++i) {
    SetWindowPos(segments[i], HWND_TOPMOST, 20 + 30 * static_cast<int>(i), 40, 0, 0,
                 SWP_NOSIZE | SWP_NOACTIVATE);
    ASSERT_TRUE(Topmost(segments[i]));
  }

  centre->SetBounds(333, 222, 180, 180);
  ASSERT_TRUE(testsupport::PumpUntil([&] {
    for (HWND w : segments)
      if (Origin(w).x != 333 || Origin(w).y != 222) return false;
    return true;
  }));
  for (HWND w : segments) {
    EXPECT_FALSE(Topmost(w));
    RECT r{};
    GetWindowRect(w, &r);
    const RECT box = dynamic_cast<const TCustomGDIButton*>(TWinControl::FromHandle(w))->WindowBox();
    EXPECT_EQ(r.right - r.left, box.right - box.left);  // only moved, never resized
    EXPECT_EQ(r.bottom - r.top, box.bottom - box.top);
  }
  EXPECT_TRUE(Topmost(centre->Handle()));  // the centre keeps its band
  EXPECT_EQ(centre->Left(), 333);
  EXPECT_EQ(centre->Top(), 222);
  // Framework positions of the segments follow their windows.
  for (int i = 0; i < group->Items().Count(); ++i) {
    EXPECT_EQ(group->Items().Items(i)->Button()->Left(), 333);
    EXPECT_EQ(group->Items().Items(i)->Button()->Top(), 222);
  }
}

// A left-handed mouse: the centre's drag holds the physical right button. The move itself hides the name.
TEST_F(PieButtonFollowTest, TheCentresMoveHidesTheHintWithSwappedButtons) {
  struct Restore {
    BOOL swapped;
    ~Restore() { SwapMouseButton(swapped); }
  } restore{SwapMouseButton(TRUE)};
  TGDICustomButtonGroup group(form_.get(), GDIButtonClass<TTestButton>(), file_,
                              HintGDIButtonClass(RecordedPushes()));
  group.SetWidth(180);
  group.SetHeight(180);
  group.Items().AddItem();
  TCustomGDIButton* hint = group.HintWindow();
  hint->Show();
  ASSERT_TRUE(IsWindowVisible(hint->Handle()));
  SendMessageW(group.CentreButton()->Handle(), WM_ENTERSIZEMOVE, 0, 0);  // the system's move loop begins
  EXPECT_FALSE(hint->Visible());
  EXPECT_FALSE(IsWindowVisible(hint->Handle()));
}

TEST_F(PieButtonFollowTest, MovingASegmentMovesNothingElse) {
  auto group = MakeGroup(2);
  const std::vector<HWND> segments = SegmentWindows(*group);
  const POINT centre = Origin(group->CentreButton()->Handle());
  const POINT second = Origin(segments[1]);
  group->Items().Items(0)->Button()->SetBounds(50, 60, 180, 180);
  testsupport::PumpFor(50);
  EXPECT_EQ(Origin(segments[0]).x, 50);
  EXPECT_EQ(Origin(segments[1]).x, second.x);
  EXPECT_EQ(Origin(segments[1]).y, second.y);
  EXPECT_EQ(Origin(group->CentreButton()->Handle()).x, centre.x);
  EXPECT_TRUE(Topmost(segments[1]));
}

TEST_F(PieButtonFollowTest, EmptyGroupOrNoGroupMovesNothingAndReportsNothing) {
  auto group = MakeGroup(0);
  TTestButton bystander(form_.get());
  bystander.SetBounds(70, 80, 180, 180);
  group->CentreButton()->SetBounds(300, 310, 180, 180);
  testsupport::PumpFor(50);
  EXPECT_EQ(Origin(group->CentreButton()->Handle()).x, 300);
  EXPECT_EQ(Origin(bystander.Handle()).x, 70);
  EXPECT_TRUE(Topmost(bystander.Handle()));

  // A centre button that no group has claimed yet.
  TTestButton lone(form_.get());
  lone.SetButtonKind(ConfigFormat::KindCentre);
  ASSERT_EQ(lone.GroupItems(), nullptr);
  lone.SetBounds(400, 410, 180, 180);
  testsupport::PumpFor(50);
  EXPECT_EQ(Origin(lone.Handle()).x, 400);
  EXPECT_EQ(Origin(bystander.Handle()).x, 70);
}

}  // namespace
