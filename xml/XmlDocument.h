// The XML document: a tree of TXmlNode with load and save, written byte for byte by fixed rules.
#pragma once

#include "xml/XmlEncoding.h"
#include "xml/XmlHost.h"
#include "xml/XmlNode.h"

#include <atomic>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

// What the document's message for a missing file puts after the file's name. Start-up recognises the
// message by it, so there is this one spelling.
inline constexpr std::wstring_view kMissingFileSuffix = L"文件不存在!";
inline std::wstring MissingFileMessage(const std::wstring& fileName) {
  return fileName + std::wstring(kMissingFileSuffix);
}

class TXmlDocument {
 public:
  // Hostile input is refused: deeper nesting than this many element levels, or larger files.
  static constexpr int MaxNesting = 256;
  static constexpr std::size_t MaxFileSize = std::size_t{64} * 1024 * 1024;
  // The root of a document that was created rather than loaded, so that every file written loads again.
  static constexpr std::string_view DefaultRootName = "Settings";

  TXmlDocument();
  explicit TXmlDocument(const TXmlHost& host);  // null members fall back to the default host
  ~TXmlDocument();
  TXmlDocument(const TXmlDocument&) = delete;
  TXmlDocument& operator=(const TXmlDocument&) = delete;

  void SetHost(const TXmlHost& host);

  // Declaration (version "1.0", encoding "GB2312") and an empty root; 8-bit text, 8-bit file.
  void ResetDocument();

  // Missing or unreadable file: a message through the reporter, the content stays as it was.
  // Parse errors throw EXmlError and leave what was built before the failure.
  void LoadFile(const std::wstring& fileName);
  // Empty name: nothing. Otherwise replaces the file atomically; EXmlError when it cannot.
  void SaveFile(const std::wstring& fileName);

  // The parse and the write of LoadFile and SaveFile, from and to memory.
  void LoadFromBytes(std::string_view bytes);
  std::string SaveToBytes() const;

  const std::wstring& LoadedFileName() const { return FLoadedFileName; }

  // The first element of the top-level list, or null.
  TXmlNode* RootElement() const;
  // The container of the top-level nodes (declaration, root, top-level comments, ...).
  TXmlNode& Nodes() const { return *FNodes; }

  // Text mode: false, node texts are 8-bit bytes of the ANSI code page; true, they are UTF-8.
  bool IsUtf8Text() const { return FUtf8Text; }
  void SetUtf8Text(bool utf8Text) { FUtf8Text = utf8Text; }
  TXmlEncoding ExternalEncoding() const { return FExternalEncoding; }
  void SetExternalEncoding(TXmlEncoding encoding) { FExternalEncoding = encoding; }

 private:
  TXmlReporter& Reporter() const;
  TXmlFileSystem& FileSystem() const;

  TXmlHost FHost;
  std::unique_ptr<TXmlNode> FNodes;
  std::wstring FLoadedFileName;
  // The length of the text last loaded or saved: the next save's text is made in one allocation.
  // Atomic, as a save is a const operation that other threads may make at the same time.
  mutable std::atomic<std::size_t> FTextSizeHint{0};
  bool FUtf8Text = false;
  TXmlEncoding FExternalEncoding = TXmlEncoding::Ansi8Bit;
};
