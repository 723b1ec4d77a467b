// GdiPlusSession: GDI+ start-up and shut-down.
#include "framework/GdiPlusSession.h"

#include <stdexcept>

#include "framework/GdiPlus.h"

GdiPlusSession::GdiPlusSession() {
  Gdiplus::GdiplusStartupInput input;  // version 1
  ULONG_PTR token = 0;
  if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) {
    throw std::runtime_error("GDI+ could not be started.");
  }
  token_ = token;
}

GdiPlusSession::~GdiPlusSession() {
  if (token_) Gdiplus::GdiplusShutdown(token_);
}
