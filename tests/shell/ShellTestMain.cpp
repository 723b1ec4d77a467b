// Test main of the Windows shell tests: OLE on this thread, the application object, recorded errors.
#include <gtest/gtest.h>

#include "framework/Application.h"
#include "framework/Screen.h"
#include "shell/OleSession.h"
#include "tests/shell/ShellTestSupport.h"

namespace {

// Every test starts with an empty error record; a test that expects an error looks at it.
class ErrorRecordReset : public testing::EmptyTestEventListener {
  void OnTestStart(const testing::TestInfo&) override { RecordedErrors().clear(); }
};

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  TOleSession ole;  // before any window, as the program does
  TScreen screen;
  TApplication application;
  application.OnException = [](const std::wstring& message) { RecordedErrors().push_back(message); };
  testing::UnitTest::GetInstance()->listeners().Append(new ErrorRecordReset);  // gtest takes ownership
  return RUN_ALL_TESTS();
}
