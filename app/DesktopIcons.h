// The desktop's icon view, which the tray menu hides and shows: found where the shell keeps it.
#pragma once

#include <functional>

#include "framework/Win32.h"

// FindWindowExW(parent, after, className, no title); tests hand in one that sees only their stand-ins.
using TFindWindowEx = std::function<HWND(HWND parent, HWND after, const wchar_t* className)>;

// The shell view that holds the desktop's icons (SHELLDLL_DefView, with the icon list inside): Progman's
// child, or, where Windows 10 and 11 move it (a wallpaper slideshow, a wallpaper program), the child of
// one of the WorkerW top-level windows. Null when there is none. Default: FindWindowExW.
HWND FindDesktopIconView(const TFindWindowEx& find = {});

// Hides or shows that view: the icons go and come back; the wallpaper behind them stays. Nothing
// without one.
void ShowDesktopIconView(bool show, const TFindWindowEx& find = {});
