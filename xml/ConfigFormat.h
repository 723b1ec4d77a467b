// The SystemConfig.xml format: colours on the root, one ButtonInfo record per stored button.
#pragma once

#include "xml/ColorValue.h"
#include "xml/XmlDocument.h"
#include "xml/XmlHost.h"
#include "xml/XmlNode.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ConfigFormat {

// The configuration file's name, in the program's working folder.
inline constexpr wchar_t FileName[] = L"SystemConfig.xml";

inline constexpr std::string_view HotColorAttribute = "HotColor";
inline constexpr std::string_view DefaultColorAttribute = "DefaultColor";
inline constexpr std::string_view RecordElementName = "ButtonInfo";
inline constexpr std::string_view KindAttribute = "ButonType";  // one t after Bu: the file's spelling
inline constexpr std::string_view FilePathAttribute = "ButtonFilePath";
inline constexpr std::string_view GuidAttribute = "ButtonGuid";

// Button kinds as stored in ButonType, and what a pie button draws (TCustomGDIButton::ButtonKind); any other
// kind draws nothing.
inline constexpr std::uint8_t KindSegment = 0;  // a ring segment, a slice with a hole (the hint window too)
inline constexpr std::uint8_t KindCentre = 1;   // the centre, a whole disc

// A first start (no records) shows this many empty segments. A file with fewer than RingRecordTarget
// records gets empty segments added until records and added segments together number RingRecordTarget.
inline constexpr int DefaultSegmentCount = 4;
inline constexpr int RingRecordTarget = 5;

// --- Colours of the root element ----------------------------------------------------------
// AttributeAsInt64(name, 0), low 32 bits: "-16777216" and "4278190080" both read as opaque black.
TARGB ReadColor(const TXmlNode& root, std::string_view attribute);
inline TARGB ReadHotColor(const TXmlNode& root) {
  return ReadColor(root, HotColorAttribute);
}
inline TARGB ReadDefaultColor(const TXmlNode& root) {
  return ReadColor(root, DefaultColorAttribute);
}
// StoreIntegerAttribute with the signed form: an existing attribute is rewritten in place.
void StoreColor(TXmlNode& root, std::string_view attribute, TARGB color);
inline void StoreHotColor(TXmlNode& root, TARGB color) {
  StoreColor(root, HotColorAttribute, color);
}
inline void StoreDefaultColor(TXmlNode& root, TARGB color) {
  StoreColor(root, DefaultColorAttribute, color);
}

// --- One record ---------------------------------------------------------------------------
struct TButtonRecord {
  std::uint8_t Kind = KindSegment;
  std::string FilePath;  // unescaped bytes, ANSI code page
  std::string Guid;      // registry form, compared exactly
  bool operator==(const TButtonRecord&) const = default;
};

// Low 8 bits of AttributeAsInteger("ButonType", 0): "256" is a segment.
std::uint8_t RecordKind(const TXmlNode& record);
std::string RecordFilePath(const TXmlNode& record);
std::string RecordGuid(const TXmlNode& record);
TButtonRecord ReadRecord(const TXmlNode& record);

// --- The records as a whole --------------------------------------------------------------
enum class TRecordRole { Segment, Centre, Skipped };
TRecordRole RoleOfKind(std::uint8_t kind);

// Empty segments added after loading recordCount records (any kinds, skipped ones included).
// Zero records is the first start: DefaultSegmentCount segments, made without records.
int EmptySegmentsToAdd(int recordCount);

struct TRingPlan {
  int RecordCount = 0;                  // every child of the root is one record
  std::optional<TButtonRecord> Centre;  // the last kind-1 record
  std::vector<TButtonRecord> Segments;  // kind-0 records, in file order (the ring's order)
  int EmptySegments = 0;                // empty segments to add after them
  bool FirstStart() const { return RecordCount == 0; }
};
TRingPlan InterpretRecords(const TXmlNode& root);

// Index of the first record whose ButtonGuid equals guid exactly (letter case counts), or -1.
int FindRecord(const TXmlNode& root, std::string_view guid);

// Appends an empty ButtonInfo record to the document's root: ButonType, ButtonFilePath and
// ButtonGuid created empty in this order, so that filling them in keeps that order.
// Throws "No root element found in xml" for a document without a root.
TXmlNode& AppendButtonInfo(TXmlDocument& document);
// AppendButtonInfo, then the three values.
TXmlNode& AppendButtonRecord(TXmlDocument& document, const TButtonRecord& record);
// A stored button's record updated in place: path, then kind; the GUID stays as it is. A path
// attribute the record lacked is added after the others.
void UpdateButtonRecord(TXmlNode& record, std::uint8_t kind, std::string_view filePath);
// Deletes the first record with this GUID; false when there is none.
bool RemoveRecord(TXmlNode& root, std::string_view guid);

