// What a screen reader in the test's process reads of the program's accessible objects.
#pragma once

// clang-format off
#include "framework/Win32.h"
#include <oleacc.h>
// clang-format on

#include <string>

namespace e2e {

// What a screen reader in this process learns of one object of the program's.
struct Seen {
  std::wstring name, description, action;
  long role = 0, state = 0;
  RECT box{};
};
Seen Read(IAccessible& object);
// The object of `window`'s client area (AccessibleObjectFromWindow, across the processes), read; an empty
// Seen when the window answers with none.
Seen ReadWindow(HWND window);

// COM for the test's thread, which reads the program's objects through it.
struct ComApartment {
  ComApartment() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
  ~ComApartment() { CoUninitialize(); }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
};

}  // namespace e2e
