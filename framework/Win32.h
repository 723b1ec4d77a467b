// The one place the framework includes <windows.h>, with min/max macros off (full headers: GDI+ and OLE need
// them).
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

// Registers a window class of this module once (a class of that name already registered is kept).
// False only when the class is neither registered nor registrable.
inline bool EnsureWindowClass(const wchar_t* name, WNDPROC proc, UINT style = 0, HCURSOR cursor = nullptr,
                              HICON icon = nullptr) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof(existing);
  if (GetClassInfoExW(instance, name, &existing)) return true;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.style = style;
  wc.lpfnWndProc = proc;
  wc.hInstance = instance;
  wc.hIcon = icon;
  wc.hCursor = cursor;
  wc.lpszClassName = name;
  return RegisterClassExW(&wc) != 0;
}
