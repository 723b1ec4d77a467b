// Start with Windows: a shell link in the Startup folder, written through IShellLinkW and IPersistFile.
#include "app/StartWithWindows.h"

#include <objbase.h>
#include <shlobj.h>

#include "framework/Handles.h"
#include "framework/Win32.h"
#include "shell/OleError.h"

std::wstring StartupShortcutPath() {
  PWSTR folder = nullptr;
  std::wstring path;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_Startup, KF_FLAG_CREATE, nullptr, &folder)) && folder) {
    path = std::wstring(folder) + L"\\Vantel.lnk";
  }
  CoTaskMemFree(folder);
  return path;
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
  wchar_t program[MAX_PATH * 4] = {};
  const DWORD length = GetModuleFileNameW(nullptr, program, MAX_PATH * 4);
  wchar_t folder[MAX_PATH * 4] = {};
  GetCurrentDirectoryW(MAX_PATH * 4, folder);
  ComPtr<IShellLinkW> link;
  OleCheck(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                            reinterpret_cast<void**>(link.Put())),
           L"CoCreateInstance(ShellLink)");
  OleCheck(link->SetPath(std::wstring(program, length).c_str()), L"IShellLinkW::SetPath");
  OleCheck(link->SetWorkingDirectory(folder), L"IShellLinkW::SetWorkingDirectory");
  ComPtr<IPersistFile> file;
  OleCheck(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.Put())), L"QueryInterface");
  OleCheck(file->Save(shortcut.c_str(), TRUE), L"IPersistFile::Save");
}
