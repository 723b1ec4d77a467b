// Reads the document's text into its tree.
#include "xml/XmlParser.h"

#include "xml/XmlDocument.h"
#include "xml/XmlEncoding.h"
#include "xml/XmlError.h"
#include "xml/XmlText.h"

#include <array>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

TXmlParser::TXmlParser(TXmlDocument& document, std::string_view text, std::string_view latin1Source)
    : FDocument(document), FText(text), FLatin1Source(latin1Source) {
  FPieces.reserve(16);
}

void TXmlParser::SkipBlanks() {
  while (FPos < FText.size() && IsBlank(FText[FPos])) ++FPos;
}

TXmlNode& TXmlParser::NewChildNode(TXmlNode& parent) {
  auto child = std::make_unique<TXmlNode>(&FDocument);
  TXmlNode& ref = *child;
  child->FParent = &parent;
  // A node that has children mostly has several: the list starts with room for a few.
  if (parent.FChildren.capacity() == 0) parent.FChildren.reserve(4);
  parent.FChildren.push_back(std::move(child));
  return ref;
}

void TXmlParser::SwitchToUtf8() {
  if (FLatin1Source.empty()) return;
  // From here on the source's bytes are read as they stand. The text read so far was converted, and it is
  // never read again, so the reader simply moves to the same place in the source.
  FPos = XmlEncoding::Latin1LengthOfUtf8(FText.substr(0, FPos));
  FText = FLatin1Source;
  FLatin1Source = {};
}

void TXmlParser::ParseDocument(TXmlNode& topLevel) {
  // Freed when the parse ends, also by an error (each node frees its own subtree without recursion).
  const std::vector<std::unique_ptr<TXmlNode>> previous = std::move(topLevel.FChildren);
  topLevel.FChildren.clear();
  while (!AtEnd()) {
    // Text outside markup at the top level makes no node: skip a whole run of it at once.
    SkipBlanks();
    while (!AtEnd() && FText[FPos] != '<') ++FPos;
    if (AtEnd()) break;
    TXmlNode& node = NewChildNode(topLevel);
    ParseNode(node, 0);
    if (node.ElementType() == TXmlElementType::Declaration && node.GetAttribute("encoding") == "UTF-8") {
      SwitchToUtf8();
    }
    if (IsEmptyNode(node)) topLevel.DeleteChildAt(topLevel.ChildCount() - 1);
  }
  for (int i = 0; i < topLevel.ChildCount(); ++i) {
    if (topLevel.ChildAt(i)->ElementType() == TXmlElementType::Element) return;
  }
  XmlErrors::Raise(XmlErrors::NoRootElement);
}

void TXmlParser::ParseNode(TXmlNode& node, int depth) {
  SkipBlanks();
  if (AtEnd()) return;
  if (FText[FPos] != '<') {
    ++FPos;
    return;
  }
  // Every other kind of markup begins with "<!" or "<?".
  if (FPos + 1 < FText.size() && FText[FPos + 1] != '!' && FText[FPos + 1] != '?') {
    return ParseElement(node, depth);
  }
  const std::string_view rest = FText.substr(FPos);
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
  if (stop == std::string_view::npos) XmlErrors::Raise(XmlErrors::MissingMarkupEnd(end, start));
  node.SetValue(std::string(FText.substr(from, stop - from)));
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
      if (close == std::string_view::npos) return std::string_view::npos;
      i = close;
    } else if (questionGt) {
      if (c == '?' && i + 1 < size && FText[i + 1] == '>') return i;
    } else if (c == end0 || c == end1) {
      return i;
    }
  }
  return std::string_view::npos;
}

void TXmlParser::ParseAttributesOnly(TXmlNode& node, std::string_view start, std::string_view name) {
  const std::size_t from = FPos + start.size();
  const std::size_t stop = FindOutsideQuotes(from, {}, true);
  if (stop == std::string_view::npos) XmlErrors::Raise(XmlErrors::MissingMarkupEnd("?>", start));
  node.SetElementName(name);
  SplitTag(FText.substr(from, stop - from));
  StorePieces(node, false);
  FPos = stop + 2;
}

