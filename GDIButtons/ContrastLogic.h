// Pure colour choice of the ring's windows: their stored colours, or the system's while high contrast is on.
#pragma once

#include <cstdint>

#include "xml/ColorValue.h"

namespace vantel {

// The system's display mode as the ring draws by it: whether high contrast is on, and the system colours
// (opaque) that it then draws with.
struct ContrastScheme {
  bool HighContrast = false;
  TARGB Window = 0;      // COLOR_WINDOW
  TARGB WindowText = 0;  // COLOR_WINDOWTEXT
  TARGB Highlight = 0;   // COLOR_HIGHLIGHT

  friend bool operator==(const ContrastScheme&, const ContrastScheme&) = default;
};

// How a slice or the centre disc fills and outlines its pie.
struct PieLook {
  TARGB Fill = 0;            // alpha included: the translucent stored colour, or an opaque system colour
  bool Outlined = false;     // a one-pixel outline along the pie's edges
  TARGB Outline = 0;         // its colour
  std::uint8_t PushAlpha{};  // the constant alpha of the window's push

  friend bool operator==(const PieLook&, const PieLook&) = default;
};

// How the hint window draws the name.
struct HintLook {
  TARGB Text = 0;
  bool Backed = false;  // an opaque box behind the text
  TARGB Back = 0;
  std::uint8_t PushAlpha{};

  friend bool operator==(const HintLook&, const HintLook&) = default;
};

// Alphas of the ring's usual look: a pie's fill, its push, the push with the file's icon, the hint's push.
inline constexpr std::uint8_t kPieFillAlpha = 210;
inline constexpr std::uint8_t kPiePushAlpha = 150;
inline constexpr std::uint8_t kHintPushAlpha = 150;

// A pie whose current stored colour is `current` (HotColor while hovered or selected, else DefaultColor;
// its alpha byte is not used). In high contrast the stored colours are left out: the window colour, or the
// highlight while `hot`, opaque and outlined in the window-text colour, so that no slice fades into
// whatever lies behind it.
[[nodiscard]] PieLook PieLookFor(const ContrastScheme& scheme, bool hot, TARGB current) noexcept;

// The hint's name: red, or window text on the window colour in high contrast.
[[nodiscard]] HintLook HintLookFor(const ContrastScheme& scheme) noexcept;

// The constant alpha a push asks for `usual` gets: high contrast shows every window opaque.
[[nodiscard]] std::uint8_t PushAlphaFor(const ContrastScheme& scheme, std::uint8_t usual) noexcept;

}  // namespace vantel
