#pragma once
// Periodic timers, each on a thread of its own, and the millisecond clock.
#include <cstdint>

namespace platform {

// The millisecond clock, 32 bits, wrapping.
uint32_t NowMs();

// Starts a periodic callback every intervalMs on a timer thread. Returns its id, or 0
// when no timer can be had. The callback must be quick and thread-safe.
using PeriodicCallback = void (*)(void* user);
uint32_t StartPeriodicTimer(uint32_t intervalMs, PeriodicCallback callback, void* user);
// Stops a timer: no callback starts after this returns (one already running may finish,
// so callbacks take their own locks and check their own state). Safe to call from the
// timer's own callback and while holding a lock the callback takes.
void StopPeriodicTimer(uint32_t id);

}  // namespace platform