void TXmlParser::ParseDtdDeclaration(TXmlNode& node, std::string_view start) {
  const std::size_t from = FPos + start.size();
  const std::size_t stop = FindOutsideQuotes(from, ">", false);
  if (stop == std::string_view::npos) XmlErrors::Raise(XmlErrors::MissingMarkupEnd(">", start));
  SplitNameAndValue(node, FText.substr(from, stop - from));
  FPos = stop + 1;
}

void TXmlParser::ParseDocType(TXmlNode& node, int depth) {
  constexpr std::string_view Start = "<!DOCTYPE";
  const std::size_t from = FPos + Start.size();
  const std::size_t stop = FindOutsideQuotes(from, ">[", false);
  if (stop == std::string_view::npos) XmlErrors::Raise(XmlErrors::MissingMarkupEnd(">", Start));
  SplitNameAndValue(node, FText.substr(from, stop - from));
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
      if (gt == std::string_view::npos) XmlErrors::Raise(XmlErrors::MissingMarkupEnd("]>", Start));
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

namespace {
// How the start-tag scanner treats each byte.
enum TTagByte : unsigned char { Plain, Blank, Gt, Quote, Equals };
constexpr auto TagBytes = [] {
  std::array<unsigned char, 256> kinds{};
  kinds['\t'] = kinds['\n'] = kinds['\r'] = kinds[' '] = Blank;
  kinds['>'] = Gt;
  kinds['"'] = kinds['\''] = Quote;
  kinds['='] = Equals;
  return kinds;
}();
inline unsigned char TagByte(char c) {
  return TagBytes[static_cast<unsigned char>(c)];
}

// The first byte from p on that is c, or end. Sixteen bytes at a time where the text lasts that long.
inline const char* FindByte(const char* p, const char* end, char c) {
#if defined(__SSE2__)
  const __m128i needle = _mm_set1_epi8(c);
  while (end - p >= 16) {
    const int mask =
        _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), needle));
    if (mask) return p + __builtin_ctz(static_cast<unsigned>(mask));
    p += 16;
  }
#endif
  while (p < end && *p != c) ++p;
  return p;
}

// The first byte from p on that is not Plain, or end. Every other kind is a byte below 0x3F, so a
// block without such bytes is passed at once.
inline const char* SkipPlain(const char* p, const char* end) {
#if defined(__SSE2__)
  const __m128i limit = _mm_set1_epi8(0x3E);
  while (end - p >= 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    auto low = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_min_epu8(bytes, limit), bytes)));
    for (; low; low &= low - 1) {
      const char* q = p + __builtin_ctz(low);
      if (TagByte(*q) != Plain) return q;
    }
    p += 16;
  }
#endif
  while (p < end && TagByte(*p) == Plain) ++p;
  return p;
}
}  // namespace

void TXmlParser::ParseElement(TXmlNode& node, int depth) {
  // One pass over the start tag. It ends at the first ">" outside quotes (without one, at the end of
  // the text), a "/" just before that ">" closes the element at once, and blanks separate its pieces;
  // a quote without its partner runs to the end of the text.
  const char* const text = FText.data();
  const char* const end = text + FText.size();
  FPieces.clear();
  bool closed = false;
  const char* p = text + FPos + 1;
  for (;;) {
    while (p < end && TagByte(*p) == Blank) ++p;
    if (p == end || *p == '>') break;
    const char* const start = p;
    const char* equals = nullptr;  // the piece's first "=", quoted or not
    while (p < end) {
      const unsigned char kind = TagByte(*p);
      if (kind == Plain) {
        p = SkipPlain(p + 1, end);
      } else if (kind == Equals) {
        if (!equals) equals = p;
        ++p;
      } else if (kind == Quote) {
        const char* close = FindByte(p + 1, end, *p);
        if (!equals) {
          equals = static_cast<const char*>(std::memchr(p + 1, '=', static_cast<std::size_t>(close - p - 1)));
        }
        p = close == end ? end : close + 1;
      } else {
        break;
      }
    }
    const char* pieceEnd = p;
    if (p < end) {
      if (*p == '>' && pieceEnd[-1] == '/') {
        closed = true;
        --pieceEnd;
      }
    } else {
      while (pieceEnd > start && IsBlank(pieceEnd[-1])) {
        --pieceEnd;  // an open quote ran over the trailing blanks
      }
    }
    if (pieceEnd > start) {
      FPieces.push_back({std::string_view(start, static_cast<std::size_t>(pieceEnd - start)),
                         equals ? static_cast<std::size_t>(equals - start) : std::string_view::npos});
    }
  }
  FPos = p < end ? static_cast<std::size_t>(p - text) + 1 : FText.size();
  if (FPieces.empty()) XmlErrors::Raise(XmlErrors::MissingElementName);
  StorePieces(node, true);
  node.SetElementType(TXmlElementType::Element);
  if (!closed) ParseContent(node, depth);
}

