// One node of the XML document's tree: element, comment, declaration, character data, ...
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TXmlDocument;

// The node's kind, as a byte: values outside this list fail on writing ("Illegal element type").
enum class TXmlElementType : std::uint8_t {
  Element = 0,
  Comment = 1,
  CData = 2,
  Declaration = 3,
  Stylesheet = 4,
  DocType = 5,
  DtdElement = 6,
  DtdAttList = 7,
  DtdEntity = 8,
  DtdNotation = 9,
  OtherMarkup = 10,       // other "<!...>"
  OtherInstruction = 11,  // other "<?...?>"
  CharData = 12,
  Unknown = 13,
};

class TXmlNode {
 public:
  explicit TXmlNode(TXmlDocument* document);
  ~TXmlNode();  // iterative: a tree of any depth is freed without deep recursion
  TXmlNode(const TXmlNode&) = delete;
  TXmlNode& operator=(const TXmlNode&) = delete;

  TXmlDocument* Document() const { return FDocument; }
  TXmlNode* Parent() const { return FParent; }
  // The top-level list has depth -1, top-level nodes 0, the root's children 1, ...
  int Depth() const;

  TXmlElementType ElementType() const { return FElementType; }
  void SetElementType(TXmlElementType type) { FElementType = type; }

  const std::string& Name() const { return FName; }
  // Fails with "Illegal character in node name ..." for tab, LF, CR or space; else sets the name.
  void SetElementName(std::string_view name);

  // The element's own text (or a comment's, CDATA's, ... text), stored as it is written.
  const std::string& Value() const { return FValue; }
  void SetValue(std::string value) { FValue = std::move(value); }

  // Children of any kind.
  int ChildCount() const { return static_cast<int>(FChildren.size()); }
  TXmlNode* ChildAt(int index) const;                // null outside 0..count-1
  int AppendChild(std::unique_ptr<TXmlNode> child);  // -1 for none; else the child's index
  void DeleteChildAt(int index);                     // out of range: nothing
  TXmlNode* NewChild(std::string_view name);         // SetElementName, then AppendChild
  void ClearChildren();

  // Attributes: entries name=quoted-value, in insertion order, exactly as they are written.
  int AttributeCount() const { return static_cast<int>(FAttributes.Count()); }
  std::string_view AttributeEntry(int index) const {
    return FAttributes.Text(FAttributes.At(static_cast<std::size_t>(index)));
  }
  std::string_view AttributeName(int index) const;
  std::string_view AttributeStoredValue(int index) const;  // still quoted and escaped
  std::string AttributeValue(int index) const;             // unquoted and unescaped

  // Name matching ignores letter case. Absent: empty text.
  std::string GetAttribute(std::string_view name) const;
  // Replaces an existing entry in place (with the name as given here) or appends one.
  void SetAttribute(std::string_view name, std::string_view value);
  void AppendAttribute(std::string_view name, std::string_view value);
  // An entry exactly as read from a file ("name=value", quotes and all).
  void AppendAttributeEntry(std::string_view entry);

  std::int32_t AttributeAsInteger(std::string_view name, std::int32_t defaultValue) const;
  std::int64_t AttributeAsInt64(std::string_view name, std::int64_t defaultValue) const;
  std::string AttributeAsString(std::string_view name, std::string_view defaultValue) const;
  // Always written, also when equal to the default; an existing entry keeps its stored name.
  void StoreIntegerAttribute(std::string_view name, std::int32_t value, std::int32_t defaultValue);
  void StoreStringAttribute(std::string_view name, std::string_view value, std::string_view defaultValue);

 private:
  struct TAttribute {
    std::size_t Offset;  // where the entry's text starts among the node's attribute texts
    std::size_t Size;
    std::size_t NameLength;  // the entry's text before its first "=" (all of it without one)
  };
  // A node's attributes in a single allocation (none without attributes): the entries, then their
  // texts one after another in the same order.
  class TAttributeList {
   public:
    TAttributeList() = default;
    ~TAttributeList();
    TAttributeList(const TAttributeList&) = delete;
    TAttributeList& operator=(const TAttributeList&) = delete;

    std::size_t Count() const { return FBlock ? FBlock->Count : 0; }
    std::size_t TextSize() const { return FBlock ? FBlock->TextSize : 0; }  // of all entries
    const TAttribute& At(std::size_t index) const;  // std::out_of_range outside 0..Count()-1
    const TAttribute& operator[](std::size_t index) const { return Entries()[index]; }
    std::string_view Text(const TAttribute& a) const {
      return std::string_view(TextData() + a.Offset, a.Size);
    }

    // Room for this many more entries and text bytes, so that the calls below do not reallocate.
    void Reserve(std::size_t entries, std::size_t textBytes);
    // The texts given are never this list's own.
    void Append(std::string_view entry);
    void Append(std::string_view entry, std::size_t nameLength);  // nameLength: where its first "=" is
    // The last entry's text grows by the piece; equals: where the piece's first "=" is, or npos.
    void ExtendLast(std::string_view piece, std::size_t equals);
    void Replace(std::size_t index, std::string_view entry);

   private:
    struct THeader {
      std::size_t Count;
      std::size_t Capacity;  // entries
      std::size_t TextSize;
      std::size_t TextCapacity;
    };
    TAttribute* Entries() const { return reinterpret_cast<TAttribute*>(FBlock + 1); }
    char* TextData() const { return reinterpret_cast<char*>(Entries() + FBlock->Capacity); }
    void Grow(std::size_t entries, std::size_t textBytes);

    THeader* FBlock = nullptr;
  };

  int FindAttribute(std::string_view name) const;
  bool Utf8Text() const;

  friend class TXmlDocument;
  friend class TXmlParser;
  friend class TXmlWriter;

  TXmlDocument* FDocument;
  TXmlNode* FParent = nullptr;
  std::string FName;
  std::string FValue;
  TAttributeList FAttributes;
  std::vector<std::unique_ptr<TXmlNode>> FChildren;
  TXmlElementType FElementType = TXmlElementType::Element;
};
