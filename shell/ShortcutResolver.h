// ResolveShortcut: the target path of a shell link.
#pragma once

#include <string>

// Whether the path names a shell link (ends in ".lnk", in any case).
bool IsShortcutName(const std::wstring& path);
// A shell link gives its target's path (empty when the target has no file-system path, such as a
// Control Panel item); anything that is not a readable link comes back unchanged. Throws EOleError when
// the shell-link object cannot be created. The calling thread must have OLE initialised.
std::wstring ResolveShortcut(const std::wstring& path);
// Whether a shell link names a folder, read from the link alone (the target attributes it keeps, or the
// target's own where it keeps none); no search for a moved target. False for anything that is not a
// readable link. The calling thread must have COM initialised.
bool ShortcutTargetIsFolder(const std::wstring& path);
