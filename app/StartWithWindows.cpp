// Start with Windows: a shell link in the Startup folder, written through IShellLinkW and IPersistFile.
#include "app/StartWithWindows.h"

#include <objbase.h>
#include <shlobj.h>

#include "framework/Handles.h"
#include "framework/ProcessPaths.h"
#include "framework/Win32.h"
#include "shell/OleError.h"

std::wstring StartupShortcutPath() {
  PWSTR folder = nullptr;
  const HRESULT result = SHGetKnownFolderPath(FOLDERID_Startup, KF_FLAG_CREATE, nullptr, &folder);
  const CoTaskMem<PWSTR> held(folder);  // freed whether or not the call succeeded
  return SUCCEEDED(result) && folder ? std::wstring(folder) + L"\\Vantel.lnk" : std::wstring();
}

bool StartsWithWindows(const std::wstring& shortcut) {
  const DWORD attributes = shortcut.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(shortcut.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void SetStartWithWindows(const std::wstring& shortcut, bool start) {
  if (shortcut.empty()) OleCheck(HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND), L"SHGetKnownFolderPath");
  if (!start) {
    if (!DeleteFileW(shortcut.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND) {
      OleCheck(HRESULT_FROM_WIN32(GetLastError()), L"DeleteFileW");
    }
    return;
  }
  ComPtr<IShellLinkW> link;
  OleCheck(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                            reinterpret_cast<void**>(link.Put())),
           L"CoCreateInstance(ShellLink)");
  OleCheck(link->SetPath(ModulePath().c_str()), L"IShellLinkW::SetPath");
  OleCheck(link->SetWorkingDirectory(CurrentFolder().c_str()), L"IShellLinkW::SetWorkingDirectory");
  ComPtr<IPersistFile> file;
  OleCheck(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.Put())), L"QueryInterface");
  OleCheck(file->Save(shortcut.c_str(), TRUE), L"IPersistFile::Save");
}
