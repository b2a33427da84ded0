#include "engine/random.h"

#include <chrono>
#include <random>

namespace vexa {
namespace {

std::mt19937& Engine() {
  static std::mt19937 engine(12345u);
  return engine;
}

bool gFixed = false;
uint32_t gLastSeed = 12345u;
uint32_t gFixedSeed = 0;

}  // namespace

int32_t RandomRaw() { return static_cast<int32_t>(Engine()() & 0x7FFFFFFFu); }

int32_t Random(int32_t bound) {
  if (bound <= 0) return 0;
  return RandomRaw() % bound;
}

void SeedRandom(uint32_t seed) {
  gLastSeed = seed;
  Engine().seed(seed);
}

void SeedRandomFromClock() {
  if (gFixed) {
    SeedRandom(gFixedSeed);
    return;
  }
  auto now = std::chrono::system_clock::now().time_since_epoch();
  SeedRandom(static_cast<uint32_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(now).count()));
}

void FixRandomSeed(uint32_t seed) {
  gFixed = true;
  gFixedSeed = seed;
  SeedRandom(seed);
}

void UnfixRandomSeed() { gFixed = false; }

uint32_t LastSeed() { return gLastSeed; }

}  // namespace vexa
