// Which show commands start the program with its main window hidden.
#include <gtest/gtest.h>

#include "app/StartupShow.h"

namespace {
TEST(StartupShow, MinimisingAndHidingCommandsStartHidden) {
  struct Case {
    int command;
    TStartupShow expected;
  };
  const Case cases[] = {
      {0, TStartupShow::Hidden},   // SW_HIDE
      {1, TStartupShow::Normal},   // SW_SHOWNORMAL
      {2, TStartupShow::Hidden},   // SW_SHOWMINIMIZED
      {3, TStartupShow::Normal},   // SW_SHOWMAXIMIZED: not a maximised 0 by 0 dialog
      {4, TStartupShow::Normal},   // SW_SHOWNOACTIVATE
      {5, TStartupShow::Normal},   // SW_SHOW
      {6, TStartupShow::Hidden},   // SW_MINIMIZE
      {7, TStartupShow::Hidden},   // SW_SHOWMINNOACTIVE
      {8, TStartupShow::Normal},   // SW_SHOWNA
      {9, TStartupShow::Normal},   // SW_RESTORE
      {10, TStartupShow::Normal},  // SW_SHOWDEFAULT
      {11, TStartupShow::Hidden},  // SW_FORCEMINIMIZE
  };
  for (const Case& c : cases) {
    EXPECT_EQ(StartupShowFor(c.command), c.expected) << "show command " << c.command;
  }
}
}  // namespace
