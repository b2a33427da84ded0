// The frame clock kept by the window's event loop: a tick every interval, a late one not
// made up, a replaced clock not stopped by its old id.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>

#include "platform/window.h"

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point t) {
  return std::chrono::duration<double, std::milli>(Clock::now() - t).count();
}

TEST(TickClock, TicksEveryIntervalAndDropsWhatWasMissed) {
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  std::string error;
  auto window = platform::Window::Create("Vexa", 513, 384, error);
  if (!window) GTEST_SKIP() << error;
  const uint32_t id = platform::Window::StartTickClock(20);
  ASSERT_NE(id, 0u);
  Clock::time_point start = Clock::now();
  for (int i = 0; i < 5; ++i) {
    platform::WindowEvent e;
    do e = window->WaitEvent();
    while (e != platform::WindowEvent::Tick);
  }
  EXPECT_GE(MsSince(start), 99.0);  // five intervals, never sooner
  // A stall of several intervals: one tick at once, the next a whole interval later.
  std::this_thread::sleep_for(std::chrono::milliseconds(75));
  start = Clock::now();
  EXPECT_EQ(window->WaitEvent(), platform::WindowEvent::Tick);
  EXPECT_LT(MsSince(start), 5.0);
  start = Clock::now();
  EXPECT_EQ(window->WaitEvent(), platform::WindowEvent::Tick);
  EXPECT_GE(MsSince(start), 15.0);
  // A clock started later replaces this one; the old id no longer stops anything.
  const uint32_t next = platform::Window::StartTickClock(10);
  EXPECT_NE(next, id);
  platform::Window::StopTickClock(id);
  EXPECT_EQ(window->WaitEvent(), platform::WindowEvent::Tick);
  platform::Window::StopTickClock(next);
}

}  // namespace
