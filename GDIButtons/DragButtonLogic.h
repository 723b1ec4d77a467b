// Pure rules of the drop-and-launch button: the drop mode, what a drop does, the icon size for a DPI.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace vantel {

// Drop modes, fixed when a drag enters a button.
inline constexpr int kDropModeNone = 0;
inline constexpr int kDropModeNoButton = 7777;
inline constexpr int kDropModeLeftButton = 9999;
inline constexpr int kDropModeRightButton = 8888;

// The mode for the mouse buttons held at drag enter; with both held the right button wins.
[[nodiscard]] int DropModeForButtons(bool leftHeld, bool rightHeld) noexcept;

// One step of handling a drop, in order.
enum class DropStepKind {
  TakeHere,    // the dropped-on button takes path `Path` (file name, shell information, repaint)
  StoreHere,   // the dropped-on button stores itself
  AddSegment,  // a new segment at the end of the ring takes path `Path` and stores itself; the drop ends
};

struct DropStep {
  DropStepKind Kind = DropStepKind::StoreHere;
  std::size_t Path = 0;
  friend bool operator==(const DropStep&, const DropStep&) = default;
};

// What a drop of `paths` in `mode` does on a button that holds `currentFile`:
//  - left button on a button with a file: the path becomes a new segment and the drop ends there;
//  - left button on an empty button: the button takes the path and goes on with the next;
//  - right button: each path replaces the button's file in turn;
//  - any other mode: nothing for the path.
// A drop that does not end in a new segment stores the dropped-on button once at the end. A left drop
// of several files on an empty button fills it with the first and adds a segment for the second: then
// the dropped-on button is stored too, before the new segment, so neither file is lost.
[[nodiscard]] std::vector<DropStep> PlanDrop(int mode, const std::wstring& currentFile,
                                             const std::vector<std::wstring>& paths);

// Edge of the shell icon for a monitor of `dpi` (the large icon is 32 px at 96 DPI); 32 for a DPI
// that is unknown (0 or less).
[[nodiscard]] int ShellIconSizeForDpi(int dpi) noexcept;

// A rectangle of a region, edges exclusive on the right and bottom.
struct RegionRect {
  long Left = 0, Top = 0, Right = 0, Bottom = 0;
  friend bool operator==(const RegionRect&, const RegionRect&) = default;
};

// Rectangles of a region in bands (sorted by top, then left), with the rectangles of a band that touch
// or overlap joined into one and empty ones dropped: the strict form window regions must have (Wine
// refuses two rectangles of a band where one ends exactly where the next begins).
[[nodiscard]] std::vector<RegionRect> JoinTouchingRects(const std::vector<RegionRect>& rects);

// The pixels of a width x height window that a ring button keeps for the pointer: those whose centre lies
// within `fringe` pixels of its pie, the anti-aliased edge included. The pie is the sector of the circle
// of diameter `outerDiameter` centred at (centreX, centreY), from `startAngle` over `sweepAngle` degrees
// (clockwise on screen from the positive x axis, as GDI+ measures pies; a sweep of 360 or more is the
// whole circle), less the concentric circle of diameter `innerDiameter` (0 for a whole pie). Rectangles
// in bands from the top, each band's rectangles from the left, apart, never touching; a band spans the
// rows that have the same runs.
struct PieShape {
  float CentreX = 0.0f;
  float CentreY = 0.0f;
  float OuterDiameter = 0.0f;
  float InnerDiameter = 0.0f;
  float StartAngle = 0.0f;
  float SweepAngle = 360.0f;
};
[[nodiscard]] std::vector<RegionRect> PieShapeRects(const PieShape& pie, float fringe, int width, int height);
// A rectangle that holds every pixel PieShapeRects can give for the pie and fringe on a window of any size
// (at most a pixel more on each side).
[[nodiscard]] RegionRect PieShapeBounds(const PieShape& pie, float fringe);

}  // namespace vantel
