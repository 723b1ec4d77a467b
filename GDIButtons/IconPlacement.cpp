// Pure placement of a file icon inside its button.
#include "GDIButtons/IconPlacement.h"

#include <cmath>
#include <numbers>

namespace vantel {

SliceGeometry ComputeSlice(const PieRectValues& pie) noexcept {
  // Each value is computed in double and stored as a float before the next step uses it, as the button
  // keeps them: the cosine, sine and tangent are taken of the float angle.
  SliceGeometry s;
  s.Mid = static_cast<float>(static_cast<double>(pie.SweepAngle) / 2.0 + pie.StartAngle);
  s.R = static_cast<float>(static_cast<double>(pie.Height) / 8.0 * 3.0);
  s.A = static_cast<float>(static_cast<double>(s.Mid) * std::numbers::pi / 180.0);
  const double a = s.A;
  s.Dx = static_cast<float>(std::fabs(std::cos(a) * s.R));
  s.Dy = static_cast<float>(std::fabs(std::sin(a) * s.R));
  s.T = static_cast<float>(std::fabs(std::tan(a) * s.R));
  return s;
}

namespace {

// The grow flag is set when the icon is wider than the slice, but a ring of four or fewer never grows.
GrowRequest GrowRequestFor(const SliceGeometry& s, int iconWidth, int itemCount) noexcept {
  if (!(2.0 * s.T < iconWidth)) {
    return GrowRequest::Leave;
  }
  return itemCount <= 4 ? GrowRequest::Clear : GrowRequest::Set;
}

}  // namespace

SegmentIconPlacement PlaceSegmentIcon(const PieRectValues& pie, int iconWidth, int buttonWidth,
                                      int buttonHeight, int itemCount) noexcept {
  const SliceGeometry s = ComputeSlice(pie);
  SegmentIconPlacement result;
  result.Grow = GrowRequestFor(s, iconWidth, itemCount);

  const double half = HalveTowardZero(iconWidth);
  const double cx = static_cast<double>(buttonWidth) / 2.0;
  const double cy = static_cast<double>(buttonHeight) / 2.0;
  // Screen angles grow clockwise with y pointing down, so the quadrant picks the signs of dx and dy.
  double sx = 0.0;
  double sy = 0.0;
  if (s.Mid > 0.0f && s.Mid < 90.0f) {
    sx = 1.0;
    sy = 1.0;
  } else if (s.Mid >= 90.0f && s.Mid < 180.0f) {
    sx = -1.0;
    sy = 1.0;
  } else if (s.Mid >= 180.0f && s.Mid < 270.0f) {
    sx = -1.0;
    sy = -1.0;
  } else if (s.Mid >= 270.0f && s.Mid < 360.0f) {
    sx = 1.0;
    sy = -1.0;
  } else {
    return result;  // mid <= 0, mid >= 360 (or not a number): the icon keeps its place
  }
  result.TopLeft =
      PointF{static_cast<float>(cx + sx * s.Dx - half), static_cast<float>(cy + sy * s.Dy - half)};
  return result;
}

PointF PlaceCenterIcon(int buttonWidth, int iconWidth) noexcept {
  const float v = static_cast<float>(HalveTowardZero(static_cast<long long>(buttonWidth) - iconWidth));
  return PointF{v, v};
}

}  // namespace vantel
