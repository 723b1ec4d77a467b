// EOleError: a failed COM/OLE call, carrying the system's own message text.
#pragma once

#include <stdexcept>
#include <string>

#include "framework/Win32.h"

class EOleError : public std::runtime_error {
 public:
  // `operation` names the call that failed; the message is "<operation>: <system text> (0x........)".
  EOleError(HRESULT code, const std::wstring& operation);

  HRESULT Code() const { return code_; }
  const std::wstring& Message() const {
    return message_;
  }  // what(): the same text in GB18030, as the framework reads it

 private:
  struct Composed {};
  EOleError(HRESULT code, std::wstring message, Composed);
  HRESULT code_;
  std::wstring message_;
};

// Throws EOleError when `code` is a failure.
void OleCheck(HRESULT code, const wchar_t* operation);
