// TScreen: the size of the (virtual) desktop.
#pragma once

class TScreen {
 public:
  TScreen();   // sets the global Screen
  ~TScreen();  // clears it
  TScreen(const TScreen&) = delete;
  TScreen& operator=(const TScreen&) = delete;

  // The virtual desktop spanning all monitors (SM_XVIRTUALSCREEN ... SM_CYVIRTUALSCREEN).
  int DesktopLeft() const;
  int DesktopTop() const;
  int DesktopWidth() const;
  int DesktopHeight() const;
  // The primary monitor.
  int Width() const;
  int Height() const;
};

// Set while a TScreen exists. Non-owning.
extern TScreen* Screen;
