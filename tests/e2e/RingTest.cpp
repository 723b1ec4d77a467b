// The ring under the pointer: hover colour and name, moving the ring by its centre, deleting a segment.
#include <gtest/gtest.h>

// clang-format off
#include "framework/Win32.h"
#include <oleacc.h>
// clang-format on

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "framework/Handles.h"
#include "tests/e2e/ProgramTest.h"

namespace e2e {
namespace {

using RingTest = ProgramTest;

TEST_F(RingTest, HoverShowsTheHoverColourAndTheRedNameAboveTheRingLeavingRestoresThem) {
  const std::filesystem::path marker = PlaceMarker(L"Marker.exe");
  WriteBytes(folder_.Config(), ConfigBytes(kGreen, kBlue, FourSegmentRecords(ConfigPath(marker))));
  Start();
  const RECT ring = WaitForRing(5);
  // Beside the icon on segment 0, and the band above the ring where the name goes.
  const POINT probe = AnglePoint(ring, 75, 0.6);
  const RECT nameBand = NameBand(ring);
  auto normal = [&](const Screenshot& shot) {
    return Blue(shot.At(probe.x, probe.y)) && Nameless(shot, nameBand);
  };

  EXPECT_TRUE(normal(ScreenWhen(normal))) << "normal colour (blue), no name";

  const POINT on = SegmentPoint(ring, 0, 4);
  pointer::MoveTo(on.x, on.y);
  const Screenshot hovered = ScreenWhen(
      [&](const Screenshot& shot) { return Green(shot.At(probe.x, probe.y)) && Named(shot, nameBand); });
  EXPECT_TRUE(Green(hovered.At(probe.x, probe.y))) << "hover colour: green";
  EXPECT_TRUE(Named(hovered, nameBand)) << "the file's name in red above the ring";

  const POINT park = Park();
  pointer::MoveTo(park.x, park.y);
  const Screenshot after = ScreenWhen(normal);
  EXPECT_TRUE(Blue(after.At(probe.x, probe.y))) << "back to the normal colour";
  EXPECT_TRUE(Nameless(after, nameBand)) << "the name is gone";
}

// A hand looking for a program slides round the ring: the name and the hover colour follow it from
// segment to segment, onto the centre and off it, and back onto the ring from outside.
TEST_F(RingTest, NameAndHoverColourFollowThePointerRoundTheRingOntoTheCentreAndBackFromOutside) {
  // Six segments whose names grow by a letter each (the name's width tells them apart), a named centre.
  std::vector<Record> records{{1, ConfigPath(PlaceMarker(L"Centre.exe")), TestGuid(16)}};
  const std::wstring names[] = {L"W.exe", L"WW.exe", L"WWW.exe", L"WWWW.exe", L"WWWWW.exe", L"WWWWWW.exe"};
  for (int i = 0; i < 6; ++i) records.push_back({0, ConfigPath(PlaceMarker(names[i])), TestGuid(i + 1)});
  WriteBytes(folder_.Config(), ConfigBytes(kGreen, kBlue, records));
  Start();
  const RECT ring = WaitForRing(7);
  const RECT nameBand = NameBand(ring);
  const POINT middle{(ring.left + ring.right) / 2, (ring.top + ring.bottom) / 2};
  constexpr int kCentre = 6, kNone = -1;
  // Beside each segment's icon, and beside the centre's.
  std::vector<POINT> probes;
  for (int i = 0; i < 6; ++i) probes.push_back(AnglePoint(ring, i * 60 + 30 + 20, 0.62));
  probes.push_back({middle.x + 26, middle.y});
  auto onlyHovered = [&](const Screenshot& shot, int hovered) {
    for (int k = 0; k <= kCentre; ++k) {
      const Screenshot::Rgb c = shot.At(probes[k].x, probes[k].y);
      if (k == hovered ? !Green(c) : !Blue(c)) return false;
    }
    return true;
  };
  // Waits until exactly `hovered` has the hover colour and a name of that width shows (any width > 0
  // when `width` is 0, none when it is -1); returns the name's width.
  auto expectHover = [&](int hovered, int width, const std::string& where) {
    const Screenshot shot = ScreenWhen([&](const Screenshot& s) {
      const int w = NameWidth(s, nameBand);
      return onlyHovered(s, hovered) && (width < 0    ? Nameless(s, nameBand)
                                         : width == 0 ? w > 0
                                                      : std::abs(w - width) <= 2);
    });
    EXPECT_TRUE(onlyHovered(shot, hovered)) << where << ": the hover colour on " << hovered << " alone";
    const int w = NameWidth(shot, nameBand);
    if (width < 0) {
      EXPECT_TRUE(Nameless(shot, nameBand)) << where << ": no name";
    } else if (width == 0) {
      EXPECT_GT(w, 0) << where << ": a name";
    } else {
      EXPECT_NEAR(w, width, 2) << where << ": the name of " << hovered;
    }
    return w;
  };
  auto arc = [&](double from, double to) {
    std::vector<POINT> points;
    for (double a = from; a <= to; a += 2) points.push_back(AnglePoint(ring, a, 0.75));
    return points;
  };
  auto radial = [&](double degrees, double fromShare, double toShare) {
    std::vector<POINT> points;
    const double step = fromShare < toShare ? 0.04 : -0.04;
    for (double r = fromShare; step > 0 ? r <= toShare : r >= toShare; r += step)
      points.push_back(AnglePoint(ring, degrees, r));
    return points;
  };
  expectHover(kNone, -1, "before");

  // Once round in small steps, never off the band.
  const POINT first = SegmentPoint(ring, 0, 6);
  pointer::MoveTo(first.x, first.y);
  std::vector<int> widths{expectHover(0, 0, "segment 0")};
  for (int i = 1; i <= 6; ++i) {
    MoveThrough(arc((i - 1) * 60 + 30, i * 60 + 30));
    const int segment = i % 6;
    if (segment == 0) {
      expectHover(0, widths[0], "round again on segment 0");
      break;
    }
    const int w = expectHover(segment, 0, "segment " + std::to_string(segment));
    EXPECT_GT(w, widths.back()) << "segment " << segment << " shows its own, longer name";
    widths.push_back(w);
  }

  // Segment 0 to the centre and out onto segment 3.
  MoveThrough(radial(30, 0.75, 0.0));
  const int centreWidth = expectHover(kCentre, 0, "the centre");
  EXPECT_NE(centreWidth, widths[0]) << "the centre's name, not segment 0's";
  MoveThrough(radial(210, 0.0, 0.75));
  expectHover(3, widths[3], "from the centre onto segment 3");

  // Off the ring and straight back.
  const POINT outside = AnglePoint(ring, 210, 1.4), back = SegmentPoint(ring, 3, 6);
  pointer::MoveTo(outside.x, outside.y);
  expectHover(kNone, -1, "outside the ring");
  pointer::MoveTo(back.x, back.y);
  expectHover(3, widths[3], "back on segment 3");
  // And onto the centre, hovered before, straight from outside.
  pointer::MoveTo(outside.x, outside.y);
  expectHover(kNone, -1, "outside again");
  pointer::MoveTo(middle.x, middle.y);
  expectHover(kCentre, centreWidth, "onto the centre from outside");
}

TEST_F(RingTest, OnARingGrownByItsIconsTheNameStillShowsAboveIt) {
  const std::filesystem::path marker = PlaceMarker(L"Marker.exe");
  std::vector<Record> records;
  for (int i = 0; i < 24; ++i) records.push_back({0, ConfigPath(marker), TestGuid(i + 1)});
  WriteBytes(folder_.Config(), ConfigBytes(kGreen, kBlue, records));
  Start();
  const RECT ring = WaitForRing(25);
  ASSERT_GT(ring.right - ring.left, 180 + 40) << "the icons made the ring grow";
  const RECT nameBand = NameBand(ring);

  const POINT on = SegmentPoint(ring, 5, 24);
  pointer::MoveTo(on.x, on.y);
  EXPECT_TRUE(Named(ScreenWhen([&](const Screenshot& shot) { return Named(shot, nameBand); }), nameBand))
      << "the file's name in red above the grown ring";
}

TEST_F(RingTest, DraggingTheCentreMovesEverySegmentWithItAndTheRingStandsThereAfterARestart) {
  WriteBytes(folder_.Config(), ConfigBytes(kGreen, kBlue, {}));
  const std::string nonsense = "\x01\x02 not our settings\r\n";
  WriteBytes(folder_ / L"Vantel.ini", nonsense);  // unreadable settings: a normal start
  VantelProcess& program = Start();
  const RECT ring = WaitForRing(5);
  const POINT centre{(ring.left + ring.right) / 2, (ring.top + ring.bottom) / 2};
  // Drawn: the centre disc takes the pointer.
  ScreenWhen([&](const Screenshot& shot) { return Blue(shot.At(centre.x + 26, centre.y)); });
  const auto shown = program.RingWindows();
  pointer::Drag(centre, {centre.x + 240, centre.y - 160});

  // The window move begins with the first motion of the held button, so the ring travels the drag less
  // at most its first step (30, -20).
  std::vector<WindowInfo> windows;
  WaitFor([&] {
    windows = program.RingWindows();
    if (windows.size() != 5u) return false;
    const RECT square = RingSquare(windows);
    if (square.left - ring.left < 240 - 30 - 2) return false;
    for (const WindowInfo& w : windows)
      for (const WindowInfo& before : shown)
        if (before.handle == w.handle && (w.rect.left - before.rect.left != square.left - ring.left ||
                                          w.rect.top - before.rect.top != square.top - ring.top))
          return false;
    return true;
  });
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
  // The place is kept at once, beside the untouched configuration; the unreadable file is kept aside.
  EXPECT_TRUE(
      WaitFor([&] { return ReadBytes(folder_ / L"Vantel.ini").find("RingCentre=") != std::string::npos; }));
  EXPECT_EQ(ReadBytes(folder_.Config()), ConfigBytes(kGreen, kBlue, {})) << "moving stores nothing there";
  int keptAside = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder_.Path()))
    keptAside += entry.path().extension() == L".bak" && ReadBytes(entry.path()) == nonsense;
  EXPECT_EQ(keptAside, 1);

