// Pure rules of the ring's accessible objects.
#include "GDIButtons/RingAccessibleLogic.h"
#include "xml/ConfigFormat.h"

#include <algorithm>
#include <cmath>

namespace vantel {

std::wstring AccessibleName(const std::wstring& displayName) {
  return displayName.empty() ? std::wstring(kEmptySlotName) : displayName;
}

std::uint32_t AccessibleState(bool visible, bool focused, bool pointerOn) noexcept {
  std::uint32_t state = kStateFocusable;
  if (!visible) state |= kStateInvisible;
  if (focused) state |= kStateFocused;
  if (pointerOn) state |= kStateHotTracked;
  return state;
}

RectF SliceBox(std::uint8_t kind, const PieRectValues& pie) noexcept {
  if (kind != ConfigFormat::KindSegment || std::abs(pie.SweepAngle) >= 360.0f) return OuterRect(pie);
  constexpr double kPi = 3.14159265358979323846;
  const double cx = pie.X + pie.Width / 2.0, cy = pie.Y + pie.Height / 2.0;
  const double rx = pie.Width / 2.0, ry = pie.Height / 2.0;
  const double from = std::min(pie.StartAngle, pie.StartAngle + pie.SweepAngle);
  const double to = std::max(pie.StartAngle, pie.StartAngle + pie.SweepAngle);
  double left = cx, top = cy, right = cx, bottom = cy;
  bool first = true;
  auto take = [&](double degrees, double scale) {
    const double x = cx + scale * rx * std::cos(degrees * kPi / 180.0);
    const double y = cy + scale * ry * std::sin(degrees * kPi / 180.0);
    if (first) left = right = x, top = bottom = y, first = false;
    left = std::min(left, x), right = std::max(right, x), top = std::min(top, y),
    bottom = std::max(bottom, y);
  };
  // The corners of the band, and where the rim crosses an axis within the sweep: the hole's arc lies inside.
  for (const double at : {from, to}) take(at, 1.0), take(at, 0.5);
  for (double axis = std::ceil(from / 90.0) * 90.0; axis <= to; axis += 90.0) take(axis, 1.0);
  return {static_cast<float>(left), static_cast<float>(top), static_cast<float>(right - left),
          static_cast<float>(bottom - top)};
}

}  // namespace vantel
