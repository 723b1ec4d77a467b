// Who is told of every image a ring window hands to the window system: the observer a button is made with
// (TButtonSystem::Pushes), which reads what each window was given.
#pragma once

#include "framework/Win32.h"

#include <cstdint>

class TCustomGDIButton;

// One push: what UpdateLayeredWindow was given and what it answered. Pixels points into the surface being
// pushed: read it during the call, never after.
struct TPushedFrame {
  POINT Destination{};  // the window's top-left on the screen
  POINT Offset{};       // the image's top-left in the pixels of its button
  SIZE Size{};
  BYTE ConstantAlpha = 0;
  bool Succeeded = false;
  const std::uint32_t* Pixels = nullptr;  // the image's first row, premultiplied BGRA; null for no pixels
  int Stride = 0;                         // pixels from the start of one row to the next
};

class TPushObserver {
 public:
  virtual void Pushed(const TCustomGDIButton& button, const TPushedFrame& frame) = 0;
  // The button is going: what was kept of it can go too.
  virtual void Destroyed(const TCustomGDIButton& button) = 0;

 protected:
  ~TPushObserver() = default;
};
