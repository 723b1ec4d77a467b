// GB18030 <-> UTF-16 with MultiByteToWideChar / WideCharToMultiByte on code page 54936.
#include "framework/TextCodec.h"

#include <climits>

#include "framework/Win32.h"

std::wstring Gb18030ToWide(std::string_view text) {
  if (text.empty() || text.size() > INT_MAX) return {};
  const int size = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(kNarrowCodePage, 0, text.data(), size, nullptr, 0);
  if (length <= 0) return {};
  std::wstring result(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(kNarrowCodePage, 0, text.data(), size, result.data(), length);
  return result;
}

std::string WideToGb18030(std::wstring_view text) {
  if (text.empty() || text.size() > INT_MAX) return {};
  const int size = static_cast<int>(text.size());
  const int length = WideCharToMultiByte(kNarrowCodePage, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return {};
  std::string result(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(kNarrowCodePage, 0, text.data(), size, result.data(), length, nullptr, nullptr);
  return result;
}
