#include "app/htimer.h"

#include "platform/timer.h"
#include "platform/window.h"

namespace {

// The window's event loop keeps the clock: the main thread sleeps until each tick's
// deadline, and no thread of its own wakes to ask for one.
uint32_t StartWindowClock(uint32_t interval, void (*)(void*), void*) {
  return platform::Window::StartTickClock(interval);
}

}  // namespace

THITimer::Backend THITimer::DefaultBackend() {
  return Backend{StartWindowClock, platform::Window::StopTickClock, platform::NowMs};
}

THITimer::THITimer() : THITimer(DefaultBackend()) {}

THITimer::THITimer(const Backend& backend) : Platform(backend) { StartTime = Platform.Now(); }

THITimer::~THITimer() {
  Enabled = false;
  UpdateTimer();
}

void THITimer::Loaded() { UpdateTimer(); }

void THITimer::UpdateTimer() {
  if (TimerID != 0) {
    Platform.Stop(TimerID);
    TimerID = 0;
  }
  if (!Enabled || Interval == 0 || !OnTimer) return;
  TimerID = Platform.Start(Interval, nullptr, this);
  if (TimerID == 0) throw EHITimerError("No timer available");
}

void THITimer::Timer() {
  if (OnTimer) OnTimer(this);
}

void THITimer::SetEnabled(bool value) {
  if (value == Enabled) return;
  Enabled = value;
  UpdateTimer();
}

void THITimer::SetInterval(uint32_t value) {
  if (value == Interval) return;
  Interval = value;
  UpdateTimer();
}

void THITimer::Start() {
  SetEnabled(true);
  StartTime = Platform.Now();
}

void THITimer::Stop() {
  StoppedTime = Platform.Now() - StartTime;
  SetEnabled(false);
}

uint32_t THITimer::GetElapsedTime() const {
  return Enabled ? Platform.Now() - StartTime : StoppedTime;
}
