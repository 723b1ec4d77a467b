// Scaling of 96-dpi pixel figures to a DPI: pure arithmetic, usable on every preset.
#pragma once

namespace vantel {

// The DPI at which the program's pixel figures are given: 100 % scaling.
inline constexpr int kBaseDpi = 96;

// px96 pixels at 96 dpi scaled to dpi, rounded to the nearest pixel (halves away from zero, as MulDiv
// rounds); px96 itself for dpi <= 0.
[[nodiscard]] constexpr int ScaleForDpi(int px96, int dpi) noexcept {
  if (dpi <= 0 || dpi == kBaseDpi) return px96;
  const long long product = static_cast<long long>(px96) * dpi;
  const long long half = kBaseDpi / 2;
  return static_cast<int>(product >= 0 ? (product + half) / kBaseDpi : -((-product + half) / kBaseDpi));
}

}  // namespace vantel
