// Pure numbers of the ring layout: the centre disc, the centre window's place, the segments' angles, growth.
#pragma once

#include "GDIButtons/PieGeometry.h"
#include "framework/DpiScale.h"
#include "framework/MonitorLayout.h"

#include <vector>

namespace vantel {

// The pixel figures here are 96-dpi figures; the layout functions scale them to the `dpi` they are given.

// Pixels by which a ring widens (and heightens) when a segment asks to grow.
inline constexpr int kRingGrowth = 40;
// The side a ring starts at (96 dpi), before its icons grow it.
inline constexpr int kRingStartSide = 180;
// Degrees left free between neighbouring segments.
inline constexpr int kSegmentGap = 6;
// Margin between the button window's edge and the segments' bounding rectangle.
inline constexpr int kSegmentMargin = 10;
// Gap between the centre disc and the segments' inner hole.
inline constexpr int kCentreGap = 4;

// Top-left of a window in screen pixels.
struct WindowOrigin {
  int Left = 0;
  int Top = 0;

  friend bool operator==(const WindowOrigin&, const WindowOrigin&) = default;
};

// The centre disc for a group of width x height: the segments' inner hole shrunk by 4 px on every side,
// start 0, sweep 360. True division, stored as floats.
[[nodiscard]] PieRectValues LayoutCenterRect(int width, int height, int dpi = kBaseDpi) noexcept;

// Where the centre window goes so the group sits in the middle of the virtual desktop (halving toward
// zero, measured from the screen origin).
[[nodiscard]] WindowOrigin CenterWindowOrigin(int desktopWidth, int desktopHeight, int width,
                                              int height) noexcept;

// Where the centre window of a width x height ring goes on the monitors. Before the ring has a place
// (`placedMiddle` null) it goes to the middle of the primary monitor's work area; after that, its middle
// stays at `placedMiddle`, moved in to lie whole in the work area of the monitor holding it: a growth keeps
// the ring's middle where it is, and the ring on its monitor.
[[nodiscard]] WindowOrigin RingOrigin(const MonitorList& monitors, const ScreenPoint* placedMiddle, int width,
                                      int height) noexcept;

// The largest side the ring may grow to with its middle at `middle`: the smaller side of that monitor
// (0 without monitors). Past it no one could see the ring whole on its screen.
[[nodiscard]] int RingSideLimit(const MonitorList& monitors, ScreenPoint middle) noexcept;

// Angle share of one segment among count segments: 360 / count rounded to float; 0 for count <= 0.
[[nodiscard]] float SegmentStep(int count) noexcept;

// Rectangle of segment index among count on a group of width x height: (10, 10, W - 20, H - 20), starting
// 3 degrees into its share and 6 degrees short of it. count must be at least 1.
[[nodiscard]] PieRectValues SegmentRect(int index, int count, int width, int height,
                                        int dpi = kBaseDpi) noexcept;

// Every segment's rectangle, in index order; empty when count <= 0.
[[nodiscard]] std::vector<PieRectValues> LayoutSegments(int count, int width, int height, int dpi = kBaseDpi);

}  // namespace vantel
