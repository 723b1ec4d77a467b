// The desktop's icons, which the tray menu hides and shows: through the desktop's own folder view, as
// Explorer's "显示桌面图标" does, else by the shell view window where the shell keeps it.
#pragma once

#include <functional>

#include "framework/Win32.h"

// FindWindowExW(parent, after, className, no title), or another search handed in.
using TFindWindowEx = std::function<HWND(HWND parent, HWND after, const wchar_t* className)>;
// Shows or hides the icons through the desktop's folder view; false where the shell offers no such view.
using TDesktopFolderViewRoute = std::function<bool(bool show)>;

// The shell view that holds the desktop's icons (SHELLDLL_DefView, with the icon list inside): Progman's
// child, or, where Windows 10 and 11 move it (a wallpaper slideshow, a wallpaper program), the child of
// one of the WorkerW top-level windows. Null when there is none. Default: FindWindowExW.
HWND FindDesktopIconView(const TFindWindowEx& find = {});

// Hides or shows that view window: the icons go and come back; the wallpaper behind them stays. Nothing
// without one.
void ShowDesktopIconView(bool show, const TFindWindowEx& find = {});

// Sets or clears FWF_NOICONS on the desktop's folder view (IShellWindows, SWC_DESKTOP, its top-level
// browser's active view). False when any step fails: no Explorer, or a shell without the view (Wine).
bool ShowDesktopIconsInFolderView(bool show);

// The tray commands' route: the folder view (default: ShowDesktopIconsInFolderView); where that fails, the
// view window. Hiding the window would also take the desktop's right-click menu and leave Explorer's
// own switch saying the icons show, so it is only the fallback.
void ShowDesktopIcons(bool show, const TDesktopFolderViewRoute& folderView = {},
                      const TFindWindowEx& find = {});
