// OpenWithShell: ShellExecuteEx on the planned file and folder, the failure put into words.
#include "shell/ShellLaunch.h"

#include "framework/SystemMessage.h"
#include "shell/LaunchLogic.h"

TShellExecuteEx& ShellExecuteExFunction() {
  static TShellExecuteEx function = [](SHELLEXECUTEINFOW* info) { return ShellExecuteExW(info); };
  return function;
}

std::wstring OpenWithShell(HWND owner, const std::wstring& path) {
  const TLaunchPlan plan = PlanLaunch(path);
  if (plan.TooLong) return PathTooLongMessage(path);
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof(info);
  // Our message replaces the shell's box; a shortcut's own start-in folder wins over lpDirectory.
  info.fMask = SEE_MASK_FLAG_NO_UI;
  info.hwnd = owner;
  info.lpVerb = nullptr;  // the default verb, as a double-click on the desktop uses
  info.lpFile = plan.File.c_str();
  info.lpDirectory = plan.Directory.empty() ? nullptr : plan.Directory.c_str();
  info.nShow = SW_SHOWNORMAL;
  SetLastError(ERROR_SUCCESS);
  if (ShellExecuteExFunction()(&info)) return {};
  const DWORD code = GetLastError();
  if (code == ERROR_CANCELLED) return {};  // the user said no to the elevation prompt
  return LaunchFailedMessage(path, code, SystemMessage(code));
}
