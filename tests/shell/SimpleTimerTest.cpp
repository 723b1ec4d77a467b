// TSimpleTimer: runs only when enabled with an interval, restarts on a new interval, stops itself if asked.
#include <gtest/gtest.h>

#include "shell/SimpleTimer.h"
#include "tests/shell/ShellTestSupport.h"

namespace {

TEST(SimpleTimer, IsCreatedStoppedAndRunsOnlyWithAnInterval) {
  TSimpleTimer timer;
  EXPECT_EQ(timer.Interval(), 1000u);
  EXPECT_FALSE(timer.Enabled());
  EXPECT_FALSE(timer.Running());
  timer.SetInterval(0);
  timer.Start();
  EXPECT_TRUE(timer.Enabled());
  EXPECT_FALSE(timer.Running()) << "interval 0 does not start";
  timer.SetInterval(10);
  EXPECT_TRUE(timer.Running());
  timer.Stop();
  EXPECT_FALSE(timer.Running());
}

TEST(SimpleTimer, FiresRepeatedlyWithItselfAsSender) {
  TSimpleTimer timer(5);
  int fired = 0;
  timer.OnTimer = [&](TObject* sender) {
    EXPECT_EQ(sender, &timer);
    ++fired;
  };
  timer.Start();
  EXPECT_TRUE(PumpUntil([&] { return fired >= 3; }));
  timer.Stop();
  const int atStop = fired;
  PumpPending();
  EXPECT_EQ(fired, atStop) << "a stopped timer's queued expiry is dropped";
}

TEST(SimpleTimer, AutoDisableStopsAfterTheFirstExpiry) {
  TSimpleTimer timer(5);
  timer.AutoDisable = true;
  int fired = 0;
  timer.OnTimer = [&](TObject*) { ++fired; };
  timer.Start();
  EXPECT_TRUE(PumpUntil([&] { return fired == 1; }));
  EXPECT_FALSE(timer.Enabled());
  EXPECT_FALSE(timer.Running());
}

TEST(SimpleTimer, TimersShareOneWindowAndKeepTheirOwnEvents) {
  TSimpleTimer a(5), b(7);
  int firedA = 0, firedB = 0;
  a.OnTimer = [&](TObject*) { ++firedA; };
  b.OnTimer = [&](TObject*) { ++firedB; };
  a.Start();
  b.Start();
  EXPECT_TRUE(PumpUntil([&] { return firedA >= 2 && firedB >= 2; }));
}

TEST(SimpleTimer, DestroyingARunningTimerStopsIt) {
  int fired = 0;
  {
    TSimpleTimer timer(1);
    timer.OnTimer = [&](TObject*) { ++fired; };
    timer.Start();
    Sleep(20);  // let an expiry become due while nobody pumps
  }
  PumpPending();
  EXPECT_EQ(fired, 0);
}

}  // namespace
