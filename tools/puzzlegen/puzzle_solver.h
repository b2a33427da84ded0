#pragma once
// Search for a list of swaps that empties a stage, each swap made on a settled field and
// played through the game's well tick by tick. A layered beam search: every layer holds the
// most promising distinct fields reached with that many swaps; with a beam wider than the
// reachable fields it is a breadth-first search and finds a shortest solution.
#include <algorithm>
#include <cstdint>
#include <random>
#include <unordered_set>
#include <vector>

#include "tools/puzzlegen/puzzle_model.h"

namespace puzzle {

inline uint64_t HashGrid(const Grid& g) {
  uint64_t h = 1469598103934665603ull;
  for (uint8_t b : g) {
    h ^= b;
    h *= 1099511628211ull;
  }
  return h ^ (h >> 29);
}

// Every swap worth trying on a settled field: two different neighbours, not both empty; a
// vertical pair needs two blocks.
inline std::vector<Move> CandidateMoves(const Grid& g) {
  std::vector<Move> moves;
  for (int r = 0; r < kWellRows; ++r)
    for (int c = 0; c < kCols; ++c) {
      const int l = g[r * kCols + c];
      if (c + 1 < kCols && l != g[r * kCols + c + 1]) moves.push_back({c, r, 'R'});
      if (r + 1 < kWellRows && l != kEmpty && g[(r + 1) * kCols + c] != kEmpty &&
          l != g[(r + 1) * kCols + c])
        moves.push_back({c, r, 'D'});
    }
  return moves;
}

// A letter can only vanish in a run: three or more of it, or inside three consecutive
// letters that are all present. A field holding a letter that can do neither is dead even
// if the game's own dead-end test has not noticed yet.
inline bool Hopeless(const Grid& g) {
  int count[26] = {};
  for (uint8_t l : g)
    if (l < 26) ++count[l];
  auto has = [&](int l) { return l >= 0 && l < 26 && count[l] > 0; };
  for (int l = 0; l < 26; ++l) {
    if (count[l] == 0 || count[l] >= 3) continue;
    bool ok = false;
    for (int n = l - 2; n <= l && !ok; ++n) ok = has(n) && has(n + 1) && has(n + 2);
    if (!ok) return true;
  }
  return false;
}

// How promising a field is (lower is better): fewer blocks first, then letters standing
// where a run can be completed.
inline int Score(const Grid& g) {
  auto at = [&](int r, int c) -> int { return g[r * kCols + c]; };
  int blocks = 0, pairs = 0, count[26] = {};
  for (int r = 0; r < kWellRows; ++r)
    for (int c = 0; c < kCols; ++c) {
      const int l = at(r, c);
      if (l == kEmpty) continue;
      ++blocks;
      ++count[l];
      if (c + 1 < kCols) {
        const int m = at(r, c + 1);
        if (m == l || m == l + 1) pairs += 2;
        if (c + 2 < kCols) {
          const int k = at(r, c + 2);
          if (k == l || k == l + 2) pairs += 1;
        }
      }
      if (r + 1 < kWellRows) {
        const int m = at(r + 1, c);
        if (m == l || m == l + 1) pairs += 2;
      }
    }
  int loose = 0;  // letters that must be used up by sequences
  for (int l = 0; l < 26; ++l)
    if (count[l] == 1 || count[l] == 2) loose += count[l];
  return blocks * 12 + loose * 2 - pairs;
}

struct SolveOptions {
  int BeamWidth = 400;
  int MaxDepth = 80;
  int Dt = 20;
  uint32_t Seed = 1;
  long MaxNodes = 4000000;  // fields played through in all
};

struct SolveResult {
  bool Solved = false;
  std::vector<Move> Moves;
  long Nodes = 0;
};

inline SolveResult Solve(const Grid& start, const SolveOptions& opt) {
  struct Node {
    Grid G;
    int Parent;
    Move M;
    int Score;
    uint32_t Tie;
  };
  SolveResult res;
  std::mt19937 rng(opt.Seed);
  std::vector<Node> nodes;
  nodes.push_back({start, -1, {}, Score(start), 0});
  std::unordered_set<uint64_t> seen;
  seen.insert(HashGrid(start));
  std::vector<int> layer{0};
  auto pathTo = [&](int idx, const Move& last) {
    std::vector<Move> path{last};
    for (int i = idx; nodes[i].Parent >= 0; i = nodes[i].Parent) path.push_back(nodes[i].M);
    std::reverse(path.begin(), path.end());
    return path;
  };
  for (int depth = 0; depth < opt.MaxDepth && !layer.empty(); ++depth) {
    std::vector<int> next;
    for (int idx : layer) {
      const Grid g = nodes[idx].G;
      for (const Move& m : CandidateMoves(g)) {
        if (++res.Nodes > opt.MaxNodes) return res;
        TField f = StageField(g);
        if (!PlayMove(f, m, opt.Dt)) continue;
        const Grid child = Snapshot(f);
        if (WellEmpty(child)) {
          res.Solved = true;
          res.Moves = pathTo(idx, m);
          return res;
        }
        if (Hopeless(child)) continue;  // takes in the game's own dead end
        if (!seen.insert(HashGrid(child)).second) continue;
        nodes.push_back({child, idx, m, Score(child), static_cast<uint32_t>(rng())});
        next.push_back(static_cast<int>(nodes.size()) - 1);
      }
    }
    if (static_cast<int>(next.size()) > opt.BeamWidth) {
      std::partial_sort(next.begin(), next.begin() + opt.BeamWidth, next.end(), [&](int a, int b) {
        if (nodes[a].Score != nodes[b].Score) return nodes[a].Score < nodes[b].Score;
        return nodes[a].Tie < nodes[b].Tie;
      });
      next.resize(opt.BeamWidth);
    }
    layer = std::move(next);
  }
  return res;
}

}  // namespace puzzle
