#pragma once
// A busy well for the benchmarks: three letters only, so runs are everywhere, and holes
// (one cell in holeOneIn below the top two rows) so stacks fall into new runs (chains); the
// top two rows stay empty for push-ups. Everything in motion is stopped first (the cursor
// goes back to its start), then the runs are marked.
#include <random>

#include "play/field.h"

inline void FillBusyField(TField& f, std::mt19937& rng, unsigned holeOneIn) {
  f.Reset();
  for (int r = 0; r < kFieldRows; ++r) {
    for (int c = 0; c < kFieldCols; ++c) {
      const bool hole = r >= 2 && r < kWellRows && rng() % holeOneIn == 0;
      f.Letters[r][c] = static_cast<int16_t>(r < 2 || hole ? kEmpty : rng() % 3);
    }
  }
  f.CheckMatches();
}
