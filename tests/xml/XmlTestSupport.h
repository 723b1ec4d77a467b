// Helpers of the XML tests: a recording reporter, CR LF text.
#pragma once

#include "xml/XmlDocument.h"
#include "xml/XmlHost.h"
#include "tests/support/ScratchFolder.h"

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace XmlTest {

inline std::string ReadBytes(const std::wstring& name) {
  std::ifstream in(XmlFilePath(name), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::wstring& name, std::string_view bytes) {
  std::ofstream out(XmlFilePath(name), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

class TRecordingReporter : public TXmlReporter {
 public:
  void ShowMessage(const std::wstring& text) override { Messages.push_back(text); }
  std::vector<std::wstring> Messages;
};

// Lines joined, each ended by CR LF, as the document writes them.
inline std::string Lines(std::initializer_list<std::string_view> lines) {
  std::string s;
  for (std::string_view l : lines) s.append(l).append("\r\n");
  return s;
}

inline constexpr std::string_view Declaration = R"(<?xml version="1.0" encoding="GB2312"?>)";

inline std::unique_ptr<TXmlDocument> Parse(std::string_view bytes) {
  auto doc = std::make_unique<TXmlDocument>();
  doc->LoadFromBytes(bytes);
  return doc;
}

// What a document loaded from these bytes writes.
inline std::string Rewrite(std::string_view bytes) {
  return Parse(bytes)->SaveToBytes();
}

// A short printable label for a table row (test names carry it).
inline void PrintLabel(std::string_view text, std::ostream* os) {
  std::string label;
  for (char c : text.substr(0, 24)) {
    const bool plain = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    if (plain) {
      label += c;
    } else {
      static constexpr char Hex[] = "0123456789ABCDEF";
      const auto b = static_cast<unsigned char>(c);
      label += {'_', Hex[b >> 4], Hex[b & 15]};
    }
  }
  *os << (label.empty() ? std::string("empty") : label);
}

}  // namespace XmlTest
