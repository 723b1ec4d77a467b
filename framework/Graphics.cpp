// TColor conversion and TFont's font handle.
#include "framework/Graphics.h"

COLORREF ColorToRGB(TColor color) {
  if (color & clSystemColor) return GetSysColor(static_cast<int>(color & 0xFF));
  return color & 0xFFFFFF;
}

void TFont::SetName(std::wstring name) {
  name_ = std::move(name);
  handle_.reset();
}

void TFont::SetHeight(int height) {
  height_ = height;
  handle_.reset();
}

void TFont::SetCharset(BYTE charset) {
  charset_ = charset;
  handle_.reset();
}

HFONT TFont::Handle() {
  if (!handle_) {
    LOGFONTW lf{};
    lf.lfHeight = height_;
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = charset_;
    lf.lfQuality = DEFAULT_QUALITY;
    lstrcpynW(lf.lfFaceName, name_.c_str(), LF_FACESIZE);
    handle_.reset(CreateFontIndirectW(&lf));
  }
  return handle_.get();
}
