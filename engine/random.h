#pragma once
// The one process-wide pseudo-random generator of the game. A game screen seeds it from
// the clock when it starts, unless a fixed seed was chosen (tests, the replay runner).
#include <cstdint>

namespace vexa {

// A uniform non-negative integer reduced modulo bound (0 when bound <= 0).
int32_t Random(int32_t bound);
// A raw non-negative draw.
int32_t RandomRaw();
void SeedRandom(uint32_t seed);
// Seeds from the clock unless FixRandomSeed has been called.
void SeedRandomFromClock();
// Fixes the seed: later SeedRandomFromClock calls reseed with this value instead.
void FixRandomSeed(uint32_t seed);
// The seed of the last SeedRandom, SeedRandomFromClock or FixRandomSeed: with it a game's
// draws can be made again (replays).
uint32_t LastSeed();
void UnfixRandomSeed();

}  // namespace vexa
