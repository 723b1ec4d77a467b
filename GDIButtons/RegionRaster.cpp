// The region rasteriser: a pie and its fringe as bands of rectangles.
#include "GDIButtons/RegionRaster.h"

#include <algorithm>
#include <cmath>

namespace vantel {

std::vector<RegionRect> JoinTouchingRects(const std::vector<RegionRect>& rects) {
  std::vector<RegionRect> joined;
  joined.reserve(rects.size());
  for (const RegionRect& r : rects) {
    if (r.Left >= r.Right || r.Top >= r.Bottom) continue;
    if (!joined.empty()) {
      RegionRect& last = joined.back();
      if (last.Top == r.Top && last.Bottom == r.Bottom && r.Left <= last.Right) {
        if (r.Right > last.Right) last.Right = r.Right;
        continue;
      }
    }
    joined.push_back(r);
  }
  return joined;
}

namespace {

struct Vec {
  double x = 0, y = 0;
};
double Cross(Vec a, Vec b) {
  return a.x * b.y - a.y * b.x;
}
double Dot(Vec a, Vec b) {
  return a.x * b.x + a.y * b.y;
}
Vec Direction(double degrees) {
  constexpr double kRadiansPerDegree = 3.14159265358979323846 / 180.0;
  return Vec{std::cos(degrees * kRadiansPerDegree), std::sin(degrees * kRadiansPerDegree)};
}

// Squared distance from p to the segment from a*u to b*u (a <= b), u a unit vector.
double SquaredDistanceToRadius(Vec p, Vec u, double a, double b) {
  const double t = std::clamp(Dot(p, u), a, b);
  const double dx = p.x - t * u.x, dy = p.y - t * u.y;
  return dx * dx + dy * dy;
}

// The pie's test for one point, relative to its centre.
class PieTest {
 public:
  PieTest(const PieShape& pie, double fringe)
      : outer_(std::max(0.0, static_cast<double>(pie.OuterDiameter) / 2.0)),
        inner_(std::clamp(static_cast<double>(pie.InnerDiameter) / 2.0, 0.0, outer_)),
        fringe_(std::max(0.0, fringe)) {
    double start = pie.StartAngle, sweep = pie.SweepAngle;
    if (sweep < 0) {
      start += sweep;
      sweep = -sweep;
    }
    whole_ = !(sweep < 360.0);
    start_ = Direction(start);
    end_ = Direction(start + sweep);
    wide_ = sweep > 180.0;
    reachOuter_ = (outer_ + fringe_) * (outer_ + fringe_);
    const double hole = inner_ - fringe_;
    reachInner_ = hole > 0 ? hole * hole : -1.0;
  }

  double Reach() const { return outer_ + fringe_; }

  // A box, relative to the centre, that holds every point Contains takes: the sector's corners and the
  // outer arc's extremes on the axes it crosses, widened by the fringe.
  void Bounds(double& minX, double& minY, double& maxX, double& maxY) const {
    minX = minY = -Reach();
    maxX = maxY = Reach();
    if (whole_) return;
    minX = minY = maxX = maxY = 0;  // the centre: a whole pie's apex, inside an annulus's box anyway
    auto take = [&](Vec p) {
      minX = std::min(minX, p.x), maxX = std::max(maxX, p.x);
      minY = std::min(minY, p.y), maxY = std::max(maxY, p.y);
    };
    if (inner_ > 0) {
      minX = maxX = inner_ * start_.x;
      minY = maxY = inner_ * start_.y;
      take(Vec{inner_ * end_.x, inner_ * end_.y});
    }
    take(Vec{outer_ * start_.x, outer_ * start_.y});
    take(Vec{outer_ * end_.x, outer_ * end_.y});
    for (Vec axis : {Vec{1, 0}, Vec{0, 1}, Vec{-1, 0}, Vec{0, -1}}) {
      if (WithinAngles(axis)) take(Vec{outer_ * axis.x, outer_ * axis.y});
    }
    minX -= fringe_, minY -= fringe_, maxX += fringe_, maxY += fringe_;
  }

