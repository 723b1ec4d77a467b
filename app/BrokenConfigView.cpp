// TBrokenConfigView: the masking file system and the quiet reporter, installed for a scope.
#include "app/BrokenConfigView.h"

#include "xml/XmlDocument.h"

TBrokenConfigView::TBrokenConfigView(std::wstring fileName)
    : fileName_(std::move(fileName)),
      previous_(DefaultXmlHost()),
      fileSystem_(*previous_.FileSystem, fileName_),
      reporter_(*previous_.Reporter, fileName_) {
  SetDefaultXmlHost(TXmlHost{&reporter_, &fileSystem_});
}

TBrokenConfigView::~TBrokenConfigView() {
  SetDefaultXmlHost(previous_);
}

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
