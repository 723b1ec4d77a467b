// Encoding detection and conversion of the XML document's files.
#include "xml/XmlEncoding.h"

#include "xml/XmlText.h"

namespace XmlEncoding {

namespace {

bool Starts(std::string_view bytes, std::string_view prefix) {
  return bytes.size() >= prefix.size() && bytes.substr(0, prefix.size()) == prefix;
}

using namespace std::string_view_literals;

// Decodes UTF-8 leniently: a byte that does not start a valid sequence stands for itself.
template <typename Sink>
void ForEachUtf8(std::string_view s, Sink sink) {
  std::size_t i = 0;
  while (i < s.size()) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    std::size_t len = 0;
    std::uint32_t cp = 0;
    if (b0 < 0x80) {
      len = 1;
      cp = b0;
    } else if (b0 >= 0xC2 && b0 < 0xE0) {
      len = 2;
      cp = b0 & 0x1F;
    } else if (b0 >= 0xE0 && b0 < 0xF0) {
      len = 3;
      cp = b0 & 0x0F;
    } else if (b0 >= 0xF0 && b0 < 0xF5) {
      len = 4;
      cp = b0 & 0x07;
    }
    bool ok = len > 0 && i + len <= s.size();
    for (std::size_t k = 1; ok && k < len; ++k) {
      const auto b = static_cast<unsigned char>(s[i + k]);
      if ((b & 0xC0) != 0x80) ok = false;
      cp = (cp << 6) | (b & 0x3F);
    }
    if (ok && ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)))) ok = false;
    if (!ok) {
      len = 1;
      cp = b0;
    }
    sink(cp);
    i += len;
  }
}

void AppendUtf16(std::string& out, std::uint32_t cp, bool bigEndian) {
  auto unit = [&](std::uint32_t u) {
    const char hi = static_cast<char>((u >> 8) & 0xFF), lo = static_cast<char>(u & 0xFF);
    if (bigEndian) {
      out += hi;
      out += lo;
    } else {
      out += lo;
      out += hi;
    }
  };
  if (cp >= 0x10000) {
    cp -= 0x10000;
    unit(0xD800 + (cp >> 10));
    unit(0xDC00 + (cp & 0x3FF));
  } else {
    unit(cp);
  }
}

}  // namespace

TDetected Detect(std::string_view b) {
  // Every pattern below begins with one of these bytes, and those that begin with "<" go on with a
  // zero byte: most 8-bit files are told at once.
  if (b.empty()) return {TXmlEncoding::Ansi8Bit, 0};
  switch (static_cast<unsigned char>(b[0])) {
    case 0x00:
    case 0x4C:
    case 0xEF:
    case 0xFE:
    case 0xFF:
      break;
    case 0x3C:
      if (b.size() >= 2 && b[1] == '\0') break;
      return {TXmlEncoding::Ansi8Bit, 0};
    default:
      return {TXmlEncoding::Ansi8Bit, 0};
  }
  // Byte-order marks first, the four-byte forms before their two-byte prefixes.
  if (Starts(b, "\x00\x00\xFE\xFF"sv)) return {TXmlEncoding::Ucs4BE, 4};
  if (Starts(b, "\xFF\xFE\x00\x00"sv)) return {TXmlEncoding::Ucs4LE, 4};
  if (Starts(b, "\x00\x00\xFF\xFE"sv)) return {TXmlEncoding::Ucs4_2143, 4};
  if (Starts(b, "\xFE\xFF\x00\x00"sv)) return {TXmlEncoding::Ucs4_3412, 4};
  if (Starts(b, "\xFE\xFF"sv)) return {TXmlEncoding::Utf16BE, 2};
  if (Starts(b, "\xFF\xFE"sv)) return {TXmlEncoding::Utf16LE, 2};
  if (Starts(b, "\xEF\xBB\xBF"sv)) return {TXmlEncoding::Utf8, 3};
  // "<?xm" without a mark.
  if (Starts(b, "\x00\x00\x00\x3C"sv)) return {TXmlEncoding::Ucs4BE, 0};
  if (Starts(b, "\x3C\x00\x00\x00"sv)) return {TXmlEncoding::Ucs4LE, 0};
  if (Starts(b, "\x00\x00\x3C\x00"sv)) return {TXmlEncoding::Ucs4_2143, 0};
  if (Starts(b, "\x00\x3C\x00\x00"sv)) return {TXmlEncoding::Ucs4_3412, 0};
  if (Starts(b, "\x00\x3C\x00\x3F"sv)) return {TXmlEncoding::Utf16BE, 0};
  if (Starts(b, "\x3C\x00\x3F\x00"sv)) return {TXmlEncoding::Utf16LE, 0};
  if (Starts(b, "\x4C\x6F\xA7\x94"sv)) return {TXmlEncoding::Ebcdic, 0};
  return {TXmlEncoding::Ansi8Bit, 0};
}

