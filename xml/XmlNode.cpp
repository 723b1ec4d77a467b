// One node of the XML document's tree.
#include "xml/XmlNode.h"

#include "xml/XmlDocument.h"
#include "xml/XmlError.h"
#include "xml/XmlText.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>

TXmlNode::TXmlNode(TXmlDocument* document) : FDocument(document) {}

TXmlNode::~TXmlNode() {
  ClearChildren();
}

void TXmlNode::ClearChildren() {
  // Hostile files may nest deeply: free the subtree from an explicit stack, so that each node
  // destroyed here has no children left of its own.
  if (FChildren.empty()) return;
  std::vector<std::unique_ptr<TXmlNode>> pending = std::move(FChildren);
  FChildren.clear();
  while (!pending.empty()) {
    std::unique_ptr<TXmlNode> node = std::move(pending.back());
    pending.pop_back();
    std::vector<std::unique_ptr<TXmlNode>>& children = node->FChildren;
    if (children.empty()) continue;
    // The longer list takes the shorter one's nodes (the order of freeing does not matter).
    if (children.size() > pending.size()) pending.swap(children);
    for (auto& child : children) pending.push_back(std::move(child));
    children.clear();
  }
}

int TXmlNode::Depth() const {
  int ancestors = 0;
  for (const TXmlNode* p = FParent; p; p = p->FParent) ++ancestors;
  return ancestors - 1;
}

void TXmlNode::SetElementName(std::string_view name) {
  if (name == FName) return;
  for (char c : name) {
    if (XmlText::IsBlank(c)) XmlErrors::Raise(XmlErrors::IllegalNodeNameCharacter(name));
  }
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

TXmlNode::TAttributeList::~TAttributeList() {
  ::operator delete(FBlock);
}

const TXmlNode::TAttribute& TXmlNode::TAttributeList::At(std::size_t index) const {
  if (index >= Count()) throw std::out_of_range("attribute index out of range");
  return Entries()[index];
}

void TXmlNode::TAttributeList::Grow(std::size_t entries, std::size_t textBytes) {
  const std::size_t count = Count();
  const std::size_t textSize = FBlock ? FBlock->TextSize : 0;
  // Far beyond any real list; the sizes below cannot overflow.
  constexpr std::size_t Limit = std::numeric_limits<std::size_t>::max() / 8;
  if (entries > Limit / sizeof(TAttribute) - count || textBytes > Limit - textSize) {
    throw std::length_error("attribute list too long");
  }
  std::size_t capacity = count + entries;
  std::size_t textCapacity = textSize + textBytes;
  if (FBlock) {
    // Geometric growth keeps adding one entry after another linear.
    capacity = capacity > FBlock->Capacity ? std::max(capacity, 2 * FBlock->Capacity) : FBlock->Capacity;
    textCapacity = textCapacity > FBlock->TextCapacity ? std::max(textCapacity, 2 * FBlock->TextCapacity)
                                                       : FBlock->TextCapacity;
  }
  auto* block =
      static_cast<THeader*>(::operator new(sizeof(THeader) + capacity * sizeof(TAttribute) + textCapacity));
  *block = THeader{count, capacity, textSize, textCapacity};
  if (FBlock) {
    std::memcpy(reinterpret_cast<TAttribute*>(block + 1), Entries(), count * sizeof(TAttribute));
    std::memcpy(reinterpret_cast<char*>(reinterpret_cast<TAttribute*>(block + 1) + capacity), TextData(),
                textSize);
    ::operator delete(FBlock);
  }
  FBlock = block;
}

void TXmlNode::TAttributeList::Reserve(std::size_t entries, std::size_t textBytes) {
  if (!FBlock || FBlock->Capacity - FBlock->Count < entries ||
      FBlock->TextCapacity - FBlock->TextSize < textBytes) {
    Grow(entries, textBytes);
  }
}

void TXmlNode::TAttributeList::Append(std::string_view entry) {
  Append(entry, NameLengthOf(entry));
}

void TXmlNode::TAttributeList::Append(std::string_view entry, std::size_t nameLength) {
  Reserve(1, entry.size());
  THeader& h = *FBlock;
  Entries()[h.Count] = TAttribute{h.TextSize, entry.size(), nameLength};
  if (!entry.empty()) std::memcpy(TextData() + h.TextSize, entry.data(), entry.size());
  h.TextSize += entry.size();
  ++h.Count;
}

void TXmlNode::TAttributeList::ExtendLast(std::string_view piece, std::size_t equals) {
  Reserve(0, piece.size());
  THeader& h = *FBlock;
  TAttribute& last = Entries()[h.Count - 1];
  if (last.NameLength == last.Size) {
    last.NameLength = last.Size + (equals == std::string_view::npos ? piece.size() : equals);
  }
  if (!piece.empty()) std::memcpy(TextData() + h.TextSize, piece.data(), piece.size());
  h.TextSize += piece.size();
  last.Size += piece.size();
}

void TXmlNode::TAttributeList::Replace(std::size_t index, std::string_view entry) {
  const std::size_t oldSize = Entries()[index].Size;
  if (entry.size() > oldSize) Reserve(0, entry.size() - oldSize);
  THeader& h = *FBlock;
  TAttribute& a = Entries()[index];
  // The texts after this entry move by the difference in length.
  char* const text = TextData();
  const std::size_t tail = a.Offset + oldSize;
  std::memmove(text + a.Offset + entry.size(), text + tail, h.TextSize - tail);
  if (!entry.empty()) std::memcpy(text + a.Offset, entry.data(), entry.size());
  h.TextSize = h.TextSize - oldSize + entry.size();
  a.Size = entry.size();
  a.NameLength = NameLengthOf(entry);
  for (std::size_t i = index + 1; i < h.Count; ++i) {
    Entries()[i].Offset = Entries()[i].Offset - oldSize + entry.size();
  }
}

std::string_view TXmlNode::AttributeName(int index) const {
  const TAttribute& a = FAttributes.At(static_cast<std::size_t>(index));
  return FAttributes.Text(a).substr(0, a.NameLength);
}

std::string_view TXmlNode::AttributeStoredValue(int index) const {
  const TAttribute& a = FAttributes.At(static_cast<std::size_t>(index));
  if (a.NameLength >= a.Size) return {};
  return FAttributes.Text(a).substr(a.NameLength + 1);
}

std::string TXmlNode::AttributeValue(int index) const {
  return XmlText::UnquoteAndUnescape(AttributeStoredValue(index), Utf8Text());
}

bool TXmlNode::Utf8Text() const {
  return FDocument && FDocument->IsUtf8Text();
}

int TXmlNode::FindAttribute(std::string_view name) const {
  for (std::size_t i = 0; i < FAttributes.Count(); ++i) {
    const TAttribute& a = FAttributes[i];
    if (a.NameLength == name.size() && XmlText::SameText(FAttributes.Text(a).substr(0, a.NameLength), name)) {
      return static_cast<int>(i);
    }
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
  if (i < 0) {
    FAttributes.Append(entry);
  } else {
    FAttributes.Replace(static_cast<std::size_t>(i), entry);
  }
}

void TXmlNode::AppendAttribute(std::string_view name, std::string_view value) {
  FAttributes.Append(Entry(name, value));
}

void TXmlNode::AppendAttributeEntry(std::string_view entry) {
  FAttributes.Append(entry);
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
  FAttributes.Replace(static_cast<std::size_t>(i), Entry(FAttributes.Text(a).substr(0, a.NameLength), value));
}
