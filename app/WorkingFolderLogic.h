// Where a start of Vantel keeps its files: the working folder (SystemConfig.xml, the one instance per
// folder) and the log's folder, worked out once at start from what the process finds.
#pragma once

#include <string>

// The installer writes this file beside Vantel.exe: a copy with it is an installed one.
inline constexpr wchar_t kInstalledMarkerName[] = L"Vantel.installed";

// What the process sees at start. Folders are absolute, without a trailing separator (a drive's root
// may keep its own); an empty one could not be found.
struct TStartFolders {
  std::wstring Current;          // the current folder at start
  bool InstalledMarker = false;  // kInstalledMarkerName exists beside the program
  std::wstring RoamingAppData;   // %APPDATA%
  std::wstring LocalAppData;     // %LOCALAPPDATA%
};

struct TProgramFolders {
  std::wstring Working;  // holds SystemConfig.xml; one Vantel runs per working folder
  std::wstring Log;      // holds Vantel.log
  bool Installed = false;
};

// An installed copy works in %APPDATA%\Vantel and logs to %LOCALAPPDATA%\Vantel however it was started
// (its shortcut, or its exe in the program folder); a portable copy works and logs in its current folder.
// An installed copy whose application-data folders cannot be found works as a portable one.
TProgramFolders ResolveProgramFolders(const TStartFolders& start);

// `name` in `folder`, with one separator between them.
std::wstring PathInFolder(const std::wstring& folder, const std::wstring& name);
