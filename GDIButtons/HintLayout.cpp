// Pure placement of the hint text.
#include "GDIButtons/HintLayout.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace vantel {

PointF HintTextOrigin(const WindowBounds& centre, std::size_t byteCount, int fontSize) noexcept {
  // n * s is an integer product; taken as double so a long text cannot overflow it.
  const double estimate = static_cast<double>(byteCount) * fontSize;
  const double x = centre.Left + static_cast<double>(centre.Width) / 2.0 - estimate / 2.0 / 2.0;
  const double y = static_cast<double>(centre.Top) - fontSize;
  return PointF{static_cast<float>(x), static_cast<float>(y)};
}

namespace {

// Clamps a pixel coordinate or extent to what an int holds; converting an out-of-range double is undefined.
int ClampToInt(double v) noexcept {
  if (std::isnan(v)) {
    return 0;
  }
  return static_cast<int>(std::clamp(v, static_cast<double>(INT_MIN), static_cast<double>(INT_MAX)));
}

}  // namespace

WindowBounds HintTextBounds(PointF origin, std::size_t byteCount, int fontSize) noexcept {
  // No glyph of the hint's faces is wider than an em per byte; GDI+ adds a sixth of an em of padding and
  // the line is about 1.2 em high, so one em of margin around covers overhangs and anti-aliasing.
  const double em = std::max(fontSize, 0);
  const double left = std::floor(static_cast<double>(origin.X)) - em;
  const double top = std::floor(static_cast<double>(origin.Y)) - em / 2.0;
  const double right = std::ceil(static_cast<double>(origin.X)) + static_cast<double>(byteCount) * em + em;
  const double bottom = std::ceil(static_cast<double>(origin.Y)) + 2.0 * em;
  return WindowBounds{ClampToInt(left), ClampToInt(top), ClampToInt(right - left), ClampToInt(bottom - top)};
}

}  // namespace vantel
