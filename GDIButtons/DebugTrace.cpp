// TraceCaughtException: the exception being handled, named in the debugger's output.
#include "GDIButtons/DebugTrace.h"

#include "framework/Win32.h"

#include <exception>
#include <string>

namespace {

// The exception's text for a debugger line: its ASCII as it is, any other byte as '?' (a trace needs no
// codec, and cannot fail on bytes it does not know).
std::wstring CaughtText() {
  const std::exception_ptr current = std::current_exception();
  if (!current) return L"no exception";
  try {
    std::rethrow_exception(current);
  } catch (const std::exception& e) {
    std::wstring text;
    for (const char* c = e.what(); *c; ++c)
      text += static_cast<unsigned char>(*c) < 0x80 ? static_cast<wchar_t>(*c) : L'?';
    return text;
  } catch (...) {
    return L"an exception that is not a std::exception";
  }
}

}  // namespace

void TraceCaughtException(const wchar_t* where) noexcept {
  try {
    const std::wstring line = std::wstring(L"Vantel: ") + where + L": " + CaughtText() + L"\n";
    OutputDebugStringW(line.c_str());
  } catch (...) {
    OutputDebugStringW(L"Vantel: an exception was caught and could not be described\n");
  }
}
