// Tests of the region rasteriser: joined bands, the pixels a pie keeps, its bounds.
#include "GDIButtons/RegionRaster.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace vantel {
namespace {

TEST(RegionRaster, RegionRectsOfABandThatTouchOrOverlapAreJoined) {
  const std::vector<RegionRect> in = {
      {85, 88, 90, 89}, {90, 88, 93, 89},                    // touching: one rectangle
      {10, 89, 20, 90}, {15, 89, 25, 90}, {30, 89, 40, 90},  // overlapping, then a real gap
      {5, 90, 5, 91},                                        // empty: dropped
      {10, 90, 20, 91}, {10, 91, 20, 92},                    // same columns, next band: kept apart
  };
  const std::vector<RegionRect> expected = {
      {85, 88, 93, 89}, {10, 89, 25, 90}, {30, 89, 40, 90}, {10, 90, 20, 91}, {10, 91, 20, 92},
  };
  EXPECT_EQ(JoinTouchingRects(in), expected);
  EXPECT_TRUE(JoinTouchingRects({}).empty());
}

// Which pixels of a width x height window the rectangles cover; each pixel at most once.
std::vector<int> Coverage(const std::vector<RegionRect>& rects, int width, int height) {
  std::vector<int> covered(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
  for (const RegionRect& r : rects) {
    for (long y = r.Top; y < r.Bottom; ++y) {
      const size_t row = static_cast<size_t>(y) * static_cast<size_t>(width);
      for (long x = r.Left; x < r.Right; ++x) ++covered[row + static_cast<size_t>(x)];
    }
  }
  return covered;
}

// Polar position of a pixel's centre: distance from the pie's centre and how far past the start angle.
struct Polar {
  double radius, angle;
};
Polar PolarOf(const PieShape& pie, int x, int y) {
  const double dx = x + 0.5 - pie.CentreX, dy = y + 0.5 - pie.CentreY;
  double angle = std::atan2(dy, dx) * 180.0 / 3.14159265358979323846 - pie.StartAngle;
  angle = std::fmod(angle, 360.0);
  if (angle < 0) angle += 360.0;
  return Polar{std::hypot(dx, dy), angle};
}

TEST(RegionRaster, PieShapeKeepsThePieAndItsFringeAndNothingFartherInStrictBands) {
  constexpr float kFringe = 1.5f;
  const struct {
    const char* name;
    PieShape pie;
    int width, height;
  } cases[] = {
      {"segment of a four-segment ring", {90, 90, 160, 80, 3, 84}, 180, 180},
      {"segment across the x axis", {90, 90, 160, 80, 273, 84}, 180, 180},
      {"thin segment of a grown ring", {450, 450, 880, 440, 93, 3}, 900, 900},
      {"centre disc", {90, 90, 72, 0, 0, 360}, 180, 180},
      {"pie wider than half", {60, 60, 100, 0, 30, 250}, 120, 120},
      {"negative sweep", {60, 60, 100, 50, 120, -60}, 120, 120},
      {"pie cut by the window", {20, 30, 100, 40, 100, 160}, 60, 50},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<RegionRect> rects = PieShapeRects(c.pie, kFringe, c.width, c.height);
    ASSERT_FALSE(rects.empty());
    // Bands from the top, rectangles of a band from the left, apart, inside the window.
    for (size_t i = 0; i < rects.size(); ++i) {
      const RegionRect& r = rects[i];
      EXPECT_TRUE(r.Left >= 0 && r.Top >= 0 && r.Right <= c.width && r.Bottom <= c.height);
      EXPECT_TRUE(r.Left < r.Right && r.Top < r.Bottom);
      if (i == 0) continue;
      const RegionRect& p = rects[i - 1];
      if (p.Top == r.Top) {
        EXPECT_EQ(p.Bottom, r.Bottom);
        EXPECT_LT(p.Right, r.Left) << "apart, not touching";
      } else {
        EXPECT_GE(r.Top, p.Bottom);
      }
    }
    // The box a window of the pie alone needs: every rectangle inside it, at most a pixel to spare.
    const RegionRect box = PieShapeBounds(c.pie, kFringe);
    RegionRect reach{c.width, c.height, 0, 0};
    for (const RegionRect& r : rects) {
      EXPECT_TRUE(r.Left >= box.Left && r.Top >= box.Top && r.Right <= box.Right && r.Bottom <= box.Bottom);
      reach = RegionRect{std::min(reach.Left, r.Left), std::min(reach.Top, r.Top),
                         std::max(reach.Right, r.Right), std::max(reach.Bottom, r.Bottom)};
    }
    if (box.Left >= 0 && box.Top >= 0 && box.Right <= c.width && box.Bottom <= c.height) {
      EXPECT_LE(reach.Left - box.Left, 1);
      EXPECT_LE(reach.Top - box.Top, 1);
      EXPECT_LE(box.Right - reach.Right, 1);
      EXPECT_LE(box.Bottom - reach.Bottom, 1);
    }
    const std::vector<int> covered = Coverage(rects, c.width, c.height);
    double start = c.pie.StartAngle, sweep = c.pie.SweepAngle;
    if (sweep < 0) start += sweep, sweep = -sweep;
    PieShape normal = c.pie;
    normal.StartAngle = static_cast<float>(start);
    const double outer = c.pie.OuterDiameter / 2.0, inner = c.pie.InnerDiameter / 2.0;
    int misses = 0, strays = 0;
    for (int y = 0; y < c.height; ++y) {
      for (int x = 0; x < c.width; ++x) {
        const Polar p = PolarOf(normal, x, y);
        const int n = covered[static_cast<size_t>(y) * static_cast<size_t>(c.width) + static_cast<size_t>(x)];
        EXPECT_LE(n, 1);
        const bool withinAngles = sweep >= 360 || p.angle <= sweep;
        if (withinAngles && p.radius >= inner && p.radius <= outer) misses += n == 0;
        // Farther than the fringe: beyond the circles, or off the angles by more than the fringe's width.
        const double past = std::min(p.angle - sweep, 360.0 - p.angle) * 3.14159265358979323846 / 180.0;
        const bool offAngles = !withinAngles && p.radius * std::sin(std::min(past, 1.5)) > kFringe + 0.01;
        if (p.radius > outer + kFringe + 0.01 || p.radius < inner - kFringe - 0.01 || offAngles) strays += n;
      }
    }
    EXPECT_EQ(misses, 0) << "every pixel whose centre is on the pie";
    EXPECT_EQ(strays, 0) << "no pixel farther off than the fringe";
  }
}

TEST(RegionRaster, PieShapeBandsJoinRowsAlikeAndNothingComesOfNoPie) {
  // A disc is as many bands as rows, at most; a rectangle-like thin slice far fewer than its rows.
  const std::vector<RegionRect> disc = PieShapeRects({90, 90, 72, 0, 0, 360}, 1.5f, 180, 180);
  EXPECT_LE(disc.size(), 76u);
  const std::vector<RegionRect> band = PieShapeRects({0, 100, 400, 0, -1, 2}, 0.0f, 220, 200);
  EXPECT_LT(band.size(), 12u) << "rows of a thin horizontal wedge repeat";

  EXPECT_TRUE(PieShapeRects({90, 90, 0, 0, 0, 360}, 0.0f, 180, 180).empty());
  EXPECT_TRUE(PieShapeRects({90, 90, 160, 80, 3, 84}, 1.5f, 0, 180).empty());
  EXPECT_TRUE(PieShapeRects({NAN, 90, 160, 80, 3, 84}, 1.5f, 180, 180).empty());
  EXPECT_TRUE(PieShapeRects({-500, -500, 160, 80, 3, 84}, 1.5f, 180, 180).empty()) << "off the window";
}

}  // namespace
}  // namespace vantel
