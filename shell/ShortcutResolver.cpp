// ResolveShortcut through the shell-link object (IShellLinkW + IPersistFile).
#include "shell/ShortcutResolver.h"

#include <objidl.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <algorithm>
#include <vector>

#include "framework/Handles.h"
#include "shell/OleError.h"

bool IsShortcutName(const std::wstring& path) {
  return path.size() > 4 && _wcsicmp(path.c_str() + path.size() - 4, L".lnk") == 0;
}

std::wstring ResolveShortcut(const std::wstring& path) {
  ComPtr<IShellLinkW> link;
  OleCheck(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                            reinterpret_cast<void**>(link.Put())),
           L"CoCreateInstance(ShellLink)");
  ComPtr<IPersistFile> file;
  OleCheck(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.Put())),
           L"IShellLink.QueryInterface(IPersistFile)");

  if (FAILED(file->Load(path.c_str(), STGM_READ))) return path;  // not a link, or unreadable
  // No SLR_NO_UI: the shell may ask the user while it searches for a moved target.
  if (FAILED(link->Resolve(GetActiveWindow(), SLR_NOUPDATE))) return path;

  // Room for the longest path the wide API knows, so a long target is never cut.
  std::vector<wchar_t> buffer(32768, L'\0');
  WIN32_FIND_DATAW findData{};
  if (FAILED(link->GetPath(buffer.data(), static_cast<int>(buffer.size()), &findData, SLGP_UNCPRIORITY))) {
    return path;
  }
  buffer.back() = L'\0';
  std::wstring target(buffer.data());  // up to the first NUL; empty for a target without a path
  // A link can keep its path in the code page of the system that made it, where characters outside
  // that code page turn into "?" (Wine writes links so). The item list holds the names in full:
  // when the path names nothing, the list's path is the target.
  if (!target.empty() && GetFileAttributesW(target.c_str()) == INVALID_FILE_ATTRIBUTES) {
    PIDLIST_ABSOLUTE list = nullptr;
    const HRESULT listed = link->GetIDList(&list);
    const CoTaskMem<PIDLIST_ABSOLUTE> items(list);
    if (SUCCEEDED(listed) && items) {
      std::fill(buffer.begin(), buffer.end(), L'\0');
      const bool found =
          SHGetPathFromIDListEx(items.get(), buffer.data(), static_cast<DWORD>(buffer.size() - 1),
                                GPFIDL_DEFAULT) != FALSE;
      if (found && GetFileAttributesW(buffer.data()) != INVALID_FILE_ATTRIBUTES) target = buffer.data();
    }
  }
  return target;
}

bool ShortcutTargetIsFolder(const std::wstring& path) {
  ComPtr<IShellLinkW> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(link.Put())))) {
    return false;
  }
  ComPtr<IPersistFile> file;
  if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.Put()))) ||
      FAILED(file->Load(path.c_str(), STGM_READ))) {
    return false;
  }
  std::vector<wchar_t> buffer(32768, L'\0');
  WIN32_FIND_DATAW findData{};
  if (link->GetPath(buffer.data(), static_cast<int>(buffer.size()), &findData, SLGP_RAWPATH) != S_OK) {
    return false;  // S_FALSE: a target without a file-system path
  }
  if (findData.dwFileAttributes != 0) return (findData.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  buffer.back() = L'\0';
  const DWORD attributes = GetFileAttributesW(buffer.data());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}
