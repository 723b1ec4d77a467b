// File icons for the ring's buttons: the shell's icon at the size the window's monitor wants, and a GDI+
// image of it that keeps its transparency.
#pragma once

#include "framework/Win32.h"

#include <shellapi.h>

#include <memory>
#include <string>

#include "framework/GdiPlus.h"

// DPI of the monitor the window is on (per-monitor aware), or the system's DPI before Windows 10 and for
// no window.
[[nodiscard]] int WindowDpi(HWND window);

// Edge of the square icon to take from the shell for a window: 32 px at 96 DPI, scaled to the DPI of
// the monitor the window is on.
[[nodiscard]] int ShellIconSizeForWindow(HWND window);

// Edge of an icon in pixels (its width), 0 when the handle says nothing.
[[nodiscard]] int IconSize(HICON icon);

// Replaces the answer's icon (freeing it) by one drawn for `size` pixels when it has another size: from
// where the shell keeps it (an exe or dll resource, an .ico file) when it can say, else from the system
// image list.
void SizeShellIcon(SHFILEINFOW& info, const std::wstring& path, int size);

// A GDI+ bitmap of the icon that keeps its transparency: the colour bitmap's own alpha when it has one,
// otherwise its mask. (GDI+'s own conversion from an icon handle drops the alpha channel.) nullptr when
// the icon cannot be read.
[[nodiscard]] std::unique_ptr<Gdiplus::Bitmap> BitmapFromIcon(HICON icon);
