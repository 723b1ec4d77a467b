// The folders of this start: what the process finds, resolved once.
#include "app/StartFolders.h"

#include "framework/Handles.h"
#include "framework/ProcessPaths.h"
#include "framework/Win32.h"

#include <knownfolders.h>
#include <shlobj.h>

namespace {

std::wstring KnownFolder(REFKNOWNFOLDERID id) {
  PWSTR path = nullptr;
  const HRESULT result = SHGetKnownFolderPath(id, KF_FLAG_DEFAULT, nullptr, &path);
  const CoTaskMem<PWSTR> held(path);  // freed whether or not the call succeeded
  return SUCCEEDED(result) && path ? std::wstring(path) : std::wstring();
}

}  // namespace

TProgramFolders ProgramFoldersAtStart() {
  TStartFolders start;
  start.Current = CurrentFolder();
  const std::wstring marker = PathInFolder(ModuleFolder(), kInstalledMarkerName);
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
