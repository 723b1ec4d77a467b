// The button group's growth under Wine with real windows: the grow flag widens the ring at the next
// structural change and re-centres it, and a new DPI on the centre rescales the whole ring.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "tests/GDIButtons/GroupTestSupport.h"
#include "tests/support/TestSupport.h"

namespace {

using namespace grouptest;

TEST_F(GroupTest, SizeChangesWaitForTheGrowFlagBeforeRepaintingTheCentre) {
  auto group = MakeRing(0);
  group->SetGrowFlag(true);
  ButtonEvents().clear();
  group->SetWidth(200);
  group->SetHeight(200);
  EXPECT_TRUE(EventsOf(ButtonEvent::Redrawn).empty());
  // The size and place change all the same.
  ExpectCentreAt(*group, CentredOrigin(200).Left, CentredOrigin(200).Top, 200);
}

// One structural change of a five-segment ring, by name.
struct Change {
  const char* id;
  std::function<void(TGDIButtonGroupItems&)> run;
  int count;  // segments afterwards
};

void PrintTo(const Change& change, std::ostream* os) {
  *os << change.id;
}

const Change kChanges[] = {
    {"Add", [](TGDIButtonGroupItems& items) { items.AddItem(); }, 6},
    {"DeleteMiddle", [](TGDIButtonGroupItems& items) { items.Delete(2); }, 4},
    {"DeleteLast", [](TGDIButtonGroupItems& items) { items.Delete(4); }, 4},
    {"Move", [](TGDIButtonGroupItems& items) { items.Items(4)->SetIndex(0); }, 5},
};

class GroupGrowthTest : public grouptest::GroupTestBase, public testing::WithParamInterface<Change> {};

TEST_P(GroupGrowthTest, GrowFlagWidensTheRingAtTheNextStructuralChangeNotBefore) {
  const Change& change = GetParam();
  auto group = MakeRing(5);
  group->SetGrowFlag(true);
  // Handling what is queued, painting and showing do not grow the ring.
  ASSERT_TRUE(testsupport::PumpUntilQueueEmpty());
  group->ShowAll();
  group->CentreButton()->Repaint();
  EXPECT_EQ(group->Width(), 180);
  ExpectEvenRing(*group, 180);
  ExpectCentreAt(*group, CentredOrigin(180).Left, CentredOrigin(180).Top, 180);

  ButtonEvents().clear();
  change.run(group->Items());
  EXPECT_FALSE(group->GrowFlag());
  ASSERT_EQ(group->Items().Count(), change.count);
  ExpectEvenRing(*group, 220);
  EXPECT_EQ(group->CentreRect().Values(), (vantel::PieRectValues{0, 360, 64, 64, 92, 92}));
  ExpectCentreAt(*group, CentredOrigin(220).Left, CentredOrigin(220).Top, 220);
  // The centre is repainted once, at its new size, after both size changes.
  const std::vector<const TCustomGDIButton*> redrawn = EventsOf(ButtonEvent::Redrawn);
  EXPECT_EQ(std::count(redrawn.begin(), redrawn.end(), group->CentreButton()), 1);
  EXPECT_EQ(group->CentreButton()->Width(), 220);
  EXPECT_EQ(AlphaAt(*group->CentreButton(), 45, 0), 210);  // disc radius 46 now

  // Once only, and nothing narrows the ring again.
  group->Items().AddItem();
  ExpectEvenRing(*group, 220);
  while (group->Items().Count() > 1) group->Items().Delete(0);
  ExpectEvenRing(*group, 220);
  EXPECT_EQ(group->Items().Rect(0)->Values(), (vantel::PieRectValues{3, 354, 10, 10, 200, 200}));
}

INSTANTIATE_TEST_SUITE_P(Changes, GroupGrowthTest, testing::ValuesIn(kChanges),
                         [](const testing::TestParamInfo<Change>& info) {
                           return std::string(info.param.id);
                         });

TEST_F(GroupTest, GrowthKeepsAMovedRingsMiddleAndTheSegmentsFollow) {
  auto group = MakeRing(5);
  group->CentreButton()->SetBounds(40, 60, 180, 180);
  for (TCustomGDIButton* button : SegmentButtons(*group)) EXPECT_EQ(WindowRect(*button).left, 40);
  group->SetGrowFlag(true);
  group->Items().AddItem();
  ExpectCentreAt(*group, 20, 40, 220);  // the middle stays at (130, 150)
  ExpectEvenRing(*group, 220);          // every segment window at the centre's new place
  // Twice: 260.
  group->SetGrowFlag(true);
  group->Items().Delete(0);
  ExpectCentreAt(*group, 0, 20, 260);
  ExpectEvenRing(*group, 260);
}

// A ring the user took onto a small monitor left of the primary one grows there, up to that monitor's
// smaller side.
TEST_F(GroupTest, RingOnAnotherMonitorGrowsThereUpToItsSmallerSide) {
  testsupport::FakeMonitors monitors({{{0, 0, 1920, 1080}, {0, 0, 1920, 1040}, 96, true},
                                      {{-400, 0, 0, 260}, {-400, 0, 0, 260}, 96, false}});
  auto group = MakeRing(5);
  ExpectCentreAt(*group, 870, 430, 180);
  group->CentreButton()->SetBounds(-300, 40, 180, 180);
  const int sides[] = {220, 260, 260};
  const POINT places[] = {{-320, 20}, {-340, 0}, {-340, 0}};
  for (int i = 0; i < 3; ++i) {
    group->SetGrowFlag(true);
    group->Items().AddItem();
    ExpectCentreAt(*group, places[i].x, places[i].y, sides[i]);
    ExpectEvenRing(*group, sides[i]);
  }
}

// The centre's WM_DPICHANGED (it was taken onto a monitor of another DPI): the whole ring, grown or not,
// takes the new scale once and keeps its middle (no pointer on it); margins and growth follow the DPI.
TEST_F(GroupTest, NewDpiOnTheCentreRescalesTheWholeRingOnce) {
  auto group = MakeRing(5);
  group->SetGrowFlag(true);
  group->Items().AddItem();  // 220 at 96 dpi
  POINT pointer{};
  GetCursorPos(&pointer);
  const int left = pointer.x < 400 ? DesktopWidth() - 400 : 40,
            top = pointer.y < 400 ? DesktopHeight() - 400 : 60;
  group->CentreButton()->SetBounds(left, top, 220, 220);
  const RECT suggested{0, 0, 330, 330};
  for (int round = 0; round < 2; ++round)  // the same DPI again changes nothing
    SendMessageW(group->CentreButton()->Handle(), WM_DPICHANGED, MAKEWPARAM(144, 144),
                 reinterpret_cast<LPARAM>(&suggested));
  EXPECT_EQ(group->PixelsPerInch(), 144);
  EXPECT_EQ(group->Width(), 330);
  ExpectCentreAt(*group, left + 110 - 165, top + 110 - 165, 330);
  for (TCustomGDIButton* button : SegmentButtons(*group)) {
    const RECT r = WindowRect(*button);
    EXPECT_EQ(r.left, left + 110 - 165);
    EXPECT_EQ(r.right - r.left, 330);
    EXPECT_EQ(button->PieRect()->X, 15.0f);  // the 10 px margin at 144 dpi
    EXPECT_EQ(button->PieRect()->Width, 300.0f);
  }
  group->SetGrowFlag(true);
  group->Items().Delete(0);
  EXPECT_EQ(group->Width(), 330 + 60);  // 40 px of growth at 144 dpi
}

TEST_F(GroupTest, RefreshOfAnEmptyRingDoesNothingNotEvenAPendingGrowth) {
  auto group = MakeRing(1);
  group->Items().Delete(0);
  group->SetGrowFlag(true);
  ButtonEvents().clear();
  group->Items().Refresh();
  EXPECT_TRUE(ButtonEvents().empty());  // not even the centre's repaint
  EXPECT_TRUE(group->GrowFlag());
  EXPECT_EQ(group->Width(), 180);
  ExpectCentreAt(*group, CentredOrigin(180).Left, CentredOrigin(180).Top, 180);
  // The growth waits for the next segment.
  group->Items().AddItem();
  EXPECT_FALSE(group->GrowFlag());
  ExpectEvenRing(*group, 220);
}

}  // namespace
