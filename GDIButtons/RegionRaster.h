// The region rasteriser of the ring's window shapes: a pie (slice or disc) and its anti-aliased fringe
// as bands of rectangles, in the strict form window regions take. Pure: WindowRegion turns the rectangles
// into a region, the button push uses the bounds for the box it pushes.
#pragma once

#include <vector>

namespace vantel {

// A rectangle of a region, edges exclusive on the right and bottom.
struct RegionRect {
  long Left = 0, Top = 0, Right = 0, Bottom = 0;
  friend bool operator==(const RegionRect&, const RegionRect&) = default;
};

// Rectangles of a region in bands (sorted by top, then left), with the rectangles of a band that touch
// or overlap joined into one and empty ones dropped: the strict form window regions must have (Wine
// refuses two rectangles of a band where one ends exactly where the next begins).
[[nodiscard]] std::vector<RegionRect> JoinTouchingRects(const std::vector<RegionRect>& rects);

// The pixels of a width x height window that a ring button keeps for the pointer: those whose centre lies
// within `fringe` pixels of its pie, the anti-aliased edge included. The pie is the sector of the circle
// of diameter `outerDiameter` centred at (centreX, centreY), from `startAngle` over `sweepAngle` degrees
// (clockwise on screen from the positive x axis, as GDI+ measures pies; a sweep of 360 or more is the
// whole circle), less the concentric circle of diameter `innerDiameter` (0 for a whole pie). Rectangles
// in bands from the top, each band's rectangles from the left, apart, never touching; a band spans the
// rows that have the same runs.
struct PieShape {
  float CentreX = 0.0f;
  float CentreY = 0.0f;
  float OuterDiameter = 0.0f;
  float InnerDiameter = 0.0f;
  float StartAngle = 0.0f;
  float SweepAngle = 360.0f;
};
[[nodiscard]] std::vector<RegionRect> PieShapeRects(const PieShape& pie, float fringe, int width, int height);
// A rectangle that holds every pixel PieShapeRects can give for the pie and fringe on a window of any size
// (at most a pixel more on each side).
[[nodiscard]] RegionRect PieShapeBounds(const PieShape& pie, float fringe);

}  // namespace vantel
