// Tests of the pie rectangle's defaults, its inner rectangle and integer halving.
#include "GDIButtons/PieGeometry.h"

#include <gtest/gtest.h>

namespace vantel {
namespace {

TEST(PieRectValues, DefaultsAreAHalfDiscOf190) {
  const PieRectValues pie;
  EXPECT_EQ(pie, (PieRectValues{0.0f, 180.0f, 0.0f, 0.0f, 190.0f, 190.0f}));
}

TEST(TPieRect, StartsWithTheDefaultsAndTakesALayout) {
  TPieRect rect;
  EXPECT_EQ(rect.Values(), PieRectValues{});
  rect.Assign({3, 84, 10, 10, 160, 160});
  EXPECT_EQ(rect.StartAngle, 3.0f);
  EXPECT_EQ(InnerRect(rect), (RectF{50, 50, 80, 80}));  // usable wherever the plain values are
  rect.SweepAngle = 360.0f;                             // fields are written directly
  EXPECT_EQ(rect.Values(), (PieRectValues{3, 360, 10, 10, 160, 160}));
}

TEST(PieGeometry, InnerRectHasSameCentreAndHalfTheSize) {
  struct Case {
    PieRectValues pie;
    RectF inner;
  };
  const Case cases[] = {
      {{3, 84, 10, 10, 160, 160}, {50, 50, 80, 80}},                 // a ring segment of a 180 group
      {{0, 360, 54, 54, 72, 72}, {72, 72, 36, 36}},                  // the centre disc of a 180 group
      {{0, 180, 10, 10, 161, 161}, {50.25f, 50.25f, 80.5f, 80.5f}},  // odd sizes keep their fractions
      {{0, 180, 0, 5, 100, 40}, {25, 15, 50, 20}},                   // width and height are independent
  };
  for (const Case& c : cases) {
    EXPECT_EQ(InnerRect(c.pie), c.inner) << c.pie.Width << "x" << c.pie.Height;
    EXPECT_EQ(OuterRect(c.pie), (RectF{c.pie.X, c.pie.Y, c.pie.Width, c.pie.Height}));
  }
}

TEST(PieGeometry, HalvingRoundsTowardZero) {
  const std::pair<long long, int> cases[] = {{845, 422},
                                             {844, 422},
                                             {0, 0},
                                             {-1, 0},
                                             {-3, -1},
                                             {-4, -2},
                                             {1, 0},
                                             {4294967295LL, 2147483647},
                                             {-4294967295LL, -2147483647}};
  for (const auto& [value, half] : cases) {
    EXPECT_EQ(HalveTowardZero(value), half) << value;
  }
}

}  // namespace
}  // namespace vantel
