// Reads the document's text into its tree, with the lenient forms hand-edited files use.
#pragma once

#include "xml/XmlNode.h"

#include <cstddef>
#include <string_view>
#include <vector>

class TXmlDocument;

class TXmlParser {
 public:
  // text: the decoded text, which must stay while the parser reads it (it may be the caller's
  // bytes). latin1Source: when not empty, text is this 8-bit source converted to UTF-8, and a
  // declaration saying "UTF-8" switches to taking the rest of the source as it stands.
  TXmlParser(TXmlDocument& document, std::string_view text, std::string_view latin1Source = {});

  // Replaces the children of the top-level list; fails with "No root element found in xml". The
  // previous children are freed only at the end, so the text may be bytes held by them.
  void ParseDocument(TXmlNode& topLevel);

 private:
  // A tag's text split at blanks outside quotes into FPieces.
  void SplitTag(std::string_view tag);
  // FPieces into the node (an element's name first, then attribute entries as they stand), with
  // name = "value" (blanks around "=") joined into one entry.
  void StorePieces(TXmlNode& node, bool firstIsName);

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
  std::string_view FText;
  std::size_t FPos = 0;
  std::string_view FLatin1Source;
  struct TPiece {
    std::string_view Text;  // a view of FText
    std::size_t Equals;     // where its first "=" is, or npos
  };
  std::vector<TPiece> FPieces;  // kept between tags
};
