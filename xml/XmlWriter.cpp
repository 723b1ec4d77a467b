// Writes the document's tree as text.
#include "xml/XmlWriter.h"

#include "xml/XmlError.h"
#include "xml/XmlText.h"

#include <vector>

namespace {
constexpr std::string_view LineBreak = "\r\n";
constexpr std::string_view IndentUnit = "  ";

bool IsCharData(const TXmlNode* node) {
  return node && node->ElementType() == TXmlElementType::CharData;
}
}  // namespace

std::string TXmlWriter::WriteDocument(const TXmlNode& topLevel) {
  std::string out;
  out.reserve(4096);
  TXmlWriter writer(out);
  for (int i = 0; i < topLevel.ChildCount(); ++i) {
    writer.WriteTree(*topLevel.ChildAt(i), 0);
    out += LineBreak;
  }
  return out;
}

void TXmlWriter::Indent(int depth) {
  for (int i = 0; i < depth; ++i) FOut += IndentUnit;
}

void TXmlWriter::AttributeText(const TXmlNode& node) {
  // Attributes whose value is empty are never written.
  const TXmlNode::TAttributeList& list = node.FAttributes;
  for (std::size_t i = 0; i < list.Count(); ++i) {
    const TXmlNode::TAttribute& a = list[i];
    const std::string_view entry = list.Text(a);
    const std::string_view stored = a.NameLength >= a.Size ? std::string_view() : entry.substr(a.NameLength + 1);
    if (XmlText::UnquotesToEmpty(stored)) continue;
    FOut += ' ';
    FOut += entry;
  }
}

void TXmlWriter::WriteTree(const TXmlNode& root, int rootDepth) {
  // An explicit stack: trees built through the API may be deeper than any parsed file.
  struct TFrame {
    const TXmlNode* Node;
    int Depth;
    int Next;
  };
  std::vector<TFrame> stack;
  if (Open(root, rootDepth)) stack.push_back({&root, rootDepth, 0});
  while (!stack.empty()) {
    TFrame& top = stack.back();
    const TXmlNode& node = *top.Node;
    if (top.Next > 0) {
      // After a child: a line break unless it or the next child is character data (a DOCTYPE's
      // children always stand one per line).
      const TXmlNode* prev = node.ChildAt(top.Next - 1);
      const TXmlNode* next = node.ChildAt(top.Next);
      if (node.ElementType() == TXmlElementType::DocType || (!IsCharData(prev) && !IsCharData(next)))
        FOut += LineBreak;
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
  if (node.ElementType() != TXmlElementType::CharData) Indent(depth);
  switch (node.ElementType()) {
    case TXmlElementType::Element: {
      const bool shortForm = node.Value().empty() && !hasChildren && depth >= 1;
      FOut += '<';
      FOut += node.Name();
      AttributeText(node);
      if (shortForm) FOut += '/';
      FOut += '>';
      FOut += node.Value();
      if (hasChildren) {
        FOut += LineBreak;
        return true;
      }
      if (!shortForm) {
        FOut += "</";
        FOut += node.Name();
        FOut += '>';
      }
      return false;
    }
    case TXmlElementType::Comment:
      FOut.append("<!--").append(node.Value()).append("-->");
      return false;
    case TXmlElementType::CData:
      FOut.append("<![CDATA[").append(node.Value()).append("]]>");
      return false;
    case TXmlElementType::Declaration:
      FOut += "<?xml";
      AttributeText(node);
      FOut += "?>";
      return false;
    case TXmlElementType::Stylesheet:
      FOut += "<?xml-stylesheet";
      AttributeText(node);
      FOut += "?>";
      return false;
    case TXmlElementType::DocType:
      FOut.append("<!DOCTYPE ").append(node.Name()).append(" ").append(node.Value());
      if (hasChildren) {
        FOut.append(" [").append(LineBreak);
        return true;
      }
      FOut += '>';
      return false;
    case TXmlElementType::DtdElement:
    case TXmlElementType::DtdAttList:
    case TXmlElementType::DtdEntity:
    case TXmlElementType::DtdNotation: {
      static constexpr std::string_view Starts[] = {"<!ELEMENT ", "<!ATTLIST ", "<!ENTITY ", "<!NOTATION "};
      FOut += Starts[static_cast<int>(node.ElementType()) - static_cast<int>(TXmlElementType::DtdElement)];
      FOut.append(node.Name()).append(" ").append(node.Value()).append(">");
      return false;
    }
    case TXmlElementType::OtherMarkup:
      FOut.append("<!").append(node.Value()).append(">");
      return false;
    case TXmlElementType::OtherInstruction:
      FOut.append("<?").append(node.Value()).append("?>");
      return false;
    case TXmlElementType::CharData:
      FOut += node.Value();
      return false;
    case TXmlElementType::Unknown:
      FOut.append("<").append(node.Value()).append(">");
      return false;
  }
  XmlErrors::Raise(XmlErrors::IllegalElementType);
}

void TXmlWriter::Close(const TXmlNode& node, int depth) {
  Indent(depth);
  if (node.ElementType() == TXmlElementType::DocType) {
    FOut += "]>";
  } else {
    FOut.append("</").append(node.Name()).append(">");
  }
}
