// Reads the document's text into its tree.
#include "xml/XmlParser.h"

#include "xml/XmlDocument.h"
#include "xml/XmlEncoding.h"
#include "xml/XmlError.h"
#include "xml/XmlText.h"

#include <cstring>

using XmlText::IsBlank;

namespace {

struct TMarkup {
  std::string_view Start;
  TXmlElementType Type;
};

// Where several start strings match, the longest wins: longer forms come before their prefixes.
constexpr TMarkup MarkupTable[] = {
    {"<![CDATA[", TXmlElementType::CData},
    {"<!DOCTYPE", TXmlElementType::DocType},
    {"<!ELEMENT", TXmlElementType::DtdElement},
    {"<!ATTLIST", TXmlElementType::DtdAttList},
    {"<!ENTITY", TXmlElementType::DtdEntity},
    {"<!NOTATION", TXmlElementType::DtdNotation},
    {"<!--", TXmlElementType::Comment},
    {"<!", TXmlElementType::OtherMarkup},
    {"<?xml-stylesheet", TXmlElementType::Stylesheet},
    {"<?xml", TXmlElementType::Declaration},
    {"<?", TXmlElementType::OtherInstruction},
};

bool IsEmptyNode(const TXmlNode& n) {
  return n.Name().empty() && n.Value().empty() && n.AttributeCount() == 0 && n.ChildCount() == 0;
}

// First word of a declaration's text as its name, the rest (trimmed) as its value.
void SplitNameAndValue(TXmlNode& node, std::string_view text) {
  text = XmlText::Trim(text);
  std::size_t i = 0;
  while (i < text.size() && !IsBlank(text[i])) ++i;
  node.SetValue(std::string(XmlText::Trim(text.substr(i))));
  // A first word never holds blanks, so SetElementName accepts it.
  node.SetElementName(text.substr(0, i));
}

}  // namespace

TXmlParser::TXmlParser(TXmlDocument& document, std::string text, std::string_view latin1Source)
    : FDocument(document), FText(std::move(text)), FLatin1Source(latin1Source) {}

void TXmlParser::SkipBlanks() {
  while (FPos < FText.size() && IsBlank(FText[FPos])) ++FPos;
}

TXmlNode& TXmlParser::NewChildNode(TXmlNode& parent) {
  auto child = std::make_unique<TXmlNode>(&FDocument);
  TXmlNode& ref = *child;
  parent.AppendChild(std::move(child));
  return ref;
}

void TXmlParser::SwitchToUtf8() {
  if (FLatin1Source.empty()) return;
  // Everything read so far was converted; from here on the source's bytes are taken as they stand.
  const std::size_t consumed = XmlEncoding::Latin1LengthOfUtf8(std::string_view(FText).substr(0, FPos));
  FText.resize(FPos);
  FText.append(FLatin1Source.substr(consumed));
  FLatin1Source = {};
}

void TXmlParser::ParseDocument(TXmlNode& topLevel) {
  topLevel.ClearChildren();
  while (!AtEnd()) {
    // Text outside markup at the top level makes no node: skip a whole run of it at once.
    SkipBlanks();
    while (!AtEnd() && FText[FPos] != '<') ++FPos;
    if (AtEnd()) break;
    TXmlNode& node = NewChildNode(topLevel);
    ParseNode(node, 0);
    if (node.ElementType() == TXmlElementType::Declaration && node.GetAttribute("encoding") == "UTF-8")
      SwitchToUtf8();
    if (IsEmptyNode(node)) topLevel.DeleteChildAt(topLevel.ChildCount() - 1);
  }
  for (int i = 0; i < topLevel.ChildCount(); ++i)
    if (topLevel.ChildAt(i)->ElementType() == TXmlElementType::Element) return;
  XmlErrors::Raise(XmlErrors::NoRootElement);
}

void TXmlParser::ParseNode(TXmlNode& node, int depth) {
  SkipBlanks();
  if (AtEnd()) return;
  if (FText[FPos] != '<') {
    ++FPos;
    return;
  }
  const std::string_view rest = std::string_view(FText).substr(FPos);
  for (const TMarkup& m : MarkupTable) {
    if (rest.substr(0, m.Start.size()) != m.Start) continue;
    node.SetElementType(m.Type);
    switch (m.Type) {
      case TXmlElementType::Comment:
        return ReadUntil(node, m.Start, "-->");
      case TXmlElementType::CData:
        return ReadUntil(node, m.Start, "]]>");
      case TXmlElementType::OtherMarkup:
        return ReadUntil(node, m.Start, ">");
      case TXmlElementType::OtherInstruction:
        return ReadUntil(node, m.Start, "?>");
      case TXmlElementType::Declaration:
        return ParseAttributesOnly(node, m.Start, "xml");
      case TXmlElementType::Stylesheet:
        return ParseAttributesOnly(node, m.Start, "xml-stylesheet");
      case TXmlElementType::DocType:
        return ParseDocType(node, depth);
      default:
        return ParseDtdDeclaration(node, m.Start);
    }
  }
  ParseElement(node, depth);
}

