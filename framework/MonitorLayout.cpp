// Pure geometry of the monitors.
#include "framework/MonitorLayout.h"

#include <algorithm>
#include <climits>
#include <cstddef>

namespace vantel {

namespace {

// Differences in 64 bits: far-off coordinates must not overflow. Halves toward zero.
int HalfOf(long long difference) noexcept {
  return static_cast<int>(
      std::clamp(difference / 2, static_cast<long long>(INT_MIN), static_cast<long long>(INT_MAX)));
}

int Offset(int start, int half) noexcept {
  return static_cast<int>(std::clamp(static_cast<long long>(start) + half, static_cast<long long>(INT_MIN),
                                     static_cast<long long>(INT_MAX)));
}

// Distance along one axis from v to [low, high): 0 inside.
long long AxisDistance(int v, int low, int high) noexcept {
  if (v < low) return static_cast<long long>(low) - v;
  if (v >= high) return static_cast<long long>(v) - high + 1;
  return 0;
}

int KeepAxis(int origin, int size, int low, int high) noexcept {
  const long long room = static_cast<long long>(high) - low;
  if (size > room) return Offset(low, HalfOf(room - size));
  if (origin < low) return low;
  if (static_cast<long long>(origin) + size > high) {
    return static_cast<int>(high - static_cast<long long>(size));
  }
  return origin;
}

}  // namespace

int PrimaryMonitor(const MonitorList& monitors) noexcept {
  if (monitors.empty()) return -1;
  for (std::size_t i = 0; i < monitors.size(); ++i) {
    if (monitors[i].Primary) return static_cast<int>(i);
  }
  for (std::size_t i = 0; i < monitors.size(); ++i) {
    if (monitors[i].Bounds.Contains(ScreenPoint{0, 0})) return static_cast<int>(i);
  }
  return 0;
}

int MonitorAt(const MonitorList& monitors, ScreenPoint point) noexcept {
  int nearest = -1;
  double best = 0;
  for (std::size_t i = 0; i < monitors.size(); ++i) {
    const ScreenRect& r = monitors[i].Bounds;
    const long long dx = AxisDistance(point.X, r.Left, r.Right);
    const long long dy = AxisDistance(point.Y, r.Top, r.Bottom);
    // Squares in double: far-off points must not overflow.
    const double distance = static_cast<double>(dx) * dx + static_cast<double>(dy) * dy;
    if (nearest < 0 || distance < best) {
      nearest = static_cast<int>(i);
      best = distance;
    }
  }
  return nearest;
}

ScreenRect VirtualScreen(const MonitorList& monitors) noexcept {
  if (monitors.empty()) return {};
  ScreenRect all = monitors.front().Bounds;
  for (const MonitorInfo& m : monitors) {
    all.Left = std::min(all.Left, m.Bounds.Left);
    all.Top = std::min(all.Top, m.Bounds.Top);
    all.Right = std::max(all.Right, m.Bounds.Right);
    all.Bottom = std::max(all.Bottom, m.Bounds.Bottom);
  }
  return all;
}

ScreenPoint CentreIn(const ScreenRect& area, int width, int height) noexcept {
  return ScreenPoint{Offset(area.Left, HalfOf(static_cast<long long>(area.Right) - area.Left - width)),
                     Offset(area.Top, HalfOf(static_cast<long long>(area.Bottom) - area.Top - height))};
}

ScreenPoint KeepIn(const ScreenRect& area, ScreenPoint origin, int width, int height) noexcept {
  return ScreenPoint{KeepAxis(origin.X, width, area.Left, area.Right),
                     KeepAxis(origin.Y, height, area.Top, area.Bottom)};
}

}  // namespace vantel
