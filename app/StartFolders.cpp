// The folders of this start: what the process finds, resolved once.
#include "app/StartFolders.h"

#include "framework/Win32.h"

#include <knownfolders.h>
#include <shlobj.h>

namespace {

std::wstring CurrentFolder() {
  std::wstring folder(MAX_PATH, L'\0');
  DWORD length = GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data());
  if (length >= folder.size()) {
    folder.resize(length);
    length = GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data());
  }
  folder.resize(length < folder.size() ? length : 0);
  return folder;
}

std::wstring ProgramFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  return path.substr(0, path.find_last_of(L"\\/"));
}

std::wstring KnownFolder(REFKNOWNFOLDERID id) {
  PWSTR path = nullptr;
  std::wstring result;
  if (SUCCEEDED(SHGetKnownFolderPath(id, KF_FLAG_DEFAULT, nullptr, &path)) && path) result = path;
  CoTaskMemFree(path);
  return result;
}

}  // namespace

TProgramFolders ProgramFoldersAtStart() {
  TStartFolders start;
  start.Current = CurrentFolder();
  const std::wstring marker = PathInFolder(ProgramFolder(), kInstalledMarkerName);
  start.InstalledMarker = GetFileAttributesW(marker.c_str()) != INVALID_FILE_ATTRIBUTES;
  if (start.InstalledMarker) {
    start.RoamingAppData = KnownFolder(FOLDERID_RoamingAppData);
    start.LocalAppData = KnownFolder(FOLDERID_LocalAppData);
  }
  TProgramFolders folders = ResolveProgramFolders(start);
  if (folders.Installed) {
    CreateDirectoryW(folders.Working.c_str(), nullptr);  // the user may have removed it; saves need it
    // Nothing relative lands in the program folder, and the program folder is not held open as the
    // current folder while an upgrade or the uninstaller works on it.
    SetCurrentDirectoryW(folders.Working.c_str());
  }
  return folders;
}
