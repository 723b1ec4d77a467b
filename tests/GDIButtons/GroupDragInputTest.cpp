// Dragging the ring by its centre disc with the real pointer (xdotool through the X server): every segment
// window goes along.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tests/GDIButtons/GroupTestSupport.h"
#include "tests/support/TestSupport.h"

namespace {

using grouptest::SegmentButtons;
using grouptest::WindowRect;

class GroupDragInputTest : public grouptest::GroupTestBase, public testing::WithParamInterface<bool> {};

// Presses the left button at (x, y), drags by (dx, dy) and lets go. The move starts at the first
// movement with the button held and the window follows from there, so that one is a single pixel; the
// rest go in steps well inside the disc, as a hand would move. The move loop that the press starts runs
// inside our message handling, so the whole gesture comes from another process.
bool DragWithPointer(int x, int y, int dx, int dy) {
  std::wstring command = L"/usr/bin/xdotool mousemove " + std::to_wstring(x) + L" " + std::to_wstring(y) +
                         L" sleep 0.3 mousedown 1 sleep 0.3 mousemove " + std::to_wstring(x + 1) + L" " +
                         std::to_wstring(y) + L" sleep 0.2";
  const int steps = 20;
  for (int step = 1; step <= steps; ++step) {
    command += L" mousemove " + std::to_wstring(x + 1 + dx * step / steps) + L" " +
               std::to_wstring(y + dy * step / steps) + L" sleep 0.05";
  }
  command += L" sleep 0.3 mouseup 1";
  return testsupport::RunUnix(command, 20000) == 0;
}

TEST_P(GroupDragInputTest, DraggingTheCentreDiscMovesEverySegmentWithIt) {
  const bool withHint = GetParam();
  auto group = MakeRing(4, 180, withHint);
  group->ShowAll();
  // A pause for the X server to show the new windows. WindowFromPoint cannot tell here: this ring's hint is
  // a plain button as large as the desktop, and Wine may put it above the disc in its own order.
  testsupport::PumpFor(300);
  const RECT before = WindowRect(*group->CentreButton());
  const int x = before.left + 90;  // the middle of the disc
  const int y = before.top + 90;
  const int dx = -300, dy = 150;

  ASSERT_TRUE(DragWithPointer(x, y, dx, dy));
  // The drag's last step reached, and every segment followed.
  testsupport::PumpUntil([&] {
    const RECT centre = WindowRect(*group->CentreButton());
    if (std::abs(centre.left - before.left - dx) > 3 || std::abs(centre.top - before.top - dy) > 3)
      return false;
    for (TCustomGDIButton* segment : SegmentButtons(*group)) {
      const RECT r = WindowRect(*segment);
      if (r.left != centre.left || r.top != centre.top) return false;
    }
    return true;
  });

  // The disc ends up under the pointer.
  const RECT after = WindowRect(*group->CentreButton());
  EXPECT_NEAR(after.left - before.left, dx, 3);
  EXPECT_NEAR(after.top - before.top, dy, 3);
  EXPECT_EQ(after.right - after.left, 180);
  EXPECT_EQ(group->CentreButton()->Left(), after.left);
  EXPECT_EQ(group->CentreButton()->Top(), after.top);
  for (TCustomGDIButton* segment : SegmentButtons(*group)) {
    const RECT r = WindowRect(*segment);
    EXPECT_EQ(r.left, after.left);
    EXPECT_EQ(r.top, after.top);
    EXPECT_EQ(r.right - r.left, 180);
    EXPECT_EQ(segment->Left(), after.left);
  }
  if (withHint) {
    EXPECT_FALSE(IsWindowVisible(group->HintWindow()->Handle()));  // hidden while dragging
  }

  // A segment added now appears where the ring is.
  TCustomGDIButton* added = group->Items().AddItem()->Button();
  EXPECT_EQ(WindowRect(*added).left, after.left);
  EXPECT_EQ(WindowRect(*added).top, after.top);

  // A growth keeps the dragged ring's middle where the user put it, segments and all.
  group->SetGrowFlag(true);
  group->Items().Delete(0);
  EXPECT_EQ(WindowRect(*group->CentreButton()).left, after.left + 90 - 110);
  EXPECT_EQ(WindowRect(*group->CentreButton()).top, after.top + 90 - 110);
  grouptest::ExpectEvenRing(*group, 220);
  EXPECT_TRUE(testsupport::RecordedExceptions().empty());
}

INSTANTIATE_TEST_SUITE_P(HintWindow, GroupDragInputTest, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& info) {
                           return std::string(info.param ? "WithHint" : "WithoutHint");
                         });

}  // namespace
