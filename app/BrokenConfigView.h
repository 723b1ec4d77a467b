// TBrokenConfigView: an XML host under which one unloadable file is absent, without a message.
#pragma once

#include <string>

#include "xml/XmlHost.h"

// Start-up builds the ring from a configuration file. When that file does not load (it does not parse,
// or another program holds it), the user has been told once; the ring is then built as on a first start
// (every button reads its colours from the file, and the group its records) without the error or the
// missing-file message once per button. Whoever reads the file for that build is handed Host(); nothing else
// sees the view. The file itself is never touched: writes still go to the inner host's file system.
class TBrokenConfigView {
 public:
  // Over `inner` (its null members: the default host's), which must outlive the view.
  explicit TBrokenConfigView(std::wstring fileName, const TXmlHost& inner = {});
  TBrokenConfigView(const TBrokenConfigView&) = delete;
  TBrokenConfigView& operator=(const TBrokenConfigView&) = delete;

  // The host that shows the file as absent; valid while the view lives.
  TXmlHost Host() { return TXmlHost{&reporter_, &fileSystem_}; }

 private:
  class FileSystem : public TXmlFileSystem {
   public:
    FileSystem(TXmlFileSystem& inner, const std::wstring& hidden) : inner_(inner), hidden_(hidden) {}
    bool FileExists(const std::wstring& name) override;
    TXmlReadResult ReadFile(const std::wstring& name, std::size_t maxBytes, std::string& bytes) override;
    void WriteFileAtomic(const std::wstring& name, std::string_view bytes) override;

   private:
    TXmlFileSystem& inner_;
    const std::wstring& hidden_;
  };
  class Reporter : public TXmlReporter {
   public:
    Reporter(TXmlReporter& inner, const std::wstring& hidden) : inner_(inner), hidden_(hidden) {}
    void ShowMessage(const std::wstring& text) override;

   private:
    TXmlReporter& inner_;
    const std::wstring& hidden_;
  };

  std::wstring fileName_;
  FileSystem fileSystem_;
  Reporter reporter_;
};
