// Byte-level text rules of the XML document: blanks, letter case, escaping, quoting, numbers.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace XmlText {

// Tab, LF, CR and space.
constexpr bool IsBlank(char c) {
  return c == '\t' || c == '\n' || c == '\r' || c == ' ';
}
bool IsAllBlank(std::string_view text);
std::string_view Trim(std::string_view text);

// Letter case ignored for ASCII letters only: the bytes of double-byte characters compare exactly.
bool SameText(std::string_view a, std::string_view b);

// The five entities, ampersand first, then double quotes around the result.
std::string EscapeAndQuote(std::string_view value);

// A stored value without its quotes (doubled quote characters reduced to one), or as it stands.
std::string Unquote(std::string_view stored);
// Whether Unquote(stored) would be empty (the writer's test, without building the text).
bool UnquotesToEmpty(std::string_view stored);

// The five named entities and numeric references; in 8-bit text mode 0..254 become that byte,
// in UTF-8 text mode 0..65534 become that character's UTF-8 bytes. Anything else stays as written.
std::string Unescape(std::string_view text, bool utf8Text);
// Unescape(Unquote(stored), utf8Text), made at once when there is nothing to undo.
std::string UnquoteAndUnescape(std::string_view stored, bool utf8Text);

// Signed decimal: an optional sign and digits only. False for anything else or out of range.
bool ParseInt32(std::string_view text, std::int32_t& value);
bool ParseInt64(std::string_view text, std::int64_t& value);
std::string FormatInteger(std::int64_t value);

void AppendUtf8(std::string& out, std::uint32_t codePoint);

}  // namespace XmlText
