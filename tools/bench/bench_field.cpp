// The play tick of the game screen on a busy field: many blinking groups, falling stacks,
// swaps and push-ups (and the effect actors they spawn). Prints the mean and the worst
// nanoseconds per tick. Runs without display or sound.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>

#include "engine/kernel.h"
#include "engine/random.h"
#include "game/gamedata.h"
#include "media/kordraw.h"
#include "media/korinput.h"
#include "media/kormidi.h"
#include "media/korsound.h"
#include "play/gamemain.h"
#include "tools/bench/bench.h"
#include "tools/bench/busy_field.h"

namespace {

void Run(const char* label, int dt, bool busy) {
  GameData data;
  SetDefaultRanking(data);
  data.GameType = 0;
  data.Difficulty = 2;
  // Components never started: every call on them answers false at once.
  TKorDraw draw;
  TKorSound sound;
  TKorInput input;
  TKorMidi midi;
  TKernel kernel(&draw, &sound, &input, &midi);
  vexa::FixRandomSeed(99);
  TGameMainMode game(nullptr, &kernel, &data);
  game.Init();
  std::mt19937 rng(5);

  // Busy wells to start from again and again (a field is a value: a copy restarts it).
  TField fields[8];
  for (TField& f : fields) {
    if (busy) {
      FillBusyField(game.Field, rng, 5);
      game.Field.CheckAllFalls();
    }
    f = game.Field;
  }

  constexpr int kRounds = 400;
  const int ticksPerRound = 1500 / dt;  // one blink and the falls after it
  double total = 0;
  double worst = 0;
  int ticks = 0, groups = 0, falls = 0;
  for (int round = 0; round < kRounds; ++round) {
    game.Field = fields[round % 8];
    game.Endless.RiseCountdown = 1 << 30;
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
