// ResolveShortcut through the shell-link object (IShellLinkW + IPersistFile).
#include "shell/ShortcutResolver.h"

#include <objidl.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <vector>

#include "framework/Handles.h"
#include "shell/OleError.h"

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
  return std::wstring(buffer.data());  // up to the first NUL; empty for a target without a path
}
