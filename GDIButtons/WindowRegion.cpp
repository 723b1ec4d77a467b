// Window regions from rectangles.
#include "GDIButtons/WindowRegion.h"

#include <cstdint>

#include "framework/GdiPlus.h"
#include "framework/Handles.h"
#include "xml/ConfigFormat.h"

GdiObject<HRGN> RegionOfRects(const std::vector<vantel::RegionRect>& rects, const RECT& bound) {
  std::vector<std::uint8_t> bytes(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
  auto* data = reinterpret_cast<RGNDATA*>(bytes.data());
  data->rdh.dwSize = sizeof(RGNDATAHEADER);
  data->rdh.iType = RDH_RECTANGLES;
  data->rdh.nCount = static_cast<DWORD>(rects.size());
  data->rdh.nRgnSize = static_cast<DWORD>(rects.size() * sizeof(RECT));
  data->rdh.rcBound = bound;
  auto* target = reinterpret_cast<RECT*>(data->Buffer);
  for (size_t i = 0; i < rects.size(); ++i) {
    target[i] = RECT{rects[i].Left, rects[i].Top, rects[i].Right, rects[i].Bottom};
  }
  return GdiObject<HRGN>(ExtCreateRegion(nullptr, static_cast<DWORD>(bytes.size()), data));
}

bool SetWindowRegion(HWND window, GdiObject<HRGN> region) {
  if (!region || !SetWindowRgn(window, region.get(), FALSE)) return false;
  region.release();  // the system's now
  return true;
}

GdiObject<HRGN> StrictRegion(HRGN region) {
  const DWORD size = GetRegionData(region, 0, nullptr);
  if (!size) return {};
  std::vector<std::uint8_t> bytes(size);
  auto* data = reinterpret_cast<RGNDATA*>(bytes.data());
  if (GetRegionData(region, size, data) != size) return {};
  const RECT* first = reinterpret_cast<const RECT*>(data->Buffer);
  std::vector<vantel::RegionRect> rects;
  rects.reserve(data->rdh.nCount);
  for (DWORD i = 0; i < data->rdh.nCount; ++i) {
    rects.push_back({first[i].left, first[i].top, first[i].right, first[i].bottom});
  }
  return RegionOfRects(vantel::JoinTouchingRects(rects), data->rdh.rcBound);
}

namespace {

// The pie and its fringe as a region of the button's pixels, made from the path (a pie that is not round).
GdiObject<HRGN> PathRegion(int kind, const vantel::PieRectValues& pie, float fringe) {
  const vantel::RectF outer = vantel::OuterRect(pie);
  const vantel::RectF inner = vantel::InnerRect(pie);
  Gdiplus::GraphicsPath path(Gdiplus::FillModeAlternate);
  if (kind == ConfigFormat::KindSegment) {
    path.AddPie(inner.X, inner.Y, inner.Width, inner.Height, pie.StartAngle, pie.SweepAngle);
  }
  path.AddPie(outer.X, outer.Y, outer.Width, outer.Height, pie.StartAngle, pie.SweepAngle);
  Gdiplus::GraphicsPath widened(Gdiplus::FillModeWinding);
  widened.AddPath(&path, FALSE);
  Gdiplus::Pen pen(Gdiplus::Color(255, 0, 0, 0), 2 * fringe);
  widened.Widen(&pen);
  Gdiplus::Region region(&path);
  region.Union(&widened);
  WindowDC screen(nullptr);
  Gdiplus::Graphics graphics(screen.get());
  return GdiObject<HRGN>(region.GetHRGN(&graphics));
}

}  // namespace

GdiObject<HRGN> RingButtonRegion(int kind, const vantel::PieRectValues& pie, float fringe, const RECT& box,
                                 const RECT& extra) {
  const int width = box.right - box.left, height = box.bottom - box.top;
  const vantel::RectF outer = vantel::OuterRect(pie);
  GdiObject<HRGN> shape;
  if (outer.Width == outer.Height) {
    // A circular pie: its pixels are worked out directly, which costs far less than a path's region.
    const vantel::PieShape round{outer.X + outer.Width / 2 - static_cast<float>(box.left),
                                 outer.Y + outer.Height / 2 - static_cast<float>(box.top),
                                 outer.Width,
                                 kind == ConfigFormat::KindSegment ? vantel::InnerRect(pie).Width : 0.0f,
                                 pie.StartAngle,
                                 pie.SweepAngle};
    shape = RegionOfRects(vantel::PieShapeRects(round, fringe, width, height), RECT{0, 0, width, height});
  } else {
    shape = PathRegion(kind, pie, fringe);
    if (shape) OffsetRgn(shape.get(), -box.left, -box.top);
  }
  if (!shape) return {};
  if (!IsRectEmpty(&extra)) {
    GdiObject<HRGN> more(CreateRectRgn(extra.left - box.left, extra.top - box.top, extra.right - box.left,
                                       extra.bottom - box.top));
    if (!more || CombineRgn(shape.get(), shape.get(), more.get(), RGN_OR) == ERROR) return {};
    GdiObject<HRGN> window(CreateRectRgn(0, 0, width, height));
    if (!window || CombineRgn(shape.get(), shape.get(), window.get(), RGN_AND) == ERROR) return {};
  } else if (outer.Width == outer.Height) {
    return shape;  // already in the strict form
  }
  return StrictRegion(shape.get());
}
