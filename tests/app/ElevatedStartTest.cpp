// A Vantel started as administrator: a later start that its mutex refuses ends and says why; the one
// started so says once that Windows keeps drags away from it.
#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "app/SingleInstance.h"
#include "app/VTMainForm.h"
#include "tests/app/FormTestSupport.h"
#include "tests/support/TestSupport.h"

namespace {
using apptest::MainFormTest;

// CreateMutexW's answers as documented: made, there already, refused to a lower integrity level, failed.
TEST(SingleInstanceTest, AMutexRefusedToThisStartMeansAVantelRunsAsAdministrator) {
  struct Case {
    const char* answer;
    bool handle;
    DWORD error;
    bool first;
    int told;  // messages the later start shows
  };
  const Case cases[] = {
      {"made", true, ERROR_SUCCESS, true, 0},
      {"exists", true, ERROR_ALREADY_EXISTS, false, 0},
      {"access denied", false, ERROR_ACCESS_DENIED, false, 1},
      {"no name space", false, ERROR_INVALID_HANDLE, true, 0},
  };
  const std::wstring folder = (std::filesystem::temp_directory_path() / L"vantel-instance-test").wstring();
  const TSingleInstance running(folder);  // the window a handover finds
  ASSERT_TRUE(running.IsFirst());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answer);
    std::vector<std::wstring> told;
    const TSingleInstance start(
        folder,
        [&](const std::wstring&) {
          return TMutexAnswer{c.handle ? CreateMutexW(nullptr, FALSE, nullptr) : nullptr, c.error};
        },
        [&](const std::wstring& text) { told.push_back(text); });
    EXPECT_EQ(start.IsFirst(), c.first);
    if (!start.IsFirst()) start.HandOver();
    EXPECT_EQ(told, std::vector<std::wstring>(c.told, kRunsAsAdministratorText));
  }
}

// Started as administrator with a hotkey another program holds: both told, each once.
TEST_F(MainFormTest, AVantelStartedAsAdministratorSaysOnceThatFilesCannotBeDroppedOnIt) {
  WriteConfig(apptest::kRedBlueConfig);
  ASSERT_TRUE(RegisterHotKey(nullptr, 9, MOD_CONTROL | MOD_ALT, VK_SPACE));
  TfrmVantelMain& f = MakeForm();
  f.RunsAsAdministrator = [] { return true; };
  std::vector<std::wstring> balloons;
  f.ShowTrayBalloon = [&](const std::wstring& text) { balloons.push_back(text); };
  f.Show();
  EXPECT_TRUE(testsupport::PumpUntil([&] { return balloons.size() >= 2; }, 5000));
  f.N2Click(nullptr);  // shown again from the tray: not told again
  testsupport::PumpUntil([] { return false; }, 200);
  EXPECT_EQ(balloons, (std::vector<std::wstring>{kElevatedDropText,
                                                 std::wstring(L"Ctrl+Alt+Space ") + kHotkeyHeldText}));
  UnregisterHotKey(nullptr, 9);
}
}  // namespace
