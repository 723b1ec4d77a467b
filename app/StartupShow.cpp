// StartupShowFor: the show commands that keep the main window hidden at start.
#include "app/StartupShow.h"

TStartupShow StartupShowFor(int showCommand) {
  switch (showCommand) {
    case 0:   // SW_HIDE
    case 2:   // SW_SHOWMINIMIZED
    case 6:   // SW_MINIMIZE
    case 7:   // SW_SHOWMINNOACTIVE
    case 11:  // SW_FORCEMINIMIZE
      return TStartupShow::Hidden;
    default:
      return TStartupShow::Normal;
  }
}
