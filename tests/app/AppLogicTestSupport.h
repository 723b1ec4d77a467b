// Helpers of the start-up logic tests: an in-memory file system and a recording reporter.
#pragma once

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "xml/XmlError.h"
#include "xml/XmlHost.h"

namespace apptest {

// Files as a map from name to bytes; names listed in FailWrites refuse to be written, names in
// Unreadable refuse to be read.
class TMemoryFileSystem : public TXmlFileSystem {
 public:
  std::map<std::wstring, std::string> Files;
  std::set<std::wstring> FailWrites, Unreadable;
  std::vector<std::wstring> Writes;  // names, in the order they were written

  bool FileExists(const std::wstring& name) override { return Files.count(name) != 0; }
  TXmlReadResult ReadFile(const std::wstring& name, std::size_t maxBytes, std::string& bytes) override {
    const auto it = Files.find(name);
    if (it == Files.end()) return TXmlReadResult::Missing;
    if (Unreadable.count(name)) return TXmlReadResult::CannotOpen;
    if (it->second.size() > maxBytes) return TXmlReadResult::TooLarge;
    bytes = it->second;
    return TXmlReadResult::Ok;
  }
  void WriteFileAtomic(const std::wstring& name, std::string_view bytes) override {
    if (FailWrites.count(name)) XmlErrors::Raise(XmlErrors::CannotCreateFile("x", "refused"));
    Files[name] = std::string(bytes);
    Writes.push_back(name);
  }
};

class TRecordingReporter : public TXmlReporter {
 public:
  void ShowMessage(const std::wstring& text) override {
    Messages.push_back(text);
    if (OnMessage) OnMessage();
  }
  std::vector<std::wstring> Messages;
  std::function<void()> OnMessage;  // runs while the message "is up"
};

inline constexpr char kGoodConfig[] =
    "<?xml version=\"1.0\" encoding=\"GB2312\"?>\r\n<Settings HotColor=\"-1\" DefaultColor=\"-16777216\">\r\n"
    "</Settings>\r\n";

}  // namespace apptest
