#pragma once
// A puzzle stage played through the game's own well (TField): a stage record, the swaps of a
// solution, and what the builder measures while they are played (chain steps, the two kinds
// of run, the blocks removed).
//
// A solution is a list of swaps, each made only once the well has come to rest (nothing
// swapping, falling or blinking): that is a sufficient way to play a stage, and it makes every
// swap's outcome a pure function of the letters in the well. The outcome is judged on the
// well at rest: empty is a clear. A well that has reached a dead end can never be emptied
// again, so "emptied at the end" is exactly "cleared and never lost".
#include <array>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "engine/kernel.h"
#include "play/field.h"
#include "play/solver.h"

namespace puzzle {

constexpr int kCols = kFieldCols;
constexpr int kStageBytes = 60;  // one stage record: rows 0..9 x 6 columns
constexpr int kStageCount = 50;
constexpr int kDataBytes = kStageBytes * kStageCount;

// The letters of the well, rows 0..9, row-major (byte 6 r + c), as a stage record holds them.
using Grid = std::array<uint8_t, kStageBytes>;

// One swap of a solution: the cell (Col, Row) and its neighbour to the right ('R') or below
// ('D'). Played as the cursor standing on (Col, Row) and stepping onto the neighbour, so the
// neighbour is the cursor cell and (Col, Row) its partner.
struct Move {
  int Col = 0;
  int Row = 0;
  char Dir = 'R';

  int OtherCol() const { return Dir == 'R' ? Col + 1 : Col; }
  int OtherRow() const { return Dir == 'D' ? Row + 1 : Row; }
  bool Valid() const {
    if (Dir == 'R') return Col >= 0 && Col < kCols - 1 && Row >= 0 && Row < kWellRows;
    if (Dir == 'D') return Col >= 0 && Col < kCols && Row >= 0 && Row < kWellRows - 1;
    return false;
  }
  bool operator==(const Move& o) const { return Col == o.Col && Row == o.Row && Dir == o.Dir; }
};

// The solutions file holds swaps made on a well at rest.
inline TSwap ToSwap(const Move& m) { return {m.Col, m.Row, m.Dir, -1}; }

// Statistics of one played swap (or a whole solution), for the builder's difficulty measure.
struct PlayStats {
  int MaxChain = 0;   // highest chain step reached
  int SameCells = 0;  // blocks removed as part of equal-letter runs
  int SeqCells = 0;   // blocks removed as part of ascending runs
  int Removed = 0;    // blocks removed
};

// Gathers PlayStats from the well's events. A block marked by a run stays where it is until
// it is removed, so the kinds of run it belonged to are kept per cell until then.
class StatsListener : public TFieldEvents {
 public:
  PlayStats Stats;

  void RunFound(int32_t kind, int32_t col, int32_t row, int32_t dCol, int32_t dRow,
                int32_t length) override {
    if (Stats.MaxChain < 1) Stats.MaxChain = 1;
    const uint8_t bit = kind == rkSame ? 1 : 2;
    for (int32_t i = 0; i < length; ++i) Kinds[row + dRow * i][col + dCol * i] |= bit;
  }
  void BlockErased(int32_t col, int32_t row) override {
    Stats.SameCells += Kinds[row][col] & 1;
    Stats.SeqCells += (Kinds[row][col] >> 1) & 1;
    Kinds[row][col] = 0;
    ++Stats.Removed;
  }
  void ChainGrew(int32_t chain) override {
    if (Stats.MaxChain < chain) Stats.MaxChain = chain;
  }

