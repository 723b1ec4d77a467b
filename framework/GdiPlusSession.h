// GdiPlusSession: GdiplusStartup (version 1) for its lifetime, GdiplusShutdown at the end.
#pragma once

#include <cstdint>

class GdiPlusSession {
 public:
  GdiPlusSession();  // throws std::runtime_error when GDI+ cannot start
  ~GdiPlusSession();
  GdiPlusSession(const GdiPlusSession&) = delete;
  GdiPlusSession& operator=(const GdiPlusSession&) = delete;

 private:
  std::uintptr_t token_ = 0;
};
