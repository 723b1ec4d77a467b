// EOleError: message text from the system, kept wide and in the program's narrow encoding.
#include "shell/OleError.h"

#include <cwchar>

#include "framework/text/TextCodec.h"

namespace {

std::wstring Compose(HRESULT code, const std::wstring& operation) {
  wchar_t hex[16];
  std::swprintf(hex, 16, L"0x%08lX", static_cast<unsigned long>(code));
  std::wstring text = EOleError::SystemText(code);
  std::wstring message = operation;
  message += L": ";
  message += text.empty() ? std::wstring(L"OLE error") : text;
  message += L" (";
  message += hex;
  message += L")";
  return message;
}

}  // namespace

EOleError::EOleError(HRESULT code, const std::wstring& operation)
    : EOleError(code, Compose(code, operation), Composed{}) {}

EOleError::EOleError(HRESULT code, std::wstring message, Composed)
    : std::runtime_error(WideToGb18030(message)), code_(code), message_(std::move(message)) {}

std::wstring EOleError::SystemText(HRESULT code) {
  wchar_t* buffer = nullptr;
  const DWORD n = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
      static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring text;
  if (n > 0 && buffer) text.assign(buffer, n);
  if (buffer) LocalFree(buffer);
  while (!text.empty() &&
         (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ' || text.back() == L'.')) {
    text.pop_back();
  }
  return text;
}

void OleCheck(HRESULT code, const wchar_t* operation) {
  if (FAILED(code)) throw EOleError(code, operation);
}
