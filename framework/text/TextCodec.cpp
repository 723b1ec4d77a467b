// GB18030 <-> UTF-16 for the Windows side: the portable codec, since Wine lacks code page 54936.
#include "framework/text/TextCodec.h"

#include "framework/text/Gb18030.h"

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 wchar_t expected (Windows)");

std::wstring Gb18030ToWide(std::string_view text) {
  const std::u16string decoded = Gb18030Decode(text);
  return std::wstring(decoded.begin(), decoded.end());
}

std::string WideToGb18030(std::wstring_view text) {
  return Gb18030Encode(std::u16string_view(reinterpret_cast<const char16_t*>(text.data()), text.size()));
}
