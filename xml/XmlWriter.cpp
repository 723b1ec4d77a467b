// Writes the document's tree as text.
#include "xml/XmlWriter.h"

#include "xml/XmlDocument.h"
#include "xml/XmlError.h"
#include "xml/XmlText.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {
constexpr std::string_view CrLf = "\r\n";

bool IsCharData(const TXmlNode* node) {
  return node && node->ElementType() == TXmlElementType::CharData;
}

char* Put(char* cursor, std::string_view text) {
  if (text.empty()) return cursor;
  std::memcpy(cursor, text.data(), text.size());
  return cursor + text.size();
}

char* Put(char* cursor, char c) {
  *cursor = c;
  return cursor + 1;
}
}  // namespace

std::string TXmlWriter::WriteDocument(const TXmlNode& topLevel, std::size_t sizeHint) {
  std::string out;
  if (sizeHint < TXmlDocument::MaxFileSize) out.resize(sizeHint + sizeHint / 16 + 256);
  TXmlWriter writer(out);
  for (int i = 0; i < topLevel.ChildCount(); ++i) {
    writer.WriteTree(*topLevel.ChildAt(i), 0);
    writer.LineBreak();
  }
  out.resize(writer.FSize);
  return out;
}

char* TXmlWriter::Room(std::size_t n) {
  if (FOut.size() - FSize < n) FOut.resize(std::max({FOut.size() * 2, FSize + n, std::size_t{1024}}));
  return FOut.data() + FSize;
}

void TXmlWriter::LineBreak() {
  Commit(Put(Room(CrLf.size()), CrLf));
}

char* TXmlWriter::Indent(char* cursor, int depth) {
  for (int i = 0; i < depth; ++i) cursor = Put(Put(cursor, ' '), ' ');
  return cursor;
}

char* TXmlWriter::AttributeText(char* cursor, const TXmlNode& node) {
  // Attributes whose value is empty are never written.
  const TXmlNode::TAttributeList& list = node.FAttributes;
  for (std::size_t i = 0; i < list.Count(); ++i) {
    const TXmlNode::TAttribute& a = list[i];
    const std::string_view entry = list.Text(a);
    const std::string_view stored =
        a.NameLength >= a.Size ? std::string_view() : entry.substr(a.NameLength + 1);
    if (XmlText::UnquotesToEmpty(stored)) continue;
    cursor = Put(Put(cursor, ' '), entry);
  }
  return cursor;
}

void TXmlWriter::WriteTree(const TXmlNode& root, int rootDepth) {
  // An explicit stack: trees built through the API may be deeper than any parsed file.
  std::vector<TFrame>& stack = FStack;
  if (Open(root, rootDepth)) stack.push_back({&root, rootDepth, 0});
  while (!stack.empty()) {
    TFrame& top = stack.back();
    const TXmlNode& node = *top.Node;
    if (top.Next > 0) {
      // After a child: a line break unless it or the next child is character data (a DOCTYPE's
      // children always stand one per line).
      const TXmlNode* prev = node.ChildAt(top.Next - 1);
      const TXmlNode* next = node.ChildAt(top.Next);
      if (node.ElementType() == TXmlElementType::DocType || (!IsCharData(prev) && !IsCharData(next))) {
        LineBreak();
      }
    }
    if (top.Next >= node.ChildCount()) {
      Close(node, top.Depth);
      stack.pop_back();
      continue;
    }
    const TXmlNode& child = *node.ChildAt(top.Next++);
    const int childDepth = top.Depth + 1;
    if (Open(child, childDepth)) stack.push_back({&child, childDepth, 0});
  }
}

bool TXmlWriter::Open(const TXmlNode& node, int depth) {
  const bool hasChildren = node.ChildCount() > 0;
  const std::string_view name = node.Name();
  const std::string_view value = node.Value();
  // Enough for any kind: the indent, the longest fixed markup, the name twice, the value and every
  // attribute entry with its space.
  char* p = Room(2 * static_cast<std::size_t>(std::max(depth, 0)) + 32 + 2 * name.size() + value.size() +
                 node.FAttributes.TextSize() + node.FAttributes.Count());
  if (node.ElementType() != TXmlElementType::CharData) p = Indent(p, depth);
  bool opensFrame = false;
  switch (node.ElementType()) {
    case TXmlElementType::Element: {
      const bool shortForm = value.empty() && !hasChildren && depth >= 1;
      p = AttributeText(Put(Put(p, '<'), name), node);
      if (shortForm) p = Put(p, '/');
      p = Put(Put(p, '>'), value);
      if (hasChildren) {
        p = Put(p, CrLf);
        opensFrame = true;
      } else if (!shortForm) {
        p = Put(Put(Put(p, "</"), name), '>');
      }
      break;
    }
    case TXmlElementType::Comment:
      p = Put(Put(Put(p, "<!--"), value), "-->");
      break;
    case TXmlElementType::CData:
      p = Put(Put(Put(p, "<![CDATA["), value), "]]>");
      break;
    case TXmlElementType::Declaration:
      p = Put(AttributeText(Put(p, "<?xml"), node), "?>");
      break;
    case TXmlElementType::Stylesheet:
      p = Put(AttributeText(Put(p, "<?xml-stylesheet"), node), "?>");
      break;
    case TXmlElementType::DocType:
      p = Put(Put(Put(Put(p, "<!DOCTYPE "), name), ' '), value);
      if (hasChildren) {
        p = Put(Put(p, " ["), CrLf);
        opensFrame = true;
      } else {
        p = Put(p, '>');
      }
      break;
    case TXmlElementType::DtdElement:
    case TXmlElementType::DtdAttList:
    case TXmlElementType::DtdEntity:
    case TXmlElementType::DtdNotation: {
      static constexpr std::string_view Starts[] = {"<!ELEMENT ", "<!ATTLIST ", "<!ENTITY ", "<!NOTATION "};
      p = Put(p,
              Starts[static_cast<int>(node.ElementType()) - static_cast<int>(TXmlElementType::DtdElement)]);
      p = Put(Put(Put(Put(p, name), ' '), value), '>');
      break;
    }
    case TXmlElementType::OtherMarkup:
      p = Put(Put(Put(p, "<!"), value), '>');
      break;
    case TXmlElementType::OtherInstruction:
      p = Put(Put(Put(p, "<?"), value), "?>");
      break;
    case TXmlElementType::CharData:
      p = Put(p, value);
      break;
    case TXmlElementType::Unknown:
      p = Put(Put(Put(p, '<'), value), '>');
      break;
    default:
      XmlErrors::Raise(XmlErrors::IllegalElementType);
  }
  Commit(p);
  return opensFrame;
}

void TXmlWriter::Close(const TXmlNode& node, int depth) {
  char* p = Indent(Room(2 * static_cast<std::size_t>(std::max(depth, 0)) + 3 + node.Name().size()), depth);
  if (node.ElementType() == TXmlElementType::DocType) {
    p = Put(p, "]>");
  } else {
    p = Put(Put(Put(p, "</"), node.Name()), '>');
  }
  Commit(p);
}
