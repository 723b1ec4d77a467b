// The SystemConfig.xml format.
#include "xml/ConfigFormat.h"

#include "xml/XmlError.h"
#include "xml/XmlText.h"

std::string ColorToText(TARGB c) {
  return XmlText::FormatInteger(ColorToStoredInteger(c));
}

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

std::string RecordFilePath(const TXmlNode& record) {
  return record.AttributeAsString(FilePathAttribute, "");
}
std::string RecordGuid(const TXmlNode& record) {
  return record.AttributeAsString(GuidAttribute, "");
}

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
      case TRecordRole::Segment:
        plan.Segments.push_back(std::move(record));
        break;
      case TRecordRole::Centre:
        plan.Centre = std::move(record);
        break;
      case TRecordRole::Skipped:
        break;
    }
  }
  plan.EmptySegments = EmptySegmentsToAdd(plan.RecordCount);
  return plan;
}

int FindRecord(const TXmlNode& root, std::string_view guid) {
  for (int i = 0; i < root.ChildCount(); ++i) {
    if (root.ChildAt(i)->GetAttribute(GuidAttribute) == guid) return i;
  }
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

TStoreChange StoreButtonRecord(TXmlDocument& document, const TButtonRecord& button) {
  TXmlNode* root = document.RootElement();
  if (!root) XmlErrors::Raise(XmlErrors::NoRootElement);
  const int index = FindRecord(*root, button.Guid);
  if (index < 0) {
    AppendButtonRecord(document, button);
    return TStoreChange::Appended;
  }
  TXmlNode& record = *root->ChildAt(index);
  if (button.FilePath.empty()) {
    record.SetAttribute(KindAttribute, XmlText::FormatInteger(button.Kind));
  } else {
    UpdateButtonRecord(record, button.Kind, button.FilePath);
  }
  return TStoreChange::Updated;
}

namespace {

// The document's own text for a file that cannot be opened.
constexpr wchar_t UnreadableFileMessage[] = L"XML文件流创建出错";

void WriteWhole(TXmlDocument& document, const std::wstring& fileName, TXmlFileSystem& fileSystem) {
  // The bytes are made before the file is touched: a tree that cannot be written leaves the file alone.
  const std::string bytes = document.SaveToBytes();
  fileSystem.WriteFileAtomic(fileName, bytes);
}

}  // namespace

std::wstring SaveRefusedMessage(const std::wstring& fileName) {
  return L"无法读取配置文件“" + fileName +
         L"”，它可能正被其他程序占用。这次的更改没有保存，文件保持原样。\n请关闭占用该文件的程序，"
         L"然后再试一次。";
}

std::wstring HeldAtStartMessage(const std::wstring& fileName) {
  return L"无法读取配置文件“" + fileName +
         L"”，它可能正被其他程序（例如同步或备份软件）占用。\n请关闭占用该文件的程序，然后重新启动Vantel："
         L"右键单击通知区域中的Vantel图标，选择“关闭Vantel工具”，再打开Vantel。文件保持原样；在此之前，"
         L"圆环上不显示其中的按键。";
}

int ParsedRecordCount(std::string_view bytes) {
  try {
    TXmlDocument document;
    document.LoadFromBytes(bytes);
    const TXmlNode* root = document.RootElement();
    return root ? root->ChildCount() : 0;
  } catch (const EXmlError&) {
    return 0;
  }
}

bool AwaitReadable(TXmlFileSystem& fileSystem, const std::wstring& fileName,
                   const std::function<bool()>& waitMore) {
  for (;;) {
    std::string bytes;
    if (!fileSystem.FileExists(fileName) ||
        fileSystem.ReadFile(fileName, TXmlDocument::MaxFileSize, bytes) != TXmlReadResult::CannotOpen) {
      return true;
    }
    if (!waitMore()) return false;
  }
}

TConfigRead ReadConfigFile(TXmlDocument& document, const std::wstring& fileName, TXmlFileSystem& fileSystem) {
  if (fileName.empty() || !fileSystem.FileExists(fileName)) return TConfigRead::Missing;
  std::string bytes;
  switch (fileSystem.ReadFile(fileName, TXmlDocument::MaxFileSize, bytes)) {
    case TXmlReadResult::Ok:
      break;
    case TXmlReadResult::Missing:
      return TConfigRead::Missing;
    case TXmlReadResult::CannotOpen:
      return TConfigRead::Unreadable;
    case TXmlReadResult::TooLarge:
      XmlErrors::Raise(XmlErrors::FileTooLarge);
  }
  // Every read starts from a fresh document, so no setting of an earlier file carries over.
  document.ResetDocument();
  try {
    document.LoadFromBytes(bytes);
  } catch (...) {
    document.ResetDocument();
    throw;
  }
  return TConfigRead::Loaded;
}

TConfigRead LoadConfigFile(TXmlDocument& document, const std::wstring& fileName, const TXmlHost& host) {
  const TConfigRead read = ReadConfigFile(document, fileName, FileSystemOf(host));
  if (read == TConfigRead::Missing) ReporterOf(host).ShowMessage(MissingFileMessage(fileName));
  if (read == TConfigRead::Unreadable) ReporterOf(host).ShowMessage(UnreadableFileMessage);
  return read;
}

TStoreOutcome StoreButton(TXmlDocument& document, const std::wstring& fileName, const TButtonRecord& button,
                          const TXmlHost& host) {
  if (fileName.empty()) return TStoreOutcome::NoFileName;
  TXmlFileSystem& fileSystem = FileSystemOf(host);
  TStoreOutcome outcome = TStoreOutcome::Created;
  switch (ReadConfigFile(document, fileName, fileSystem)) {
    case TConfigRead::Loaded:
      outcome = StoreButtonRecord(document, button) == TStoreChange::Updated ? TStoreOutcome::Updated
                                                                             : TStoreOutcome::Appended;
      break;
    case TConfigRead::Missing:
      // A first start has no file yet: the first stored button creates it.
      document.ResetDocument();
      AppendButtonRecord(document, button);
      break;
    case TConfigRead::Unreadable:
      // Writing now would replace records we could not see.
      ReporterOf(host).ShowMessage(SaveRefusedMessage(fileName));
      return TStoreOutcome::Unreadable;
  }
  WriteWhole(document, fileName, fileSystem);
  return outcome;
}

TRemoveOutcome RemoveButton(TXmlDocument& document, const std::wstring& fileName, std::string_view guid,
                            const TXmlHost& host) {
  TXmlFileSystem& fileSystem = FileSystemOf(host);
  switch (ReadConfigFile(document, fileName, fileSystem)) {
    case TConfigRead::Loaded:
      break;
    case TConfigRead::Missing:
      ReporterOf(host).ShowMessage(MissingFileMessage(fileName));
      if (fileName.empty()) return TRemoveOutcome::NotSaved;
      break;  // go on with what the document last held
    case TConfigRead::Unreadable:
      ReporterOf(host).ShowMessage(SaveRefusedMessage(fileName));
      return TRemoveOutcome::Unreadable;
  }
  TXmlNode* root = document.RootElement();
  const bool removed = root && RemoveRecord(*root, guid);
  WriteWhole(document, fileName, fileSystem);
  return removed ? TRemoveOutcome::Removed : TRemoveOutcome::NotFound;
}

TColorOutcome StoreRootColor(TXmlDocument& document, const std::wstring& fileName, std::string_view attribute,
                             TARGB color, const TXmlHost& host, const std::function<void()>& changed) {
  TColorOutcome outcome = TColorOutcome::Stored;
  switch (ReadConfigFile(document, fileName, FileSystemOf(host))) {
    case TConfigRead::Loaded:
      break;
    case TConfigRead::Missing:
      // A new file holds the colour alone.
      ReporterOf(host).ShowMessage(MissingFileMessage(fileName));
      document.ResetDocument();
      outcome = TColorOutcome::Created;
      break;
    case TConfigRead::Unreadable:
      ReporterOf(host).ShowMessage(SaveRefusedMessage(fileName));
      return TColorOutcome::Unreadable;
  }
  TXmlNode* root = document.RootElement();
  if (!root) XmlErrors::Raise(XmlErrors::NoRootElement);
  StoreColor(*root, attribute, color);
  if (changed) changed();
  WriteWhole(document, fileName, FileSystemOf(host));
  return outcome;
}

}  // namespace ConfigFormat
