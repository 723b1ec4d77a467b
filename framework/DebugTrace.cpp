// TraceCaughtException: the exception being handled, named in the debugger's output and in the log.
#include "framework/DebugTrace.h"

#include "framework/Win32.h"

#include <exception>
#include <string>

#include "framework/AppLog.h"
#include "framework/text/TextCodec.h"

void TraceCaughtException(const wchar_t* where) noexcept {
  try {
    std::wstring line = std::wstring(L"Vantel: ") + where + L": ";
    std::wstring text;
    if (!std::current_exception()) {
      text = L"no exception";
    } else {
      try {
        throw;  // the exception being handled, to read its text
      } catch (const std::exception& e) {
        // The program's messages are GB18030 (TextCodec); the codec replaces what it cannot read.
        text = Gb18030ToWide(e.what());
      } catch (...) {
        text = L"an exception that is not a std::exception";
      }
    }
    AppLog::Write("caught", std::wstring(where) + L": " + text);
    line += text + L"\n";
    OutputDebugStringW(line.c_str());
  } catch (...) {
    OutputDebugStringW(L"Vantel: an exception was caught and could not be described\n");
  }
}
