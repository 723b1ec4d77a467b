// TLayeredSurface: the DIB section, its memory DC and the GDI+ objects over its pixels.
#include "GDIButtons/LayeredSurface.h"

#include <algorithm>
#include <cstring>

TLayeredSurface::TLayeredSurface(int width, int height, POINT origin) : origin_(origin) {
  WindowDC screen(nullptr);
  dc_.reset(CreateCompatibleDC(screen.get()));
  if (width <= 0 || height <= 0 || !dc_) return;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  bitmap_.reset(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap_ || !bits) {
    bitmap_.reset();
    return;
  }
  // The DC is deleted before the bitmap, so nothing needs selecting back.
  SelectObject(dc_.get(), bitmap_.get());
  width_ = width;
  height_ = height;
  bits_ = bits;  // a new DIB section's memory comes zeroed: transparent
}

TLayeredSurface::~TLayeredSurface() {
  // GDI+ lets go of the pixels before the bitmap that holds them is deleted.
  gdiBitmap_.reset();
}

std::unique_ptr<Gdiplus::Graphics> TLayeredSurface::CreateGraphics() {
  if (!bits_) return nullptr;
  if (!gdiBitmap_) {
    auto bitmap = std::make_unique<Gdiplus::Bitmap>(width_, height_, width_ * 4, PixelFormat32bppPARGB,
                                                    static_cast<BYTE*>(bits_));
    if (bitmap->GetLastStatus() != Gdiplus::Ok) return nullptr;
    gdiBitmap_ = std::move(bitmap);
  }
  auto graphics = std::make_unique<Gdiplus::Graphics>(gdiBitmap_.get());
  if (graphics->GetLastStatus() != Gdiplus::Ok) return nullptr;
  if (origin_.x || origin_.y) {
    graphics->TranslateTransform(static_cast<Gdiplus::REAL>(-origin_.x),
                                 static_cast<Gdiplus::REAL>(-origin_.y));
  }
  return graphics;
}

void TLayeredSurface::Flush() {
  GdiFlush();
}

void TLayeredSurface::Clear() {
  Flush();
  if (bits_) std::memset(bits_, 0, static_cast<size_t>(width_) * static_cast<size_t>(height_) * 4);
}

std::uint32_t TLayeredSurface::Pixel(int x, int y) const {
  if (!bits_ || x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  return Pixels()[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)];
}

std::vector<std::uint32_t> TLayeredSurface::CopyPixels() const {
  if (!bits_) return {};
  const std::uint32_t* p = Pixels();
  return std::vector<std::uint32_t>(p, p + static_cast<size_t>(width_) * static_cast<size_t>(height_));
}

RECT TLayeredSurface::InkBounds(const RECT& within) const {
  RECT ink{};
  const RECT all{0, 0, width_, height_};
  RECT part{};
  if (!bits_ || !IntersectRect(&part, &within, &all)) return ink;
  const std::uint32_t* pixels = Pixels();
  const size_t width = static_cast<size_t>(width_);
  int top = -1, bottom = -1, left = part.right, right = -1;
  for (int y = part.top; y < part.bottom; ++y) {
    const std::uint32_t* row = pixels + static_cast<size_t>(y) * width;
    int x = part.left;
    while (x < part.right && row[x] == 0) ++x;
    if (x == part.right) continue;  // a transparent row
    if (top < 0) top = y;
    bottom = y;
    left = std::min(left, x);
    int end = part.right - 1;
    while (row[end] == 0) --end;
    right = std::max(right, end);
  }
  if (top < 0) return ink;
  return RECT{left, top, right + 1, bottom + 1};
}
