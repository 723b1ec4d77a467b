// TCustomGDIButton: the window's box inside its button, the push of the image into it and the window's shape.
#include <algorithm>
#include <cstdint>

#include "GDIButtons/ButtonGroup.h"
#include "GDIButtons/ButtonGroupItems.h"
#include "GDIButtons/CustomGDIButton.h"
#include "GDIButtons/PushObserver.h"
#include "GDIButtons/RegionRaster.h"
#include "xml/ConfigFormat.h"

namespace {

// How far past a pie's outline its window reaches: the anti-aliased edge (under a pixel) and a margin.
constexpr float kDrawnFringe = 1.5f;

}  // namespace

void TCustomGDIButton::PushSurface(TLayeredSurface& surface, BYTE constantAlpha) {
  if (layoutOnly_) return;  // a render that only lays out asks the system nothing
  // A window with deferred bounds is pushed to where they say (the push moves it there); any other one
  // where it is, less the part of the button it covered until now.
  POINT button{Left(), Top()};
  if (!boundsDeferred_) {
    RECT bounds{};
    GetWindowRect(Handle(), &bounds);
    const RECT box = WindowBox();
    button = POINT{bounds.left - box.left, bounds.top - box.top};
  }
  // The window takes the render's box of the button (the whole surface outside a render).
  const POINT origin = surface.Origin();
  RECT box = renderBox_;
  const RECT all{origin.x, origin.y, origin.x + surface.Width(), origin.y + surface.Height()};
  if (IsRectEmpty(&box) || !IntersectRect(&box, &box, &all)) box = all;
  ClearOutsideShape(surface, box);
  PushImage(surface, constantAlpha, POINT{button.x + box.left, button.y + box.top}, &box);
}

void TCustomGDIButton::PushSurfaceAt(TLayeredSurface& surface, BYTE constantAlpha, POINT destination) {
  PushImage(surface, constantAlpha, destination, nullptr);
}

void TCustomGDIButton::KeepShape(HRGN region, const RECT& box) {
  shapeRects_.clear();
  shapeBox_ = RECT{};
  const DWORD size = region ? GetRegionData(region, 0, nullptr) : 0;
  if (!size) return;
  std::vector<std::uint8_t> bytes(size);
  auto* data = reinterpret_cast<RGNDATA*>(bytes.data());
  if (GetRegionData(region, size, data) != size) return;
  const RECT* rects = reinterpret_cast<const RECT*>(data->Buffer);
  shapeRects_.assign(rects, rects + data->rdh.nCount);
  shapeBox_ = box;
}

void TCustomGDIButton::ClearOutsideShape(TLayeredSurface& surface, const RECT& box) {
  // A pixel the window's shape leaves out never shows, and must not be there to show: whatever the
  // window is given lies inside the shape that takes the pointer. (Two pies filled even-odd leave
  // stray pixels along their shared edges, in the hole.)
  if (shapeRects_.empty() || !EqualRect(&box, &shapeBox_) || surface.Empty()) return;
  surface.Flush();
  auto* pixels = const_cast<std::uint32_t*>(surface.Pixels());
  const int width = box.right - box.left, height = box.bottom - box.top;
  const POINT at{box.left - surface.Origin().x, box.top - surface.Origin().y};  // the box on the surface
  size_t next = 0;  // the shape's rectangles come in bands from the top
  for (int y = 0; y < height; ++y) {
    std::uint32_t* row = pixels + static_cast<size_t>(y + at.y) * static_cast<size_t>(surface.Width()) + at.x;
    while (next < shapeRects_.size() && shapeRects_[next].bottom <= y) ++next;
    int x = 0;
    for (size_t i = next; i < shapeRects_.size() && shapeRects_[i].top <= y; ++i) {
      const int left = std::clamp(static_cast<int>(shapeRects_[i].left), 0, width);
      for (; x < left; ++x) row[x] = 0;
      x = std::max(x, std::clamp(static_cast<int>(shapeRects_[i].right), 0, width));
    }
    for (; x < width; ++x) row[x] = 0;
  }
}