void TXmlParser::ReadUntil(TXmlNode& node, std::string_view start, std::string_view end) {
  const std::size_t from = FPos + start.size();
  const std::size_t stop = FText.find(end, from);
  if (stop == std::string::npos) XmlErrors::Raise(XmlErrors::MissingMarkupEnd(end, start));
  node.SetValue(FText.substr(from, stop - from));
  FPos = stop + end.size();
}

std::size_t TXmlParser::FindOutsideQuotes(std::size_t from, std::string_view ends, bool questionGt) const {
  // At most two end characters; a quoted stretch is skipped in one search.
  const char end0 = ends.empty() ? '>' : ends[0];
  const char end1 = ends.size() > 1 ? ends[1] : end0;
  const std::size_t size = FText.size();
  for (std::size_t i = from; i < size; ++i) {
    const char c = FText[i];
    if (c == '"' || c == '\'') {
      const std::size_t close = FText.find(c, i + 1);
      if (close == std::string::npos) return std::string::npos;
      i = close;
    } else if (questionGt) {
      if (c == '?' && i + 1 < size && FText[i + 1] == '>') return i;
    } else if (c == end0 || c == end1) {
      return i;
    }
  }
  return std::string::npos;
}

void TXmlParser::ParseAttributesOnly(TXmlNode& node, std::string_view start, std::string_view name) {
  const std::size_t from = FPos + start.size();
  const std::size_t stop = FindOutsideQuotes(from, {}, true);
  if (stop == std::string::npos) XmlErrors::Raise(XmlErrors::MissingMarkupEnd("?>", start));
  node.SetElementName(name);
  SplitTag(std::string_view(FText).substr(from, stop - from), false, FPieces);
  node.FAttributes.reserve(FPieces.size());
  for (std::string& piece : FPieces) node.AppendAttributeEntry(std::move(piece));
  FPos = stop + 2;
}

void TXmlParser::ParseDtdDeclaration(TXmlNode& node, std::string_view start) {
  const std::size_t from = FPos + start.size();
  const std::size_t stop = FindOutsideQuotes(from, ">", false);
  if (stop == std::string::npos) XmlErrors::Raise(XmlErrors::MissingMarkupEnd(">", start));
  SplitNameAndValue(node, std::string_view(FText).substr(from, stop - from));
  FPos = stop + 1;
}

void TXmlParser::ParseDocType(TXmlNode& node, int depth) {
  constexpr std::string_view Start = "<!DOCTYPE";
  const std::size_t from = FPos + Start.size();
  const std::size_t stop = FindOutsideQuotes(from, ">[", false);
  if (stop == std::string::npos) XmlErrors::Raise(XmlErrors::MissingMarkupEnd(">", Start));
  SplitNameAndValue(node, std::string_view(FText).substr(from, stop - from));
  FPos = stop;
  if (FText[FPos] == '>') {
    ++FPos;
    return;
  }
  // The internal subset: declarations, comments and instructions up to "]", then ">".
  ++FPos;
  for (;;) {
    SkipBlanks();
    if (AtEnd()) XmlErrors::Raise(XmlErrors::MissingMarkupEnd("]>", Start));
    const char c = FText[FPos];
    if (c == ']') {
      const std::size_t gt = FText.find('>', FPos + 1);
      if (gt == std::string::npos) XmlErrors::Raise(XmlErrors::MissingMarkupEnd("]>", Start));
      FPos = gt + 1;
      return;
    }
    if (c != '<') {
      ++FPos;  // parameter-entity references and stray text make no node
      continue;
    }
    if (depth + 1 >= TXmlDocument::MaxNesting) XmlErrors::Raise(XmlErrors::NestingTooDeep(node.Name()));
    ParseNode(NewChildNode(node), depth + 1);
  }
}

void TXmlParser::ParseElement(TXmlNode& node, int depth) {
  const std::size_t from = FPos + 1;
  const std::size_t stop = FindOutsideQuotes(from, ">", false);
  std::size_t tagEnd = stop == std::string::npos ? FText.size() : stop;
  FPos = stop == std::string::npos ? FText.size() : stop + 1;
  // A "/" just before ">" closes the element at once.
  const bool closed = stop != std::string::npos && tagEnd > from && FText[tagEnd - 1] == '/';
  if (closed) --tagEnd;
  SplitTag(std::string_view(FText).substr(from, tagEnd - from), true, FPieces);
  if (FPieces.empty()) XmlErrors::Raise(XmlErrors::MissingElementName);
  node.SetElementType(TXmlElementType::Element);
  node.FName = std::move(FPieces[0]);
  node.FAttributes.reserve(FPieces.size() - 1);
  for (std::size_t i = 1; i < FPieces.size(); ++i) node.AppendAttributeEntry(std::move(FPieces[i]));
  if (!closed) ParseContent(node, depth);
}

