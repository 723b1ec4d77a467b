// ListFolder: FindFirstFileExW over the folder, planned for its ring.
#include "GDIButtons/FolderListing.h"

#include <shlwapi.h>

#include "GDIButtons/ShellInfoPrefetch.h"
#include "framework/Handles.h"
#include "shell/ShortcutResolver.h"

namespace {

// The folder a ring item opens: the item itself, or the folder a shortcut names (empty when it names none).
std::wstring FolderOf(const std::wstring& item, DWORD& error) {
  std::wstring folder = item;
  if (IsShortcutName(item)) {
    try {
      folder = ResolveShortcut(item);
    } catch (...) {
      folder.clear();
    }
  }
  const DWORD attributes =
      folder.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(ExtendedPath(folder).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    error = folder.empty() ? ERROR_PATH_NOT_FOUND : GetLastError();
    return {};
  }
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    error = ERROR_DIRECTORY;
    return {};
  }
  return folder;
}

}  // namespace

TFolderListing ListFolder(const std::wstring& item) {
  TFolderListing listing;
  listing.Folder = FolderOf(item, listing.Error);
  if (listing.Folder.empty()) {
    listing.Folder = item;
    return listing;
  }
  std::wstring pattern = ExtendedPath(listing.Folder);
  if (pattern.back() != L'\\') pattern += L'\\';
  pattern += L'*';
  std::vector<vantel::FolderEntry> entries;
  WIN32_FIND_DATAW found{};
  const UniqueFind search(FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch,
                                           nullptr, FIND_FIRST_EX_LARGE_FETCH));
  if (search.get() == INVALID_HANDLE_VALUE) {
    // An empty drive's root has not even "." and "..".
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_NOT_FOUND) listing.Error = error;
    if (error == ERROR_FILE_NOT_FOUND) listing.Slots = vantel::PlanFolderRing({}, {});
    return listing;
  }
  do {
    const std::wstring name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    const DWORD attributes = found.dwFileAttributes;
    entries.push_back({name, (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                       (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0});
  } while (FindNextFileW(search.get(), &found));
  if (const DWORD ended = GetLastError(); ended != ERROR_NO_MORE_FILES) {
    listing.Error = ended;  // the folder went away, or the network, in the middle
    return listing;
  }
  listing.Slots = vantel::PlanFolderRing(
      std::move(entries),
      [](const std::wstring& a, const std::wstring& b) { return StrCmpLogicalW(a.c_str(), b.c_str()); });
  return listing;
}
