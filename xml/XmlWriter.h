// Writes the document's tree as text by the fixed layout: CR LF, two-space indent, short empty tags.
#pragma once

#include "xml/XmlNode.h"

#include <string>

class TXmlWriter {
 public:
  // Every node of the top-level list, each followed by CR LF. Throws "Illegal element type".
  static std::string WriteDocument(const TXmlNode& topLevel);

 private:
  explicit TXmlWriter(std::string& out) : FOut(out) {}
  void WriteTree(const TXmlNode& node, int depth);
  // Writes what comes before the node's children; true when the node opens a frame of children.
  bool Open(const TXmlNode& node, int depth);
  void Close(const TXmlNode& node, int depth);
  void Indent(int depth);
  void AttributeText(const TXmlNode& node);

  std::string& FOut;
};