void TXmlParser::ParseContent(TXmlNode& node, int depth) {
  // The text before each child (and before the close tag) is one stretch of the input.
  std::string_view text;
  bool sawCR = false;
  bool hasMarkupChild = false;
  auto flush = [&] {
    if (!XmlText::IsAllBlank(text)) {
      TXmlNode& data = NewChildNode(node);
      data.SetElementType(TXmlElementType::CharData);
      data.SetValue(std::string(text));
    }
    text = {};
  };
  for (;;) {
    const std::size_t lt = FText.find('<', FPos);
    const std::size_t stop = lt == std::string_view::npos ? FText.size() : lt;
    text = FText.substr(FPos, stop - FPos);
    if (!sawCR && text.find('\r') != std::string_view::npos) sawCR = true;
    FPos = stop;
    if (lt == std::string_view::npos) XmlErrors::Raise(XmlErrors::MissingCloseTag(node.Name()));
    std::size_t q = lt + 1;
    while (q < FText.size() && IsBlank(FText[q])) ++q;
    if (q >= FText.size()) XmlErrors::Raise(XmlErrors::MissingDataAfterLt(node.Name()));
    if (FText[q] == '/') {
      // Quote-aware like the start tag, so that a name holding a quoted ">" finds its close tag.
      const std::size_t gt = FindOutsideQuotes(q + 1, ">", false);
      if (gt == std::string_view::npos) XmlErrors::Raise(XmlErrors::MissingGtInCloseTag(node.Name()));
      if (!XmlText::SameText(XmlText::Trim(FText.substr(q + 1, gt - q - 1)), node.Name())) {
        XmlErrors::Raise(XmlErrors::IncorrectCloseTag(node.Name()));
      }
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

void TXmlParser::StorePieces(TXmlNode& node, bool firstIsName) {
  std::size_t k = 0;
  if (firstIsName) {
    // Nothing is joined to an element's name: the writer puts a space after the name, and an
    // attribute glued to it would not load again.
    node.FName.assign(FPieces[0].Text);
    k = 1;
  }
  if (k >= FPieces.size()) return;
  // The pieces stand in order in the text: their span bounds the entries' length.
  const std::string_view last = FPieces.back().Text;
  node.FAttributes.Reserve(FPieces.size() - k,
                           static_cast<std::size_t>(last.data() + last.size() - FPieces[k].Text.data()));
  // name = "value" with blanks becomes one entry: a piece that begins with "=" joins the entry before it,
  // and a piece that begins with a quote joins an entry before it that holds "=". One pass does both.
  std::size_t entries = 0;
  bool lastHasEquals = false;
  for (; k < FPieces.size(); ++k) {
    const TPiece& piece = FPieces[k];
    const char first = piece.Text[0];
    if (entries > 0 && (first == '=' || ((first == '"' || first == '\'') && lastHasEquals))) {
      node.FAttributes.ExtendLast(piece.Text, piece.Equals);
      lastHasEquals = true;
    } else {
      const bool hasEquals = piece.Equals != std::string_view::npos;
      node.FAttributes.Append(piece.Text, hasEquals ? piece.Equals : piece.Text.size());
      ++entries;
      lastHasEquals = hasEquals;
    }
  }
}

void TXmlParser::SplitTag(std::string_view tag) {
  FPieces.clear();
  tag = XmlText::Trim(tag);
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
    const std::string_view piece = tag.substr(start, i - start);
    FPieces.push_back({piece, piece.find('=')});
  }
}
