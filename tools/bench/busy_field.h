#pragma once
// A busy well for the benchmarks: three letters only, so runs are everywhere, and holes
// (one cell in holeOneIn below the top two rows) so stacks fall into new runs (chains); the
// top two rows stay empty for push-ups. Everything in motion is stopped first, then the
// runs are marked.
#include <random>

#include "play/gamemain.h"

inline void FillBusyField(TGameMainMode& g, std::mt19937& rng, unsigned holeOneIn) {
  for (int r = 0; r < kFieldRows; ++r) {
    for (int c = 0; c < kFieldCols; ++c) {
      const bool hole = r >= 2 && r < kWellRows && rng() % holeOneIn == 0;
      g.Letters[r][c] = static_cast<int16_t>(r < 2 || hole ? kEmpty : rng() % 3);
      g.Flags[r][c] = 0;
      g.Groups[r][c] = 0;
      g.EraseTimers[r][c] = 0;
    }
  }
  for (TFallRecord& f : g.Falls) f = TFallRecord();
  g.Chain = 0;
  g.Falling = false;
  g.Erasing = 0;
  g.SwapTimer = 0;
  g.PushTimer = 0;
  g.Scroll = 0;
  g.CheckMatches();
}
