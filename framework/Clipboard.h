// Text to the clipboard, as every program puts it there.
#pragma once

#include <string>

#include "framework/Win32.h"

// Puts `text` on the clipboard as CF_UNICODETEXT, `owner` owning it; false when the clipboard could not be
// opened (another program holds it) or memory ran out.
bool CopyTextToClipboard(HWND owner, const std::wstring& text);
