// How a file's bytes are encoded: detection on load (XML 1.0 Appendix F) and conversion both ways.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

enum class TXmlEncoding : std::uint8_t {
  Ansi8Bit,  // the system's 8-bit code page: bytes taken and written as they stand
  Utf8,
  Utf16BE,
  Utf16LE,
  Ucs4BE,  // the UCS-4 forms and EBCDIC are recognised only to be refused
  Ucs4LE,
  Ucs4_2143,
  Ucs4_3412,
  Ebcdic,
};

namespace XmlEncoding {

struct TDetected {
  TXmlEncoding Encoding = TXmlEncoding::Ansi8Bit;
  std::size_t BomLength = 0;  // bytes to skip before the text
};

TDetected Detect(std::string_view bytes);
bool IsSupported(TXmlEncoding encoding);

// The document's text from the file's bytes after the byte-order mark. 16-bit input in 8-bit text
// mode is narrowed to a byte per character; characters above 255 become numeric references, which
// read back as the same character (a byte replacement would lose them at the next save).
std::string Decode(std::string_view bytes, TXmlEncoding encoding, bool utf8Text);
// Whether Decode gives the bytes as they stand (the reader then reads them in place).
bool DecodeKeepsBytes(TXmlEncoding encoding, bool utf8Text);

// The file's bytes for the document's text, with the byte-order mark of UTF-8 and UTF-16 (text
// taken as it stands is moved through).
std::string Encode(std::string text, TXmlEncoding encoding, bool utf8Text);

// 8-bit text taken as Latin-1 (the pure code knows no code page).
std::string Latin1ToUtf8(std::string_view text);
// How many 8-bit bytes became this prefix of Latin1ToUtf8's result.
std::size_t Latin1LengthOfUtf8(std::string_view converted);

}  // namespace XmlEncoding
