// One node of the XML document's tree.
#include "xml/XmlNode.h"

#include "xml/XmlDocument.h"
#include "xml/XmlError.h"
#include "xml/XmlText.h"

TXmlNode::TXmlNode(TXmlDocument* document) : FDocument(document) {}

TXmlNode::~TXmlNode() {
  ClearChildren();
}

void TXmlNode::ClearChildren() {
  // Hostile files may nest deeply: free the subtree from an explicit stack, so that each node
  // destroyed here has no children left of its own.
  std::vector<std::unique_ptr<TXmlNode>> pending = std::move(FChildren);
  FChildren.clear();
  while (!pending.empty()) {
    std::unique_ptr<TXmlNode> node = std::move(pending.back());
    pending.pop_back();
    for (auto& child : node->FChildren) pending.push_back(std::move(child));
    node->FChildren.clear();
  }
}

int TXmlNode::Depth() const {
  int ancestors = 0;
  for (const TXmlNode* p = FParent; p; p = p->FParent) ++ancestors;
  return ancestors - 1;
}

void TXmlNode::SetElementName(std::string_view name) {
  if (name == FName) return;
  for (char c : name)
    if (XmlText::IsBlank(c)) XmlErrors::Raise(XmlErrors::IllegalNodeNameCharacter(name));
  FName = name;
}

TXmlNode* TXmlNode::ChildAt(int index) const {
  if (index < 0 || index >= ChildCount()) return nullptr;
  return FChildren[static_cast<std::size_t>(index)].get();
}

int TXmlNode::AppendChild(std::unique_ptr<TXmlNode> child) {
  if (!child) return -1;
  child->FParent = this;
  FChildren.push_back(std::move(child));
  return ChildCount() - 1;
}

void TXmlNode::DeleteChildAt(int index) {
  if (index < 0 || index >= ChildCount()) return;
  std::unique_ptr<TXmlNode> doomed = std::move(FChildren[static_cast<std::size_t>(index)]);
  FChildren.erase(FChildren.begin() + index);
}

TXmlNode* TXmlNode::NewChild(std::string_view name) {
  auto child = std::make_unique<TXmlNode>(FDocument);
  child->SetElementName(name);
  TXmlNode* raw = child.get();
  AppendChild(std::move(child));
  return raw;
}

namespace {
std::size_t NameLengthOf(std::string_view entry) {
  const std::size_t eq = entry.find('=');
  return eq == std::string_view::npos ? entry.size() : eq;
}
}  // namespace

void TXmlNode::AppendEntry(std::string_view entry) {
  FAttributes.push_back(TAttribute{FAttributeText.size(), entry.size(), NameLengthOf(entry)});
  FAttributeText.append(entry);
}

void TXmlNode::ReplaceEntry(std::size_t index, std::string_view entry) {
  TAttribute& a = FAttributes[index];
  FAttributeText.replace(a.Offset, a.Size, entry);
  const std::size_t oldSize = a.Size;
  a.Size = entry.size();
  a.NameLength = NameLengthOf(entry);
  // The entries after this one move by the difference in length.
  for (std::size_t i = index + 1; i < FAttributes.size(); ++i)
    FAttributes[i].Offset = FAttributes[i].Offset - oldSize + a.Size;
}

std::string_view TXmlNode::AttributeName(int index) const {
  const TAttribute& a = FAttributes.at(static_cast<std::size_t>(index));
  return EntryText(a).substr(0, a.NameLength);
}

std::string_view TXmlNode::AttributeStoredValue(int index) const {
  const TAttribute& a = FAttributes.at(static_cast<std::size_t>(index));
  if (a.NameLength >= a.Size) return {};
  return EntryText(a).substr(a.NameLength + 1);
}

std::string TXmlNode::AttributeValue(int index) const {
  return XmlText::Unescape(XmlText::Unquote(AttributeStoredValue(index)), Utf8Text());
}

bool TXmlNode::Utf8Text() const {
  return FDocument && FDocument->IsUtf8Text();
}

int TXmlNode::FindAttribute(std::string_view name) const {
  for (std::size_t i = 0; i < FAttributes.size(); ++i) {
    const TAttribute& a = FAttributes[i];
    if (a.NameLength == name.size() && XmlText::SameText(EntryText(a).substr(0, a.NameLength), name))
      return static_cast<int>(i);
  }
  return -1;
}

std::string TXmlNode::GetAttribute(std::string_view name) const {
  const int i = FindAttribute(name);
  return i < 0 ? std::string() : AttributeValue(i);
}

namespace {
std::string Entry(std::string_view name, std::string_view value) {
  std::string e(name);
  e += '=';
  e += XmlText::EscapeAndQuote(value);
  return e;
}
}  // namespace

void TXmlNode::SetAttribute(std::string_view name, std::string_view value) {
  const int i = FindAttribute(name);
  // The entry is made before the list changes: name or value may be views of this node's text.
  const std::string entry = Entry(name, value);
  if (i < 0)
    AppendEntry(entry);
  else
    ReplaceEntry(static_cast<std::size_t>(i), entry);
}

void TXmlNode::AppendAttribute(std::string_view name, std::string_view value) {
  AppendEntry(Entry(name, value));
}

void TXmlNode::AppendAttributeEntry(std::string entry) {
  AppendEntry(entry);
}

std::int32_t TXmlNode::AttributeAsInteger(std::string_view name, std::int32_t defaultValue) const {
  std::int32_t v = 0;
  return XmlText::ParseInt32(GetAttribute(name), v) ? v : defaultValue;
}

std::int64_t TXmlNode::AttributeAsInt64(std::string_view name, std::int64_t defaultValue) const {
  std::int64_t v = 0;
  return XmlText::ParseInt64(GetAttribute(name), v) ? v : defaultValue;
}

std::string TXmlNode::AttributeAsString(std::string_view name, std::string_view defaultValue) const {
  std::string v = GetAttribute(name);
  return v.empty() ? std::string(defaultValue) : v;
}

void TXmlNode::StoreIntegerAttribute(std::string_view name, std::int32_t value, std::int32_t defaultValue) {
  // The document always writes on default: the default never suppresses the write.
  StoreStringAttribute(name, XmlText::FormatInteger(value), XmlText::FormatInteger(defaultValue));
}

void TXmlNode::StoreStringAttribute(std::string_view name, std::string_view value, std::string_view) {
  const int i = FindAttribute(name);
  if (i < 0) {
    AppendAttribute(name, value);
    return;
  }
  const TAttribute& a = FAttributes[static_cast<std::size_t>(i)];
  ReplaceEntry(static_cast<std::size_t>(i), Entry(EntryText(a).substr(0, a.NameLength), value));
}
