// SystemMessage: the system's own text for an error code.
#pragma once

#include <string>

#include "framework/Win32.h"

// FormatMessageW's text for `code` (a Win32 error or an HRESULT), without the trailing line break,
// blanks and full stop; empty when the system has no text for it.
std::wstring SystemMessage(DWORD code);
