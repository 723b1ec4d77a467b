// Opening a file through the shell, as the desktop opens what a user double-clicks.
#pragma once

#include <functional>
#include <string>

#include "framework/Win32.h"

#include <shellapi.h>

// The call that launches, with its last error: ShellExecuteExW unless the caller hands in another.
using TShellExecuteEx = std::function<BOOL(SHELLEXECUTEINFOW* info)>;

// How a file is opened: the verb (empty: the default one, as a double-click opens it; L"runas": as
// administrator), and the monitor the program's first window is to open on (nullptr: where Windows puts it).
struct TLaunchOptions {
  std::wstring Verb;
  HMONITOR Monitor = nullptr;
};

// Opens `path` with the options' verb (PlanLaunch says how): a shortcut as itself, another file with its
// own folder as the working directory. A shortcut the shell cannot open whose target ResolveShortcut finds
// (Wine garbles a target named outside the ANSI code page) opens its target with the link's arguments and
// start-in folder. Returns what the user is to be told: empty when it opened, or when the user cancelled
// (a UAC prompt answered no); the shell shows no box of its own.
std::wstring OpenWithShell(HWND owner, const std::wstring& path, const TLaunchOptions& options = {},
                           const TShellExecuteEx& execute = ShellExecuteExW);

// SHOpenFolderAndSelectItems for one item, as Windows documents it.
using TSelectInFolder = std::function<HRESULT(const std::wstring& path)>;
HRESULT SelectInFolder(const std::wstring& path);
// Opens the folder that holds `path` in Explorer, the item itself selected (a shortcut, not its target).
// Where the shell has no such call (Wine), Explorer's own "/select," command line does it. Returns what the
// user is to be told: empty when it opened.
std::wstring OpenContainingFolder(HWND owner, const std::wstring& path,
                                  const TSelectInFolder& select = SelectInFolder,
                                  const TShellExecuteEx& execute = ShellExecuteExW);
