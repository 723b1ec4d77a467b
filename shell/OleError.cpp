// EOleError: message text from the system, kept wide and in the program's narrow encoding.
#include "shell/OleError.h"

#include <cwchar>

#include "framework/SystemMessage.h"
#include "framework/text/TextCodec.h"

namespace {

std::wstring Compose(HRESULT code, const std::wstring& operation) {
  wchar_t hex[16];
  std::swprintf(hex, 16, L"0x%08lX", static_cast<unsigned long>(code));
  const std::wstring text = SystemMessage(static_cast<DWORD>(code));
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

void OleCheck(HRESULT code, const wchar_t* operation) {
  if (FAILED(code)) throw EOleError(code, operation);
}
