#pragma once
// Random stage candidates for the builder: a skyline of columns filled with letters from a
// window of the alphabet, with no run and no floating block at the start.
#include <algorithm>
#include <random>
#include <vector>

#include "tools/puzzlegen/puzzle_model.h"

namespace puzzle {

struct StageShape {
  int Blocks = 6;
  int LetterLo = 0;   // first letter of the window
  int Letters = 3;    // window size
  int MaxHeight = 10;
  bool Full = false;  // every cell filled
};

// Column heights summing to the block count, each at most maxHeight (and 10).
inline std::vector<int> RandomHeights(std::mt19937& rng, int blocks, int maxHeight) {
  std::vector<int> h(kCols, 0);
  maxHeight = std::min(maxHeight, kWellRows);
  // A rough profile: a weight per column, so stacks lean one way or peak in the middle.
  std::uniform_real_distribution<double> u(0.2, 1.0);
  std::vector<double> w(kCols);
  for (double& x : w) x = u(rng);
  if (rng() % 3 == 0) w[rng() % kCols] += 1.5;
  for (int placed = 0; placed < blocks;) {
    double total = 0;
    for (int c = 0; c < kCols; ++c)
      if (h[c] < maxHeight) total += w[c];
    if (total <= 0) break;
    double pick = std::uniform_real_distribution<double>(0, total)(rng);
    for (int c = 0; c < kCols; ++c) {
      if (h[c] >= maxHeight) continue;
      pick -= w[c];
      if (pick <= 0 || c == kCols - 1) {
        ++h[c];
        ++placed;
        break;
      }
    }
  }
  return h;
}

// A multiset of letters that can be used up completely: a plan of runs (three to five equal
// letters, three or four ascending ones, or a cross of an equal and an ascending run sharing
// one block) drawn from the window. seqShare is the chance that a run is ascending.
inline std::vector<int> RunPlanLetters(std::mt19937& rng, int blocks, int lo, int letters,
                                       double seqShare) {
  std::vector<int> out;
  std::uniform_real_distribution<double> u(0.0, 1.0);
  auto pick = [&](int span) {  // first letter of a span inside the window
    const int room = letters - span + 1;
    return lo + static_cast<int>(rng() % static_cast<uint32_t>(std::max(1, room)));
  };
  int left = blocks;
  while (left > 0) {
    std::vector<int> sizes;
    for (int s = 3; s <= 5; ++s)
      if (s <= left && (left - s == 0 || left - s >= 3)) sizes.push_back(s);
    if (sizes.empty()) sizes.push_back(left);  // left is 3..5 here
    const int size = sizes[rng() % sizes.size()];
    const bool seq = letters >= 3 && u(rng) < seqShare;
    if (size == 5 && seq && letters >= 3) {
      // A cross: x x x plus two neighbours of x in the alphabet.
      const int start = pick(3);
      const int shared = start + static_cast<int>(rng() % 3);
      for (int i = 0; i < 3; ++i) out.push_back(start + i);
      out.push_back(shared);
      out.push_back(shared);
    } else if (seq && size <= letters && size <= 4) {
      const int start = pick(size);
      for (int i = 0; i < size; ++i) out.push_back(start + i);
    } else {
      const int l = pick(1);
      for (int i = 0; i < size; ++i) out.push_back(l);
    }
    left -= size;
  }
  return out;
}

// Places the letters of a run plan on a skyline of columns, bottom-up, so that no run and no
// floating block shows at the start. Returns false when no run-free placement was found
// quickly.
inline bool RandomStage(std::mt19937& rng, const StageShape& shape, Grid& out,
                        double seqShare = 0.4) {
  for (int attempt = 0; attempt < 200; ++attempt) {
    std::vector<int> h = shape.Full ? std::vector<int>(kCols, kWellRows)
                                    : RandomHeights(rng, shape.Blocks, shape.MaxHeight);
    int total = 0;
    for (int x : h) total += x;
    std::vector<int> pool = RunPlanLetters(rng, total, shape.LetterLo, shape.Letters, seqShare);
    std::shuffle(pool.begin(), pool.end(), rng);
    Grid g;
    g.fill(static_cast<uint8_t>(kEmpty));
    bool ok = true;
    for (int r = kWellRows - 1; r >= 0 && ok; --r)
      for (int c = 0; c < kCols && ok; ++c) {
        if (kWellRows - r > h[c]) continue;
        bool placed = false;
        for (size_t k = 0; k < pool.size(); ++k) {
          g[r * kCols + c] = static_cast<uint8_t>(pool[k]);
          if (!HasRun(g)) {
            pool.erase(pool.begin() + static_cast<long>(k));
            placed = true;
            break;
          }
        }
        if (!placed) ok = false;
      }
    // No run, no block over an empty cell, no letter that can never vanish (the game's checks).
    if (!ok || !CheckStage(g.data()).empty()) continue;
    out = g;
    return true;
  }
  return false;
}

}  // namespace puzzle