  bool Contains(Vec p) const {
    const double rho2 = p.x * p.x + p.y * p.y;
    if (rho2 > reachOuter_) return false;
    if (whole_ || WithinAngles(p)) return rho2 >= reachInner_;  // reachInner_ < 0 without a hole
    // Beside the sector: near one of its straight edges.
    const double f2 = fringe_ * fringe_;
    return SquaredDistanceToRadius(p, start_, inner_, outer_) <= f2 ||
           SquaredDistanceToRadius(p, end_, inner_, outer_) <= f2;
  }

 private:
  bool WithinAngles(Vec p) const {
    // Clockwise on screen is the direction of growing angles with y pointing down.
    const bool afterStart = Cross(start_, p) >= 0, beforeEnd = Cross(p, end_) >= 0;
    return wide_ ? (afterStart || beforeEnd) : (afterStart && beforeEnd);
  }

  double outer_, inner_, fringe_;
  bool whole_ = false, wide_ = false;
  Vec start_, end_;
  double reachOuter_ = 0, reachInner_ = 0;
};

}  // namespace

RegionRect PieShapeBounds(const PieShape& pie, float fringe) {
  const PieTest test(pie, fringe);
  double minX = 0, minY = 0, maxX = 0, maxY = 0;
  test.Bounds(minX, minY, maxX, maxY);
  const double cx = pie.CentreX, cy = pie.CentreY;
  if (!std::isfinite(cx + minX) || !std::isfinite(cy + minY) || !std::isfinite(cx + maxX) ||
      !std::isfinite(cy + maxY)) {
    return {};
  }
  return RegionRect{static_cast<long>(std::floor(cx + minX)), static_cast<long>(std::floor(cy + minY)),
                    static_cast<long>(std::ceil(cx + maxX)), static_cast<long>(std::ceil(cy + maxY))};
}

std::vector<RegionRect> PieShapeRects(const PieShape& pie, float fringe, int width, int height) {
  std::vector<RegionRect> rects;
  const PieTest test(pie, fringe);
  const double cx = pie.CentreX, cy = pie.CentreY, reach = test.Reach();
  if (!(reach > 0) || width <= 0 || height <= 0 || !std::isfinite(cx) || !std::isfinite(cy) ||
      !std::isfinite(reach)) {
    return rects;
  }
  // Rows and columns the shape, fringe included, can reach.
  double minX = 0, minY = 0, maxX = 0, maxY = 0;
  test.Bounds(minX, minY, maxX, maxY);
  const long top = std::max(0L, static_cast<long>(std::floor(cy + minY - 1)));
  const long bottom = std::min(static_cast<long>(height), static_cast<long>(std::ceil(cy + maxY + 1)));
  const long boxLeft = static_cast<long>(std::floor(cx + minX - 1));
  const long boxRight = static_cast<long>(std::ceil(cx + maxX + 1));
  std::vector<RegionRect> row, previous;
  long bandTop = top;
  auto closeBand = [&](long end) {
    for (const RegionRect& r : previous) rects.push_back(RegionRect{r.Left, bandTop, r.Right, end});
  };
  for (long y = top; y < bottom; ++y) {
    row.clear();
    const double py = y + 0.5 - cy;
    const double half = reach * reach - py * py;
    if (half >= 0) {
      const double span = std::sqrt(half);
      const long left = std::max({0L, boxLeft, static_cast<long>(std::floor(cx - span))});
      const long right =
          std::min({static_cast<long>(width), boxRight, static_cast<long>(std::ceil(cx + span)) + 1});
      long runStart = -1;
      for (long x = left; x < right; ++x) {
        const bool in = test.Contains(Vec{x + 0.5 - cx, py});
        if (in && runStart < 0) runStart = x;
        if (!in && runStart >= 0) {
          row.push_back(RegionRect{runStart, y, x, y + 1});
          runStart = -1;
        }
      }
      if (runStart >= 0) row.push_back(RegionRect{runStart, y, right, y + 1});
    }
    auto sameRuns = [&] {
      if (row.size() != previous.size()) return false;
      for (size_t i = 0; i < row.size(); ++i) {
        if (row[i].Left != previous[i].Left || row[i].Right != previous[i].Right) return false;
      }
      return true;
    };
    if (!sameRuns()) {
      closeBand(y);
      previous = row;
      bandTop = y;
    }
  }
  closeBand(bottom);
  return rects;
}

}  // namespace vantel
