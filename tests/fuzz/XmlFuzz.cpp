// Fuzz target: any bytes as a document; whatever loads must save and load again, and a saved file
// must save unchanged.
#include "xml/ConfigFormat.h"
#include "xml/XmlDocument.h"
#include "xml/XmlEncoding.h"
#include "xml/XmlError.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

[[noreturn]] void Fail(const char* what, std::string_view a, std::string_view b = {}) {
  std::fprintf(stderr, "%s\n--- first (%zu bytes) ---\n%.*s\n--- second (%zu bytes) ---\n%.*s\n", what,
               a.size(), static_cast<int>(a.size()), a.data(), b.size(), static_cast<int>(b.size()),
               b.data());
  std::abort();
}

// Reads what a program reading the configuration would read.
void Touch(const TXmlDocument& doc) {
  if (const TXmlNode* root = doc.RootElement()) {
    (void)ConfigFormat::ReadHotColor(*root);
    (void)ConfigFormat::InterpretRecords(*root);
    // Lookups by name walk the list: a few of them, so the check stays linear in the input.
    for (int i = 0; i < root->AttributeCount() && i < 16; ++i)
      (void)root->GetAttribute(root->AttributeName(i));
  }
}

// Elements the write rules cannot express: one written with a close tag whose start tag ends in
// "/>" (a name or an unquoted value ending in "/", as in <r a=x/ >) reads back as closed at once;
// a name beginning with "!" or "?" (read from "< !x>") is written as other markup.
bool HasInexpressibleElement(const TXmlNode& topLevel) {
  std::vector<std::pair<const TXmlNode*, int>> stack;
  for (int i = 0; i < topLevel.ChildCount(); ++i) stack.push_back({topLevel.ChildAt(i), 0});
  while (!stack.empty()) {
    const auto [n, d] = stack.back();
    stack.pop_back();
    for (int i = 0; i < n->ChildCount(); ++i) stack.push_back({n->ChildAt(i), d + 1});
    if (n->ElementType() != TXmlElementType::Element) continue;
    if (!n->Name().empty() && (n->Name()[0] == '!' || n->Name()[0] == '?')) return true;
    if (n->Value().empty() && n->ChildCount() == 0 && d >= 1) continue;  // short form
    std::string_view last = n->Name();
    for (int i = 0; i < n->AttributeCount(); ++i)
      if (!n->AttributeValue(i).empty()) last = n->AttributeEntry(i);
    if (!last.empty() && last.back() == '/') return true;
  }
  return false;
}

// Whether the saved bytes can mean the same tree to the reader. Some cannot, by the write rules
// themselves: the elements above, and an 8-bit file whose first bytes (a name beginning with
// NUL bytes) match a pattern of the encoding detection, such as "<\0?\0" for UTF-16.
bool Expressible(const TXmlDocument& doc, std::string_view saved) {
  if (HasInexpressibleElement(doc.Nodes())) return false;
  return doc.ExternalEncoding() != TXmlEncoding::Ansi8Bit ||
         XmlEncoding::Detect(saved).Encoding == TXmlEncoding::Ansi8Bit;
}

// Any bytes stored as an attribute value (a dropped path, say) are saved, load again and read back
// unchanged; only an empty value is dropped, and it reads back empty.
void CheckStoredValue(std::string_view value) {
  TXmlDocument doc;
  doc.RootElement()->NewChild("ButtonInfo")->StoreStringAttribute("ButtonFilePath", value, "");
  const std::string saved = doc.SaveToBytes();
  TXmlDocument again;
  try {
    again.LoadFromBytes(saved);
  } catch (const EXmlError& e) {
    Fail("a document holding a stored value does not load again", saved, e.what());
  }
  const TXmlNode* record = again.RootElement()->ChildAt(0);
  if (!record) Fail("the record of a stored value is lost", saved);
  const std::string read = record->GetAttribute("ButtonFilePath");
  if (read != value) Fail("a stored value reads back changed", value, read);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  CheckStoredValue(input);
  TXmlDocument doc;
  try {
    doc.LoadFromBytes(input);
  } catch (const EXmlError&) {
    return 0;  // refused cleanly
  }
  Touch(doc);

  // The first save may change the tree by the write rules themselves (an attribute with an empty
  // value is dropped, which can bring an entry that begins with a quote next to one with "=", and
  // the reader joins those; layout whitespace is cut from text). So the property is on what the
  // program writes: a saved file loads, and saving it again gives the same bytes.
  const std::string first = doc.SaveToBytes();
  if (!Expressible(doc, first)) return 0;
  TXmlDocument second;
  try {
    second.LoadFromBytes(first);
  } catch (const EXmlError& e) {
    Fail("a saved document does not load again", first, e.what());
  }
  const std::string secondBytes = second.SaveToBytes();
  if (!Expressible(second, secondBytes)) return 0;
  TXmlDocument third;
  try {
    third.LoadFromBytes(secondBytes);
  } catch (const EXmlError& e) {
    Fail("a twice-saved document does not load again", secondBytes, e.what());
  }
  if (third.SaveToBytes() != secondBytes)
    Fail("saving a saved document changed it", secondBytes, third.SaveToBytes());

  // The same document loaded again after its text mode changed exercises the converting reader.
  if (doc.IsUtf8Text()) {
    try {
      doc.LoadFromBytes(input);
      Touch(doc);
      (void)doc.SaveToBytes();
    } catch (const EXmlError&) {
    }
  }
  return 0;
}
