#include "platform/timer.h"

#include <SDL.h>

#include <atomic>
#include <chrono>
#include <map>
#include <memory>
#include <mutex>

namespace platform {
namespace {

struct TimerSlot {
  PeriodicCallback Callback = nullptr;
  void* User = nullptr;
  SDL_TimerID SdlId = 0;
  std::atomic<bool> Alive{true};
};

std::mutex gTimersLock;
std::map<uint32_t, std::shared_ptr<TimerSlot>> gTimers;
uint32_t gNextId = 1;

Uint32 Trampoline(Uint32 interval, void* param) {
  uint32_t id = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(param));
  std::shared_ptr<TimerSlot> slot;
  {
    std::lock_guard<std::mutex> lock(gTimersLock);
    auto it = gTimers.find(id);
    if (it == gTimers.end()) return 0;
    slot = it->second;
  }
  if (!slot->Alive) return 0;
  slot->Callback(slot->User);
  return interval;
}

}  // namespace

uint32_t NowMs() {
  using namespace std::chrono;
  return static_cast<uint32_t>(
      duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

uint32_t StartPeriodicTimer(uint32_t intervalMs, PeriodicCallback callback, void* user) {
  if (intervalMs == 0 || !callback) return 0;
  if (!SDL_WasInit(SDL_INIT_TIMER) && SDL_InitSubSystem(SDL_INIT_TIMER) != 0) return 0;
  auto slot = std::make_shared<TimerSlot>();
  slot->Callback = callback;
  slot->User = user;
  uint32_t id;
  {
    std::lock_guard<std::mutex> lock(gTimersLock);
    id = gNextId++;
    if (gNextId == 0) gNextId = 1;
    gTimers[id] = slot;
  }
  SDL_TimerID sdlId =
      SDL_AddTimer(intervalMs, Trampoline, reinterpret_cast<void*>(static_cast<uintptr_t>(id)));
  std::lock_guard<std::mutex> lock(gTimersLock);
  if (sdlId == 0) {
    gTimers.erase(id);
    return 0;
  }
  slot->SdlId = sdlId;
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
  slot->Alive = false;
  if (slot->SdlId != 0) SDL_RemoveTimer(slot->SdlId);
}

}  // namespace platform
