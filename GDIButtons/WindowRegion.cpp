// Window regions from rectangles.
#include "GDIButtons/WindowRegion.h"

#include <cstdint>

HRGN RegionOfRects(const std::vector<vantel::RegionRect>& rects, const RECT& bound) {
  std::vector<std::uint8_t> bytes(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
  auto* data = reinterpret_cast<RGNDATA*>(bytes.data());
  data->rdh.dwSize = sizeof(RGNDATAHEADER);
  data->rdh.iType = RDH_RECTANGLES;
  data->rdh.nCount = static_cast<DWORD>(rects.size());
  data->rdh.nRgnSize = static_cast<DWORD>(rects.size() * sizeof(RECT));
  data->rdh.rcBound = bound;
  auto* target = reinterpret_cast<RECT*>(data->Buffer);
  for (size_t i = 0; i < rects.size(); ++i)
    target[i] = RECT{rects[i].Left, rects[i].Top, rects[i].Right, rects[i].Bottom};
  return ExtCreateRegion(nullptr, static_cast<DWORD>(bytes.size()), data);
}

bool SetWindowRegion(HWND window, HRGN region) {
  if (!region) return false;
  if (SetWindowRgn(window, region, FALSE)) return true;
  DeleteObject(region);
  return false;
}
