// The XML document: load, save and the fixed settings.
#include "xml/XmlDocument.h"

#include "xml/XmlError.h"
#include "xml/XmlParser.h"
#include "xml/XmlText.h"
#include "xml/XmlWriter.h"

TXmlDocument::TXmlDocument() : TXmlDocument(TXmlHost{}) {}

TXmlDocument::TXmlDocument(const TXmlHost& host) : FHost(host), FNodes(std::make_unique<TXmlNode>(this)) {
  ResetDocument();
}

TXmlDocument::~TXmlDocument() = default;

void TXmlDocument::SetHost(const TXmlHost& host) {
  FHost = host;
}

TXmlReporter& TXmlDocument::Reporter() const {
  return ReporterOf(FHost);
}

TXmlFileSystem& TXmlDocument::FileSystem() const {
  return FileSystemOf(FHost);
}

void TXmlDocument::ResetDocument() {
  FUtf8Text = false;
  FExternalEncoding = TXmlEncoding::Ansi8Bit;
  FNodes->ClearChildren();
  auto declaration = std::make_unique<TXmlNode>(this);
  declaration->SetElementType(TXmlElementType::Declaration);
  declaration->SetElementName("xml");
  // version="1.0" encoding="GB2312", as AppendAttribute writes them.
  constexpr std::string_view Version = "version=\"1.0\"", Encoding = "encoding=\"GB2312\"";
  declaration->FAttributes.Reserve(2, Version.size() + Encoding.size());
  declaration->FAttributes.Append(Version);
  declaration->FAttributes.Append(Encoding);
  FNodes->FChildren.reserve(2);
  FNodes->AppendChild(std::move(declaration));
  // A nameless root would be written as a tag that does not load again.
  FNodes->NewChild(DefaultRootName);
}

TXmlNode* TXmlDocument::RootElement() const {
  for (int i = 0; i < FNodes->ChildCount(); ++i) {
    TXmlNode* node = FNodes->ChildAt(i);
    if (node->ElementType() == TXmlElementType::Element) return node;
  }
  return nullptr;
}

void TXmlDocument::LoadFile(const std::wstring& fileName) {
  FLoadedFileName = fileName;
  TXmlFileSystem& fs = FileSystem();
  if (!fs.FileExists(fileName)) {
    Reporter().ShowMessage(MissingFileMessage(fileName));
    return;
  }
  std::string bytes;
  switch (fs.ReadFile(fileName, MaxFileSize, bytes)) {
    case TXmlReadResult::Ok:
      break;
    case TXmlReadResult::Missing:
      Reporter().ShowMessage(MissingFileMessage(fileName));
      return;
    case TXmlReadResult::CannotOpen:
      Reporter().ShowMessage(L"XML文件流创建出错");
      return;
    case TXmlReadResult::TooLarge:
      XmlErrors::Raise(XmlErrors::FileTooLarge);
  }
  LoadFromBytes(bytes);
}

void TXmlDocument::LoadFromBytes(std::string_view bytes) {
  if (bytes.size() > MaxFileSize) XmlErrors::Raise(XmlErrors::FileTooLarge);
  const XmlEncoding::TDetected detected = XmlEncoding::Detect(bytes);
  if (!XmlEncoding::IsSupported(detected.Encoding)) XmlErrors::Raise(XmlErrors::UnsupportedEncoding);
  const std::string_view body = bytes.substr(detected.BomLength);
  // In UTF-8 text mode, 8-bit input is converted from Latin-1 until a declaration says it is UTF-8.
  const bool convertsLatin1 = FUtf8Text && detected.Encoding == TXmlEncoding::Ansi8Bit;
  // Where the bytes need no decoding, the parser reads them in place.
  std::string decoded;
  const bool keepsBytes = XmlEncoding::DecodeKeepsBytes(detected.Encoding, FUtf8Text);
  if (!keepsBytes) decoded = XmlEncoding::Decode(body, detected.Encoding, FUtf8Text);
  TXmlParser parser(*this, keepsBytes ? body : std::string_view(decoded),
                    convertsLatin1 ? body : std::string_view());
  parser.ParseDocument(*FNodes);
  FTextSizeHint.store(keepsBytes ? body.size() : decoded.size(), std::memory_order_relaxed);

  FExternalEncoding = detected.Encoding;
  if (detected.Encoding == TXmlEncoding::Utf8) FUtf8Text = true;
  const TXmlNode* first = FNodes->ChildAt(0);
  if (first && first->ElementType() == TXmlElementType::Declaration) {
    std::string encoding = first->GetAttribute("encoding");
    if (XmlText::SameText(encoding, "UTF-8")) FUtf8Text = true;
  }
}

std::string TXmlDocument::SaveToBytes() const {
  std::string text = TXmlWriter::WriteDocument(*FNodes, FTextSizeHint.load(std::memory_order_relaxed));
  FTextSizeHint.store(text.size(), std::memory_order_relaxed);
  return XmlEncoding::Encode(std::move(text), FExternalEncoding, FUtf8Text);
}

void TXmlDocument::SaveFile(const std::wstring& fileName) {
  if (fileName.empty()) return;
  // The whole text is made before the file is touched: a node that cannot be written leaves
  // the old file as it was.
  const std::string bytes = SaveToBytes();
  FileSystem().WriteFileAtomic(fileName, bytes);
}
