// The notification-area tip text rule (no window system).
#pragma once

#include <string>
#include <string_view>

// The shell's tip field holds 128 characters: at most 127 of the hint and the terminating zero.
constexpr size_t kTrayTipMaxChars = 127;

inline std::wstring TrayTipText(bool showHint, std::wstring_view hint) {
  if (!showHint || hint.empty()) return {};
  return std::wstring(hint.substr(0, kTrayTipMaxChars));
}
