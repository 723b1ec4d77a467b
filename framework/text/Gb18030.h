// GB18030 (code page 54936) <-> UTF-16 in portable code, for systems without the code page (Wine).
#pragma once

#include <string>
#include <string_view>

// Invalid or truncated byte sequences decode to U+FFFD; lone surrogates encode to '?'.
std::u16string Gb18030Decode(std::string_view bytes);
std::string Gb18030Encode(std::u16string_view text);
