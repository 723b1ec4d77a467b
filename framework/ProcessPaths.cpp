// ModulePath and CurrentFolder: buffers grown until the whole name fits, as paths may be long.
#include "framework/ProcessPaths.h"

#include "framework/Win32.h"

std::wstring ModulePath() {
  std::wstring path(256, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    // A name that fills the buffer may have been cut.
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

std::wstring ModuleFolder() {
  const std::wstring path = ModulePath();
  const std::size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

std::wstring CurrentFolder() {
  // Another thread may change the folder between the calls: asked again until it fits.
  for (DWORD size = GetCurrentDirectoryW(0, nullptr); size != 0;) {
    std::wstring folder(size, L'\0');
    const DWORD length = GetCurrentDirectoryW(size, folder.data());
    if (length < size) {
      folder.resize(length);
      return folder;
    }
    size = length;
  }
  return {};
}
