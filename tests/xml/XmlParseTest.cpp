// Reading documents: the lenient forms hand-edited files use, every parse error, hostile input.
#include "XmlTestSupport.h"

#include "xml/XmlError.h"

#include <gtest/gtest.h>

using namespace XmlTest;

namespace {

struct TRewriteCase {
  const char* What;
  std::string Input;
  std::string Written;
};
void PrintTo(const TRewriteCase& c, std::ostream* os) {
  PrintLabel(c.What, os);
}

class ParseRewrite : public testing::TestWithParam<TRewriteCase> {};

TEST_P(ParseRewrite, LoadsAndWritesByTheLayout) {
  EXPECT_EQ(Rewrite(GetParam().Input), GetParam().Written) << GetParam().What;
}

INSTANTIATE_TEST_SUITE_P(
    Forms, ParseRewrite,
    testing::Values(
        TRewriteCase{"unquoted values, blanks around the equals sign",
                     R"(<r><b a = "x" c= 'y' d ="z" e=abc/></r>)",
                     Lines({"<r>", R"(  <b a="x" c='y' d="z" e=abc/>)", "</r>"})},
        TRewriteCase{"close tags in another letter case", "<Root><Item>v</ITEM></root>",
                     Lines({"<Root>", "  <Item>v</Item>", "</Root>"})},
        TRewriteCase{"blank lines and indentation make no nodes", "<r>\r\n\r\n   <a/>\r\n\t<b/>\r\n\r\n</r>",
                     Lines({"<r>", "  <a/>", "  <b/>", "</r>"})},
        TRewriteCase{"a comment in the root on its own line", "<r><!-- note --><a/></r>",
                     Lines({"<r>", "  <!-- note -->", "  <a/>", "</r>"})},
        TRewriteCase{"CDATA keeps markup characters", "<r><![CDATA[a<b>&]]></r>",
                     Lines({"<r>", "  <![CDATA[a<b>&]]>", "</r>"})},
        TRewriteCase{"DOCTYPE with its internal subset",
                     R"(<!DOCTYPE r SYSTEM "r.dtd" [<!ELEMENT r (a)*><!ATTLIST a n CDATA "x>y"> %pe; )"
                     R"(<!ENTITY e "v"><!NOTATION n SYSTEM "x">]><r/>)",
                     Lines({R"(<!DOCTYPE r SYSTEM "r.dtd" [)", "  <!ELEMENT r (a)*>",
                            R"(  <!ATTLIST a n CDATA "x>y">)", R"(  <!ENTITY e "v">)",
                            R"(  <!NOTATION n SYSTEM "x">)", "]>", "<r></r>"})},
        TRewriteCase{"DOCTYPE without subset", "<!DOCTYPE html><r/>", Lines({"<!DOCTYPE html >", "<r></r>"})},
        TRewriteCase{
            "processing instructions",
            R"(<?xml-stylesheet type="text/xsl" href="s.xsl"?><?php echo 1 ?><r/>)",
            Lines({R"(<?xml-stylesheet type="text/xsl" href="s.xsl"?>)", "<?php echo 1 ?>", "<r></r>"})},
        TRewriteCase{"several top-level elements, declaration not first", R"(<a/><?xml version="1.0"?><b/>)",
                     Lines({"<a></a>", R"(<?xml version="1.0"?>)", "<b></b>"})},
        TRewriteCase{"element text stays escaped; blank text is no text", "<r><a>x &amp; y</a><b>  </b></r>",
                     Lines({"<r>", "  <a>x &amp; y</a>", "  <b/>", "</r>"})},
        TRewriteCase{"other <! markup", "<!foo bar><r/>", Lines({"<!foo bar>", "<r></r>"})},
        TRewriteCase{"text outside elements and empty comments make no nodes", "junk<!----><r/>tail",
                     Lines({"<r></r>"})},
        TRewriteCase{"quoted > inside a tag", R"(<r a="1>2" b='<'/>)", Lines({R"(<r a="1>2" b='<'></r>)"})},
        TRewriteCase{"blanks inside the markup of tags", "< r >< a />< / r >",
                     Lines({"<r>", "  <a/>", "</r>"})},
        TRewriteCase{"text around children", "<r>head<a/>mid<b/>tail</r>",
                     Lines({"<r>head", "  <a/>mid  <b/>tail</r>"})}));

// Text beside child elements must not grow by the layout's line breaks at every save.
TEST(Parse, MixedTextIsStableAcrossSaves) {
  for (const char* input :
       {"<r>head<a/>mid<b/>tail</r>", "<r> x <b/> y </r>", "<r>x<!--c-->y</r>", "<r><a>t<b/></a>\r\n</r>"}) {
    const std::string saved = Rewrite(Rewrite(input));
    EXPECT_EQ(Rewrite(saved), saved) << input;
  }
}

TEST(Parse, TwoTopLevelElementsRootIsTheFirst) {
  auto doc = Parse("<first/><second/>");
  ASSERT_NE(doc->RootElement(), nullptr);
  EXPECT_EQ(doc->RootElement()->Name(), "first");
  EXPECT_EQ(doc->Nodes().ChildCount(), 2);
}

TEST(Parse, CommentCountsAsChild) {
  auto doc = Parse("<r>\r\n  <!-- c -->\r\n  <a/>\r\n</r>");
  const TXmlNode& root = *doc->RootElement();
  ASSERT_EQ(root.ChildCount(), 2);
  EXPECT_EQ(root.ChildAt(0)->ElementType(), TXmlElementType::Comment);
  EXPECT_EQ(root.ChildAt(0)->Value(), " c ");
}

TEST(Parse, TextAfterFirstChildIsCharacterData) {
  auto doc = Parse("<r>head<a/>tail</r>");
  const TXmlNode& root = *doc->RootElement();
  EXPECT_EQ(root.Value(), "head");
  ASSERT_EQ(root.ChildCount(), 2);
  EXPECT_EQ(root.ChildAt(1)->ElementType(), TXmlElementType::CharData);
  EXPECT_EQ(root.ChildAt(1)->Value(), "tail");
}

struct TErrorCase {
  std::string Input;
  std::string Message;
};
void PrintTo(const TErrorCase& c, std::ostream* os) {
  PrintLabel(c.Input, os);
}

class ParseError : public testing::TestWithParam<TErrorCase> {};

TEST_P(ParseError, RaisesTheText) {
  TXmlDocument doc;
  try {
    doc.LoadFromBytes(GetParam().Input);
    FAIL() << "loaded: " << GetParam().Input;
  } catch (const EXmlError& e) {
    EXPECT_EQ(std::string(e.what()), GetParam().Message);
  }
}

using namespace std::string_literals;

INSTANTIATE_TEST_SUITE_P(
    Texts, ParseError,
    testing::Values(TErrorCase{"", "No root element found in xml"},
                    TErrorCase{"<?xml version=\"1.0\" encoding=\"GB2312\"?>\r\n",
                               "No root element found in xml"},
                    TErrorCase{"<!-- only a comment -->", "No root element found in xml"},
                    TErrorCase{"<r><>x</></r>", "Missing element name"},
                    TErrorCase{"<r><a>text", "Missing close tag in element a"},
                    TErrorCase{"<r a=\"x", "Missing close tag in element r"},
                    TErrorCase{"<r><a>text<", "Missing data after \"<\" in element a"},
                    TErrorCase{"<r><a>text<  \r\n", "Missing data after \"<\" in element a"},
                    TErrorCase{"<r></r", "Missing \">\" in close tag of element r"},
                    TErrorCase{"<r><a></b></r>", "Incorrect close tag in element a"},
                    TErrorCase{"<\xD6\xD0\xCE\xC4>", "Missing close tag in element \xD6\xD0\xCE\xC4"},
                    TErrorCase{"<r/><!-- cut off", "Missing \"-->\" after \"<!--\""},
                    TErrorCase{"<r><![CDATA[x</r>", "Missing \"]]>\" after \"<![CDATA[\""},
                    TErrorCase{"<?xml version=\"1.0?><r/>", "Missing \"?>\" after \"<?xml\""},
                    TErrorCase{"<r/><!ENTITY e \"v>", "Missing \">\" after \"<!ENTITY\""},
                    TErrorCase{"<!DOCTYPE r [<!ELEMENT r ANY>", "Missing \"]>\" after \"<!DOCTYPE\""},
                    TErrorCase{"<!DOCTYPE r [<!ELEMENT r ANY>]", "Missing \"]>\" after \"<!DOCTYPE\""},
                    TErrorCase{"<!DOCTYPE r SYSTEM \"r>.dtd\"", "Missing \">\" after \"<!DOCTYPE\""},
                    TErrorCase{"<r/><!foo", "Missing \">\" after \"<!\""},
                    TErrorCase{"<r/><?pi x>", "Missing \"?>\" after \"<?\""},
                    TErrorCase{"<?xml-stylesheet href=\"?>\"", "Missing \"?>\" after \"<?xml-stylesheet\""},
                    TErrorCase{"<>", "Missing element name"},
                    TErrorCase{"<r>< /></r>", "Incorrect close tag in element r"},
                    TErrorCase{"\x00\x00\xFE\xFF\x00\x00\x00<"s, "Unsupported string encoding"},
                    TErrorCase{"\xFF\xFE\x00\x00<\x00\x00\x00"s, "Unsupported string encoding"},
                    TErrorCase{"\x00\x00\x00<\x00\x00\x00?"s, "Unsupported string encoding"},
                    TErrorCase{"<\x00\x00\x00?\x00\x00\x00"s, "Unsupported string encoding"},
                    TErrorCase{"\x00\x00<\x00\x00\x00?\x00"s, "Unsupported string encoding"},
                    TErrorCase{"\x00<\x00\x00\x00?\x00\x00"s, "Unsupported string encoding"},
                    TErrorCase{"\x4C\x6F\xA7\x94\x93\xC1"s, "Unsupported string encoding"}));

std::string Nested(int levels) {
  std::string s;
  for (int i = 0; i < levels; ++i) s += "<e" + std::to_string(i) + ">";
  for (int i = levels - 1; i >= 0; --i) s += "</e" + std::to_string(i) + ">";
  return s;
}

TEST(ParseHostile, NestingLimit) {
  EXPECT_NO_THROW(Parse(Nested(TXmlDocument::MaxNesting)));
  TXmlDocument doc;
  try {
    doc.LoadFromBytes(Nested(TXmlDocument::MaxNesting + 1));
    FAIL();
  } catch (const EXmlError& e) {
    EXPECT_EQ(std::string(e.what()), "Nesting too deep in element e255");
  }
}

TEST(ParseHostile, SizeCeiling) {
  std::string big = "<r>";
  big.resize(TXmlDocument::MaxFileSize + 1, ' ');
  TXmlDocument doc;
  try {
    doc.LoadFromBytes(big);
    FAIL();
  } catch (const EXmlError& e) {
    EXPECT_EQ(std::string(e.what()), "File too large");
  }
}

TEST(ParseHostile, NoEntityExpansionBeyondTheFive) {
  auto doc = Parse(R"(<!DOCTYPE r [<!ENTITY a "aaaaaaaaaa">]><r v="&a;&a;&#65;&#x42;&lt;"/>)");
  EXPECT_EQ(doc->RootElement()->GetAttribute("v"), "&a;&a;AB<");
}

TEST(ParseHostile, DeepTreeBuiltInCodeIsFreedAndWritten) {
  // Far deeper than any file may be: destruction and writing must not recurse per level.
  TXmlDocument doc;
  TXmlNode* node = doc.RootElement();
  for (int i = 0; i < 200000; ++i) node = node->NewChild("n");
  doc.ResetDocument();
  node = doc.RootElement();
  for (int i = 0; i < 2000; ++i) node = node->NewChild("n");
  const std::string written = doc.SaveToBytes();
  EXPECT_NE(written.find(std::string(std::size_t{2} * 2000, ' ') + "<n/>"), std::string::npos);
}

TEST(Parse, StartTagsOfEveryLength) {
  // Names and values of every length around the reader's blocks of sixteen bytes, with each kind
  // of byte that ends a piece, and an open quote that runs to the end of the text.
  for (std::size_t n = 0; n <= 40; ++n) {
    const std::string name = "n" + std::string(n, 'x');
    const std::string value = std::string(n, 'v') + "=> \xD6\xD0";
    const std::string tag = "<r " + name + "=\"" + value + "\"\t b = 'q'\r\nc" + std::string(n, '9') + "/>";
    auto doc = Parse(tag);
    const TXmlNode& r = *doc->RootElement();
    ASSERT_EQ(r.AttributeCount(), 3) << tag;
    EXPECT_EQ(r.AttributeEntry(0), name + "=\"" + value + "\"") << tag;
    EXPECT_EQ(r.AttributeEntry(1), "b='q'") << tag;
    EXPECT_EQ(r.AttributeEntry(2), "c" + std::string(n, '9')) << tag;
    EXPECT_EQ(r.GetAttribute(name), value) << tag;
    EXPECT_EQ(r.ChildCount(), 0) << tag;

    TXmlDocument open;
    try {
      open.LoadFromBytes("<" + name + " a=\"" + value + std::string(n % 7, ' '));
      FAIL() << n;
    } catch (const EXmlError& e) {
      EXPECT_EQ(std::string(e.what()), "Missing close tag in element " + name);
    }
    ASSERT_EQ(open.RootElement()->AttributeCount(), 1);
    EXPECT_EQ(open.RootElement()->AttributeEntry(0), "a=\"" + value);
  }
}

TEST(Parse, TextHeldByTheDocumentItself) {
  // The bytes may belong to the tree the load replaces, also where a declaration switches the
  // reading of 8-bit text over to UTF-8.
  for (bool utf8Text : {false, true}) {
    TXmlDocument doc;
    doc.SetUtf8Text(utf8Text);
    doc.RootElement()->SetValue(
        Lines({R"(<?xml version="1.0" encoding="UTF-8"?>)", "<a b=\"\xE4\xB8\xAD\"/>"}));
    doc.LoadFromBytes(doc.RootElement()->Value());
    ASSERT_NE(doc.RootElement(), nullptr);
    EXPECT_EQ(doc.RootElement()->Name(), "a");
    EXPECT_EQ(doc.RootElement()->GetAttribute("b"), "\xE4\xB8\xAD");
  }
}

TEST(Parse, SaveAfterTheTreeGrewPastTheLoadedFile) {
  // The text is made ahead at the loaded file's length and must grow when the tree did.
  const std::string small = Lines({Declaration, "<Settings>", "  <a/>", "</Settings>"});
  TXmlDocument loaded, built;
  loaded.LoadFromBytes(small);
  built.RootElement()->NewChild("a");
  for (TXmlDocument* doc : {&loaded, &built}) {
    for (int i = 0; i < 500; ++i) doc->RootElement()->NewChild("b")->SetAttribute("v", std::string(i, 'w'));
  }
  const std::string written = loaded.SaveToBytes();
  EXPECT_EQ(written, built.SaveToBytes());
  EXPECT_EQ(Rewrite(written), written);
}

TEST(ParseHostile, FailedParseKeepsWhatWasBuilt) {
  TXmlDocument doc;
  EXPECT_THROW(doc.LoadFromBytes("<a/><b>"), EXmlError);
  ASSERT_NE(doc.RootElement(), nullptr);
  EXPECT_EQ(doc.RootElement()->Name(), "a");
}

}  // namespace
