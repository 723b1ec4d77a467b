// Conversion between the program's narrow text (GB18030, code page 54936) and UTF-16 (wchar_t).
#pragma once

#include <string>
#include <string_view>

constexpr unsigned kNarrowCodePage = 54936;  // GB18030: GB2312/GBK compatible, holds every character

std::wstring Gb18030ToWide(std::string_view text);
std::string WideToGb18030(std::wstring_view text);
