// TraceCaughtException: a line in the debugger's output and in the log (AppLog) for an exception the
// program deliberately lives with, so that a failure nobody is shown can still be seen and sent.
#pragma once

// Call inside a catch block: writes "Vantel: <where>: <the exception's text>" with OutputDebugStringW
// and logs it. Never throws.
void TraceCaughtException(const wchar_t* where) noexcept;
