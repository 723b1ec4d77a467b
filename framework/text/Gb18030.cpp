// GB18030 decoding and encoding over the generated tables: ASCII, two-byte codes, four-byte codes.
#include "framework/text/Gb18030.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>

#include "framework/text/Gb18030Tables.h"

namespace {
using gb18030::FourByteRange;
using gb18030::kFourByteRanges;
using gb18030::kTwoByte;

constexpr char16_t kReplacement = 0xFFFD;
constexpr std::uint32_t kSupplementaryBase = 189000;  // linear index of 0x90 0x30 0x81 0x30

bool InRange(unsigned char b, unsigned lo, unsigned hi) {
  return b >= lo && b <= hi;
}

void AppendCodePoint(std::u16string& out, std::uint32_t cp) {
  if (cp < 0x10000) {
    out.push_back(static_cast<char16_t>(cp));
  } else {
    cp -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
  }
}

void AppendFourBytes(std::string& out, std::uint32_t index) {
  const char b4 = static_cast<char>(0x30 + index % 10);
  index /= 10;
  const char b3 = static_cast<char>(0x81 + index % 126);
  index /= 126;
  const char b2 = static_cast<char>(0x30 + index % 10);
  index /= 10;
  const char b1 = static_cast<char>(0x81 + index);
  out += {b1, b2, b3, b4};
}

// Code unit -> two-byte code (lead << 8 | trail), 0 when the character has none. Built once.
const std::array<std::uint16_t, 0x10000>& TwoByteEncoding() {
  static const auto table = [] {
    auto t = std::make_unique<std::array<std::uint16_t, 0x10000>>();
    t->fill(0);
    for (std::size_t i = 0; i < gb18030::kTwoByteCount; ++i) {
      const std::uint16_t cu = kTwoByte[i];
      if (cu == 0 || (*t)[cu] != 0) continue;
      const unsigned lead = 0x81 + static_cast<unsigned>(i / gb18030::kTrailCount);
      unsigned trail = 0x40 + static_cast<unsigned>(i % gb18030::kTrailCount);
      if (trail >= 0x7F) ++trail;  // 0x7F is never a trail byte
      (*t)[cu] = static_cast<std::uint16_t>(lead << 8 | trail);
    }
    return t;
  }();
  return *table;
}

std::uint32_t DecodeFourByteBmp(std::uint32_t index) {
  const FourByteRange* end = kFourByteRanges + gb18030::kFourByteRangeCount;
  const FourByteRange* r =
      std::upper_bound(kFourByteRanges, end, index,
                       [](std::uint32_t i, const FourByteRange& range) { return i < range.index; });
  if (r == kFourByteRanges) return kReplacement;
  --r;
  return index < r->index + r->length ? r->codePoint + (index - r->index) : kReplacement;
}

bool EncodeFourByteBmp(std::uint32_t cp, std::string& out) {
  const FourByteRange* end = kFourByteRanges + gb18030::kFourByteRangeCount;
  const FourByteRange* r =
      std::upper_bound(kFourByteRanges, end, cp,
                       [](std::uint32_t c, const FourByteRange& range) { return c < range.codePoint; });
  if (r == kFourByteRanges) return false;
  --r;
  if (cp >= r->codePoint + r->length) return false;
  AppendFourBytes(out, r->index + (cp - r->codePoint));
  return true;
}
}  // namespace

std::u16string Gb18030Decode(std::string_view bytes) {
  std::u16string out;
  out.reserve(bytes.size());
  const auto at = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  std::size_t i = 0;
  while (i < bytes.size()) {
    const unsigned char b1 = at(i);
    if (b1 < 0x80) {
      out.push_back(b1);
      ++i;
      continue;
    }
    if (!InRange(b1, 0x81, 0xFE) || i + 1 >= bytes.size()) {
      out.push_back(kReplacement);
      ++i;
      continue;
    }
    const unsigned char b2 = at(i + 1);
    if (InRange(b2, 0x40, 0xFE) && b2 != 0x7F) {
      const std::size_t trail = b2 - 0x40u - (b2 > 0x7F ? 1u : 0u);
      const char16_t cu = kTwoByte[(b1 - 0x81u) * gb18030::kTrailCount + trail];
      out.push_back(cu ? cu : kReplacement);
      i += 2;
      continue;
    }
    if (InRange(b2, 0x30, 0x39) && i + 3 < bytes.size() && InRange(at(i + 2), 0x81, 0xFE) &&
        InRange(at(i + 3), 0x30, 0x39)) {
      const std::uint32_t index =
          (((b1 - 0x81u) * 10 + (b2 - 0x30u)) * 126 + (at(i + 2) - 0x81u)) * 10 + (at(i + 3) - 0x30u);
      std::uint32_t cp = kReplacement;
      if (index >= kSupplementaryBase) {
        if (index - kSupplementaryBase <= 0x10FFFF - 0x10000) cp = 0x10000 + (index - kSupplementaryBase);
      } else {
        cp = DecodeFourByteBmp(index);
      }
      AppendCodePoint(out, cp);
      i += 4;
      continue;
    }
    out.push_back(kReplacement);
    ++i;
  }
  return out;
}

std::string Gb18030Encode(std::u16string_view text) {
  std::string out;
  out.reserve(text.size() * 2);
  const auto& twoByte = TwoByteEncoding();
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t cu = text[i];
    if (cu < 0x80) {
      out.push_back(static_cast<char>(cu));
    } else if (cu >= 0xD800 && cu <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
               text[i + 1] <= 0xDFFF) {
      const std::uint32_t cp = 0x10000 + ((cu - 0xD800u) << 10) + (text[i + 1] - 0xDC00u);
      AppendFourBytes(out, kSupplementaryBase + (cp - 0x10000));
      ++i;
    } else if (cu >= 0xD800 && cu <= 0xDFFF) {  // NOLINT(bugprone-branch-clone): a lone surrogate
      out.push_back('?');
    } else if (const std::uint16_t code = twoByte[cu]) {
      out.push_back(static_cast<char>(code >> 8));
      out.push_back(static_cast<char>(code & 0xFF));
    } else if (!EncodeFourByteBmp(cu, out)) {
      out.push_back('?');
    }
  }
  return out;
}
