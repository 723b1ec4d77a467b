// GB18030 codec: known byte forms (two-byte, four-byte BMP, supplementary), full round trip, bad input.
#include <gtest/gtest.h>

#include <string>

#include "framework/text/Gb18030.h"

namespace {

std::string Hex(const std::string& bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string out;
  for (unsigned char b : bytes) {
    out.push_back(digits[b >> 4]);
    out.push_back(digits[b & 15]);
  }
  return out;
}

std::string Unhex(const std::string& hex) {
  std::string out;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
    out.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  }
  return out;
}

struct Known {
  std::u16string text;
  const char* hex;
};

// Reference bytes from an independent GB18030 implementation.
const Known kKnown[] = {
    {u"关闭Vantel工具", "b9d8b1d556616e74656cb9a4bedf"},
    {u"文件不存在!", "cec4bcfeb2bbb4e6d4da21"},
    {u"删除按键", "c9beb3fdb0b4bcfc"},
    {u"\u20AC", "a2e3"},      // euro sign: two bytes in GB18030 (not the single 0x80 of code page 936)
    {u"\u00B7", "a1a4"},      // middle dot
    {u"\u00E9", "a8a6"},      // e acute
    {u"\u0080", "81308130"},  // first four-byte code
    {u"\u30FB", "8139a739"},  // katakana middle dot: four bytes
    {u"\u1E3F", "8135f437"},  // m acute
    {u"\uFFFD", "8431a437"},
    {u"\uFFFF", "8431a439"},      // last BMP code
    {u"\U00020000", "95328236"},  // CJK extension B, a surrogate pair
    {u"\U0010FFFF", "e3329a35"},  // last code point
    {u"", ""},
};

TEST(Gb18030, EncodesAndDecodesKnownTexts) {
  for (const Known& k : kKnown) {
    EXPECT_EQ(Hex(Gb18030Encode(k.text)), k.hex);
    EXPECT_EQ(Gb18030Decode(Unhex(k.hex)), k.text) << k.hex;
  }
}

TEST(Gb18030, EveryBmpCharacterRoundTrips) {
  std::u16string all;
  for (char32_t c = 1; c < 0x10000; ++c) {
    if (c < 0xD800 || c > 0xDFFF) all.push_back(static_cast<char16_t>(c));
  }
  const std::string bytes = Gb18030Encode(all);
  EXPECT_EQ(Gb18030Decode(bytes), all);  // every character has a form of its own, none turned into '?'
}

TEST(Gb18030, SupplementaryCharactersRoundTrip) {
  std::u16string text;
  for (char32_t c = 0x10000; c <= 0x10FFFF; c += 0x1F3) {
    c -= 0x10000;
    text.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
    text.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
    c += 0x10000;
  }
  EXPECT_EQ(Gb18030Decode(Gb18030Encode(text)), text);
}

struct Bad {
  const char* name;
  const char* hex;
  std::u16string decoded;
};

const Bad kBad[] = {
    {"SingleByte80", "80", u"\uFFFD"},
    {"SingleByteFF", "41ff42", u"A\uFFFDB"},
    {"LeadAtEnd", "4181", u"A\uFFFD"},
    {"TrailDel", "a17f", u"\uFFFD\x7f"},
    {"TruncatedFourByte", "813081", u"\uFFFD0\uFFFD"},
    {"BeyondLastCodePoint", "e3329a36", u"\uFFFD"},
    {"UnassignedFourByteBmp", "8431a530", u"\uFFFD"},
};

class Gb18030Bad : public testing::TestWithParam<Bad> {};

TEST_P(Gb18030Bad, DecodesToReplacementWithoutLosingTheRest) {
  EXPECT_EQ(Gb18030Decode(Unhex(GetParam().hex)), GetParam().decoded);
}

INSTANTIATE_TEST_SUITE_P(Table, Gb18030Bad, testing::ValuesIn(kBad),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Gb18030, LoneSurrogatesEncodeAsQuestionMarks) {
  EXPECT_EQ(Gb18030Encode(u"a\xD800"
                          "b\xDC00"),
            "a?b?");
}

}  // namespace