// What storing a button does to the loaded records. The first record with the button's GUID is
// updated in place; without one, a record is appended, so a button stored again and again keeps one
// record. A button without a file sets only the kind: the record keeps its path, which can only be that
// of a twin with the same GUID.
enum class TStoreChange { Updated, Appended };
TStoreChange StoreButtonRecord(TXmlDocument& document, const TButtonRecord& button);

// --- Whole-file operations ----------------------------------------------------------------
// Each reads the whole file into the caller's document, changes the tree, and writes the whole
// file back atomically through the same file system. A file that does not parse throws EXmlError
// before anything is written, so such a file is never overwritten.

enum class TConfigRead { Loaded, Missing, Unreadable };
// Replaces the document's content with the file's. Missing and Unreadable leave the document as
// it was and show nothing. A file that does not parse throws and leaves the document empty
// (declaration and root): a half-read tree can never be saved later. Too large: throws.
TConfigRead ReadConfigFile(TXmlDocument& document, const std::wstring& fileName, TXmlFileSystem& fileSystem);

// ReadConfigFile with the document's own messages for a file that is missing ("<name>文件不存在!")
// or cannot be opened ("XML文件流创建出错"). Null host members: the default host's.
TConfigRead LoadConfigFile(TXmlDocument& document, const std::wstring& fileName, const TXmlHost& host = {});

// What a save tells the user when the file is there but could not be read: the file's name, that the
// change was not saved, and what to do.
std::wstring SaveRefusedMessage(const std::wstring& fileName);

// What start-up tells the user, once, when the file stays unreadable however long it waits: the file's
// name, that another program may hold it, and what to do.
std::wstring HeldAtStartMessage(const std::wstring& fileName);

// The records in a configuration file's bytes, or 0 when they do not parse. A save that stopped halfway
// leaves the file's content under another name; start-up offers it only when this is above 0.
int ParsedRecordCount(std::string_view bytes);

// Start-up's wait for a file that is there but cannot be read (a sync or backup tool holds it without
// sharing): tried again after each waitMore, which waits a little and says whether to go on. True once
// the file can be read or is not there; false when it stays unreadable.
bool AwaitReadable(TXmlFileSystem& fileSystem, const std::wstring& fileName,
                   const std::function<bool()>& waitMore);

enum class TStoreOutcome {
  NoFileName,  // an empty file name: nothing stored
  Updated,     // the button's record was updated in place
  Appended,    // a record was appended
  Created,     // the file was missing: a new one (root "Settings", no colours) holds the record
  Unreadable,  // the file is there but could not be read: SaveRefusedMessage is shown, nothing written
};
TStoreOutcome StoreButton(TXmlDocument& document, const std::wstring& fileName, const TButtonRecord& button,
                          const TXmlHost& host = {});

enum class TRemoveOutcome {
  Removed,     // the first record with the GUID is gone, the file written
  NotFound,    // no record with the GUID; the file is written unchanged
  NotSaved,    // missing file and an empty name: the message only
  Unreadable,  // the file is there but could not be read: SaveRefusedMessage is shown, nothing written
};
// Removes the first record with this GUID. A missing file is reported and the document goes on
// with what it last held, which is then written (this creates the file).
TRemoveOutcome RemoveButton(TXmlDocument& document, const std::wstring& fileName, std::string_view guid,
                            const TXmlHost& host = {});

enum class TColorOutcome {
  Stored,      // the file was read and written back with the colour
  Created,     // the file was missing (reported): a new one holds the colour alone
  Unreadable,  // the file is there but could not be read: SaveRefusedMessage is shown, nothing written
};
// Stores one colour attribute on the root. Every save of the configuration follows the same rule: it
// writes only over what it has just read from the file, or where there is no file. A file that does not
// parse throws before anything is written. `changed` runs once the colour is in the document, before
// the write.
TColorOutcome StoreRootColor(TXmlDocument& document, const std::wstring& fileName, std::string_view attribute,
                             TARGB color, const TXmlHost& host = {},
                             const std::function<void()>& changed = {});

}  // namespace ConfigFormat
