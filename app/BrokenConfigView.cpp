// TBrokenConfigView: the masking file system and the quiet reporter.
#include "app/BrokenConfigView.h"

#include "xml/XmlDocument.h"

TBrokenConfigView::TBrokenConfigView(std::wstring fileName, const TXmlHost& inner)
    : fileName_(std::move(fileName)),
      fileSystem_(FileSystemOf(inner), fileName_),
      reporter_(ReporterOf(inner), fileName_) {}

bool TBrokenConfigView::FileSystem::FileExists(const std::wstring& name) {
  return name != hidden_ && inner_.FileExists(name);
}

TXmlReadResult TBrokenConfigView::FileSystem::ReadFile(const std::wstring& name, std::size_t maxBytes,
                                                       std::string& bytes) {
  if (name == hidden_) return TXmlReadResult::Missing;
  return inner_.ReadFile(name, maxBytes, bytes);
}

void TBrokenConfigView::FileSystem::WriteFileAtomic(const std::wstring& name, std::string_view bytes) {
  inner_.WriteFileAtomic(name, bytes);
}

void TBrokenConfigView::Reporter::ShowMessage(const std::wstring& text) {
  if (text == MissingFileMessage(hidden_)) return;
  inner_.ShowMessage(text);
}
