// The play tick of the game screen on a busy field: many blinking groups, falling stacks,
// swaps and push-ups (and the effect actors they spawn). Prints the mean and the worst
// nanoseconds per tick. Runs without display or sound.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>

#include "engine/kernel.h"
#include "engine/random.h"
#include "game/gamedata.h"
#include "play/gamemain.h"
#include "tools/bench/bench.h"
#include "tools/bench/busy_field.h"

namespace {

// The field state the rules own, to restart from the same busy field again and again.
struct FieldState {
  int16_t Letters[kFieldRows][kFieldCols];
  uint16_t Flags[kFieldRows][kFieldCols];
  uint16_t Groups[kFieldRows][kFieldCols];
  int32_t EraseTimers[kFieldRows][kFieldCols];
  TFallRecord Falls[kFallRecords];
  int32_t Chain;
  int32_t Erasing;
  bool Falling;

  void Save(const TGameMainMode& g) {
    std::memcpy(Letters, g.Field.Letters, sizeof Letters);
    std::memcpy(Flags, g.Field.Flags, sizeof Flags);
    std::memcpy(Groups, g.Field.Groups, sizeof Groups);
    std::memcpy(EraseTimers, g.Field.EraseTimers, sizeof EraseTimers);
    std::copy(std::begin(g.Field.Falls), std::end(g.Field.Falls), Falls);
    Chain = g.Field.Chain;
    Erasing = g.Field.Erasing;
    Falling = g.Field.Falling;
  }
  void Restore(TGameMainMode& g) const {
    std::memcpy(g.Field.Letters, Letters, sizeof Letters);
    std::memcpy(g.Field.Flags, Flags, sizeof Flags);
    std::memcpy(g.Field.Groups, Groups, sizeof Groups);
    std::memcpy(g.Field.EraseTimers, EraseTimers, sizeof EraseTimers);
    std::copy(std::begin(Falls), std::end(Falls), g.Field.Falls);
    g.Field.Chain = Chain;
    g.Field.Erasing = Erasing;
    g.Field.Falling = Falling;
    g.Field.SwapTimer = 0;
    g.Field.PushTimer = 0;
    g.Field.Scroll = 0;
  }
};

void Run(const char* label, int dt, bool busy) {
  GameData data;
  SetDefaultRanking(data);
  data.GameType = 0;
  data.Difficulty = 2;
  TKernel kernel(nullptr, nullptr, nullptr, nullptr);
  vexa::FixRandomSeed(99);
  TGameMainMode game(nullptr, &kernel, &data);
  game.Init();
  std::mt19937 rng(5);

  FieldState fields[8];
  for (FieldState& f : fields) {
    if (busy) {
      FillBusyField(game, rng, 5);
      game.Field.CheckAllFalls();
    }
    f.Save(game);
  }

  constexpr int kRounds = 400;
  const int ticksPerRound = 1500 / dt;  // one blink and the falls after it
  double total = 0;
  double worst = 0;
  int ticks = 0, groups = 0, falls = 0;
  for (int round = 0; round < kRounds; ++round) {
    fields[round % 8].Restore(game);
    game.RiseCountdown = 1 << 30;
    game.IsOver = false;
    for (int i = 0; i < ticksPerRound; ++i) {
      kernel.Pushed = 0;
      kernel.Repeat = 0;
      if (busy) {
        const uint32_t roll = rng() % 10;
        if (roll < 3) kernel.Repeat = static_cast<uint16_t>(1u << (rng() % 4));
        if (roll >= 3 && roll < 6) kernel.Pushed = btA;
        if (roll == 9 && rng() % 8 == 0) kernel.Pushed = btB;
      }
      for (const TFallRecord& f : game.Field.Falls) falls += f.Active ? 1 : 0;
      for (int r = 0; r < kWellRows; ++r)
        for (int c = 0; c < kFieldCols; ++c) groups += (game.Field.Flags[r][c] & cfErasing) ? 1 : 0;
      const auto start = std::chrono::steady_clock::now();
      game.PlayTick(dt);
      const auto end = std::chrono::steady_clock::now();
      game.Frames += 1;
      const double ns = std::chrono::duration<double, std::nano>(end - start).count();
      total += ns;
      worst = std::max(worst, ns);
      ++ticks;
    }
  }
  vexa::UnfixRandomSeed();
  std::printf("%-28s dt %2d: %7.0f ns per tick (worst %6.0f ns) over %d ticks; "
              "on average %.1f blinking cells and %.1f falling groups\n",
              label, dt, total / ticks, worst, ticks, static_cast<double>(groups) / ticks,
              static_cast<double>(falls) / ticks);
}

}  // namespace

VEXA_BENCH(field) {
  Run("busy field (target < 5000)", 20, true);
  Run("busy field (target < 5000)", 40, true);
  Run("quiet field", 20, false);
}