  program.Kill();
  Start();
  const RECT again = WaitForRing(5);
  EXPECT_TRUE(SameRect(again, moved))
      << Describe(again) << " after a restart, dragged to " << Describe(moved);
}

TEST_F(RingTest, DeletingASegmentFromItsMenuRespreadsTheRingAndRemovesExactlyItsRecord) {
  std::vector<Record> records;
  for (int i = 1; i <= 5; ++i) records.push_back({0, "", TestGuid(i)});
  const std::string original = ConfigBytes(kGreen, kBlue, records);
  WriteBytes(folder_.Config(), original);
  Start();
  const RECT ring = WaitForRing(6);  // five segments: no empty ones added

  // Five segments leave a gap at 72 degrees and cover 90; four cover 72 and leave a gap at 90.
  const POINT at72 = AnglePoint(ring, 72), at90 = AnglePoint(ring, 90);
  Screenshot shot = ScreenWhen([&](const Screenshot& s) { return !Dark(s.At(at90.x, at90.y)); });
  EXPECT_TRUE(Dark(shot.At(at72.x, at72.y)));
  EXPECT_FALSE(Dark(shot.At(at90.x, at90.y)));

  const POINT second = SegmentPoint(ring, 1, 5);
  pointer::Click(second.x, second.y, 3);
  HWND menu = WaitForPopupMenu(5000);
  ASSERT_NE(menu, nullptr) << "no segment menu";
  ClickMenuEntry(menu, 0, "i");  // 删除按键

  WaitForRing(5);
  const POINT park = Park();
  pointer::MoveTo(park.x, park.y);
  EXPECT_TRUE(WaitFor([&] { return ReadBytes(folder_.Config()) == WithoutLine(original, 3); }))
      << "exactly the second record is gone:\n"
      << ReadBytes(folder_.Config());
  shot = ScreenWhen(
      [&](const Screenshot& s) { return !Dark(s.At(at72.x, at72.y)) && Dark(s.At(at90.x, at90.y)); });
  EXPECT_FALSE(Dark(shot.At(at72.x, at72.y))) << "the four segments spread evenly";
  EXPECT_TRUE(Dark(shot.At(at90.x, at90.y)));

  // The segment now where the deleted one was takes the hover.
  const POINT on = SegmentPoint(ring, 1, 4), probe = AnglePoint(ring, 135 + 20, 0.62);
  pointer::MoveTo(on.x, on.y);
  EXPECT_TRUE(Green(
      ScreenWhen([&](const Screenshot& s) { return Green(s.At(probe.x, probe.y)); }).At(probe.x, probe.y)))
      << "the hover colour after the delete";
}

}  // namespace
}  // namespace e2e
