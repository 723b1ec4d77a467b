// Pure placement of a file icon inside its button: along a segment's middle angle, or centred on the disc.
#pragma once

#include "GDIButtons/PieGeometry.h"

#include <optional>

namespace vantel {

// What a segment's icon test asks of the group's grow flag.
enum class GrowRequest {
  Leave,  // the icon fits its slice: the flag stays as it is
  Set,    // the icon is too wide and the ring has more than four segments: widen at the next layout
  Clear,  // the icon is too wide but the ring has four segments or fewer: the flag is cleared
};

// Intermediate numbers of a slice, each a 32-bit float as the placement stores them.
struct SliceGeometry {
  float Mid = 0.0f;  // middle angle of the slice, degrees
  float R = 0.0f;    // distance of the icon from the window centre: 3/8 of the rectangle's height
  float A = 0.0f;    // Mid in radians
  float Dx = 0.0f;   // |cos(A) * R|
  float Dy = 0.0f;   // |sin(A) * R|
  float T = 0.0f;    // |tan(A) * R|: twice this is the width the slice offers the icon
};

// Result of placing a segment's icon.
struct SegmentIconPlacement {
  std::optional<PointF> TopLeft;  // empty: the middle angle is outside (0, 360), keep the previous place
  GrowRequest Grow = GrowRequest::Leave;
};

// The slice numbers for a segment's pie rectangle.
[[nodiscard]] SliceGeometry ComputeSlice(const PieRectValues& pie) noexcept;

// Places a ring segment's icon of iconWidth on a button of buttonWidth x buttonHeight whose group holds
// itemCount segments; the growth test uses the tangent of the middle angle, as the slice's width.
[[nodiscard]] SegmentIconPlacement PlaceSegmentIcon(const PieRectValues& pie, int iconWidth, int buttonWidth,
                                                    int buttonHeight, int itemCount) noexcept;

// Top-left of the centre disc's icon: (buttonWidth - iconWidth) div 2 on both axes, the disc and the
// shell's large icons being square.
[[nodiscard]] PointF PlaceCenterIcon(int buttonWidth, int iconWidth) noexcept;

}  // namespace vantel
