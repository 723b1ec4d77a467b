// TraceCaughtException: the exception being handled, named in the debugger's output.
#include "framework/DebugTrace.h"

#include "framework/Win32.h"

#include <exception>
#include <string>

void TraceCaughtException(const wchar_t* where) noexcept {
  try {
    std::wstring line = std::wstring(L"Vantel: ") + where + L": ";
    if (!std::current_exception()) {
      line += L"no exception";
    } else {
      try {
        throw;  // the exception being handled, to read its text
      } catch (const std::exception& e) {
        // Its ASCII as it is, any other byte as '?': a trace needs no codec and cannot fail on bytes.
        for (const char* c = e.what(); *c; ++c)
          line += static_cast<unsigned char>(*c) < 0x80 ? static_cast<wchar_t>(*c) : L'?';
      } catch (...) {
        line += L"an exception that is not a std::exception";
      }
    }
    line += L"\n";
    OutputDebugStringW(line.c_str());
  } catch (...) {
    OutputDebugStringW(L"Vantel: an exception was caught and could not be described\n");
  }
}
