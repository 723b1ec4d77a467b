// The running instance's name for a working folder.
#include "app/InstanceName.h"

#include <cstdint>

std::wstring InstanceName(std::wstring_view fullPath) {
  std::wstring path(fullPath);
  for (wchar_t& c : path) {
    if (c == L'/') c = L'\\';
    if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
  }
  if (path.starts_with(L"\\\\?\\UNC\\")) {
    path.replace(0, 8, L"\\\\");
  } else if (path.starts_with(L"\\\\?\\")) {
    path.erase(0, 4);
  }
  while (!path.empty() && path.back() == L'\\') path.pop_back();

  // FNV-1a over the UTF-16 code units, 64 bits.
  std::uint64_t hash = 14695981039346656037ull;
  for (const wchar_t c : path) {
    // NOLINTNEXTLINE(bugprone-signed-char-misuse): a wchar_t (signed on Linux), not a char
    const auto unit = static_cast<std::uint16_t>(c);
    for (const std::uint8_t byte :
         {static_cast<std::uint8_t>(unit & 0xFF), static_cast<std::uint8_t>(unit >> 8)}) {
      hash ^= byte;
      hash *= 1099511628211ull;
    }
  }
  static constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
  std::wstring name = L"Vantel-";
  for (int shift = 60; shift >= 0; shift -= 4) name += kDigits[(hash >> shift) & 0xF];
  return name;
}
