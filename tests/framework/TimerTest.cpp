// TTimer under Wine: runs only while enabled with a handler, stops at once, survives a throwing handler.
#include "framework/Timer.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

#include "tests/support/TestSupport.h"

namespace {

class TimerTest : public testing::Test {
 protected:
  void SetUp() override { testsupport::ClearExceptions(); }
};

TEST_F(TimerTest, RunsOnlyWhileEnabledWithAHandlerAndAnInterval) {
  TTimer timer(nullptr);
  EXPECT_FALSE(timer.Running());  // enabled, but nothing to call
  int ticks = 0;
  timer.SetInterval(10);
  timer.SetOnTimer([&](TObject* sender) {
    EXPECT_EQ(sender, &timer);
    ++ticks;
  });
  EXPECT_TRUE(timer.Running());
  ASSERT_TRUE(testsupport::PumpUntil([&] { return ticks >= 3; }));

  timer.SetEnabled(false);
  EXPECT_FALSE(timer.Running());
  const int stopped = ticks;
  testsupport::PumpFor(100);
  EXPECT_EQ(ticks, stopped);  // not even a tick that was already due

  timer.SetInterval(0);
  timer.SetEnabled(true);
  EXPECT_FALSE(timer.Running());
  timer.SetInterval(10);
  EXPECT_TRUE(timer.Running());
  ASSERT_TRUE(testsupport::PumpUntil([&] { return ticks > stopped; }));
}

TEST_F(TimerTest, ThrowingHandlerIsReportedAndTheTimerRunsOn) {
  TTimer timer(nullptr);
  timer.SetInterval(10);
  int ticks = 0;
  timer.SetOnTimer([&](TObject*) {
    if (++ticks == 1) throw std::runtime_error("timer failed");
  });
  ASSERT_TRUE(testsupport::PumpUntil([&] { return ticks >= 3; }));
  ASSERT_EQ(testsupport::RecordedExceptions().size(), 1u);
  EXPECT_EQ(testsupport::RecordedExceptions()[0], L"timer failed");
}

TEST_F(TimerTest, HandlerMayFreeItsOwnTimer) {
  auto owned = std::make_unique<TTimer>(nullptr);
  TTimer other(nullptr);  // keeps the shared timer window alive past the free
  int ticks = 0, otherTicks = 0;
  owned->SetInterval(10);
  owned->SetOnTimer([&](TObject*) {
    ++ticks;
    owned.reset();
  });
  other.SetInterval(10);
  other.SetOnTimer([&](TObject*) { ++otherTicks; });
  ASSERT_TRUE(testsupport::PumpUntil([&] { return !owned && otherTicks >= 3; }));
  EXPECT_EQ(ticks, 1);
  EXPECT_TRUE(testsupport::RecordedExceptions().empty());
}

}  // namespace
