// Pure geometry of the monitors: which one holds a point, the virtual screen, a box centred or kept in an
// area.
#pragma once

#include <vector>

#include "framework/DpiScale.h"

namespace vantel {

struct ScreenPoint {
  int X = 0;
  int Y = 0;

  friend bool operator==(const ScreenPoint&, const ScreenPoint&) = default;
};

// A rectangle in virtual-screen pixels; Right and Bottom are outside it, as in a RECT.
struct ScreenRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;

  [[nodiscard]] constexpr int Width() const noexcept { return Right - Left; }
  [[nodiscard]] constexpr int Height() const noexcept { return Bottom - Top; }
  [[nodiscard]] constexpr bool Contains(ScreenPoint p) const noexcept {
    return p.X >= Left && p.X < Right && p.Y >= Top && p.Y < Bottom;
  }
  friend bool operator==(const ScreenRect&, const ScreenRect&) = default;
};

// One monitor as the system describes it. Only the primary monitor starts at (0, 0); the others may lie
// left of or above it, at negative coordinates.
struct MonitorInfo {
  ScreenRect Bounds;
  ScreenRect WorkArea;  // without the taskbar and docked bars
  int Dpi = kBaseDpi;
  bool Primary = false;
};

using MonitorList = std::vector<MonitorInfo>;

// Index of the primary monitor: the one flagged, else the one holding (0, 0), else the first; -1 for none.
[[nodiscard]] int PrimaryMonitor(const MonitorList& monitors) noexcept;
// Index of the monitor holding the point, else of the one nearest to it (as MONITOR_DEFAULTTONEAREST);
// -1 for none.
[[nodiscard]] int MonitorAt(const MonitorList& monitors, ScreenPoint point) noexcept;
// The smallest rectangle holding every monitor (empty for none).
[[nodiscard]] ScreenRect VirtualScreen(const MonitorList& monitors) noexcept;

// Top-left of a width x height box in the middle of the area (halving toward zero: a box larger than the
// area overhangs it by the same on both sides).
[[nodiscard]] ScreenPoint CentreIn(const ScreenRect& area, int width, int height) noexcept;
// The box at `origin` moved the least so that it lies in the area; along an axis where it is larger than
// the area it is centred on it.
[[nodiscard]] ScreenPoint KeepIn(const ScreenRect& area, ScreenPoint origin, int width, int height) noexcept;

}  // namespace vantel
