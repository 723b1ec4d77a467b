// Tests of icon placement along a segment's middle angle, the growth test and the centre icon.
#include "GDIButtons/IconPlacement.h"

#include "GDIButtons/RingLayout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace vantel {
namespace {

constexpr int kGroup = 180;  // the start-up group size
constexpr int kIcon = 32;    // the shell's large icon

PieRectValues SegmentWithMid(float mid) {
  PieRectValues pie = SegmentRect(0, 4, kGroup, kGroup);
  pie.StartAngle = mid - pie.SweepAngle / 2.0f;
  return pie;
}

TEST(IconPlacement, FortyFiveDegreeSliceOnA180Group) {
  const PieRectValues pie = SegmentRect(0, 4, kGroup, kGroup);  // start 3, sweep 84: middle 45
  const SliceGeometry s = ComputeSlice(pie);
  EXPECT_EQ(s.Mid, 45.0f);
  EXPECT_EQ(s.R, 60.0f);
  EXPECT_NEAR(s.Dx, 42.43f, 0.01f);
  EXPECT_NEAR(s.Dy, 42.43f, 0.01f);

  const SegmentIconPlacement placed = PlaceSegmentIcon(pie, kIcon, kGroup, kGroup, 4);
  ASSERT_TRUE(placed.TopLeft.has_value());
  EXPECT_NEAR(placed.TopLeft->X, 116.43f, 0.01f);
  EXPECT_NEAR(placed.TopLeft->Y, 116.43f, 0.01f);
}

TEST(IconPlacement, EachQuadrantPutsTheIconOnItsSlice) {
  struct Case {
    float mid;
    float x;
    float y;
  };
  const Case cases[] = {
      {45, 116.43f, 116.43f}, {135, 31.57f, 116.43f}, {225, 31.57f, 31.57f}, {315, 116.43f, 31.57f},
      {90, 74.0f, 134.0f},    {180, 14.0f, 74.0f},    {270, 74.0f, 14.0f},
  };
  for (const Case& c : cases) {
    const SegmentIconPlacement placed = PlaceSegmentIcon(SegmentWithMid(c.mid), kIcon, kGroup, kGroup, 4);
    ASSERT_TRUE(placed.TopLeft.has_value()) << c.mid;
    EXPECT_NEAR(placed.TopLeft->X, c.x, 0.01f) << c.mid;
    EXPECT_NEAR(placed.TopLeft->Y, c.y, 0.01f) << c.mid;
  }
}

TEST(IconPlacement, IconCentreLiesOnTheMiddleAngleForEveryRing) {
  // The icon's centre is three eighths of the rectangle's height from the window centre, along the
  // slice's middle angle (clockwise on screen), for rings of any size and segment count.
  for (int size : {180, 220, 301}) {
    for (int count = 1; count <= 12; ++count) {
      for (const PieRectValues& pie : LayoutSegments(count, size, size)) {
        const SegmentIconPlacement placed = PlaceSegmentIcon(pie, kIcon, size, size, count);
        ASSERT_TRUE(placed.TopLeft.has_value());
        const double ex = placed.TopLeft->X + kIcon / 2.0 - size / 2.0;
        const double ey = placed.TopLeft->Y + kIcon / 2.0 - size / 2.0;
        const double mid = (pie.StartAngle + pie.SweepAngle / 2.0) * std::numbers::pi / 180.0;
        EXPECT_NEAR(ex, std::cos(mid) * (size - 20) * 3.0 / 8.0, 1e-3) << size << "/" << count;
        EXPECT_NEAR(ey, std::sin(mid) * (size - 20) * 3.0 / 8.0, 1e-3) << size << "/" << count;
      }
    }
  }
}

TEST(IconPlacement, MiddleAngleOutsideTheOpenCircleKeepsThePlace) {
  for (float mid : {0.0f, -10.0f, 360.0f, 400.0f, std::nanf("")}) {
    EXPECT_FALSE(PlaceSegmentIcon(SegmentWithMid(mid), kIcon, kGroup, kGroup, 5).TopLeft.has_value()) << mid;
  }
}

TEST(IconPlacement, OddIconWidthHalvesTowardZero) {
  const SegmentIconPlacement placed = PlaceSegmentIcon(SegmentWithMid(90), 33, kGroup, kGroup, 4);
  ASSERT_TRUE(placed.TopLeft.has_value());
  EXPECT_NEAR(placed.TopLeft->X, 90 - 16, 0.01f);
  EXPECT_NEAR(placed.TopLeft->Y, 90 + 60 - 16, 0.01f);
}

TEST(IconPlacement, FourSegmentsOrFewerNeverLeaveTheGrowFlagSet) {
  for (int count = 1; count <= 4; ++count) {
    for (int icon : {16, 32, 48, 128, 256}) {
      for (const PieRectValues& pie : LayoutSegments(count, kGroup, kGroup)) {
        EXPECT_NE(PlaceSegmentIcon(pie, icon, kGroup, kGroup, count).Grow, GrowRequest::Set)
            << count << " segments, icon " << icon << ", start " << pie.StartAngle;
      }
    }
  }
  // A slice too narrow for its icon clears the flag that another segment may have set.
  EXPECT_EQ(PlaceSegmentIcon(SegmentWithMid(45), 256, kGroup, kGroup, 4).Grow, GrowRequest::Clear);
  EXPECT_EQ(PlaceSegmentIcon(SegmentWithMid(45), kIcon, kGroup, kGroup, 4).Grow, GrowRequest::Leave);
}

TEST(IconPlacement, GrowthDependsOnTheTangentOfTheMiddleAngle) {
  struct Case {
    int count;
    int index;
    int icon;
    GrowRequest grow;
  };
  const Case cases[] = {
      {5, 0, kIcon, GrowRequest::Leave},                                // middle 36: 2t is about 87
      {5, 1, kIcon, GrowRequest::Leave},                                // middle 108: 2t is about 369
      {5, 2, kIcon, GrowRequest::Set},                                  // middle 180: t is close to 0
      {5, 3, kIcon, GrowRequest::Leave},                                // middle 252
      {5, 4, kIcon, GrowRequest::Leave},                                // middle 324
      {6, 0, kIcon, GrowRequest::Leave},                                // middle 30: 2t is about 69
      {6, 1, kIcon, GrowRequest::Leave},                                // middle 90: tan is huge
      {6, 3, kIcon, GrowRequest::Leave},                                // middle 210
      {6, 4, kIcon, GrowRequest::Leave},                                // middle 270: tan is huge
      {7, 3, kIcon, GrowRequest::Set},                                  // middle about 180
      {8, 0, kIcon, GrowRequest::Leave},                                // middle 22.5: 2t is about 49.7
      {8, 0, 49, GrowRequest::Leave},    {8, 0, 50, GrowRequest::Set},  // just wider than the slice
  };
  for (const Case& c : cases) {
    const PieRectValues pie = SegmentRect(c.index, c.count, kGroup, kGroup);
    EXPECT_EQ(PlaceSegmentIcon(pie, c.icon, kGroup, kGroup, c.count).Grow, c.grow)
        << c.count << " segments, #" << c.index << ", icon " << c.icon;
  }
  const SliceGeometry six = ComputeSlice(SegmentRect(0, 6, kGroup, kGroup));
  EXPECT_NEAR(2.0f * six.T, 69.28f, 0.01f);
}

TEST(IconPlacement, CentreIconIsCentredWithHalvingTowardZero) {
  struct Case {
    int button;
    int icon;
    float at;
  };
  const Case cases[] = {
      {180, 32, 74}, {220, 32, 94}, {180, 33, 73}, {20, 32, -6}, {21, 32, -5},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PlaceCenterIcon(c.button, c.icon), (PointF{c.at, c.at})) << c.button << " / " << c.icon;
  }
}

}  // namespace
}  // namespace vantel
