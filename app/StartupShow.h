// How the program starts for the show command it was given (no window-system headers: plain numbers).
#pragma once

enum class TStartupShow {
  Normal,  // the main window is shown (at 0 by 0) and its show handler builds the ring
  Hidden,  // the show handler's work runs without showing the window; the program waits in the tray
};

// SW_HIDE and the minimising commands start hidden; every other command (maximised included: the
// main window is a fixed dialog frame that is normally 0 by 0) starts normally.
TStartupShow StartupShowFor(int showCommand);
