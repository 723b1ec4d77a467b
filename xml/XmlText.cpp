// Byte-level text rules of the XML document.
#include "xml/XmlText.h"

#include <charconv>
#include <cstring>

namespace XmlText {

bool IsAllBlank(std::string_view text) {
  for (char c : text) {
    if (!IsBlank(c)) return false;
  }
  return true;
}

std::string_view Trim(std::string_view text) {
  std::size_t b = 0, e = text.size();
  while (b < e && IsBlank(text[b])) ++b;
  while (e > b && IsBlank(text[e - 1])) --e;
  return text.substr(b, e - b);
}

namespace {
constexpr char Lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
}  // namespace

bool SameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

std::string EscapeAndQuote(std::string_view value) {
  std::string out;
  out.reserve(value.size() + 2);
  out += '"';
  // One pass gives the same result as the five replacements in turn, ampersand first.
  for (char c : value) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '\'':
        out += "&apos;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  // The escaped text never holds a double quote, so double quotes always enclose it.
  out += '"';
  return out;
}

std::string Unquote(std::string_view stored) {
  if (stored.size() < 2 || (stored[0] != '"' && stored[0] != '\'')) return std::string(stored);
  const char q = stored[0];
  std::string out;
  out.reserve(stored.size());
  for (std::size_t i = 1; i < stored.size(); ++i) {
    if (stored[i] != q) {
      out += stored[i];
    } else if (i + 1 < stored.size() && stored[i + 1] == q) {
      out += q;
      ++i;
    } else {
      break;
    }
  }
  return out;
}

bool UnquotesToEmpty(std::string_view stored) {
  if (stored.empty()) return true;
  if (stored.size() < 2 || (stored[0] != '"' && stored[0] != '\'')) return false;
  return stored[1] == stored[0] && (stored.size() == 2 || stored[2] != stored[0]);
}

namespace {

// A numeric reference's digits (after "&#"), or false when they are not all digits of the base.
bool ParseReferenceNumber(std::string_view digits, std::uint32_t& value) {
  int base = 10;
  if (!digits.empty() && (digits[0] == 'x' || digits[0] == 'X')) {
    base = 16;
    digits.remove_prefix(1);
  }
  if (digits.empty()) return false;
  const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value, base);
  return ec == std::errc() && end == digits.data() + digits.size();
}

bool AppendReference(std::string& out, std::string_view ref, bool utf8Text) {
  // ref is the text between "&" and ";".
  if (ref == "amp") {
    out += '&';
  } else if (ref == "lt") {
    out += '<';
  } else if (ref == "gt") {
    out += '>';
  } else if (ref == "apos") {
    out += '\'';
  } else if (ref == "quot") {
    out += '"';
  } else if (ref.size() > 1 && ref[0] == '#') {
    std::uint32_t n = 0;
    if (!ParseReferenceNumber(ref.substr(1), n)) return false;
    if (!utf8Text && n <= 254) {
      out += static_cast<char>(n);
    } else if (utf8Text && n <= 65534) {
      AppendUtf8(out, n);
    } else {
      return false;
    }
  } else {
    return false;
  }
  return true;
}

}  // namespace

std::string Unescape(std::string_view text, bool utf8Text) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const std::size_t amp = text.find('&', i);
    if (amp == std::string_view::npos) break;
    out.append(text.substr(i, amp - i));
    const std::size_t semi = text.find(';', amp + 1);
    if (semi == std::string_view::npos) {
      i = amp;
      break;
    }
    if (!AppendReference(out, text.substr(amp + 1, semi - amp - 1), utf8Text)) {
      out.append(text.substr(amp, semi + 1 - amp));
    }
    i = semi + 1;
  }
  out.append(text.substr(i));
  return out;
}

std::string UnquoteAndUnescape(std::string_view stored, bool utf8Text) {
  std::string_view inner = stored;
  if (stored.size() >= 2 && (stored[0] == '"' || stored[0] == '\'')) {
    const std::size_t close = stored.find(stored[0], 1);
    if (close != std::string_view::npos && close + 1 < stored.size() && stored[close + 1] == stored[0]) {
      return Unescape(Unquote(stored), utf8Text);  // a doubled quote stands for one
    }
    inner = stored.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1);
  }
  if (inner.find('&') == std::string_view::npos) return std::string(inner);
  return Unescape(inner, utf8Text);
}

namespace {
template <typename T>
bool ParseSigned(std::string_view text, T& value) {
  if (!text.empty() && text[0] == '+') {
    text.remove_prefix(1);
    if (!text.empty() && text[0] == '-') return false;
  }
  if (text.empty()) return false;
  T v{};
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v, 10);
  if (ec != std::errc() || end != text.data() + text.size()) return false;
  value = v;
  return true;
}
}  // namespace

bool ParseInt32(std::string_view text, std::int32_t& value) {
  return ParseSigned(text, value);
}
bool ParseInt64(std::string_view text, std::int64_t& value) {
  return ParseSigned(text, value);
}

std::string FormatInteger(std::int64_t value) {
  char buf[24];
  const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
  (void)ec;
  return std::string(buf, end);
}

void AppendUtf8(std::string& out, std::uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

}  // namespace XmlText
