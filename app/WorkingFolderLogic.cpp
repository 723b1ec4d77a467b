// Where a start of Vantel keeps its files.
#include "app/WorkingFolderLogic.h"

std::wstring PathInFolder(const std::wstring& folder, const std::wstring& name) {
  if (folder.empty()) return name;
  const wchar_t last = folder.back();
  return last == L'\\' || last == L'/' ? folder + name : folder + L'\\' + name;
}

TProgramFolders ResolveProgramFolders(const TStartFolders& start) {
  if (start.InstalledMarker && !start.RoamingAppData.empty()) {
    const std::wstring working = PathInFolder(start.RoamingAppData, L"Vantel");
    const std::wstring log =
        start.LocalAppData.empty() ? working : PathInFolder(start.LocalAppData, L"Vantel");
    return {working, log, true};
  }
  return {start.Current, start.Current, false};
}
