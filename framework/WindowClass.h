// Window classes whose windows hand their messages to a C++ object: one routing procedure for all.
#pragma once

#include "framework/Win32.h"

// A route says how one kind of object takes the messages of its windows. It is a struct with
//   using Object = ...;
//   static LRESULT Message(Object&, HWND, UINT, WPARAM, LPARAM);    every message while linked
// and, where the object needs them,
//   static void Attached(Object&, HWND) noexcept;  at WM_NCCREATE, before Message sees it
//   static void Detached(Object&, HWND) noexcept;  after Message handled WM_NCDESTROY (link already cut)
//   static LRESULT Failed(Object&, UINT) noexcept;  Message threw: report it and give the result
// A route nested in its object's class may use the class's private members.
//
// The object is linked to the window through GWLP_USERDATA: at WM_NCCREATE from CreateWindowExW's
// last argument, or by LinkWindowObject for a window subclassed later. The link is cut at
// WM_NCDESTROY, or earlier by UnlinkWindowObject. Messages that find no object go to DefWindowProcW.
// Without Failed, an exception goes to HandleCurrentException(nullptr) and the message gives 0.

void LinkWindowObject(HWND window, void* object);
void UnlinkWindowObject(HWND window);
void* LinkedWindowObject(HWND window);  // nullptr when nothing is linked
LRESULT ReportWindowException() noexcept;

template <class Route>
LRESULT CALLBACK RoutedWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  using Object = typename Route::Object;
  if (msg == WM_NCCREATE) {
    if (void* created = reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams) {
      LinkWindowObject(window, created);
      if constexpr (requires(Object & o, HWND w) { Route::Attached(o, w); }) {
        static_assert(noexcept(Route::Attached(*static_cast<Object*>(created), window)),
                      "Attached runs outside the procedure's catch");
        Route::Attached(*static_cast<Object*>(created), window);
      }
    }
  }
  auto* object = static_cast<Object*>(LinkedWindowObject(window));
  if (!object) return DefWindowProcW(window, msg, wParam, lParam);
  LRESULT result = 0;
  try {
    result = Route::Message(*object, window, msg, wParam, lParam);
  } catch (...) {
    // Nothing may unwind through the system's frames.
    if constexpr (requires(Object & o, UINT m) { Route::Failed(o, m); }) {
      result = Route::Failed(*object, msg);
    } else {
      result = ReportWindowException();
    }
  }
  if (msg == WM_NCDESTROY) {
    UnlinkWindowObject(window);
    if constexpr (requires(Object & o, HWND w) { Route::Detached(o, w); }) {
      static_assert(noexcept(Route::Detached(*object, window)),
                    "Detached runs outside the procedure's catch");
      Route::Detached(*object, window);
    }
  }
  return result;
}

// Registers the class `name` once, with RoutedWindowProc<Route> as its procedure.
template <class Route>
bool RegisterRoutedClass(const wchar_t* name, UINT style = 0, HCURSOR cursor = nullptr,
                         HICON icon = nullptr) {
  return EnsureWindowClass(name, &RoutedWindowProc<Route>, style, cursor, icon);
}

// Creates a window of a class registered with RegisterRoutedClass<Route>; `object` takes its messages
// from WM_NCCREATE on.
template <class Route>
HWND CreateRoutedWindow(typename Route::Object& object, DWORD exStyle, const wchar_t* className,
                        const wchar_t* caption, DWORD style, int x, int y, int width, int height,
                        HWND parent) {
  return CreateWindowExW(exStyle, className, caption, style, x, y, width, height, parent, nullptr,
                         GetModuleHandleW(nullptr), static_cast<void*>(&object));
}

// Links `object` to an existing window and makes RoutedWindowProc<Route> its procedure (for windows of
// system classes). Returns the procedure it replaced, for the object's default handling.
template <class Route>
WNDPROC SubclassRoutedWindow(HWND window, typename Route::Object& object) {
  LinkWindowObject(window, static_cast<void*>(&object));
  if constexpr (requires(typename Route::Object & o, HWND w) { Route::Attached(o, w); }) {
    Route::Attached(object, window);
  }
  return reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RoutedWindowProc<Route>)));
}
