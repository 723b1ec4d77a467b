// Pure rule of window translucency.
#include "GlassWindow/GlassLogic.h"

namespace vantel {

namespace {

// The decimal value of a percentage string, or nothing when it is not 1-3 digits, a 3-digit value does
// not start with '1', or the value exceeds 100.
std::optional<int> ParsePercent(std::string_view percent) noexcept {
  if (percent.empty() || percent.size() > 3) {
    return std::nullopt;
  }
  int value = 0;
  for (const char c : percent) {
    if (c < '0' || c > '9') {
      return std::nullopt;
    }
    value = value * 10 + (c - '0');
  }
  if (percent.size() == 3 && percent.front() != '1') {
    return std::nullopt;
  }
  if (value > 100) {
    return std::nullopt;
  }
  return value;
}

}  // namespace

std::optional<std::uint8_t> GlassAlpha(std::string_view percent) noexcept {
  const std::optional<int> value = ParsePercent(percent);
  if (!value) {
    return std::nullopt;
  }
  // b is how much of full opacity is taken away; 0 % is treated like 100 % (opaque), not as invisible.
  const int b = *value == 0 ? 0 : (100 - *value) * 255 / 100;
  return static_cast<std::uint8_t>(255 - b);
}

}  // namespace vantel
