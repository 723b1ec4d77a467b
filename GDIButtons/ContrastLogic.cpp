// The ring's colours in and out of high contrast.
#include "GDIButtons/ContrastLogic.h"

namespace vantel {

namespace {

constexpr TARGB Opaque(TARGB color) {
  return color | 0xFF000000U;
}

}  // namespace

PieLook PieLookFor(const ContrastScheme& scheme, bool hot, TARGB current) noexcept {
  if (!scheme.HighContrast) {
    return PieLook{MakeColor(kPieFillAlpha, GetRed(current), GetGreen(current), GetBlue(current)), false, 0,
                   kPiePushAlpha};
  }
  return PieLook{Opaque(hot ? scheme.Highlight : scheme.Window), true, Opaque(scheme.WindowText), 255};
}

HintLook HintLookFor(const ContrastScheme& scheme) noexcept {
  if (!scheme.HighContrast) return HintLook{MakeColor(255, 255, 0, 0), false, 0, kHintPushAlpha};
  return HintLook{Opaque(scheme.WindowText), true, Opaque(scheme.Window), 255};
}

std::uint8_t PushAlphaFor(const ContrastScheme& scheme, std::uint8_t usual) noexcept {
  return scheme.HighContrast ? std::uint8_t{255} : usual;
}

}  // namespace vantel
