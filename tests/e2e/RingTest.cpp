// The ring under the pointer: hover colour and name, moving the ring by its centre, deleting a segment.
#include <gtest/gtest.h>

#include "tests/e2e/ProgramTest.h"

namespace e2e {
namespace {

using RingTest = ProgramTest;

bool Reddish(Screenshot::Rgb c) {
  return c.r > 80 && c.r > c.g + 40 && c.r > c.b + 40;
}
bool Dark(Screenshot::Rgb c) {
  return c.r + c.g + c.b < 40;
}

TEST_F(RingTest, HoverShowsTheHoverColourAndTheRedNameAboveTheRingLeavingRestoresThem) {
  const std::filesystem::path marker = PlaceMarker(L"Marker.exe");
  WriteBytes(folder_.Config(), ConfigBytes(kGreen, kBlue,
                                           {{1, "", TestGuid(16)},
                                            {0, ConfigPath(marker), TestGuid(1)},
                                            {0, "", TestGuid(2)},
                                            {0, "", TestGuid(3)}}));
  Start();
  const RECT ring = WaitForRing(5);
  Settle(1000);
  // Beside the icon on segment 0, and the band above the ring where the name goes.
  const POINT probe = AnglePoint(ring, 75, 0.6);
  const RECT nameBand{ring.left - 150, ring.top - 40, ring.right + 150, ring.top};

  const Screenshot before = Screenshot::Take();
  EXPECT_GT(before.At(probe.x, probe.y).b, before.At(probe.x, probe.y).g + 40) << "normal colour: blue";
  EXPECT_EQ(before.Count(nameBand, Reddish), 0);

  const POINT on = SegmentPoint(ring, 0, 4);
  pointer::MoveTo(on.x, on.y);
  Screenshot hovered;
  WaitFor(
      [&] {
        hovered = Screenshot::Take();
        return hovered.Count(nameBand, Reddish) > 20;
      },
      5000, 200);
  EXPECT_GT(hovered.At(probe.x, probe.y).g, hovered.At(probe.x, probe.y).b + 40) << "hover colour: green";
  EXPECT_GT(hovered.Count(nameBand, Reddish), 20) << "the file's name in red above the ring";

  const POINT park = Park();
  pointer::MoveTo(park.x, park.y);
  Screenshot after;
  WaitFor(
      [&] {
        after = Screenshot::Take();
        return after.Count(nameBand, Reddish) == 0;
      },
      5000, 200);
  EXPECT_GT(after.At(probe.x, probe.y).b, after.At(probe.x, probe.y).g + 40) << "back to the normal colour";
  EXPECT_EQ(after.Count(nameBand, Reddish), 0) << "the name is gone";
}

TEST_F(RingTest, OnARingGrownByItsIconsTheNameStillShowsAboveIt) {
  const std::filesystem::path marker = PlaceMarker(L"Marker.exe");
  std::vector<Record> records;
  for (int i = 0; i < 24; ++i) records.push_back({0, ConfigPath(marker), TestGuid(i + 1)});
  WriteBytes(folder_.Config(), ConfigBytes(kGreen, kBlue, records));
  Start();
  const RECT ring = WaitForRing(25);
  ASSERT_GT(ring.right - ring.left, 180 + 40) << "the icons made the ring grow";
  Settle(1000);
  const RECT nameBand{ring.left - 150, ring.top - 40, ring.right + 150, ring.top};

  const POINT on = SegmentPoint(ring, 5, 24);
  pointer::MoveTo(on.x, on.y);
  Screenshot hovered;
  WaitFor(
      [&] {
        hovered = Screenshot::Take();
        return hovered.Count(nameBand, Reddish) > 20;
      },
      5000, 200);
  EXPECT_GT(hovered.Count(nameBand, Reddish), 20) << "the file's name in red above the grown ring";
}

TEST_F(RingTest, DraggingTheCentreMovesEverySegmentWithIt) {
  WriteBytes(folder_.Config(), ConfigBytes(kGreen, kBlue, {}));
  VantelProcess& program = Start();
  const RECT ring = WaitForRing(5);
  Settle();
  const auto shown = program.RingWindows();
  const POINT centre{(ring.left + ring.right) / 2, (ring.top + ring.bottom) / 2};
  pointer::Drag(centre, {centre.x + 240, centre.y - 160});
  Settle(1000);

  // The window move begins with the first motion of the held button, so the ring travels the drag less
  // at most its first step (30, -20).
  const auto windows = program.RingWindows();
  ASSERT_EQ(windows.size(), 5u);
  const RECT moved = RingSquare(windows);
  EXPECT_GE(moved.left - ring.left, 240 - 30 - 2) << Describe(moved);
  EXPECT_LE(moved.left - ring.left, 240 + 2) << Describe(moved);
  EXPECT_LE(moved.top - ring.top, -160 + 20 + 2) << Describe(moved);
  EXPECT_GE(moved.top - ring.top, -160 - 2) << Describe(moved);
  EXPECT_EQ(moved.right - moved.left, 180);
  // Every window moved with the centre: each lies where it lay in the ring before, as far moved.
  for (const WindowInfo& w : windows)
    for (const WindowInfo& before : shown)
      if (before.handle == w.handle) {
        EXPECT_EQ(w.rect.left - before.rect.left, moved.left - ring.left) << Describe(w.rect);
        EXPECT_EQ(w.rect.top - before.rect.top, moved.top - ring.top) << Describe(w.rect);
      }
  EXPECT_EQ(ReadBytes(folder_.Config()), ConfigBytes(kGreen, kBlue, {})) << "moving stores nothing";
}

TEST_F(RingTest, DeletingASegmentFromItsMenuRespreadsTheRingAndRemovesExactlyItsRecord) {
  std::vector<Record> records;
  for (int i = 1; i <= 5; ++i) records.push_back({0, "", TestGuid(i)});
  const std::string original = ConfigBytes(kGreen, kBlue, records);
  WriteBytes(folder_.Config(), original);
  VantelProcess& program = Start();
  const RECT ring = WaitForRing(6);  // five segments: no empty ones added
  Settle(1000);

  // Five segments leave a gap at 72 degrees and cover 90; four cover 72 and leave a gap at 90.
  const POINT at72 = AnglePoint(ring, 72), at90 = AnglePoint(ring, 90);
  Screenshot shot = Screenshot::Take();
  EXPECT_TRUE(Dark(shot.At(at72.x, at72.y)));
  EXPECT_FALSE(Dark(shot.At(at90.x, at90.y)));

  const POINT second = SegmentPoint(ring, 1, 5);
  pointer::Click(second.x, second.y, 3);
  HWND menu = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (menu = program.PopupMenuWindow()) != nullptr; }, 5000))
      << "no segment menu";
  Sleep(300);
  ClickMenuEntry(menu, 0, "i");  // 删除按键

  WaitForRing(5);
  const POINT park = Park();
  pointer::MoveTo(park.x, park.y);
  Settle(1000);
  EXPECT_EQ(ReadBytes(folder_.Config()), WithoutLine(original, 3)) << "exactly the second record is gone";
  WaitFor(
      [&] {
        shot = Screenshot::Take();
        return !Dark(shot.At(at72.x, at72.y)) && Dark(shot.At(at90.x, at90.y));
      },
      5000, 250);
  EXPECT_FALSE(Dark(shot.At(at72.x, at72.y))) << "the four segments spread evenly";
  EXPECT_TRUE(Dark(shot.At(at90.x, at90.y)));
}

}  // namespace
}  // namespace e2e
