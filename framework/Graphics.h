// Colours (TColor, system colours) and TFont, the font description a form hands its controls.
#pragma once

#include <string>

#include "framework/Handles.h"
#include "framework/Win32.h"

// A COLORREF (red in the low byte), or a system colour: 0xFF000000 | COLOR_xxx.
using TColor = DWORD;
constexpr TColor clSystemColor = 0xFF000000u;
constexpr TColor clBtnFace = clSystemColor | COLOR_BTNFACE;
constexpr TColor clWindow = clSystemColor | COLOR_WINDOW;
constexpr TColor clWindowText = clSystemColor | COLOR_WINDOWTEXT;
constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;

COLORREF ColorToRGB(TColor color);

class TFont {
 public:
  const std::wstring& Name() const { return name_; }
  void SetName(std::wstring name);
  // Character height in pixels as LOGFONT takes it (negative = em height), e.g. -11 for 8 pt at 96 dpi.
  int Height() const { return height_; }
  void SetHeight(int height);
  BYTE Charset() const { return charset_; }
  void SetCharset(BYTE charset);
  TColor Color = clWindowText;

  HFONT Handle();  // created on first use, re-created after a change

 private:
  std::wstring name_ = L"MS Sans Serif";
  int height_ = -11;
  BYTE charset_ = DEFAULT_CHARSET;
  GdiObject<HFONT> handle_;
};
