// TScreen: desktop metrics from GetSystemMetrics.
#include "framework/Screen.h"

#include "framework/Win32.h"

TScreen* Screen = nullptr;

TScreen::TScreen() {
  Screen = this;
}
TScreen::~TScreen() {
  if (Screen == this) Screen = nullptr;
}
int TScreen::DesktopLeft() const {
  return GetSystemMetrics(SM_XVIRTUALSCREEN);
}
int TScreen::DesktopTop() const {
  return GetSystemMetrics(SM_YVIRTUALSCREEN);
}
int TScreen::DesktopWidth() const {
  return GetSystemMetrics(SM_CXVIRTUALSCREEN);
}
int TScreen::DesktopHeight() const {
  return GetSystemMetrics(SM_CYVIRTUALSCREEN);
}
int TScreen::Width() const {
  return GetSystemMetrics(SM_CXSCREEN);
}
int TScreen::Height() const {
  return GetSystemMetrics(SM_CYSCREEN);
}
