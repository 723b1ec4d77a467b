// Colour values: 32-bit ARGB as the configuration stores it, and the plain colour reference.
#pragma once

#include <cstdint>
#include <string>

// Alpha in bits 24..31, red 16..23, green 8..15, blue 0..7.
using TARGB = std::uint32_t;
// The colour dialog's and GDI's form: red in the low byte, then green, then blue.
using TColorRef = std::uint32_t;

constexpr TARGB MakeColor(std::uint8_t a, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return (TARGB{a} << 24) | (TARGB{r} << 16) | (TARGB{g} << 8) | TARGB{b};
}
constexpr TARGB MakeColor(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return MakeColor(255, r, g, b);
}

constexpr std::uint8_t GetAlpha(TARGB c) {
  return static_cast<std::uint8_t>(c >> 24);
}
constexpr std::uint8_t GetRed(TARGB c) {
  return static_cast<std::uint8_t>(c >> 16);
}
constexpr std::uint8_t GetGreen(TARGB c) {
  return static_cast<std::uint8_t>(c >> 8);
}
constexpr std::uint8_t GetBlue(TARGB c) {
  return static_cast<std::uint8_t>(c);
}

// The alpha is dropped: a colour reference has none.
constexpr TColorRef ARGBToColorRef(TARGB c) {
  return TColorRef{GetRed(c)} | (TColorRef{GetGreen(c)} << 8) | (TColorRef{GetBlue(c)} << 16);
}
// Colours the program stores are opaque.
constexpr TARGB ColorRefToARGB(TColorRef ref, std::uint8_t alpha = 255) {
  return MakeColor(alpha, static_cast<std::uint8_t>(ref), static_cast<std::uint8_t>(ref >> 8),
                   static_cast<std::uint8_t>(ref >> 16));
}

// The signed 32-bit form in which a colour is written: alpha 255 gives a negative number.
constexpr std::int32_t ColorToStoredInteger(TARGB c) {
  return static_cast<std::int32_t>(c);
}
// Signed decimal text of a colour, as the configuration file holds it ("-65536" for opaque red).
std::string ColorToText(TARGB c);