bool IsSupported(TXmlEncoding e) {
  return e == TXmlEncoding::Ansi8Bit || e == TXmlEncoding::Utf8 || e == TXmlEncoding::Utf16BE ||
         e == TXmlEncoding::Utf16LE;
}

std::string Latin1ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) XmlText::AppendUtf8(out, static_cast<unsigned char>(c));
  return out;
}

std::size_t Latin1LengthOfUtf8(std::string_view converted) {
  std::size_t n = 0;
  for (char c : converted) {
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
  }
  return n;
}

bool DecodeKeepsBytes(TXmlEncoding encoding, bool utf8Text) {
  return encoding != TXmlEncoding::Utf16BE && encoding != TXmlEncoding::Utf16LE &&
         !(encoding == TXmlEncoding::Ansi8Bit && utf8Text);
}

std::string Decode(std::string_view bytes, TXmlEncoding encoding, bool utf8Text) {
  if (encoding == TXmlEncoding::Utf16BE || encoding == TXmlEncoding::Utf16LE) {
    const bool be = encoding == TXmlEncoding::Utf16BE;
    std::string out;
    out.reserve(bytes.size() / 2);
    const std::size_t units = bytes.size() / 2;  // an odd last byte is not a character
    auto unitAt = [&](std::size_t k) {
      const auto a = static_cast<unsigned char>(bytes[2 * k]),
                 b = static_cast<unsigned char>(bytes[2 * k + 1]);
      return be ? static_cast<std::uint32_t>((a << 8) | b) : static_cast<std::uint32_t>((b << 8) | a);
    };
    for (std::size_t k = 0; k < units; ++k) {
      std::uint32_t cp = unitAt(k);
      if (cp >= 0xD800 && cp < 0xDC00 && k + 1 < units) {
        const std::uint32_t lo = unitAt(k + 1);
        if (lo >= 0xDC00 && lo < 0xE000) {
          cp = 0x10000 + ((cp - 0xD800) << 10) + (lo - 0xDC00);
          ++k;
        }
      }
      if (utf8Text) {
        XmlText::AppendUtf8(out, cp);
      } else if (cp <= 0xFF) {
        out += static_cast<char>(cp);
      } else {
        out += "&#";
        out += XmlText::FormatInteger(cp);
        out += ';';
      }
    }
    return out;
  }
  if (encoding == TXmlEncoding::Ansi8Bit && utf8Text) return Latin1ToUtf8(bytes);
  return std::string(bytes);
}

std::string Encode(std::string text, TXmlEncoding encoding, bool utf8Text) {
  switch (encoding) {
    case TXmlEncoding::Utf8: {
      std::string out = "\xEF\xBB\xBF";
      if (utf8Text) {
        out.append(text);
      } else {
        out += Latin1ToUtf8(text);
      }
      return out;
    }
    case TXmlEncoding::Utf16BE:
    case TXmlEncoding::Utf16LE: {
      const bool be = encoding == TXmlEncoding::Utf16BE;
      std::string out = be ? "\xFE\xFF" : "\xFF\xFE";
      out.reserve(2 + text.size() * 2);
      if (utf8Text) {
        ForEachUtf8(text, [&](std::uint32_t cp) { AppendUtf16(out, cp, be); });
      } else {
        for (char c : text) AppendUtf16(out, static_cast<unsigned char>(c), be);
      }
      return out;
    }
    default:
      return text;
  }
}

}  // namespace XmlEncoding
