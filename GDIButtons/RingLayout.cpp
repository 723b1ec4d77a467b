// Pure numbers of the ring layout.
#include "GDIButtons/RingLayout.h"

#include <algorithm>
#include <cstddef>

namespace vantel {

PieRectValues LayoutCenterRect(int width, int height, int dpi) noexcept {
  // The segments' inner hole starts a quarter of (size - 20) inside their rectangle at 10; the disc keeps
  // a 4 px gap to it on every side (at 96 dpi).
  const int margin = ScaleForDpi(kSegmentMargin, dpi);
  const int gap = ScaleForDpi(kCentreGap, dpi);
  const double w = static_cast<double>(width) - 2 * margin;
  const double h = static_cast<double>(height) - 2 * margin;
  PieRectValues rect;
  rect.X = static_cast<float>(w / 4.0 + margin + gap);
  rect.Y = static_cast<float>(h / 4.0 + margin + gap);
  rect.Width = static_cast<float>(w / 2.0 - 2 * gap);
  rect.Height = static_cast<float>(h / 2.0 - 2 * gap);
  rect.StartAngle = 0.0f;
  rect.SweepAngle = 360.0f;
  return rect;
}

WindowOrigin CenterWindowOrigin(int desktopWidth, int desktopHeight, int width, int height) noexcept {
  // Differences in 64 bits: extreme sizes must not overflow before halving.
  const long long dx = static_cast<long long>(desktopWidth) - width;
  const long long dy = static_cast<long long>(desktopHeight) - height;
  return WindowOrigin{HalveTowardZero(dx), HalveTowardZero(dy)};
}

WindowOrigin RingOrigin(const MonitorList& monitors, const ScreenPoint* placedMiddle, int width,
                        int height) noexcept {
  const int index = placedMiddle ? MonitorAt(monitors, *placedMiddle) : PrimaryMonitor(monitors);
  if (index < 0) return CenterWindowOrigin(0, 0, width, height);
  const ScreenRect& work = monitors[static_cast<std::size_t>(index)].WorkArea;
  // A placed ring keeps its middle, moved in just enough to stay whole in the work area.
  const ScreenPoint origin =
      placedMiddle ? KeepIn(work, ScreenPoint{placedMiddle->X - width / 2, placedMiddle->Y - height / 2},
                            width, height)
                   : CentreIn(work, width, height);
  return WindowOrigin{origin.X, origin.Y};
}

int RingSideLimit(const MonitorList& monitors, ScreenPoint middle) noexcept {
  const int index = MonitorAt(monitors, middle);
  if (index < 0) return 0;
  const ScreenRect& bounds = monitors[static_cast<std::size_t>(index)].Bounds;
  return std::min(bounds.Width(), bounds.Height());
}

float SegmentStep(int count) noexcept {
  if (count <= 0) {
    return 0.0f;
  }
  return static_cast<float>(360.0 / count);
}

PieRectValues SegmentRect(int index, int count, int width, int height, int dpi) noexcept {
  // The step is rounded to float first; the angles built from it are computed in double and rounded once.
  const double step = SegmentStep(count);
  const int margin = ScaleForDpi(kSegmentMargin, dpi);
  PieRectValues rect;
  rect.X = static_cast<float>(margin);
  rect.Y = static_cast<float>(margin);
  rect.Width = static_cast<float>(static_cast<double>(width) - 2 * margin);
  rect.Height = static_cast<float>(static_cast<double>(height) - 2 * margin);
  rect.StartAngle = static_cast<float>(index * step + kSegmentGap / 2.0);
  rect.SweepAngle = static_cast<float>(step - kSegmentGap);
  return rect;
}

std::vector<PieRectValues> LayoutSegments(int count, int width, int height, int dpi) {
  std::vector<PieRectValues> rects;
  if (count <= 0) {
    return rects;
  }
  rects.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    rects.push_back(SegmentRect(i, count, width, height, dpi));
  }
  return rects;
}

}  // namespace vantel
