// Writing documents: the exact bytes of every node kind and of the layout.
#include "XmlTestSupport.h"

#include "xml/XmlError.h"

#include <gtest/gtest.h>

using namespace XmlTest;

namespace {

TEST(Write, CreatedDocumentHasNamedRootAndLoadsAgain) {
  TXmlDocument doc;
  const std::string written = doc.SaveToBytes();
  EXPECT_EQ(written, Lines({Declaration, "<Settings></Settings>"}));
  EXPECT_EQ(Rewrite(written), written);
}

TEST(Write, RootWithAttributeAndShortChild) {
  TXmlDocument doc;
  TXmlNode& root = *doc.RootElement();
  root.StoreIntegerAttribute("HotColor", -65536, 0);
  TXmlNode* child = root.NewChild("ButtonInfo");
  child->SetAttribute("ButonType", "0");
  child->SetAttribute("ButtonGuid", "{0A1B2C3D-0000-4000-8000-0123456789AB}");
  EXPECT_EQ(doc.SaveToBytes(),
            Lines({Declaration, R"(<Settings HotColor="-65536">)",
                   R"(  <ButtonInfo ButonType="0" ButtonGuid="{0A1B2C3D-0000-4000-8000-0123456789AB}"/>)",
                   "</Settings>"}));
}

TEST(Write, EmptyAttributeIsDroppedAndReadsBackEmpty) {
  TXmlDocument doc;
  TXmlNode& root = *doc.RootElement();
  root.SetAttribute("a", "1");
  root.SetAttribute("empty", "");
  root.SetAttribute("b", "2");
  const std::string written = doc.SaveToBytes();
  EXPECT_EQ(written, Lines({Declaration, R"(<Settings a="1" b="2"></Settings>)"}));
  auto again = Parse(written);
  EXPECT_EQ(again->RootElement()->GetAttribute("empty"), "");
  EXPECT_EQ(again->RootElement()->AttributeCount(), 2);
}

TEST(Write, StoreIntegerWritesTheDefaultToo) {
  TXmlDocument doc;
  doc.RootElement()->StoreIntegerAttribute("n", 0, 0);
  EXPECT_EQ(doc.SaveToBytes(), Lines({Declaration, R"(<Settings n="0"></Settings>)"}));
}

TEST(Write, ElementShapes) {
  TXmlDocument doc;
  TXmlNode& root = *doc.RootElement();
  root.NewChild("empty");
  root.NewChild("text")->SetValue("a &amp; b");
  TXmlNode* outer = root.NewChild("outer");
  outer->SetValue("own");
  outer->NewChild("inner");
  EXPECT_EQ(doc.SaveToBytes(), Lines({Declaration, "<Settings>", "  <empty/>", "  <text>a &amp; b</text>",
                                      "  <outer>own", "    <inner/>", "  </outer>", "</Settings>"}));
}

struct TKindCase {
  TXmlElementType Type;
  const char* Name;
  const char* Value;
  std::string Written;  // at depth 1, without the line's indent
};
void PrintTo(const TKindCase& c, std::ostream* os) {
  PrintLabel(c.Written, os);
}

class WriteKind : public testing::TestWithParam<TKindCase> {};

TEST_P(WriteKind, WrittenForm) {
  TXmlDocument doc;
  auto node = std::make_unique<TXmlNode>(&doc);
  node->SetElementType(GetParam().Type);
  node->SetElementName(GetParam().Name);
  node->SetValue(GetParam().Value);
  if (GetParam().Type == TXmlElementType::Stylesheet) node->AppendAttribute("href", "s.xsl");
  doc.RootElement()->AppendChild(std::move(node));
  const std::string indent = GetParam().Type == TXmlElementType::CharData ? "" : "  ";
  EXPECT_EQ(doc.SaveToBytes(),
            Lines({Declaration, "<Settings>", indent + GetParam().Written, "</Settings>"}));
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, WriteKind,
    testing::Values(
        TKindCase{TXmlElementType::Comment, "", " c ", "<!-- c -->"},
        TKindCase{TXmlElementType::CData, "", "a<b", "<![CDATA[a<b]]>"},
        TKindCase{TXmlElementType::Stylesheet, "xml-stylesheet", "", R"(<?xml-stylesheet href="s.xsl"?>)"},
        TKindCase{TXmlElementType::DocType, "r", "SYSTEM \"r.dtd\"", "<!DOCTYPE r SYSTEM \"r.dtd\">"},
        TKindCase{TXmlElementType::DtdElement, "r", "(a)", "<!ELEMENT r (a)>"},
        TKindCase{TXmlElementType::DtdAttList, "a", "n CDATA #IMPLIED", "<!ATTLIST a n CDATA #IMPLIED>"},
        TKindCase{TXmlElementType::DtdEntity, "e", "\"v\"", "<!ENTITY e \"v\">"},
        TKindCase{TXmlElementType::DtdNotation, "n", "SYSTEM \"x\"", "<!NOTATION n SYSTEM \"x\">"},
        TKindCase{TXmlElementType::OtherMarkup, "", "foo", "<!foo>"},
        TKindCase{TXmlElementType::OtherInstruction, "", "pi x", "<?pi x?>"},
        TKindCase{TXmlElementType::Unknown, "", "u", "<u>"}));

TEST(Write, CharacterDataStandsWithoutLineBreaks) {
  TXmlDocument doc;
  TXmlNode& root = *doc.RootElement();
  root.NewChild("a");
  auto text = std::make_unique<TXmlNode>(&doc);
  text->SetElementType(TXmlElementType::CharData);
  text->SetValue("mid");
  root.AppendChild(std::move(text));
  root.NewChild("b");
  EXPECT_EQ(doc.SaveToBytes(), Lines({Declaration, "<Settings>", "  <a/>mid  <b/>", "</Settings>"}));
}

TEST(Write, IllegalKindFails) {
  TXmlDocument doc;
  doc.RootElement()->NewChild("x")->SetElementType(static_cast<TXmlElementType>(14));
  try {
    (void)doc.SaveToBytes();
    FAIL();
  } catch (const EXmlError& e) {
    EXPECT_EQ(std::string(e.what()), "Illegal element type");
  }
}

}  // namespace
