// The program on two monitors, the second left of the primary one (a display of its own: cmake/wine-run.sh
// with VANTEL_MONITORS=two): the ring starts on the primary monitor, and its name shows on the other one.
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/e2e/ProgramTest.h"

namespace e2e {
namespace {

using TwoMonitorsTest = ProgramTest;

MONITORINFO MonitorAt(POINT p) {
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  GetMonitorInfoW(MonitorFromPoint(p, MONITOR_DEFAULTTONULL), &info);
  return info;
}

TEST_F(TwoMonitorsTest, TheRingStartsOnThePrimaryMonitorAndNamesItsFilesOnTheOtherOne) {
  ASSERT_EQ(GetSystemMetrics(SM_CMONITORS), 2) << "the display must give Wine two monitors";
  const MONITORINFO primary = MonitorAt({0, 0});
  const MONITORINFO left = MonitorAt({-1, 0});
  ASSERT_LT(left.rcMonitor.left, 0) << "the second monitor lies left of the primary one";

  const std::filesystem::path marker = PlaceMarker(L"Marker.exe");
  WriteBytes(folder_.Config(), ConfigBytes(kGreen, kBlue, FourSegmentRecords(ConfigPath(marker))));
  VantelProcess& program = Start();
  const RECT ring = WaitForRing(5);
  const POINT centre{(ring.left + ring.right) / 2, (ring.top + ring.bottom) / 2};
  EXPECT_LE(std::abs(centre.x - (primary.rcWork.left + primary.rcWork.right) / 2), 1) << Describe(ring);
  EXPECT_LE(std::abs(centre.y - (primary.rcWork.top + primary.rcWork.bottom) / 2), 1) << Describe(ring);

  // The disc carries the ring onto the middle of the left monitor.
  ScreenWhen([&](const Screenshot& shot) { return Blue(shot.At(centre.x + 26, centre.y)); });
  const POINT target{(left.rcWork.left + left.rcWork.right) / 2, (left.rcWork.top + left.rcWork.bottom) / 2};
  pointer::Drag(centre, target, 16);
  RECT moved{};
  ASSERT_TRUE(WaitFor([&] {
    const auto windows = program.RingWindows();
    if (windows.size() != 5u) return false;
    moved = RingSquare(windows);
    return moved.right <= left.rcWork.right && moved.left >= left.rcWork.left;
  })) << "the ring did not reach the left monitor: "
      << Describe(moved);
  // The drag ends when the program leaves its move loop; a pointer move before that is the loop's own.
  const DWORD ringThread = GetWindowThreadProcessId(program.RingWindows().front().handle, nullptr);
  ASSERT_TRUE(WaitFor([&] {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    return GetGUIThreadInfo(ringThread, &info) && (info.flags & GUI_INMOVESIZE) == 0;
  })) << "the ring is still being moved";
  // Where the drag left it: a loaded program may still have been catching up with the pointer when the ring
  // was first seen whole on that monitor.
  moved = RingSquare(program.RingWindows());
  ASSERT_TRUE(moved.right <= left.rcWork.right && moved.left >= left.rcWork.left) << Describe(moved);

  // Hovering a segment there shows its file's name above the ring, on that monitor.
  const RECT nameBand = NameBand(moved);
  const POINT on = SegmentPoint(moved, 0, 4);
  pointer::MoveTo(on.x, on.y);
  EXPECT_TRUE(Named(ScreenWhen([&](const Screenshot& shot) { return Named(shot, nameBand); }), nameBand))
      << "the file's name in red above the ring on the left monitor " << Describe(nameBand);
}

}  // namespace
}  // namespace e2e
