// What the tests read of a button's pushes: a copy of the last image and their count. The button keeps
// them for this friend only; production code never includes this header.
#pragma once

#include "GDIButtons/CustomGDIButton.h"

struct TCustomGDIButtonTestAccess {
  // Whether every push keeps a copy of its image (off by default: the hint window's image is
  // desktop-sized). For all buttons.
  static void SetKeepPushedImages(bool keep) { TCustomGDIButton::keepPushedImages_ = keep; }
  static int PushCount(const TCustomGDIButton& button) { return button.pushCount_; }
  static const TPushedImage& LastPushedImage(const TCustomGDIButton& button) { return button.lastPushed_; }
};

// How many times the button pushed an image to its window.
inline int PushCount(const TCustomGDIButton& button) {
  return TCustomGDIButtonTestAccess::PushCount(button);
}
// The image the button pushed last (kept only while pushed images are kept).
inline const TPushedImage& LastPushedImage(const TCustomGDIButton& button) {
  return TCustomGDIButtonTestAccess::LastPushedImage(button);
}
