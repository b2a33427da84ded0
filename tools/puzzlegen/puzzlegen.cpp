// puzzlegen: builds the 50 puzzle stages (PUZZLEDATA) with a proven solution for each, and
// checks or re-solves a stage file.
//
//   puzzlegen build  [--seed N] [--candidates M] [--threads T] BIN SOLUTIONS
//   puzzlegen solve  BIN              solve every stage afresh, print the swap counts
//   puzzlegen verify BIN SOLUTIONS    replay the stored solutions (20 ms and 40 ms ticks)
//   puzzlegen show   BIN [STAGE]      print stages as letters
//
// Stage 1 is fixed; every other stage is the best of a number of random candidates built to
// that stage's size and alphabet, judged by the solver's solution (length, chain steps,
// equal and ascending runs), so the set grows harder from stage to stage.
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tools/puzzlegen/puzzle_model.h"
#include "tools/puzzlegen/stage_builder.h"

using namespace puzzle;

namespace {

// What a stage slot asks for.
struct Target {
  int Blocks = 0;
  int Letters = 3;
  int SwapsLo = 1;
  int SwapsHi = 1;
  int Chain = 1;      // wished-for chain step of the solution
  bool BothKinds = false;  // equal and ascending runs both used
  bool Full = false;
};

Target TargetFor(int stage) {  // stage number 1..50
  Target t;
  struct Row {
    int Blocks, Letters, Lo, Hi, Chain;
  };
  static const Row early[] = {
      {3, 3, 2, 2, 1},  // 1 (fixed)
      {4, 3, 1, 1, 1}, {5, 3, 1, 2, 1}, {5, 3, 2, 2, 1}, {6, 3, 2, 3, 1},  // 2-5
      {6, 4, 2, 3, 1}, {7, 4, 2, 3, 1}, {7, 4, 3, 4, 1}, {8, 4, 3, 4, 2},  // 6-9
      {8, 4, 3, 5, 2},                                                     // 10
  };
  if (stage <= 10) {
    const Row& r = early[stage - 1];
    t = {r.Blocks, r.Letters, r.Lo, r.Hi, r.Chain, stage >= 6, false};
  } else if (stage <= 20) {
    const int i = stage - 11;                      // 0..9
    t = {9 + (i * 7) / 9, 5, 4 + i / 4, 7 + i / 3, 2, true, false};
  } else if (stage <= 34) {
    const int i = stage - 21;                      // 0..13
    t = {15 + (i * 9) / 13, i < 7 ? 5 : 6, 6 + i / 4, 10 + i / 3, i < 7 ? 2 : 3, true, false};
  } else if (stage == 35) {
    t = {60, 7, 12, 40, 3, true, true};
  } else {
    const int i = stage - 36;                      // 0..14
    t = {22 + i, i < 8 ? 6 : 7, 9 + i / 3, 16 + i / 2, 3, true, false};
  }
  return t;
}

struct Candidate {
  bool Ok = false;
  Grid G{};
  std::vector<Move> Moves;
  PlayStats Stats;
  int Penalty = 1 << 30;
};

int PenaltyFor(const Target& t, const Candidate& c) {
  const int swaps = static_cast<int>(c.Moves.size());
  int p = 0;
  if (swaps < t.SwapsLo) p += (t.SwapsLo - swaps) * 3;
  if (swaps > t.SwapsHi) p += (swaps - t.SwapsHi) * 2;
  if (c.Stats.MaxChain < t.Chain) p += (t.Chain - c.Stats.MaxChain) * 4;
  if (t.BothKinds && (c.Stats.SameCells == 0 || c.Stats.SeqCells == 0)) p += 5;
  return p;
}

// Better of two candidates for a slot: smaller penalty, then longer chain, then fewer swaps.
bool Better(const Candidate& a, const Candidate& b) {
  if (!a.Ok || !b.Ok) return a.Ok;
  if (a.Penalty != b.Penalty) return a.Penalty < b.Penalty;
  if (a.Stats.MaxChain != b.Stats.MaxChain) return a.Stats.MaxChain > b.Stats.MaxChain;
  return a.Moves.size() < b.Moves.size();
}

// The game's solver with a budget in wells played (not in time), so that a build gives the
// same stages on any machine; the first solution found is enough for a candidate.
TSolveLimits LimitsFor(int blocks) {
  TSolveLimits l;
  l.TimeBudgetMs = 1 << 30;
  l.MaxNodes = blocks <= 8 ? 150000 : blocks <= 16 ? 200000 : 250000;
  l.Shortest = false;
  return l;
}

// The solver's solution as swaps on a well at rest (the solutions file holds no waits); false
// when it has none, or one that swaps while the well moves.
bool SolveAtRest(const Grid& g, const TSolveLimits& limits, std::vector<Move>& moves) {
  TPuzzleSolver solver;
  const TSolveReport r = solver.Solve(g.data(), limits);
  moves.clear();
  if (r.Result != TProof::Solvable) return false;
  for (const TSwap& s : r.Solution) {
    if (s.Wait >= 0) return false;
    moves.push_back({s.Col, s.Row, s.Dir});
  }
  return true;
}

// A solution that empties the well with 20 ms and with 40 ms ticks.
bool SolutionHolds(const Grid& g, const std::vector<Move>& moves, PlayStats* stats) {
  PlayResult a = PlaySolution(g, moves, 20);
  PlayResult b = PlaySolution(g, moves, 40);
  if (stats) *stats = a.Stats;
  return a.Cleared && b.Cleared && a.FailedAt < 0 && b.FailedAt < 0;
}

Candidate MakeCandidate(int stage, int index, uint32_t seed) {
  const Target t = TargetFor(stage);
  std::mt19937 rng(seed * 1000003u + static_cast<uint32_t>(stage) * 7919u + static_cast<uint32_t>(index));
  StageShape shape;
  shape.Blocks = t.Blocks;
  shape.Letters = t.Letters;
  shape.LetterLo = static_cast<int>(rng() % static_cast<uint32_t>(26 - t.Letters + 1));
  shape.Full = t.Full;
  shape.MaxHeight = t.Blocks <= 8 ? 3 : t.Blocks <= 16 ? 6 : 10;
  Candidate c;
  if (!RandomStage(rng, shape, c.G, 0.3 + 0.3 * stage / 50.0)) return c;
  std::vector<Move> moves;
  if (!SolveAtRest(c.G, LimitsFor(t.Blocks), moves)) return c;
  if (!SolutionHolds(c.G, moves, &c.Stats)) return c;
  c.Moves = moves;
  c.Ok = true;
  c.Penalty = PenaltyFor(t, c);
  return c;
}

Grid StageOne() {
  Grid g;
  g.fill(static_cast<uint8_t>(kEmpty));
  const uint8_t bottom[kCols] = {26, 1, 26, 0, 2, 26};
  for (int c = 0; c < kCols; ++c) g[9 * kCols + c] = bottom[c];
  return g;
}

bool ReadFile(const std::string& path, std::string& out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return true;
}

bool ReadStages(const std::string& path, std::vector<Grid>& stages) {
  std::string data;
  if (!ReadFile(path, data) || data.size() != static_cast<size_t>(kDataBytes)) {
    std::fprintf(stderr, "%s: not a %d-byte stage file\n", path.c_str(), kDataBytes);
    return false;
  }
  stages.assign(kStageCount, {});
  for (int s = 0; s < kStageCount; ++s)
    for (int i = 0; i < kStageBytes; ++i)
      stages[s][i] = static_cast<uint8_t>(data[s * kStageBytes + i]);
  return true;
}

std::string LettersOf(const Grid& g) {
  std::string s;
  for (int r = 0; r < kWellRows; ++r) {
    for (int c = 0; c < kCols; ++c) {
      const int l = g[r * kCols + c];
      s += l == kEmpty ? '.' : static_cast<char>('A' + l);
    }
    s += '\n';
  }
  return s;
}

std::string Distinct(const Grid& g) {
  bool seen[26] = {};
  for (uint8_t l : g)
    if (l < 26) seen[l] = true;
  std::string s;
  for (int l = 0; l < 26; ++l)
    if (seen[l]) s += static_cast<char>('A' + l);
  return s;
}

int Build(uint32_t seed, int candidates, int threads, const std::string& binPath,
          const std::string& solPath) {
  std::vector<Candidate> best(kStageCount + 1);
  best[1].G = StageOne();
  best[1].Moves = {{1, 9, 'R'}, {2, 9, 'R'}};
  best[1].Ok = SolutionHolds(best[1].G, best[1].Moves, &best[1].Stats);
  if (!best[1].Ok) {
    std::fprintf(stderr, "stage 1's solution does not hold\n");
    return 1;
  }
  // Jobs: (stage, candidate index); each job is deterministic, so the result does not depend
  // on the number of threads.
  std::vector<std::pair<int, int>> jobs;
  for (int s = 2; s <= kStageCount; ++s) {
    const int n = s == 35 ? candidates * 2 : candidates;
    for (int i = 0; i < n; ++i) jobs.push_back({s, i});
  }
  std::vector<std::vector<Candidate>> found(kStageCount + 1);
  std::mutex lock;
  std::atomic<size_t> next{0};
  std::atomic<int> done{0};
  auto worker = [&] {
    for (;;) {
      const size_t j = next++;
      if (j >= jobs.size()) return;
      Candidate c = MakeCandidate(jobs[j].first, jobs[j].second, seed);
      std::lock_guard<std::mutex> g(lock);
      found[jobs[j].first].push_back(std::move(c));
      const int d = ++done;
      if (d % 50 == 0) std::fprintf(stderr, "%d/%zu candidates\n", d, jobs.size());
    }
  };
  std::vector<std::thread> pool;
  for (int i = 0; i < std::max(1, threads); ++i) pool.emplace_back(worker);
  for (std::thread& t : pool) t.join();

  for (int s = 2; s <= kStageCount; ++s) {
    // Candidates arrive in any order; sort them by index-independent content for a stable pick.
    std::sort(found[s].begin(), found[s].end(), [](const Candidate& a, const Candidate& b) {
      if (Better(a, b)) return true;
      if (Better(b, a)) return false;
      return a.G < b.G;
    });
    if (found[s].empty() || !found[s][0].Ok) {
      std::fprintf(stderr, "stage %d: no solvable candidate\n", s);
      return 1;
    }
    best[s] = found[s][0];
  }

  // Within the two runs of ordinary stages (2..34 and 36..50) put the easier ones first:
  // more blocks, more swaps and longer chains make a stage harder.
  auto difficulty = [](const Candidate& c) {
    return BlockCount(c.G) * 2 + static_cast<int>(c.Moves.size()) * 3 + c.Stats.MaxChain * 4;
  };
  for (auto [lo, hi] : {std::pair{2, 34}, std::pair{36, 50}})
    std::stable_sort(best.begin() + lo, best.begin() + hi + 1,
                     [&](const Candidate& a, const Candidate& b) { return difficulty(a) < difficulty(b); });

  std::string bin;
  for (int s = 1; s <= kStageCount; ++s) bin.append(best[s].G.begin(), best[s].G.end());
  std::ofstream out(binPath, std::ios::binary);
  out.write(bin.data(), static_cast<std::streamsize>(bin.size()));
  if (!out) {
    std::fprintf(stderr, "cannot write %s\n", binPath.c_str());
    return 1;
  }
  std::ostringstream sol;
  sol << "# Vexa puzzle stages: one proven solution per stage.\n"
      << "# <stage>: <n> swaps: col,row,dir ... ; dir R swaps (col,row) with (col+1,row),\n"
      << "# D with (col,row+1). Each swap is made once the field has come to rest: the cursor\n"
      << "# stands on (col,row), steps onto the neighbour and swaps. Rows 0..9 top to bottom.\n"
      << "# Generated by tools/puzzlegen (seed " << seed << ").\n";
  for (int s = 1; s <= kStageCount; ++s)
    sol << s << ": " << best[s].Moves.size() << " swaps: " << FormatMoves(best[s].Moves) << "\n";
  std::ofstream so(solPath);
  so << sol.str();
  if (!so) {
    std::fprintf(stderr, "cannot write %s\n", solPath.c_str());
    return 1;
  }
  std::printf("stage blocks letters swaps chain same seq\n");
  for (int s = 1; s <= kStageCount; ++s)
    std::printf("%5d %6d %-8s %5zu %5d %4d %3d\n", s, BlockCount(best[s].G), Distinct(best[s].G).c_str(),
                best[s].Moves.size(), best[s].Stats.MaxChain, best[s].Stats.SameCells,
                best[s].Stats.SeqCells);
  return 0;
}

int SolveAll(const std::string& binPath) {
  std::vector<Grid> stages;
  if (!ReadStages(binPath, stages)) return 1;
  int failures = 0;
  for (int s = 0; s < kStageCount; ++s) {
    const int blocks = BlockCount(stages[s]);
    TSolveLimits limits;
    limits.TimeBudgetMs = 10000;
    TPuzzleSolver solver;
    const TSolveReport r = solver.Solve(stages[s].data(), limits);
    // Replayed by the game's own replay of a solution (with its waits) to an empty well.
    const bool ok = r.Result == TProof::Solvable &&
                    WellEmpty(Snapshot(PlaySolutionPrefix(stages[s].data(), r.Solution,
                                                          r.Solution.size(), limits.Dt)));
    failures += !ok;
    std::printf("stage %2d: %2d blocks: %s", s + 1, blocks, ok ? "" : "NOT SOLVED\n");
    if (!ok) continue;
    std::string text;
    for (const TSwap& m : r.Solution) {
      char one[48];
      // +N: made N ticks after the previous swap, while the well still moved.
      std::snprintf(one, sizeof one, m.Wait >= 0 ? "%s%d,%d,%c+%d" : "%s%d,%d,%c",
                    text.empty() ? "" : " ", m.Col, m.Row, m.Dir, m.Wait);
      text += one;
    }
    std::printf("%zu swaps%s in %.2f s: %s\n", r.Solution.size(), r.Shortest ? " (shortest)" : "",
                r.Seconds, text.c_str());
  }
  return failures ? 1 : 0;
}

int Verify(const std::string& binPath, const std::string& solPath) {
  std::vector<Grid> stages;
  std::string text;
  std::vector<std::vector<Move>> sols;
  if (!ReadStages(binPath, stages)) return 1;
  if (!ReadFile(solPath, text) || !ParseSolutions(text, sols)) {
    std::fprintf(stderr, "%s: cannot read the solutions\n", solPath.c_str());
    return 1;
  }
  int failures = 0;
  for (int s = 0; s < kStageCount; ++s) {
    const Grid& g = stages[s];
    const bool formatOk = LettersInRange(g) && !HasRun(g) && !HasFloatingBlock(g) &&
                          BlockCount(g) >= 3;
    PlayStats st;
    const bool ok = !sols[s].empty() && SolutionHolds(g, sols[s], &st);
    failures += !(ok && formatOk);
    std::printf("stage %2d: %2d blocks, %2zu swaps, chain %d: %s\n", s + 1, BlockCount(g), sols[s].size(),
                st.MaxChain, ok && formatOk ? "cleared" : "FAILED");
  }
  std::printf("%d of %d stages proven\n", kStageCount - failures, kStageCount);
  return failures ? 1 : 0;
}

int Show(const std::string& binPath, int only) {
  std::vector<Grid> stages;
  if (!ReadStages(binPath, stages)) return 1;
  for (int s = 0; s < kStageCount; ++s) {
    if (only && s + 1 != only) continue;
    std::printf("stage %d (%d blocks)\n%s\n", s + 1, BlockCount(stages[s]), LettersOf(stages[s]).c_str());
  }
  return 0;
}

void Usage() {
  std::fprintf(stderr,
               "usage: puzzlegen build [--seed N] [--candidates M] [--threads T] BIN SOLUTIONS\n"
               "       puzzlegen solve BIN\n"
               "       puzzlegen verify BIN SOLUTIONS\n"
               "       puzzlegen show BIN [STAGE]\n");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    Usage();
    return 2;
  }
  const std::string cmd = argv[1];
  if (cmd == "build") {
    uint32_t seed = 7;
    int candidates = 24, threads = 2;
    std::vector<std::string> rest;
    for (int i = 2; i < argc; ++i) {
      const std::string a = argv[i];
      if ((a == "--seed" || a == "--candidates" || a == "--threads") && i + 1 < argc) {
        const int v = std::atoi(argv[++i]);
        if (a == "--seed") seed = static_cast<uint32_t>(v);
        if (a == "--candidates") candidates = std::max(1, v);
        if (a == "--threads") threads = std::max(1, v);
      } else {
        rest.push_back(a);
      }
    }
    if (rest.size() != 2) {
      Usage();
      return 2;
    }
    return Build(seed, candidates, threads, rest[0], rest[1]);
  }
  if (cmd == "solve") return SolveAll(argv[2]);
  if (cmd == "verify" && argc >= 4) return Verify(argv[2], argv[3]);
  if (cmd == "show") return Show(argv[2], argc >= 4 ? std::atoi(argv[3]) : 0);
  Usage();
  return 2;
}
