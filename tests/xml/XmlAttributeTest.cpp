// Attributes and nodes: escaping, quoting, letter case, numbers, names, child lists.
#include "XmlTestSupport.h"

#include "xml/XmlError.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace XmlTest;

namespace {

struct TValueCase {
  std::string Value;
  std::string Stored;  // as written in the file
};
void PrintTo(const TValueCase& c, std::ostream* os) {
  PrintLabel(c.Stored, os);
}

class AttributeValue : public testing::TestWithParam<TValueCase> {};

TEST_P(AttributeValue, EscapedOnWriteAndUnchangedAfterReload) {
  TXmlDocument doc;
  doc.RootElement()->SetAttribute("v", GetParam().Value);
  const std::string written = doc.SaveToBytes();
  EXPECT_EQ(written, Lines({Declaration, "<Settings v=" + GetParam().Stored + "></Settings>"}));
  EXPECT_EQ(Parse(written)->RootElement()->GetAttribute("V"), GetParam().Value);
}

INSTANTIATE_TEST_SUITE_P(
    Values, AttributeValue,
    testing::Values(TValueCase{"a & b", "\"a &amp; b\""}, TValueCase{"<tag>", "\"&lt;tag&gt;\""},
                    TValueCase{"it's \"q\"", "\"it&apos;s &quot;q&quot;\""},
                    TValueCase{"&amp;", "\"&amp;amp;\""},
                    TValueCase{"D:\\\xD6\xD0\xCE\xC4\\\xC2\xB7 & <x>.lnk",
                               "\"D:\\\xD6\xD0\xCE\xC4\\\xC2\xB7 &amp; &lt;x&gt;.lnk\""}));

struct TReadCase {
  std::string Tag;
  std::string Expected;
  bool Utf8Text = false;
};
void PrintTo(const TReadCase& c, std::ostream* os) {
  PrintLabel(c.Tag, os);
}

class AttributeRead : public testing::TestWithParam<TReadCase> {};

TEST_P(AttributeRead, UnquotedAndUnescaped) {
  TXmlDocument doc;
  doc.SetUtf8Text(GetParam().Utf8Text);
  doc.LoadFromBytes("<r " + GetParam().Tag + "/>");
  EXPECT_EQ(doc.RootElement()->GetAttribute("a"), GetParam().Expected) << GetParam().Tag;
}

INSTANTIATE_TEST_SUITE_P(
    Forms, AttributeRead,
    testing::Values(TReadCase{"a=abc", "abc"}, TReadCase{"a='it''s'", "it's"},
                    TReadCase{"a=\"x\"\"y\"", "x\"y"}, TReadCase{"a=\"\"", ""}, TReadCase{"a", ""},
                    TReadCase{"a=\"&#65;&#x42;&#X43;\"", "ABC"}, TReadCase{"a=\"&#254;\"", "\xFE"},
                    TReadCase{"a=\"&#255;\"", "&#255;"}, TReadCase{"a=\"&#20013;\"", "\xE4\xB8\xAD", true},
                    TReadCase{"a=\"&#65535;\"", "&#65535;", true},
                    TReadCase{"a=\"&AMP;&unknown;&#;&#x;&#1a;\"", "&AMP;&unknown;&#;&#x;&#1a;"},
                    TReadCase{"a=\"x & y\"", "x & y"}, TReadCase{"a=\"&lt;&amp\"", "<&amp"},
                    TReadCase{"A=first a=second", "first"}));

TEST(Attribute, LetterCaseOfNames) {
  TXmlDocument doc;
  TXmlNode& n = *doc.RootElement();
  n.SetAttribute("ButtonGuid", "g");
  EXPECT_EQ(n.GetAttribute("buttonguid"), "g");
  n.StoreStringAttribute("BUTTONGUID", "h", "");
  EXPECT_EQ(n.AttributeEntry(0), "ButtonGuid=\"h\"");
  n.SetAttribute("buttonGUID", "i");
  EXPECT_EQ(n.AttributeEntry(0), "buttonGUID=\"i\"");
  EXPECT_EQ(n.AttributeCount(), 1);
}

TEST(Attribute, SetReplacesInPlaceAppendDoesNotLook) {
  TXmlDocument doc;
  TXmlNode& n = *doc.RootElement();
  n.SetAttribute("a", "1");
  n.SetAttribute("b", "2");
  n.SetAttribute("a", "3");
  n.AppendAttribute("b", "4");
  ASSERT_EQ(n.AttributeCount(), 3);
  EXPECT_EQ(n.AttributeEntry(0), "a=\"3\"");
  EXPECT_EQ(n.GetAttribute("b"), "2");
}

TEST(Attribute, ReplacingInTheMiddleMovesOnlyItsOwnText) {
  // Entries that grow and shrink among many others: every other entry keeps its text.
  TXmlDocument doc;
  TXmlNode& n = *doc.RootElement();
  for (int i = 0; i < 100; ++i) n.AppendAttribute("a" + std::to_string(i), std::to_string(i));
  n.SetAttribute("a50", std::string(300, 'x'));
  n.StoreStringAttribute("A10", "", "");
  n.SetAttribute("a99", "<&>");
  ASSERT_EQ(n.AttributeCount(), 100);
  for (int i = 0; i < 100; ++i) {
    const std::string name = "a" + std::to_string(i);
    const std::string expected = i == 50   ? std::string(300, 'x')
                                 : i == 10 ? ""
                                 : i == 99 ? "<&>"
                                           : std::to_string(i);
    EXPECT_EQ(n.AttributeName(i), name);
    EXPECT_EQ(n.GetAttribute(name), expected) << name;
  }
  EXPECT_EQ(n.AttributeEntry(99), "a99=\"&lt;&amp;&gt;\"");
  // A name or value taken from the node's own entries.
  n.SetAttribute(n.AttributeName(3), n.AttributeStoredValue(50));
  n.AppendAttribute(n.AttributeName(4), n.AttributeValue(4));
  EXPECT_EQ(n.GetAttribute("a3"), "\"" + std::string(300, 'x') + "\"");
  EXPECT_EQ(n.AttributeEntry(100), "a4=\"4\"");
  EXPECT_THROW((void)n.AttributeEntry(101), std::out_of_range);
  EXPECT_THROW((void)n.AttributeName(-1), std::out_of_range);
}

struct TIntCase {
  std::string Text;
  std::int64_t As32;
  std::int64_t As64;
};
void PrintTo(const TIntCase& c, std::ostream* os) {
  PrintLabel(c.Text, os);
}

class AttributeNumber : public testing::TestWithParam<TIntCase> {};

TEST_P(AttributeNumber, SignedDecimalElseDefault) {
  TXmlDocument doc;
  TXmlNode& n = *doc.RootElement();
  n.SetAttribute("n", GetParam().Text);
  EXPECT_EQ(n.AttributeAsInteger("n", -7), GetParam().As32) << GetParam().Text;
  EXPECT_EQ(n.AttributeAsInt64("n", -7), GetParam().As64) << GetParam().Text;
}

INSTANTIATE_TEST_SUITE_P(Texts, AttributeNumber,
                         testing::Values(TIntCase{"", -7, -7}, TIntCase{"abc", -7, -7},
                                         TIntCase{"12", 12, 12}, TIntCase{"-65536", -65536, -65536},
                                         TIntCase{"+5", 5, 5}, TIntCase{" 5", -7, -7}, TIntCase{"5x", -7, -7},
                                         TIntCase{"2147483648", -7, 2147483648LL},
                                         TIntCase{"4278190080", -7, 4278190080LL},
                                         TIntCase{"-2147483648", -2147483648LL, -2147483648LL},
                                         TIntCase{"99999999999999999999", -7, -7}));

TEST(Attribute, AsStringDefaultsOnEmpty) {
  TXmlDocument doc;
  TXmlNode& n = *doc.RootElement();
  n.SetAttribute("e", "");
  EXPECT_EQ(n.AttributeAsString("e", "d"), "d");
  EXPECT_EQ(n.AttributeAsString("missing", "d"), "d");
  n.SetAttribute("e", "v");
  EXPECT_EQ(n.AttributeAsString("e", "d"), "v");
}

TEST(Node, ElementNameRefusesBlanks) {
  TXmlDocument doc;
  TXmlNode& n = *doc.RootElement();
  for (const char* bad : {"a b", "a\tb", "a\nb", "a\rb"}) {
    try {
      n.SetElementName(bad);
      FAIL() << bad;
    } catch (const EXmlError& e) {
      EXPECT_EQ(std::string(e.what()), std::string("Illegal character in node name \"") + bad + "\"");
    }
    EXPECT_EQ(n.Name(), "Settings");
  }
  n.SetElementName("\xC9\xE8\xD6\xC3");
  EXPECT_EQ(n.Name(), "\xC9\xE8\xD6\xC3");
}

TEST(Node, ChildListBounds) {
  TXmlDocument doc;
  TXmlNode& root = *doc.RootElement();
  EXPECT_EQ(root.AppendChild(nullptr), -1);
  EXPECT_EQ(root.AppendChild(std::make_unique<TXmlNode>(&doc)), 0);
  root.NewChild("b");
  EXPECT_EQ(root.ChildAt(-1), nullptr);
  EXPECT_EQ(root.ChildAt(2), nullptr);
  root.DeleteChildAt(2);
  root.DeleteChildAt(-1);
  EXPECT_EQ(root.ChildCount(), 2);
  root.DeleteChildAt(0);
  ASSERT_EQ(root.ChildCount(), 1);
  EXPECT_EQ(root.ChildAt(0)->Name(), "b");
  EXPECT_EQ(root.ChildAt(0)->Parent(), &root);
  EXPECT_EQ(root.ChildAt(0)->Depth(), 1);
}

}  // namespace
