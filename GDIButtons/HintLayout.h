// Pure placement of the hint text: its origin above the ring and a generous box around what it can cover.
#pragma once

#include "GDIButtons/PieGeometry.h"

#include <cstddef>

namespace vantel {

// Font size of the hint text, in pixels.
inline constexpr int kHintFontSize = 24;

// A window's rectangle in screen pixels (Left, Top, Width, Height as the framework keeps them).
struct WindowBounds {
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;

  friend bool operator==(const WindowBounds&, const WindowBounds&) = default;
};

// Origin of the hint text for the centre window `centre`, a text of byteCount bytes in its multi-byte
// (GB18030) form and font size fontSize: each byte is taken as half an em wide, the estimate is centred on
// the ring, and the text's top sits one font size above the ring's windows.
[[nodiscard]] PointF HintTextOrigin(const WindowBounds& centre, std::size_t byteCount, int fontSize) noexcept;

// A box, in the hint window's pixels, that holds everything the text drawn at origin can cover in the
// usual faces: a full em per byte plus an em of margin on each side, two ems of height. The window code
// takes it when it cannot measure the text.
[[nodiscard]] WindowBounds HintTextBounds(PointF origin, std::size_t byteCount, int fontSize) noexcept;

}  // namespace vantel
