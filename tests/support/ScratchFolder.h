// ScratchFolder: a fresh folder of one test's own under the temporary folder, removed with all it holds.
#pragma once

#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <system_error>

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

namespace testsupport {

// Named "vantel-test-<process id>-<count>", so that test programs running side by side never share one.
class ScratchFolder {
 public:
  ScratchFolder() {
    static std::atomic<unsigned> counter{0};
#ifdef _WIN32
    const int process = _getpid();
#else
    const int process = static_cast<int>(getpid());
#endif
    path_ = std::filesystem::temp_directory_path() /
            ("vantel-test-" + std::to_string(process) + "-" + std::to_string(++counter));
    // Wine reuses process ids: a folder of this name was left by a test process that did not end normally.
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
    std::filesystem::create_directories(path_);
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::filesystem::path& Path() const {
    return path_;
  }
  // The full name of `name` in the folder, joined as text (the XML tests turn a wide name into bytes their
  // own way).
  std::wstring File(std::wstring_view name) const {
    return path_.wstring() + static_cast<wchar_t>(std::filesystem::path::preferred_separator) +
           std::wstring(name);
  }
  // Writes `bytes` to `name` in the folder and returns the full name.
  std::wstring Write(std::wstring_view name, std::string_view bytes) const {
    std::wstring file = File(name);
    std::ofstream out(std::filesystem::path(file), std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return file;
  }

 private:
  std::filesystem::path path_;
};

}  // namespace testsupport
