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

}  // namespace
}  // namespace e2e
