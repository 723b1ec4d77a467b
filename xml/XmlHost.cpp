// The std-only host of the XML document and the process-wide default.
#include "xml/XmlHost.h"

#include "xml/XmlError.h"
#include "xml/XmlText.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <system_error>

namespace fs = std::filesystem;

std::string WideToUtf8(std::wstring_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    // NOLINTNEXTLINE(bugprone-signed-char-misuse): a wchar_t (signed on Linux), not a char
    auto cp = static_cast<std::uint32_t>(text[i]);
    // wchar_t is UTF-16 on Windows: join surrogate pairs.
    if (sizeof(wchar_t) == 2 && cp >= 0xD800 && cp < 0xDC00 && i + 1 < text.size()) {
      auto lo = static_cast<std::uint32_t>(text[i + 1]);  // NOLINT(bugprone-signed-char-misuse): as above
      if (lo >= 0xDC00 && lo < 0xE000) {
        cp = 0x10000 + ((cp - 0xD800) << 10) + (lo - 0xDC00);
        ++i;
      }
    }
    XmlText::AppendUtf8(out, cp);
  }
  return out;
}

std::filesystem::path XmlFilePath(const std::wstring& name) {
#ifdef _WIN32
  return std::filesystem::path(name);
#else
  return std::filesystem::path(WideToUtf8(name));
#endif
}

namespace {

class TStdReporter final : public TXmlReporter {
 public:
  void ShowMessage(const std::wstring& text) override { std::cerr << WideToUtf8(text) << std::endl; }
};

class TStdFileSystem final : public TXmlFileSystem {
 public:
  bool FileExists(const std::wstring& name) override {
    std::error_code ec;
    return fs::is_regular_file(XmlFilePath(name), ec);
  }

  TXmlReadResult ReadFile(const std::wstring& name, std::size_t maxBytes, std::string& bytes) override {
    const fs::path path = XmlFilePath(name);
    std::ifstream in(path, std::ios::binary);
    if (!in) {
      std::error_code ec;
      return fs::exists(path, ec) ? TXmlReadResult::CannotOpen : TXmlReadResult::Missing;
    }
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0) return TXmlReadResult::CannotOpen;
    if (static_cast<std::uintmax_t>(size) > maxBytes) return TXmlReadResult::TooLarge;
    in.seekg(0, std::ios::beg);
    bytes.assign(static_cast<std::size_t>(size), '\0');
    if (size > 0 && !in.read(bytes.data(), size)) return TXmlReadResult::CannotOpen;
    return TXmlReadResult::Ok;
  }

  void WriteFileAtomic(const std::wstring& name, std::string_view bytes) override {
    const fs::path target = XmlFilePath(name);
    const fs::path tmp = XmlFilePath(name + L".tmp");
    std::string failure;
    bool created = false;
    // A rename would replace a read-only file where the system allows it (POSIX folders): the user
    // made it read-only, so it is refused as a file that cannot be created.
    std::error_code statusError;
    const fs::file_status status = fs::status(target, statusError);
    if (!statusError && fs::is_regular_file(status) &&
        (status.permissions() & fs::perms::owner_write) == fs::perms::none) {
      failure = SystemMessage(EACCES);
    }
    if (failure.empty()) {
      errno = 0;
      std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
      if (out) {
        created = true;
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        out.close();
      }
      if (!out) failure = SystemMessage(errno);
    }
    if (failure.empty()) {
      std::error_code ec;
      fs::rename(tmp, target, ec);
      if (ec) failure = ec.message();
    }
    if (failure.empty()) return;
    if (created) {
      std::error_code ignored;
      fs::remove(tmp, ignored);
    }
    XmlErrors::Raise(XmlErrors::CannotCreateFile(WideToUtf8(name), failure));
  }

 private:
  static std::string SystemMessage(int error) {
    if (error == 0) return "The file could not be written.";
    return std::generic_category().message(error);
  }
};

TXmlHost& CurrentDefault() {
  static TXmlHost host{&StdXmlReporter(), &StdXmlFileSystem()};
  return host;
}

}  // namespace

TXmlReporter& StdXmlReporter() {
  static TStdReporter reporter;
  return reporter;
}

TXmlFileSystem& StdXmlFileSystem() {
  static TStdFileSystem fileSystem;
  return fileSystem;
}

TXmlHost DefaultXmlHost() {
  return CurrentDefault();
}

void SetDefaultXmlHost(const TXmlHost& host) {
  CurrentDefault().Reporter = host.Reporter ? host.Reporter : &StdXmlReporter();
  CurrentDefault().FileSystem = host.FileSystem ? host.FileSystem : &StdXmlFileSystem();
}

TXmlReporter& ReporterOf(const TXmlHost& host) {
  return host.Reporter ? *host.Reporter : *CurrentDefault().Reporter;
}

TXmlFileSystem& FileSystemOf(const TXmlHost& host) {
  return host.FileSystem ? *host.FileSystem : *CurrentDefault().FileSystem;
}
