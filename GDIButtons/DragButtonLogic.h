// Pure rules of the drop-and-launch button: the drop mode, what a drop does, the icon size for a DPI.
// The region rasteriser its window shape is made from lives in RegionRaster.h.
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

}  // namespace vantel
