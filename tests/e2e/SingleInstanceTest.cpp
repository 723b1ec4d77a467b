// One Vantel per working folder: a second start in the same folder hands over and ends; another folder runs
// its own.
#include <gtest/gtest.h>

#include "tests/e2e/ProgramTest.h"

namespace e2e {
namespace {

class SingleInstanceTest : public ProgramTest {};

TEST_F(SingleInstanceTest, ASecondStartInTheSameFolderEndsAndLeavesOneRingWhileAnotherFolderRunsItsOwn) {
  WriteBytes(folder_.Config(), ConfigBytes(kGreen, kBlue, {}));
  Start();
  WaitForRing(5);

  VantelProcess second(folder_.Path());
  EXPECT_TRUE(second.WaitForExit(10000)) << "a second start in the same folder ends";
  EXPECT_TRUE(program_->Running());
  EXPECT_EQ(program_->RingWindows().size(), 5u);

  const std::filesystem::path other = folder_ / L"other";
  std::filesystem::create_directories(other);
  WriteBytes(other / L"SystemConfig.xml", ConfigBytes(kGreen, kBlue, {}));
  VantelProcess beside(other);
  EXPECT_TRUE(WaitFor([&] { return beside.RingWindows().size() == 5; }, 20000))
      << "another folder runs its own ring";
  EXPECT_TRUE(program_->Running());
}

// Started minimised (as a shortcut set to "minimised" starts it), the program waits in the tray; a second
// start shows its settings window.
TEST_F(SingleInstanceTest, ASecondStartShowsTheSettingsOfAProgramStartedHidden) {
  WriteBytes(folder_.Config(), ConfigBytes(kGreen, kBlue, {}));
  std::wstring command = L"\"" + VantelProgram().wstring() + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWMINNOACTIVE;
  PROCESS_INFORMATION hidden{};
  ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             folder_.Path().c_str(), &startup, &hidden));
  auto settings = [&] {
    for (const WindowInfo& w : TopLevelWindows(hidden.dwProcessId))
      if (w.className == L"VantelForm" && w.visible && w.Width() > 100) return true;
    return false;
  };
  const bool ringShown = WaitFor([&] {
    int ring = 0;
    for (const WindowInfo& w : TopLevelWindows(hidden.dwProcessId))
      ring += w.visible && (w.exStyle & WS_EX_LAYERED);
    return ring >= 5;
  });
  EXPECT_TRUE(ringShown);
  EXPECT_FALSE(settings());

  VantelProcess second(folder_.Path());
  EXPECT_TRUE(second.WaitForExit(10000));
  EXPECT_TRUE(WaitFor(settings)) << "the running program shows its settings window";

  TerminateProcess(hidden.hProcess, 99);
  WaitForSingleObject(hidden.hProcess, 10000);
  CloseHandle(hidden.hThread);
  CloseHandle(hidden.hProcess);
}

}  // namespace
}  // namespace e2e
