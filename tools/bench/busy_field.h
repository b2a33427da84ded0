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
      g.Field.Letters[r][c] = static_cast<int16_t>(r < 2 || hole ? kEmpty : rng() % 3);
      g.Field.Flags[r][c] = 0;
      g.Field.Groups[r][c] = 0;
      g.Field.EraseTimers[r][c] = 0;
    }
  }
  for (TFallRecord& f : g.Field.Falls) f = TFallRecord();
  g.Field.Chain = 0;
  g.Field.Falling = false;
  g.Field.Erasing = 0;
  g.Field.SwapTimer = 0;
  g.Field.PushTimer = 0;
  g.Field.Scroll = 0;
  g.Field.CheckMatches();
}
