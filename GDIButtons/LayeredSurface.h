// TLayeredSurface: a 32-bit top-down premultiplied DIB section in a memory DC, drawn on with GDI+.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "framework/GdiPlus.h"
#include "framework/Handles.h"

// The off-screen image of a layered window. Starts fully transparent. Pixels are BGRA words
// (0xAARRGGBB read as a 32-bit value) with premultiplied colour, as UpdateLayeredWindow wants them.
class TLayeredSurface {
 public:
  // A width or height of 0 or less gives an empty surface: it still has a DC, but no pixels. `origin` is
  // where the surface's top-left lies in the pixels of its button: what is drawn through CreateGraphics
  // is given in the button's pixels and lands on the surface shifted by it.
  TLayeredSurface(int width, int height, POINT origin = {});
  // An empty surface without even a DC: what a render that only lays out draws on.
  TLayeredSurface() = default;
  ~TLayeredSurface();
  TLayeredSurface(const TLayeredSurface&) = delete;
  TLayeredSurface& operator=(const TLayeredSurface&) = delete;

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Empty() const { return bits_ == nullptr; }
  POINT Origin() const { return origin_; }
  HDC DC() const { return dc_.get(); }

  // A GDI+ graphics object drawing into the pixels, for the caller to release. GDI+ on the memory DC
  // alone treats a DIB as opaque RGB and leaves its alpha behind, so drawing goes through a
  // premultiplied-ARGB bitmap over the same memory. nullptr for an empty surface.
  std::unique_ptr<Gdiplus::Graphics> CreateGraphics();
  // Finishes pending GDI drawing so the DC and the pixels agree (before a push or a read).
  void Flush();

  void Clear();  // back to fully transparent
  const std::uint32_t* Pixels() const { return static_cast<const std::uint32_t*>(bits_); }
  std::uint32_t Pixel(int x, int y) const;  // 0 outside the surface
  std::vector<std::uint32_t> CopyPixels() const;
  // The smallest rectangle (surface pixels) holding every pixel of `within` that is not fully
  // transparent (all four bytes 0); empty when there is none.
  RECT InkBounds(const RECT& within) const;

 private:
  int width_ = 0;
  int height_ = 0;
  POINT origin_{};
  void* bits_ = nullptr;
  // Declared so that the DC goes before the bitmap: the bitmap is never deleted while selected.
  GdiObject<HBITMAP> bitmap_;
  MemoryDC dc_;
  std::unique_ptr<Gdiplus::Bitmap> gdiBitmap_;  // over bits_, made on first use
};
