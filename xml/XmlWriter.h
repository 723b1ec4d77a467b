// Writes the document's tree as text by the fixed layout: CR LF, two-space indent, short empty tags.
#pragma once

#include "xml/XmlNode.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class TXmlWriter {
 public:
  // Every node of the top-level list, each followed by CR LF. Throws "Illegal element type".
  // sizeHint: the length the text is likely to have (the file it was loaded from, say), so that it
  // is made in one allocation.
  static std::string WriteDocument(const TXmlNode& topLevel, std::size_t sizeHint = 0);

 private:
  explicit TXmlWriter(std::string& out) : FOut(out) {}
  void WriteTree(const TXmlNode& node, int depth);
  // Writes what comes before the node's children; true when the node opens a frame of children.
  bool Open(const TXmlNode& node, int depth);
  void Close(const TXmlNode& node, int depth);
  void LineBreak();

  // The text grows ahead of the writing: Room makes n bytes available at the returned cursor, and
  // Commit takes the cursor back after they (or fewer) were written.
  char* Room(std::size_t n);
  void Commit(char* cursor) { FSize = static_cast<std::size_t>(cursor - FOut.data()); }
  static char* Indent(char* cursor, int depth);
  static char* AttributeText(char* cursor, const TXmlNode& node);

  std::string& FOut;
  std::size_t FSize = 0;  // bytes written; FOut's size is its room
  struct TFrame {
    const TXmlNode* Node;
    int Depth;
    int Next;
  };
  std::vector<TFrame> FStack;  // WriteTree's, kept for the next top-level node
};
