#include <gtest/gtest.h>

#include "app/htimer.h"
#include "app/mainform.h"

namespace {

int gStarts = 0, gStops = 0;
uint32_t gNow = 0;
bool gFail = false;

uint32_t FakeStart(uint32_t, void (*)(void*), void*) {
  if (gFail) return 0;
  return static_cast<uint32_t>(++gStarts);
}
void FakeStop(uint32_t) { ++gStops; }
uint32_t FakeNow() { return gNow; }

struct TimerTest : ::testing::Test {
  void SetUp() override { gStarts = gStops = 0, gNow = 1000, gFail = false; }
  THITimer::Backend Fake{FakeStart, FakeStop, FakeNow};
};

TEST_F(TimerTest, EnableIntervalAndHandlerRules) {
  THITimer t(Fake);
  t.Enabled = false;
  t.Interval = 20;
  t.Loaded();
  EXPECT_EQ(gStarts, 0);
  t.SetEnabled(true);  // no handler yet: no event, nothing raised
  EXPECT_EQ(gStarts, 0);
  EXPECT_EQ(t.TimerID, 0u);
  int ticks = 0;
  t.OnTimer = [&](THITimer*) { ++ticks; };
  t.UpdateTimer();
  EXPECT_EQ(gStarts, 1);
  t.SetInterval(20);  // same value: no restart
  EXPECT_EQ(gStarts, 1);
  t.SetInterval(40);
  EXPECT_EQ(gStarts, 2);
  EXPECT_EQ(gStops, 1);
  t.Timer();
  EXPECT_EQ(ticks, 1);
  t.SetEnabled(false);
  EXPECT_EQ(gStops, 2);
}

TEST_F(TimerTest, ElapsedTimeFreezesAtStop) {
  THITimer t(Fake);
  t.OnTimer = [](THITimer*) {};
  t.Start();
  gNow = 1500;
  EXPECT_EQ(t.GetElapsedTime(), 500u);
  t.Stop();
  gNow = 9000;
  EXPECT_EQ(t.GetElapsedTime(), 500u);
  EXPECT_EQ(t.TimerID, 0u);
}

TEST_F(TimerTest, NoPlatformTimerRaisesItsError) {
  THITimer t(Fake);
  t.OnTimer = [](THITimer*) {};
  t.Enabled = false;
  gFail = true;
  try {
    t.SetEnabled(true);
    FAIL() << "expected an error";
  } catch (const EHITimerError& e) {
    EXPECT_STREQ(e.what(), "No timer available");
  }
  EXPECT_EQ(t.TimerID, 0u);
  EXPECT_TRUE(t.Enabled);
}

TEST_F(TimerTest, DestructionStopsTheEventOnce) {
  {
    THITimer t(Fake);
    t.OnTimer = [](THITimer*) {};
    t.UpdateTimer();
    EXPECT_EQ(gStarts, 1);
  }
  EXPECT_EQ(gStops, 1);
}

TEST(MainFormInterval, SlowClassesGet40Ms) {
  for (int c : {0, 4, 5, 6, 17, 18, 19}) EXPECT_EQ(TMainForm::IntervalForCpuClass(c), 20u) << c;
  for (int c : {1, 2, 3, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16})
    EXPECT_EQ(TMainForm::IntervalForCpuClass(c), 40u) << c;
}

}  // namespace
