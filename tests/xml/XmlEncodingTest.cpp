// File encodings: byte-order marks, UTF-16, the UTF-8 declaration and the text mode.
#include "XmlTestSupport.h"

#include <gtest/gtest.h>

using namespace XmlTest;
using namespace std::string_literals;

namespace {

std::string Utf16(std::string_view ascii, bool bigEndian) {
  std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (char c : ascii) {
    if (bigEndian) out += '\0';
    out += c;
    if (!bigEndian) out += '\0';
  }
  return out;
}

TEST(Encoding, EightBitFileKeepsItsBytes) {
  const std::string file = Lines({Declaration, "<Settings p=\"\xD6\xD0\xCE\xC4\"></Settings>"});
  auto doc = Parse(file);
  EXPECT_FALSE(doc->IsUtf8Text());
  EXPECT_EQ(doc->ExternalEncoding(), TXmlEncoding::Ansi8Bit);
  EXPECT_EQ(doc->RootElement()->GetAttribute("p"), "\xD6\xD0\xCE\xC4");
  EXPECT_EQ(doc->SaveToBytes(), file);
}

TEST(Encoding, Utf8MarkSetsTextModeAndIsWrittenBack) {
  const std::string file = "\xEF\xBB\xBF" + Lines({"<r a=\"\xE4\xB8\xAD&#20013;\"></r>"});
  auto doc = Parse(file);
  EXPECT_TRUE(doc->IsUtf8Text());
  EXPECT_EQ(doc->ExternalEncoding(), TXmlEncoding::Utf8);
  EXPECT_EQ(doc->RootElement()->GetAttribute("a"), "\xE4\xB8\xAD\xE4\xB8\xAD");
  EXPECT_EQ(doc->SaveToBytes(), file);
}

TEST(Encoding, Utf8DeclarationWithoutMarkSetsTextModeOnly) {
  const std::string file = Lines({R"(<?xml version="1.0" encoding="utf-8"?>)", "<r></r>"});
  auto doc = Parse(file);
  EXPECT_TRUE(doc->IsUtf8Text());
  EXPECT_EQ(doc->ExternalEncoding(), TXmlEncoding::Ansi8Bit);
  EXPECT_EQ(doc->SaveToBytes(), file);
}

TEST(Encoding, Utf16BothOrdersWithAndWithoutMark) {
  const std::string text = Lines({R"(<?xml version="1.0" encoding="UTF-16"?>)", "<r a=\"1\"></r>"});
  for (bool be : {false, true}) {
    const std::string file = Utf16(text, be);
    auto doc = Parse(file);
    EXPECT_EQ(doc->ExternalEncoding(), be ? TXmlEncoding::Utf16BE : TXmlEncoding::Utf16LE);
    EXPECT_EQ(doc->RootElement()->GetAttribute("a"), "1");
    EXPECT_EQ(doc->SaveToBytes(), file);
    auto unmarked = Parse(std::string_view(file).substr(2));
    EXPECT_EQ(unmarked->ExternalEncoding(), be ? TXmlEncoding::Utf16BE : TXmlEncoding::Utf16LE);
    EXPECT_EQ(unmarked->SaveToBytes(), file);
  }
}

TEST(Encoding, Utf16CharacterBeyondEightBitsSurvivesASave) {
  // U+4E2D in the value of a little-endian file: kept as a reference, not replaced by a byte.
  const std::string file = "\xFF\xFE<\0r\0 \0a\0=\0\"\0\x2D\x4E\"\0/\0>\0"s;
  auto doc = Parse(file);
  const std::string saved = doc->SaveToBytes();
  EXPECT_NE(saved.find("&\0#\0\x32\0\x30\0\x30\0\x31\0\x33\0;\0"s), std::string::npos);
  doc->SetUtf8Text(true);
  doc->LoadFromBytes(saved);
  EXPECT_EQ(doc->RootElement()->GetAttribute("a"), "\xE4\xB8\xAD");
}

TEST(Encoding, TextModeIsNeverSetBackByALoadOnlyByAReset) {
  TXmlDocument doc;
  doc.LoadFromBytes("\xEF\xBB\xBF<r/>");
  ASSERT_TRUE(doc.IsUtf8Text());
  doc.LoadFromBytes(Lines({Declaration, "<Settings/>"}));
  EXPECT_TRUE(doc.IsUtf8Text()) << "an 8-bit file does not turn the text mode back";
  EXPECT_EQ(doc.ExternalEncoding(), TXmlEncoding::Ansi8Bit);
  doc.LoadFromBytes("\xEF\xBB\xBF<r/>");
  doc.ResetDocument();
  EXPECT_FALSE(doc.IsUtf8Text());
  EXPECT_EQ(doc.ExternalEncoding(), TXmlEncoding::Ansi8Bit);
  EXPECT_EQ(doc.SaveToBytes(), Lines({Declaration, "<Settings></Settings>"}));
}

TEST(Encoding, DeclarationSwitchesEightBitInputToUtf8) {
  // In UTF-8 text mode 8-bit bytes are converted until the declaration says the rest is UTF-8.
  TXmlDocument doc;
  doc.SetUtf8Text(true);
  doc.LoadFromBytes("<!--\xE9-->\r\n<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<r a=\"\xC3\xA9\"/>");
  EXPECT_EQ(doc.Nodes().ChildAt(0)->Value(), "\xC3\xA9");
  EXPECT_EQ(doc.RootElement()->GetAttribute("a"), "\xC3\xA9");
}

}  // namespace
