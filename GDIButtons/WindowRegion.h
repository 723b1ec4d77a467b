// Window regions made from rectangles: the shapes the ring's windows take the pointer by (Wine hit-tests
// a layered window by its rectangle, not by its pixels' alpha).
#pragma once

#include "framework/Win32.h"

#include <vector>

#include "GDIButtons/DragButtonLogic.h"

// A region of the rectangles, bounded by `bound`; nullptr when the system will not make it.
[[nodiscard]] HRGN RegionOfRects(const std::vector<vantel::RegionRect>& rects, const RECT& bound);

// Gives the window the region, which the system owns from then on. False, the region freed, when the
// window will not take it; false for no region.
bool SetWindowRegion(HWND window, HRGN region);
