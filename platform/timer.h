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
// Stops a timer and waits until its thread has ended, so no callback runs after this
// returns. Called from the timer's own callback, it returns at once and the thread ends
// when the callback does. A caller must not hold a lock its callback waits for.
void StopPeriodicTimer(uint32_t id);

}  // namespace platform
