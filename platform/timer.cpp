#include "platform/timer.h"

#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

namespace platform {
namespace {

using Clock = std::chrono::steady_clock;

// One periodic timer: a thread that sleeps until absolute deadlines one interval apart, so
// the period does not drift with the time each callback or wake-up takes. A deadline that
// has already passed by a whole interval is skipped rather than made up.
struct TimerSlot {
  std::mutex Lock;
  std::condition_variable Wake;
  bool Stopping = false;
  std::thread Thread;
};

std::mutex gTimersLock;
std::map<uint32_t, std::shared_ptr<TimerSlot>> gTimers;
uint32_t gNextId = 1;

void Run(std::shared_ptr<TimerSlot> slot, uint32_t intervalMs, PeriodicCallback callback,
         void* user) {
  const auto period = std::chrono::milliseconds(intervalMs);
  auto next = Clock::now() + period;
  std::unique_lock<std::mutex> lock(slot->Lock);
  for (;;) {
    if (slot->Wake.wait_until(lock, next, [&] { return slot->Stopping; })) return;
    lock.unlock();
    callback(user);
    lock.lock();
    next += period;
    auto now = Clock::now();
    if (now > next + period) next = now + period;
  }
}

}  // namespace

uint32_t NowMs() {
  using namespace std::chrono;
  return static_cast<uint32_t>(duration_cast<milliseconds>(Clock::now().time_since_epoch()).count());
}

uint32_t StartPeriodicTimer(uint32_t intervalMs, PeriodicCallback callback, void* user) {
  if (intervalMs == 0 || !callback) return 0;
  auto slot = std::make_shared<TimerSlot>();
  try {
    slot->Thread = std::thread(Run, slot, intervalMs, callback, user);
  } catch (...) {
    return 0;
  }
  std::lock_guard<std::mutex> lock(gTimersLock);
  uint32_t id = gNextId++;
  if (gNextId == 0) gNextId = 1;
  gTimers[id] = slot;
  return id;
}

void StopPeriodicTimer(uint32_t id) {
  std::shared_ptr<TimerSlot> slot;
  {
    std::lock_guard<std::mutex> lock(gTimersLock);
    auto it = gTimers.find(id);
    if (it == gTimers.end()) return;
    slot = it->second;
    gTimers.erase(it);
  }
  {
    std::lock_guard<std::mutex> lock(slot->Lock);
    slot->Stopping = true;
  }
  slot->Wake.notify_all();
  // Not joined: the caller may hold a lock that a running callback is waiting for (or be
  // that callback). The thread ends by itself once a callback in progress returns.
  if (slot->Thread.joinable()) slot->Thread.detach();
}

}  // namespace platform
