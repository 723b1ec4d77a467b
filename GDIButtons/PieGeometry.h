// Pure shape of a pie button: TPieRect and its values, the inner rectangle, integer halving.
#pragma once

#include "framework/Object.h"

namespace vantel {

// Values of a TPieRect, in their published order with their defaults. Angles are degrees, clockwise on
// screen from the positive x axis (as GDI+ measures pies); the rectangle is in the button window's pixels.
// Kept as a plain struct so the pure layout code needs no component framework.
struct PieRectValues {
  float StartAngle = 0.0f;
  float SweepAngle = 180.0f;
  float X = 0.0f;
  float Y = 0.0f;
  float Width = 190.0f;
  float Height = 190.0f;

  friend bool operator==(const PieRectValues&, const PieRectValues&) = default;
};

}  // namespace vantel

// The pie rectangle a button draws. Pure: the group's layout writes it and pure code reads it without any
// window. Read and write the six values directly; passes wherever PieRectValues is expected.
class TPieRect : public TPersistent, public vantel::PieRectValues {
 public:
  TPieRect() = default;
  explicit TPieRect(const vantel::PieRectValues& values) : vantel::PieRectValues(values) {}

  // Copies all six values from a computed layout.
  void Assign(const vantel::PieRectValues& values) { static_cast<vantel::PieRectValues&>(*this) = values; }
  // The six values as a plain value.
  [[nodiscard]] vantel::PieRectValues Values() const { return *this; }
};

namespace vantel {

// A rectangle in 32-bit floats, as GDI+ takes it.
struct RectF {
  float X = 0.0f;
  float Y = 0.0f;
  float Width = 0.0f;
  float Height = 0.0f;

  friend bool operator==(const RectF&, const RectF&) = default;
};

// A point in 32-bit floats.
struct PointF {
  float X = 0.0f;
  float Y = 0.0f;

  friend bool operator==(const PointF&, const PointF&) = default;
};

// Integer halving that rounds toward zero; explicit so that negative differences (a ring wider than the
// desktop) never round down to -1.
[[nodiscard]] int HalveTowardZero(long long value) noexcept;

// Bounding rectangle of the outer pie: the pie rectangle itself.
[[nodiscard]] RectF OuterRect(const PieRectValues& pie) noexcept;

// Bounding rectangle of the inner pie: same centre, half the size. Filling both pies even-odd leaves the
// annular sector between half and full radius.
[[nodiscard]] RectF InnerRect(const PieRectValues& pie) noexcept;

}  // namespace vantel
