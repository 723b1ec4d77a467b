// Pure rule of window translucency: which percentage strings are accepted and the alpha each one gives.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace vantel {

// Alpha for a layered window made `percent` % opaque, or nothing when the string is not accepted.
// Accepted: one or two digits, or a three-digit value starting with '1' that is at most 100. "0" and
// "100" give 255 (fully opaque); "65" gives 166.
[[nodiscard]] std::optional<std::uint8_t> GlassAlpha(std::string_view percent) noexcept;

}  // namespace vantel
