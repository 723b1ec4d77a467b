// TScreen: the virtual desktop and its monitors.
#pragma once

#include <functional>

#include "framework/MonitorLayout.h"

// Where the monitors are read from: the system by default, or a layout handed in.
using TMonitorSource = std::function<vantel::MonitorList()>;

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

  // Every monitor with its rectangle, work area, DPI and whether it is the primary one; never empty.
  vantel::MonitorList Monitors() const;
  // Reads the monitors from `source` from now on (an empty one: from the system again). Returns the source
  // it replaces.
  TMonitorSource SetMonitorSource(TMonitorSource source);

 private:
  TMonitorSource monitorSource_;
};

// Set while a TScreen exists. Non-owning.
extern TScreen* Screen;

// The system's monitors (EnumDisplayMonitors, GetMonitorInfoW, GetDpiForMonitor); never empty.
vantel::MonitorList SystemMonitors();
// Screen's monitors, or the system's while there is no Screen.
vantel::MonitorList CurrentMonitors();
