// ResolveShortcut: the target path of a shell link.
#pragma once

#include <string>

// A shell link gives its target's path (empty when the target has no file-system path, such as a
// Control Panel item); anything that is not a readable link comes back unchanged. Throws EOleError when
// the shell-link object cannot be created. The calling thread must have OLE initialised.
std::wstring ResolveShortcut(const std::wstring& path);