 private:
  uint8_t Kinds[kWellRows][kFieldCols] = {};
};

// A well as the puzzle game sets it up when a stage starts (the game's StageField); before a
// game starts runs are only flagged.
inline TField StageWell(const Grid& g, bool started = true) {
  TField f = StageField(g.data());
  f.Started = started;
  return f;
}

inline Grid Snapshot(const TField& f) {
  Grid g{};
  for (int r = 0; r < kWellRows; ++r)
    for (int c = 0; c < kCols; ++c) g[r * kCols + c] = static_cast<uint8_t>(f.Letters[r][c]);
  return g;
}

// ---- stage checks ----

inline int BlockCount(const Grid& g) {
  int n = 0;
  for (uint8_t l : g) n += l != kEmpty;
  return n;
}

inline bool WellEmpty(const Grid& g) { return BlockCount(g) == 0; }

inline bool LettersInRange(const Grid& g) {
  for (uint8_t l : g)
    if (l > kEmpty) return false;
  return true;
}

// A block with an empty cell under it (row 9 rests on the floor).
inline bool HasFloatingBlock(const Grid& g) {
  for (int r = 0; r < kWellRows - 1; ++r)
    for (int c = 0; c < kCols; ++c)
      if (g[r * kCols + c] != kEmpty && g[(r + 1) * kCols + c] == kEmpty) return true;
  return false;
}

// A run the well would find at once: before a game starts, the well only flags its runs.
inline bool HasRun(const Grid& g) {
  TField f = StageWell(g, false);
  return f.CheckMatches();
}

// ---- playing a list of swaps ----

struct PlayResult {
  bool Cleared = false;  // the well was emptied
  int FailedAt = -1;     // index of the swap that was refused or never settled, -1 if none
  PlayStats Stats;
};

// Plays ticks until the well has been at rest for two ticks in a row. False if it never
// came to rest.
inline bool RunUntilSettled(TField& f, int dt, int maxTicks = 20000) {
  int calm = 0;
  for (int i = 0; i < maxTicks; ++i) {
    f.Tick(dt);
    calm = f.AtRest() ? calm + 1 : 0;
    if (calm >= 2) return true;
  }
  return false;
}

// Plays one swap on a well at rest, the cursor on the neighbour and its partner on
// (Col, Row), and runs until the well is at rest again. False if the swap was refused or the
// well did not come to rest.
inline bool PlayMove(TField& f, const Move& m, int dt) {
  if (!m.Valid()) return false;
  f.CursorCol = m.OtherCol();
  f.CursorRow = m.OtherRow();
  f.PartnerCol = m.Col;
  f.PartnerRow = m.Row;
  f.Control(btA, 0);
  if (f.SwapTimer == 0) return false;
  return RunUntilSettled(f, dt);
}

inline PlayResult PlaySolution(const Grid& stage, const std::vector<Move>& moves, int dt) {
  PlayResult res;
  StatsListener stats;
  TField f = StageWell(stage);
  f.Events = &stats;
  for (size_t i = 0; i < moves.size(); ++i) {
    if (WellEmpty(Snapshot(f)) || !PlayMove(f, moves[i], dt)) {
      res.FailedAt = static_cast<int>(i);
      break;
    }
  }
  res.Cleared = WellEmpty(Snapshot(f));
  res.Stats = stats.Stats;
  return res;
}

// ---- the solutions file ----
// One line per stage: "<stage number>: <swaps> swaps: c,r,D c,r,D ...", stage numbers 1-based;
// '#' starts a comment line.

inline std::string FormatMoves(const std::vector<Move>& moves) {
  std::string s;
  for (const Move& m : moves) {
    if (!s.empty()) s += ' ';
    s += std::to_string(m.Col) + "," + std::to_string(m.Row) + "," + m.Dir;
  }
  return s;
}

inline bool ParseMoves(const std::string& text, std::vector<Move>& out) {
  out.clear();
  std::istringstream in(text);
  std::string tok;
  while (in >> tok) {
    Move m;
    char c1 = 0, c2 = 0;
    std::istringstream t(tok);
    if (!(t >> m.Col >> c1 >> m.Row >> c2 >> m.Dir) || c1 != ',' || c2 != ',' || !m.Valid())
      return false;
    out.push_back(m);
  }
  return true;
}

// Parses the whole solutions file into solutions[stage index]. Returns false on a malformed
// line or a stage number outside 1..50.
inline bool ParseSolutions(const std::string& text, std::vector<std::vector<Move>>& solutions) {
  solutions.assign(kStageCount, {});
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    const size_t colon = line.find(':');
    if (colon == std::string::npos) return false;
    int stage = 0;
    try {
      stage = std::stoi(line.substr(0, colon));
    } catch (...) {
      return false;
    }
    if (stage < 1 || stage > kStageCount) return false;
    std::string rest = line.substr(colon + 1);
    const size_t second = rest.find(':');  // "<n> swaps:" before the list
    if (second != std::string::npos) rest = rest.substr(second + 1);
    if (!ParseMoves(rest, solutions[stage - 1])) return false;
  }
  return true;
}

}  // namespace puzzle
