// Reads the document's text into its tree, with the lenient forms hand-edited files use.
#pragma once

#include "xml/XmlNode.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class TXmlDocument;

class TXmlParser {
 public:
  // text: the decoded text. latin1Source: when not empty, text is this 8-bit source converted to
  // UTF-8, and a declaration saying "UTF-8" switches to taking the rest of the source as it stands.
  TXmlParser(TXmlDocument& document, std::string text, std::string_view latin1Source = {});

  // Replaces the children of the top-level list; fails with "No root element found in xml".
  void ParseDocument(TXmlNode& topLevel);

  // A tag's text split into its pieces (an element's name first), then attribute entries as they stand.
  static std::vector<std::string> SplitTag(std::string_view tag, bool firstIsName);
  static void SplitTag(std::string_view tag, bool firstIsName, std::vector<std::string>& pieces);

 private:
  void ParseNode(TXmlNode& node, int depth);
  void ParseElement(TXmlNode& node, int depth);
  void ParseContent(TXmlNode& node, int depth);
  void ParseAttributesOnly(TXmlNode& node, std::string_view start, std::string_view name);
  void ParseDocType(TXmlNode& node, int depth);
  void ParseDtdDeclaration(TXmlNode& node, std::string_view start);
  // Markup cut off by the end of the input is refused, not taken as running to the end.
  void ReadUntil(TXmlNode& node, std::string_view start, std::string_view end);
  void SwitchToUtf8();

  TXmlNode& NewChildNode(TXmlNode& parent);
  std::size_t FindOutsideQuotes(std::size_t from, std::string_view ends, bool questionGt) const;
  void SkipBlanks();
  bool AtEnd() const { return FPos >= FText.size(); }

  TXmlDocument& FDocument;
  std::string FText;
  std::size_t FPos = 0;
  std::string_view FLatin1Source;
  std::vector<std::string> FPieces;  // scratch of SplitTag, kept between tags
};
