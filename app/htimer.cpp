#include "app/htimer.h"

#include "platform/timer.h"
#include "platform/window.h"

namespace {

// Runs on the timer thread: only asks the main thread for a tick.
void RequestTick(void*) { platform::Window::PostTick(); }

uint32_t StartPlatformTimer(uint32_t interval, void (*callback)(void*), void* user) {
  return platform::StartPeriodicTimer(interval, callback, user);
}

}  // namespace

THITimer::Backend THITimer::DefaultBackend() {
  return Backend{StartPlatformTimer, platform::StopPeriodicTimer, platform::NowMs};
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
  TimerID = Platform.Start(Interval, RequestTick, this);
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
