// The Startup folder's shortcut that starts this Vantel.exe with this working folder when the user logs on.
#pragma once

#include <string>

// <the user's Startup folder>\Vantel.lnk: the installer's shortcut has this name too, so it counts.
std::wstring StartupShortcutPath();
bool StartsWithWindows(const std::wstring& shortcut);
// Creates the shortcut (this program, this working folder) or removes it. Throws EOleError when the
// shell cannot write it, or removing fails for another reason than its absence.
void SetStartWithWindows(const std::wstring& shortcut, bool start);
