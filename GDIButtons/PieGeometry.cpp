// Pure rules of a pie button's shape.
#include "GDIButtons/PieGeometry.h"

namespace vantel {

int HalveTowardZero(long long value) noexcept {
  // C++ division already truncates toward zero; spelled out here because the layout depends on it.
  const long long half = value / 2;
  return static_cast<int>(half);
}

RectF OuterRect(const PieRectValues& pie) noexcept {
  return RectF{pie.X, pie.Y, pie.Width, pie.Height};
}

RectF InnerRect(const PieRectValues& pie) noexcept {
  // Computed in double and stored as float, like every piece of the ring's floating-point geometry.
  const double x = static_cast<double>(pie.X) + static_cast<double>(pie.Width) / 4.0;
  const double y = static_cast<double>(pie.Y) + static_cast<double>(pie.Height) / 4.0;
  const double width = static_cast<double>(pie.Width) / 2.0;
  const double height = static_cast<double>(pie.Height) / 2.0;
  return RectF{static_cast<float>(x), static_cast<float>(y), static_cast<float>(width),
               static_cast<float>(height)};
}

}  // namespace vantel
