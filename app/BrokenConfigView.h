// TBrokenConfigView: while it lives, XML documents see one unloadable file as absent, without a message.
#pragma once

#include <string>

#include "xml/XmlHost.h"

// Start-up builds the ring from a configuration file. When that file does not load (it does not parse,
// or another program holds it), the user has been told once; the ring is then built as on a first start
// (every button reads its colours from the file, and the group its records) without the error or the
// missing-file message once per button. The view is installed as the process's default XML host and puts the
// previous host back when it goes; the file itself is never touched: writes still go to the previous host's
// file system.
class TBrokenConfigView {
 public:
  explicit TBrokenConfigView(std::wstring fileName);
  ~TBrokenConfigView();
  TBrokenConfigView(const TBrokenConfigView&) = delete;
  TBrokenConfigView& operator=(const TBrokenConfigView&) = delete;

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
  TXmlHost previous_;
  FileSystem fileSystem_;
  Reporter reporter_;
};
