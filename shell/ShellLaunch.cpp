// OpenWithShell: ShellExecuteEx on the planned file and folder, the failure put into words.
#include "shell/ShellLaunch.h"

#include <objidl.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <optional>
#include <vector>

#include "framework/DebugTrace.h"
#include "framework/Handles.h"
#include "framework/SystemMessage.h"
#include "shell/LaunchLogic.h"
#include "shell/ShortcutResolver.h"

namespace {

BOOL Execute(const TShellExecuteEx& execute, HWND owner, const std::wstring& file,
             const std::wstring& parameters, const std::wstring& folder, const TLaunchOptions& options) {
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof(info);
  info.fMask = SEE_MASK_FLAG_NO_UI;  // our message replaces the shell's box
  if (options.Monitor) {
    // The program's first window opens where the user is looking, not on whatever monitor Windows picks.
    info.fMask |= SEE_MASK_HMONITOR;
    info.hMonitor = options.Monitor;
  }
  info.hwnd = owner;
  // Empty: the default verb, as a double-click on the desktop uses.
  info.lpVerb = options.Verb.empty() ? nullptr : options.Verb.c_str();
  info.lpFile = file.c_str();
  info.lpParameters = parameters.empty() ? nullptr : parameters.c_str();
  info.lpDirectory = folder.empty() ? nullptr : folder.c_str();  // a shortcut's start-in folder wins
  info.nShow = SW_SHOWNORMAL;
  SetLastError(ERROR_SUCCESS);
  return execute(&info);
}

// Wine's shell reads a link's target in the ANSI code page, so a target whose name has other characters
// (stored as "?") does not open. ResolveShortcut reads the link's item list, which holds the full name, and
// that is opened instead. Windows opens such links itself; it comes here only when the target is gone, and
// then this finds nothing either.
bool OpenShortcutTarget(HWND owner, const std::wstring& path, const TLaunchOptions& options,
                        const TShellExecuteEx& execute) {
  try {
    const std::wstring target = ResolveShortcut(path);
    if (target.empty() || target == path || GetFileAttributesW(target.c_str()) == INVALID_FILE_ATTRIBUTES) {
      return false;
    }
    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> file;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(link.Put()))) ||
        FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.Put()))) ||
        FAILED(file->Load(path.c_str(), STGM_READ))) {
      return false;
    }
    std::vector<wchar_t> arguments(INFOTIPSIZE, L'\0'), folder(MAX_PATH, L'\0');
    link->GetArguments(arguments.data(), static_cast<int>(arguments.size()));
    link->GetWorkingDirectory(folder.data(), static_cast<int>(folder.size()));
    std::wstring directory = folder.data();
    if (directory.empty()) directory = PlanLaunch(target).Directory;
    return Execute(execute, owner, target, arguments.data(), directory, options);
  } catch (...) {
    TraceCaughtException(L"OpenShortcutTarget");
    return false;  // the shell's own failure is what the user is told
  }
}

}  // namespace

std::wstring OpenWithShell(HWND owner, const std::wstring& path, const TLaunchOptions& options,
                           const TShellExecuteEx& execute) {
  const TLaunchPlan plan = PlanLaunch(path);
  if (plan.TooLong) return PathTooLongMessage(path);
  if (Execute(execute, owner, plan.File, L"", plan.Directory, options)) return {};
  const DWORD code = GetLastError();
  if (code == ERROR_CANCELLED) return {};  // the user said no to the elevation prompt
  if (IsShortcutName(path) && OpenShortcutTarget(owner, path, options, execute)) return {};
  return LaunchFailedMessage(path, code, SystemMessage(code));
}

HRESULT SelectInFolder(const std::wstring& path) {
  PIDLIST_ABSOLUTE item = ILCreateFromPathW(path.c_str());
  if (!item) return E_INVALIDARG;
  const HRESULT result = SHOpenFolderAndSelectItems(item, 0, nullptr, 0);
  ILFree(item);
  return result;
}

std::wstring OpenContainingFolder(HWND owner, const std::wstring& path, const TSelectInFolder& select,
                                  const TShellExecuteEx& execute) {
  if (SUCCEEDED(select(path))) return {};
  // Wine's shell has no SHOpenFolderAndSelectItems: Explorer's command line selects the item too.
  const std::wstring parameters = L"/select,\"" + path + L"\"";
  if (Execute(execute, owner, L"explorer.exe", parameters, {}, {})) return {};
  const DWORD code = GetLastError();
  return LaunchFailedMessage(path, code, SystemMessage(code));
}
