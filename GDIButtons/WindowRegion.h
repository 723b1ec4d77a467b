// Window regions made from rectangles: the shapes the ring's windows take the pointer by (Wine hit-tests
// a layered window by its rectangle, not by its pixels' alpha).
#pragma once

#include "framework/Win32.h"

#include <vector>

#include "GDIButtons/RegionRaster.h"
#include "GDIButtons/PieGeometry.h"
#include "framework/Handles.h"
#include "xml/ConfigFormat.h"

// A region of the rectangles, bounded by `bound`; empty when the system will not make it.
[[nodiscard]] GdiObject<HRGN> RegionOfRects(const std::vector<vantel::RegionRect>& rects, const RECT& bound);

// The same area with the rectangles of each band joined where they touch, which some window systems
// require of a window region; empty when the region cannot be read.
[[nodiscard]] GdiObject<HRGN> StrictRegion(HRGN region);

// The shape of a ring button's window that covers `box` of the button (button pixels): its pie of kind
// ConfigFormat::KindSegment (a slice) or ConfigFormat::KindCentre (a whole disc), `fringe` pixels past the
// outline for the anti-aliased edge, and the rectangle `extra` (an icon drawn across the outline; empty for
// none). In the window's pixels; empty when the system will not make it.
[[nodiscard]] GdiObject<HRGN> RingButtonRegion(int kind, const vantel::PieRectValues& pie, float fringe,
                                               const RECT& box, const RECT& extra);

// Gives the window the region, which the system owns from then on. False, the region freed, when the
// window will not take it; false for no region.
bool SetWindowRegion(HWND window, GdiObject<HRGN> region);
