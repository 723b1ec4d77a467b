// The SystemConfig.xml format.
#include "xml/ConfigFormat.h"

#include "xml/XmlError.h"
#include "xml/XmlText.h"

std::string ColorToText(TARGB c) { return XmlText::FormatInteger(ColorToStoredInteger(c)); }

namespace ConfigFormat {

TARGB ReadColor(const TXmlNode& root, std::string_view attribute) {
  return static_cast<TARGB>(static_cast<std::uint64_t>(root.AttributeAsInt64(attribute, 0)));
}

void StoreColor(TXmlNode& root, std::string_view attribute, TARGB color) {
  root.StoreIntegerAttribute(attribute, ColorToStoredInteger(color), 0);
}

std::uint8_t RecordKind(const TXmlNode& record) {
  return static_cast<std::uint8_t>(static_cast<std::uint32_t>(record.AttributeAsInteger(KindAttribute, 0)));
}

std::string RecordFilePath(const TXmlNode& record) { return record.AttributeAsString(FilePathAttribute, ""); }
std::string RecordGuid(const TXmlNode& record) { return record.AttributeAsString(GuidAttribute, ""); }

TButtonRecord ReadRecord(const TXmlNode& record) {
  return TButtonRecord{RecordKind(record), RecordFilePath(record), RecordGuid(record)};
}

TRecordRole RoleOfKind(std::uint8_t kind) {
  if (kind == KindSegment) return TRecordRole::Segment;
  if (kind == KindCentre) return TRecordRole::Centre;
  return TRecordRole::Skipped;
}

int EmptySegmentsToAdd(int recordCount) {
  if (recordCount <= 0) return DefaultSegmentCount;
  return recordCount < RingRecordTarget ? RingRecordTarget - recordCount : 0;
}

TRingPlan InterpretRecords(const TXmlNode& root) {
  TRingPlan plan;
  plan.RecordCount = root.ChildCount();
  for (int i = 0; i < plan.RecordCount; ++i) {
    // Any child counts, comments included; one without attributes reads as an empty segment.
    TButtonRecord record = ReadRecord(*root.ChildAt(i));
    switch (RoleOfKind(record.Kind)) {
    case TRecordRole::Segment: plan.Segments.push_back(std::move(record)); break;
    case TRecordRole::Centre: plan.Centre = std::move(record); break;
    case TRecordRole::Skipped: break;
    }
  }
  plan.EmptySegments = EmptySegmentsToAdd(plan.RecordCount);
  return plan;
}

int FindRecord(const TXmlNode& root, std::string_view guid) {
  for (int i = 0; i < root.ChildCount(); ++i)
    if (root.ChildAt(i)->GetAttribute(GuidAttribute) == guid) return i;
  return -1;
}

TXmlNode& AppendButtonInfo(TXmlDocument& document) {
  TXmlNode* root = document.RootElement();
  if (!root) XmlErrors::Raise(XmlErrors::NoRootElement);
  TXmlNode& record = *root->NewChild(RecordElementName);
  record.StoreStringAttribute(KindAttribute, "", "");
  record.StoreStringAttribute(FilePathAttribute, "", "");
  record.StoreStringAttribute(GuidAttribute, "", "");
  return record;
}

TXmlNode& AppendButtonRecord(TXmlDocument& document, const TButtonRecord& values) {
  TXmlNode& record = AppendButtonInfo(document);
  record.SetAttribute(FilePathAttribute, values.FilePath);
  record.SetAttribute(KindAttribute, XmlText::FormatInteger(values.Kind));
  record.SetAttribute(GuidAttribute, values.Guid);
  return record;
}

void UpdateButtonRecord(TXmlNode& record, std::uint8_t kind, std::string_view filePath) {
  record.SetAttribute(FilePathAttribute, filePath);
  record.SetAttribute(KindAttribute, XmlText::FormatInteger(kind));
}

bool RemoveRecord(TXmlNode& root, std::string_view guid) {
  for (int i = 0; i < root.ChildCount(); ++i) {
    if (root.ChildAt(i)->AttributeAsString(GuidAttribute, "") == guid) {
      root.DeleteChildAt(i);
      return true;
    }
  }
  return false;
}

} // namespace ConfigFormat
