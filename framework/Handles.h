// Move-only RAII holders for Win32 handles (windows, DCs, GDI objects, icons, menus, COM task memory) and
// ComPtr.
#pragma once

#include <objbase.h>
#include <unknwn.h>

#include <utility>

#include "framework/Win32.h"

// Shared shape of the simple holders: one handle, released by Traits::Close.
template <class Traits>
class UniqueHandle {
 public:
  using Handle = typename Traits::Handle;
  UniqueHandle() = default;
  explicit UniqueHandle(Handle h) : h_(h) {}
  UniqueHandle(UniqueHandle&& other) noexcept : h_(std::exchange(other.h_, Handle{})) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(std::exchange(other.h_, Handle{}));
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  ~UniqueHandle() { reset(); }

  Handle get() const { return h_; }
  explicit operator bool() const { return h_ != Handle{}; }
  Handle release() { return std::exchange(h_, Handle{}); }
  void reset(Handle h = Handle{}) {
    if (h_ != Handle{}) Traits::Close(h_);
    h_ = h;
  }

 private:
  Handle h_{};
};

struct WindowTraits {
  using Handle = HWND;
  static void Close(HWND h) { DestroyWindow(h); }
};
struct MemoryDCTraits {
  using Handle = HDC;
  static void Close(HDC h) { DeleteDC(h); }
};
struct IconTraits {
  using Handle = HICON;
  static void Close(HICON h) { DestroyIcon(h); }
};
struct MenuTraits {
  using Handle = HMENU;
  static void Close(HMENU h) { DestroyMenu(h); }
};
struct FileTraits {
  using Handle = HANDLE;
  static void Close(HANDLE h) {
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
};
struct FindTraits {
  using Handle = HANDLE;
  static void Close(HANDLE h) {
    if (h != INVALID_HANDLE_VALUE) FindClose(h);
  }
};
template <class T>
struct CoTaskMemTraits {
  using Handle = T;
  static void Close(T p) { CoTaskMemFree(p); }
};
template <class T>
struct GdiObjectTraits {
  using Handle = T;
  static void Close(T h) { DeleteObject(h); }
};

using UniqueWindow = UniqueHandle<WindowTraits>;
using MemoryDC = UniqueHandle<MemoryDCTraits>;  // CreateCompatibleDC / DeleteDC
using UniqueIcon = UniqueHandle<IconTraits>;
using UniqueMenu = UniqueHandle<MenuTraits>;
using UniqueFile =
    UniqueHandle<FileTraits>;  // test with Valid(): CreateFileW fails with INVALID_HANDLE_VALUE
using UniqueFind = UniqueHandle<FindTraits>;  // FindFirstFileExW / FindClose
template <class T>
using GdiObject = UniqueHandle<GdiObjectTraits<T>>;  // HBITMAP, HBRUSH, HFONT, HPEN, HRGN
template <class T>
using CoTaskMem = UniqueHandle<CoTaskMemTraits<T>>;  // what the shell hands out: PWSTR, PIDLIST_ABSOLUTE

inline bool Valid(const UniqueFile& f) {
  return f.get() != nullptr && f.get() != INVALID_HANDLE_VALUE;
}

// GetDC / ReleaseDC (window may be null for the screen).
class WindowDC {
 public:
  WindowDC() = default;
  explicit WindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
  WindowDC(WindowDC&& o) noexcept
      : window_(std::exchange(o.window_, nullptr)), dc_(std::exchange(o.dc_, nullptr)) {}
  WindowDC& operator=(WindowDC&& o) noexcept {
    if (this != &o) {
      Release();
      window_ = std::exchange(o.window_, nullptr);
      dc_ = std::exchange(o.dc_, nullptr);
    }
    return *this;
  }
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;
  ~WindowDC() { Release(); }
  HDC get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  void Release() {
    if (dc_) ReleaseDC(window_, dc_);
    dc_ = nullptr;
  }
  HWND window_ = nullptr;
  HDC dc_ = nullptr;
};

// SelectObject for a scope; puts the previous object back on exit.
class SelectScope {
 public:
  SelectScope(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  SelectScope(SelectScope&& o) noexcept
      : dc_(std::exchange(o.dc_, nullptr)), previous_(std::exchange(o.previous_, nullptr)) {}
  SelectScope& operator=(SelectScope&&) = delete;
  SelectScope(const SelectScope&) = delete;
  SelectScope& operator=(const SelectScope&) = delete;
  ~SelectScope() {
    if (dc_ && previous_) SelectObject(dc_, previous_);
  }

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// BeginPaint / EndPaint.
class PaintScope {
 public:
  explicit PaintScope(HWND window) : window_(window) { dc_ = BeginPaint(window, &ps_); }
  PaintScope(const PaintScope&) = delete;
  PaintScope& operator=(const PaintScope&) = delete;
  ~PaintScope() { EndPaint(window_, &ps_); }
  HDC dc() const { return dc_; }
  const PAINTSTRUCT& info() const { return ps_; }

 private:
  HWND window_;
  PAINTSTRUCT ps_{};
  HDC dc_ = nullptr;
};

// AddRef/Release holder for COM interface pointers.
template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(std::nullptr_t) {}
  // Takes a new reference.
  explicit ComPtr(T* p) : p_(p) {
    if (p_) p_->AddRef();
  }
  ComPtr(const ComPtr& o) : ComPtr(o.p_) {}
  ComPtr(ComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
  ComPtr& operator=(ComPtr o) noexcept {
    std::swap(p_, o.p_);
    return *this;
  }
  ~ComPtr() { Reset(); }

  // Adopts a pointer whose reference the caller already holds (out-parameters).
  static ComPtr Attach(T* p) {
    ComPtr r;
    r.p_ = p;
    return r;
  }
  T* Get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  void Reset() {
    if (p_) std::exchange(p_, nullptr)->Release();
  }
  // For out-parameters: releases the current pointer first.
  T** Put() {
    Reset();
    return &p_;
  }
  T* Detach() { return std::exchange(p_, nullptr); }

  template <class U>
  ComPtr<U> As() const {
    ComPtr<U> result;
    if (p_) p_->QueryInterface(__uuidof(U), reinterpret_cast<void**>(result.Put()));
    return result;
  }

 private:
  T* p_ = nullptr;
};
