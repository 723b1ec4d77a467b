// Opening a file through the shell, as the desktop opens what a user double-clicks.
#pragma once

#include <functional>
#include <string>

#include "framework/Win32.h"

#include <shellapi.h>

// The call that launches: ShellExecuteExW, unless a test puts in one that fails as Windows documents.
using TShellExecuteEx = std::function<BOOL(SHELLEXECUTEINFOW* info)>;
TShellExecuteEx& ShellExecuteExFunction();

// Opens `path` with its default verb (PlanLaunch says how): a shortcut as itself, another file with its
// own folder as the working directory. A shortcut the shell cannot open whose target ResolveShortcut finds
// (Wine garbles a target named outside the ANSI code page) opens its target with the link's arguments and
// start-in folder. Returns what the user is to be told: empty when it opened, or when the user cancelled
// (a UAC prompt answered no); the shell shows no box of its own.
std::wstring OpenWithShell(HWND owner, const std::wstring& path);