void TXmlParser::ParseContent(TXmlNode& node, int depth) {
  std::string text;
  bool sawCR = false;
  bool hasMarkupChild = false;
  auto flush = [&] {
    if (!XmlText::IsAllBlank(text)) {
      TXmlNode& data = NewChildNode(node);
      data.SetElementType(TXmlElementType::CharData);
      data.SetValue(text);
    }
    text.clear();
  };
  for (;;) {
    const std::size_t lt = FText.find('<', FPos);
    const std::size_t stop = lt == std::string::npos ? FText.size() : lt;
    if (!sawCR && std::memchr(FText.data() + FPos, '\r', stop - FPos)) sawCR = true;
    text.append(FText, FPos, stop - FPos);
    FPos = stop;
    if (lt == std::string::npos) XmlErrors::Raise(XmlErrors::MissingCloseTag(node.Name()));
    std::size_t q = lt + 1;
    while (q < FText.size() && IsBlank(FText[q])) ++q;
    if (q >= FText.size()) XmlErrors::Raise(XmlErrors::MissingDataAfterLt(node.Name()));
    if (FText[q] == '/') {
      // Quote-aware like the start tag, so that a name holding a quoted ">" finds its close tag.
      const std::size_t gt = FindOutsideQuotes(q + 1, ">", false);
      if (gt == std::string::npos) XmlErrors::Raise(XmlErrors::MissingGtInCloseTag(node.Name()));
      if (!XmlText::SameText(XmlText::Trim(std::string_view(FText).substr(q + 1, gt - q - 1)), node.Name()))
        XmlErrors::Raise(XmlErrors::IncorrectCloseTag(node.Name()));
      FPos = gt + 1;
      break;
    }
    flush();
    if (depth + 1 >= TXmlDocument::MaxNesting) XmlErrors::Raise(XmlErrors::NestingTooDeep(node.Name()));
    TXmlNode& child = NewChildNode(node);
    ParseNode(child, depth + 1);
    if (child.ElementType() != TXmlElementType::CharData) hasMarkupChild = true;
  }
  flush();
  // Line breaks and indentation that the readable layout put around children are not text. A CR
  // anywhere in the element's text counts (the layout puts one after the element's own text), so
  // that text does not grow by a line break at every save.
  if (hasMarkupChild && sawCR) {
    for (auto& child : node.FChildren) {
      if (child->ElementType() != TXmlElementType::CharData) continue;
      std::string& v = child->FValue;
      std::size_t n = v.size();
      while (n > 0 && (v[n - 1] == '\r' || v[n - 1] == '\n' || v[n - 1] == ' ')) --n;
      v.resize(n);
    }
  }
  if (!node.FChildren.empty() && node.FChildren.front()->ElementType() == TXmlElementType::CharData) {
    node.FValue = std::move(node.FChildren.front()->FValue);
    node.DeleteChildAt(0);
  }
}

std::vector<std::string> TXmlParser::SplitTag(std::string_view tag, bool firstIsName) {
  std::vector<std::string> pieces;
  SplitTag(tag, firstIsName, pieces);
  return pieces;
}

void TXmlParser::SplitTag(std::string_view tag, bool firstIsName, std::vector<std::string>& pieces) {
  pieces.clear();
  tag = XmlText::Trim(tag);
  // name = "value": a piece that begins with "=" is joined to the piece before, then a piece that
  // begins with a quote to a piece before that holds "=" (one pass gives the same pieces as the two
  // joins in turn). Nothing is joined to an element's name: the writer puts a space after the name,
  // and an attribute glued to it would not load again.
  const std::size_t firstTarget = firstIsName ? 1 : 0;
  bool lastHasEquals = false;
  std::size_t i = 0;
  while (i < tag.size()) {
    while (i < tag.size() && IsBlank(tag[i])) ++i;
    if (i >= tag.size()) break;
    const std::size_t start = i;
    while (i < tag.size() && !IsBlank(tag[i])) {
      const char c = tag[i++];
      if (c == '"' || c == '\'') {
        const std::size_t close = tag.find(c, i);
        i = close == std::string_view::npos ? tag.size() : close + 1;
      }
    }
    const std::string_view p = tag.substr(start, i - start);
    if (p[0] == '=' && pieces.size() > firstTarget) {
      pieces.back() += p;
      lastHasEquals = true;
    } else if ((p[0] == '"' || p[0] == '\'') && pieces.size() > firstTarget && lastHasEquals) {
      pieces.back() += p;
    } else {
      pieces.emplace_back(p);
      lastHasEquals = p.find('=') != std::string_view::npos;
    }
  }
}