void TCustomGDIButton::PushImage(TLayeredSurface& surface, BYTE constantAlpha, POINT destination,
                                 const RECT* box) {
  constantAlpha = vantel::PushAlphaFor(contrast_, constantAlpha);
  if (layoutOnly_) return;  // the render only lays out: the window keeps its pixels
  surface.Flush();
  HWND window = Handle();
  // The part of the surface pushed; with a box (button pixels), the box's part of it.
  RECT part{0, 0, surface.Width(), surface.Height()};
  if (box) {
    part = *box;
    OffsetRect(&part, -surface.Origin().x, -surface.Origin().y);
  }
  SIZE size{part.right - part.left, part.bottom - part.top};
  POINT source{part.left, part.top};
  // The window keeps what was pushed last. When this image has the same size, only the part where either
  // has ink can differ, and only that part is handed over: the system then blends, copies and shows a
  // slice's box rather than the whole ring's square (on a grown ring, a small part of it).
  RECT ink = surface.InkBounds(part);
  if (!IsRectEmpty(&ink)) OffsetRect(&ink, -part.left, -part.top);
  RECT changed{};
  const POINT placed = box ? POINT{box->left, box->top} : POINT{};  // the window's place in the button
  const bool partial = windowImage_.Valid && windowImage_.Width == size.cx &&
                       windowImage_.Height == size.cy && windowImage_.Origin.x == placed.x &&
                       windowImage_.Origin.y == placed.y && !surface.Empty();
  if (partial) {
    UnionRect(&changed, &ink, &windowImage_.Ink);
    if (IsRectEmpty(&changed)) changed = RECT{0, 0, 1, 1};  // transparent before and after
  }
  WindowDC screen(nullptr);
  UPDATELAYEREDWINDOWINFO info{};
  info.cbSize = sizeof(info);
  info.hdcDst = screen.get();
  info.pptDst = &destination;
  info.psize = &size;
  info.hdcSrc = surface.DC();
  info.pptSrc = &source;
  info.crKey = 0;
  const BLENDFUNCTION blend{AC_SRC_OVER, 0, constantAlpha, AC_SRC_ALPHA};
  info.pblend = &blend;
  info.dwFlags = ULW_ALPHA;
  info.prcDirty = partial ? &changed : nullptr;
  // The window's box is this one from this push on: the moves the push makes are read with it.
  const bool wasBoxed = boxed_;
  const RECT oldBox = box_;
  if (box) {
    boxed_ = true;
    box_ = *box;
  }
  BOOL pushed = UpdateLayeredWindowIndirect(window, &info);
  if (!pushed && partial) {
    info.prcDirty = nullptr;  // a system that will not take a part gets the whole image
    pushed = UpdateLayeredWindowIndirect(window, &info);
  }
  if (!pushed) {
    boxed_ = wasBoxed;  // the window stayed as it was
    box_ = oldBox;
  }
  windowImage_ = TWindowImage{pushed != FALSE, size.cx, size.cy, placed, ink};
  if (TPushObserver* observer = pushObserver_) {
    TPushedFrame frame{destination, placed, size, constantAlpha, pushed != FALSE, nullptr, surface.Width()};
    if (!surface.Empty()) {
      frame.Pixels = surface.Pixels() + static_cast<size_t>(part.top) * static_cast<size_t>(surface.Width()) +
                     static_cast<size_t>(part.left);
    }
    observer->Pushed(*this, frame);
  }
}

bool TCustomGDIButton::InRing() const {
  return groupItems_ && groupItems_->Group().HintWindow() != this;
}

RECT TCustomGDIButton::DrawnBox() {
  const RECT whole{0, 0, Width(), Height()};
  if (!pieRect_ || (buttonKind_ != ConfigFormat::KindSegment && buttonKind_ != ConfigFormat::KindCentre) ||
      !InRing()) {
    return whole;
  }
  const vantel::RectF outer = vantel::OuterRect(*pieRect_);
  if (outer.Width != outer.Height) return whole;  // a pie that is not round: its box is not worked out
  const vantel::PieShape pie{
      outer.X + outer.Width / 2,
      outer.Y + outer.Height / 2,
      outer.Width,
      buttonKind_ == ConfigFormat::KindSegment ? vantel::InnerRect(*pieRect_).Width : 0.0f,
      pieRect_->StartAngle,
      pieRect_->SweepAngle};
  const vantel::RegionRect r = vantel::PieShapeBounds(pie, kDrawnFringe);
  return RECT{r.Left, r.Top, r.Right, r.Bottom};
}

RECT TCustomGDIButton::PlannedBox() {
  const RECT whole{0, 0, Width(), Height()};
  const RECT drawn = DrawnBox();
  RECT box{};
  if (!IntersectRect(&box, &drawn, &whole)) return whole;
  return box;
}

RECT TCustomGDIButton::WindowBox() const {
  return boxed_ ? box_ : RECT{0, 0, Width(), Height()};
}

POINT TCustomGDIButton::WindowPlace(int left, int top) const {
  const RECT box = WindowBox();
  return POINT{left + box.left, top + box.top};
}
