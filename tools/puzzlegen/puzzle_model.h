#pragma once
// A stand-alone model of the puzzle game's playing field, written tick for tick after the
// game's own field rules (swap, matching, erasing, falling, the clear and dead-end tests), so
// that a stage and a list of swaps can be played through without the game screen.
//
// Used by the stage builder and solver (puzzlegen) and by the unit test that proves every
// shipped stage clearable. Header-only so the test binary needs no extra source file.
//
// A solution is a list of swaps, each made only once the field has settled (nothing swapping,
// falling or blinking): that is a sufficient way to play a stage, and it makes every swap's
// outcome a pure function of the letters on the field.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

namespace puzzle {

constexpr int kCols = 6;
constexpr int kRows = 11;         // rows 0..9 are the well, row 10 the floor
constexpr int kWellRows = 10;
constexpr int kStageBytes = 60;   // one stage record: rows 0..9 x 6 columns
constexpr int kStageCount = 50;
constexpr int kDataBytes = kStageBytes * kStageCount;
constexpr int16_t kEmpty = 26;
constexpr int kFallRecords = 18;
constexpr int kSwapMs = 160;
constexpr int kEraseMs = 1200;

enum : uint16_t {
  cfHidden = 0x01,
  cfLocked = 0x02,
  cfErasing = 0x04,
  cfFalling = 0x08,
  cfSameRun = 0x10,
  cfSeqRun = 0x20,
  cfSwapping = 0x40,
};

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

struct FallRecord {
  bool Active = false;
  int32_t Length = 0;
  int32_t X = 0;
  float Y = 0.0f;
  float Speed = 0.0f;
};

struct SwapCell {
  int16_t Letter = 0;
  int32_t Col = 0;
  int32_t Row = 0;
};

// Statistics of one played swap (or a whole solution), for the builder's difficulty measure.
struct PlayStats {
  int MaxChain = 0;      // highest chain step reached
  int SameCells = 0;     // blocks removed as part of equal-letter runs
  int SeqCells = 0;      // blocks removed as part of ascending runs
  int Removed = 0;       // blocks removed
};

class Field {
 public:
  int16_t Letters[kRows][kCols] = {};
  uint16_t Flags[kRows][kCols] = {};
  uint16_t Groups[kRows][kCols] = {};
  int32_t EraseTimers[kRows][kCols] = {};
  int32_t Chain = 0;
  int32_t SwapTimer = 0;
  SwapCell SwapA, SwapB;
  bool Erasing = false;
  bool Falling = false;
  FallRecord Falls[kFallRecords];
  int32_t Frames = 0;
  bool Cleared = false;
  bool Lost = false;
  PlayStats Stats;
  // Skip stretches of ticks in which only timers run (see SkipBlinkOnly); off, every tick is
  // played one by one.
  bool FastForward = true;

  // Sets up the field as the puzzle game does when a stage starts: the stage's letters in
  // rows 0..9 and a floor of A in row 10, everything else at rest.
  void Load(const Grid& g) {
    const bool ff = FastForward;
    *this = Field();
    FastForward = ff;
    for (int r = 0; r < kWellRows; ++r)
      for (int c = 0; c < kCols; ++c) Letters[r][c] = g[r * kCols + c];
    for (int c = 0; c < kCols; ++c) Letters[kWellRows][c] = 0;
  }

  Grid Snapshot() const {
    Grid g{};
    for (int r = 0; r < kWellRows; ++r)
      for (int c = 0; c < kCols; ++c) g[r * kCols + c] = static_cast<uint8_t>(Letters[r][c]);
    return g;
  }

  // The swap as the cursor makes it (A = cursor cell, B = partner cell). Returns false when
  // it is refused: a locked cell, or a vertical pair with an empty cell.
  bool SwapCells(int colA, int rowA, int colB, int rowB) {
    if ((Flags[rowA][colA] & cfLocked) || (Flags[rowB][colB] & cfLocked)) return false;
    if (rowA != rowB && (Letters[rowA][colA] == kEmpty || Letters[rowB][colB] == kEmpty))
      return false;
    SwapA = {Letters[rowA][colA], colA, rowA};
    SwapB = {Letters[rowB][colB], colB, rowB};
    Flags[rowA][colA] |= cfHidden | cfLocked | cfSwapping;
    Flags[rowB][colB] |= cfHidden | cfLocked | cfSwapping;
    std::swap(Letters[rowA][colA], Letters[rowB][colB]);
    SwapTimer = kSwapMs;
    return true;
  }

  // One play tick of the puzzle game after its Control step: clear test, dead-end test, then
  // the field's own ticks in the game's order.
  void Tick(int dt) {
    CheckStageClear();
    CheckStageFailed();
    CheckAllFalls();
    TickFalls(dt);
    TickSwap(dt);
    TickErase(dt);
    ++Frames;
  }

  bool AnyErasing() const {
    for (int r = 0; r < kWellRows; ++r)
      for (int c = 0; c < kCols; ++c)
        if (Flags[r][c] & cfErasing) return true;
    return false;
  }

  bool AnyFallActive() const {
    for (const FallRecord& f : Falls)
      if (f.Active) return true;
    return false;
  }

  // Nothing swapping, falling or blinking: the player's next swap meets a field at rest.
  bool Settled() const { return SwapTimer == 0 && !Falling && !AnyFallActive() && !AnyErasing(); }

  bool WellEmpty() const {
    for (int r = 0; r < kWellRows; ++r)
      for (int c = 0; c < kCols; ++c)
        if (Letters[r][c] != kEmpty) return false;
    return true;
  }

  // Runs play ticks until the field has been at rest for two ticks in a row (or the game is
  // over). While only blink timers run, whole stretches of ticks are skipped at once: nothing
  // but the timers changes in them. Returns false if the field never came to rest.
  bool RunUntilSettled(int dt, int maxTicks = 20000) {
    int calm = 0;
    for (int i = 0; i < maxTicks; ++i) {
      if (Cleared || Lost) return true;
      if (FastForward) SkipBlinkOnly(dt);
      Tick(dt);
      if (Settled()) {
        if (++calm >= 2) {
          CheckStageClear();
          CheckStageFailed();
          return true;
        }
      } else {
        calm = 0;
      }
    }
    return false;
  }

  // ---- the field rules ----

  void CheckStageClear() {
    if (!Cleared && WellEmpty()) Cleared = true;
  }

  void CheckStageFailed() {
    if (Falling) return;
    if (!StillOpen(*this)) {
      if (!Cleared) Lost = true;
    }
  }

  // True while some letter occurs 3+ times or three consecutive letters all occur.
  static bool StillOpen(const Field& f) {
    int count[26] = {};
    for (int r = 0; r < kWellRows; ++r)
      for (int c = 0; c < kCols; ++c) {
        int l = f.Letters[r][c];
        if (l >= 0 && l < 26) ++count[l];
      }
    return CountsStillOpen(count);
  }

  static bool CountsStillOpen(const int* count) {
    for (int l = 0; l < 26; ++l)
      if (count[l] >= 3) return true;
    for (int n = 0; n <= 23; ++n)
      if (count[n] > 0 && count[n + 1] > 0 && count[n + 2] > 0) return true;
    return false;
  }

  bool CheckMatches() {
    bool same = FindRuns(false);
    bool seq = FindRuns(true);
    bool found = same || seq;
    if (found && Chain == 0) Chain = 1;
    if (found) Stats.MaxChain = std::max(Stats.MaxChain, static_cast<int>(Chain));
    return found;
  }

  void CheckAllFalls() {
    for (int r = 0; r < kWellRows; ++r)
      for (int c = 0; c < kCols; ++c) StartFall(c, r);
  }

  bool StartFall(int col, int row) {
    if (row < 0 || row >= kWellRows) return false;
    if (Letters[row][col] == kEmpty) return false;
    const int below = row + 1;
    if (Letters[below][col] != kEmpty) return false;
    if (Flags[below][col] & (cfLocked | cfFalling)) return false;
    if (Flags[row][col] & (cfFalling | cfLocked | cfSwapping | cfErasing)) return false;
    int top = row;
    while (top > 0) {
      const int up = top - 1;
      if (Letters[up][col] == kEmpty || (Flags[up][col] & cfLocked)) break;
      top = up;
    }
    StartFallGroup(col, top, row - top + 1);
    return true;
  }

  void StartFallGroup(int col, int top, int length) {
    Falling = true;
    FallRecord* rec = nullptr;
    for (FallRecord& f : Falls)
      if (!f.Active) {
        rec = &f;
        break;
      }
    if (!rec) return;
    rec->Active = true;
    rec->X = 32 * col;
    rec->Y = static_cast<float>(32 * top);
    rec->Length = length;
    rec->Speed = 0.0f;
    for (int r = top; r <= top + length && r < kRows; ++r) Flags[r][col] |= cfLocked;
    for (int r = top; r < top + length; ++r) Flags[r][col] |= cfFalling | cfHidden;
    // Lowest group first; a Shell sort with gaps 9, 4, 2, 1 as the game does it.
    for (int gap : {9, 4, 2, 1}) {
      for (int i = gap; i < kFallRecords; ++i) {
        FallRecord tmp = Falls[i];
        int j = i;
        while (j >= gap && Falls[j - gap].Y < tmp.Y) {
          Falls[j] = Falls[j - gap];
          j -= gap;
        }
        Falls[j] = tmp;
      }
    }
  }

  void TickFalls(int dt) {
    if (!Falling) return;
    int count = 0;
    for (int i = 0; i < kFallRecords; ++i) {
      if (!Falls[i].Active) continue;
      ++count;
      MoveFall(Falls[i], dt);
    }
    if (count == 0) {
      Falling = false;
      if (Chain == 0) {
        CheckMatches();
      } else if (CheckMatches()) {
        if (Chain < 64) ++Chain;
        Stats.MaxChain = std::max(Stats.MaxChain, static_cast<int>(Chain));
      } else {
        Chain = Erasing ? 1 : 0;
      }
    }
  }

  void MoveFall(FallRecord& f, int dt) {
    f.Y += 0.001f * f.Speed * static_cast<float>(dt);
    f.Speed += 1.2f * static_cast<float>(dt);
    if (f.Speed > 750.0f) f.Speed = 750.0f;
    const int col = f.X / 32;
    const int top = static_cast<int>(static_cast<float>(static_cast<int>(f.Y)) / 32.0f);
    const int bottom = top + f.Length - 1;
    if (bottom >= kRows || Letters[bottom][col] != kEmpty) return;
    // Shift the group one row down: rows top..bottom take rows top-1..bottom-1.
    for (int r = bottom; r >= top; --r) {
      Letters[r][col] = Letters[r - 1][col];
      Flags[r][col] = Flags[r - 1][col];
    }
    Letters[top - 1][col] = kEmpty;
    Flags[top - 1][col] = 0;
    const int below = bottom + 1;
    if (below < kRows && Letters[below][col] == kEmpty && !(Flags[below][col] & cfSwapping)) {
      Flags[below][col] |= cfLocked;
    } else if (below < kRows && (Flags[below][col] & cfFalling)) {
      f.Speed = 0.0f;
    } else {
      LandFall(f);
    }
  }

  void LandFall(FallRecord& f) {
    f.Active = false;
    const int col = f.X / 32;
    const int top = static_cast<int>(static_cast<float>(static_cast<int>(f.Y)) / 32.0f);
    for (int r = top; r < top + f.Length && r < kRows; ++r)
      Flags[r][col] &= static_cast<uint16_t>(~(cfHidden | cfLocked | cfFalling));
  }

  void TickSwap(int dt) {
    if (SwapTimer == 0) return;
    SwapTimer -= dt;
    if (SwapTimer > 0) return;
    SwapTimer = 0;
    const uint16_t clear = static_cast<uint16_t>(~(cfLocked | cfHidden | cfSwapping));
    Flags[SwapA.Row][SwapA.Col] &= clear;
    Flags[SwapB.Row][SwapB.Col] &= clear;
    CheckMatches();
    StartFall(SwapA.Col, SwapA.Row);
    StartFall(SwapA.Col, SwapA.Row - 1);
    StartFall(SwapB.Col, SwapB.Row);
    StartFall(SwapB.Col, SwapB.Row - 1);
  }

  void TickErase(int dt) {
    Erasing = false;
    bool finished = false;
    for (int r = 0; r < kWellRows; ++r)
      for (int c = 0; c < kCols; ++c) {
        if (!(Flags[r][c] & cfErasing)) continue;
        if (Frames & 1)
          Flags[r][c] |= cfHidden;
        else
          Flags[r][c] &= static_cast<uint16_t>(~cfHidden);
        EraseTimers[r][c] -= dt;
        if (EraseTimers[r][c] < 0) {
          EraseTimers[r][c] = 0;
          finished = true;
        } else {
          Erasing = true;
        }
      }
    if (finished) {
      RemoveErased();
      if (!AnyFallActive() && !Erasing) Chain = 0;
    }
  }

  void RemoveErased() {
    for (int r = 0; r < kWellRows; ++r)
      for (int c = 0; c < kCols; ++c) {
        if (!(Flags[r][c] & cfErasing) || EraseTimers[r][c] != 0) continue;
        if (Flags[r][c] & cfSameRun) ++Stats.SameCells;
        if (Flags[r][c] & cfSeqRun) ++Stats.SeqCells;
        Letters[r][c] = kEmpty;
        Flags[r][c] &= static_cast<uint16_t>(~(cfErasing | cfSameRun | cfSeqRun | cfHidden | cfLocked));
        Groups[r][c] = 0;
        StartFall(c, r - 1);
        ++Stats.Removed;
      }
  }

 private:
  // While only blink timers are running (no swap, no fall, no fall waiting to start), the
  // ticks until the first timer runs out change nothing but the timers and the blink phase.
  void SkipBlinkOnly(int dt) {
    if (Falling || AnyFallActive()) return;
    if (SwapTimer != 0) {
      // A swap on a field otherwise at rest: its cells are locked, so nothing can start
      // until it ends.
      if (AnyErasing() || WouldStartFall()) return;
      const int skip = (SwapTimer + dt - 1) / dt - 1;
      if (skip <= 0) return;
      SwapTimer -= skip * dt;
      Frames += skip;
      return;
    }
    int minTimer = -1;
    for (int r = 0; r < kWellRows; ++r)
      for (int c = 0; c < kCols; ++c)
        if (Flags[r][c] & cfErasing)
          if (minTimer < 0 || EraseTimers[r][c] < minTimer) minTimer = EraseTimers[r][c];
    if (minTimer < 0) return;
    // Any block that could start falling would have started in the previous tick already,
    // unless that tick removed cells: keep one ordinary tick after any change.
    if (WouldStartFall()) return;
    const int skip = minTimer / dt - 1;
    if (skip <= 0) return;
    for (int r = 0; r < kWellRows; ++r)
      for (int c = 0; c < kCols; ++c)
        if (Flags[r][c] & cfErasing) EraseTimers[r][c] -= skip * dt;
    Frames += skip;
  }

  bool WouldStartFall() const {
    for (int r = 0; r < kWellRows; ++r)
      for (int c = 0; c < kCols; ++c) {
        if (Letters[r][c] == kEmpty) continue;
        if (Letters[r + 1][c] != kEmpty) continue;
        if (Flags[r + 1][c] & (cfLocked | cfFalling)) continue;
        if (Flags[r][c] & (cfFalling | cfLocked | cfSwapping | cfErasing)) continue;
        return true;
      }
    return false;
  }

  // One scan for equal-letter runs (seq false) or ascending runs (seq true): rows left to
  // right, then columns top to bottom, over rows 0..9.
  bool FindRuns(bool seq) {
    bool found = false;
    for (int r = 0; r < kWellRows; ++r) found |= ScanLine(seq, r, -1);
    for (int c = 0; c < kCols; ++c) found |= ScanLine(seq, -1, c);
    return found;
  }

  // row >= 0: scans that row; otherwise scans column col.
  bool ScanLine(bool seq, int row, int col) {
    const int n = row >= 0 ? kCols : kWellRows;
    auto cellAt = [&](int i, int& r, int& c) {
      r = row >= 0 ? row : i;
      c = row >= 0 ? i : col;
    };
    bool found = false;
    int length = 0;
    int runLetter = -1;
    uint16_t runFlags = cfFalling;  // before the first cell the run is blocked
    for (int i = 0; i < n; ++i) {
      int r, c;
      cellAt(i, r, c);
      const int letter = Letters[r][c];
      const uint16_t flags = Flags[r][c];
      const bool blocked = (flags & (cfFalling | cfSwapping)) || (runFlags & (cfFalling | cfSwapping));
      bool continues;
      if (seq)
        continues = letter != kEmpty && runLetter >= 0 && letter == runLetter + 1 && !blocked;
      else
        continues = letter != kEmpty && letter == runLetter && !blocked;
      if (continues) {
        ++length;
        if (seq) {
          runLetter = letter;
          runFlags = flags;
        }
      } else {
        if (length >= 3) found |= MarkRun(row, col, i - length, i, seq ? 1 : 0);
        length = 1;
        runLetter = letter;
        runFlags = flags;
      }
    }
    if (length >= 3) found |= MarkRun(row, col, n - length, n, seq ? 1 : 0);
    return found;
  }

  bool MarkRun(int row, int col, int first, int end, int kind) {
    auto at = [&](int i, int& r, int& c) {
      r = row >= 0 ? row : i;
      c = row >= 0 ? i : col;
    };
    bool allErasing = true;
    for (int i = first; i < end; ++i) {
      int r, c;
      at(i, r, c);
      if (!(Flags[r][c] & cfErasing)) allErasing = false;
    }
    if (allErasing) return false;
    int g = 0;
    for (int i = first; i < end; ++i) {
      int r, c;
      at(i, r, c);
      if (Groups[r][c] != 0) g = Groups[r][c];
    }
    if (g == 0) {
      g = NewGroupId();
    } else {
      for (int i = first; i < end; ++i) {
        int r, c;
        at(i, r, c);
        MergeGroup(Groups[r][c], g);
      }
    }
    for (int i = first; i < end; ++i) {
      int r, c;
      at(i, r, c);
      Flags[r][c] |= cfErasing | cfLocked | (kind == 0 ? cfSameRun : cfSeqRun);
      Groups[r][c] = static_cast<uint16_t>(g);
      StartGroupErase(g);
    }
    return true;
  }

  int NewGroupId() const {
    bool used[60] = {};
    for (int r = 0; r < kWellRows; ++r)
      for (int c = 0; c < kCols; ++c)
        if (Groups[r][c] > 0 && Groups[r][c] < 60) used[Groups[r][c]] = true;
    for (int g = 1; g < 60; ++g)
      if (!used[g]) return g;
    return 0;
  }

  void MergeGroup(int from, int to) {
    if (from == to || from == 0 || to == 0) return;
    for (int r = 0; r < kWellRows; ++r)
      for (int c = 0; c < kCols; ++c)
        if (Groups[r][c] == from) Groups[r][c] = static_cast<uint16_t>(to);
  }

  void StartGroupErase(int g) {
    if (g == 0) return;
    for (int r = 0; r < kWellRows; ++r)
      for (int c = 0; c < kCols; ++c)
        if (Groups[r][c] == g) EraseTimers[r][c] = kEraseMs;
  }
};

// ---- stage checks ----

inline int BlockCount(const Grid& g) {
  int n = 0;
  for (uint8_t l : g) n += l != kEmpty;
  return n;
}

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

// Three or more equal letters, or three or more ascending letters (left to right, top to
// bottom), next to each other in a row or a column.
inline bool HasRun(const Grid& g) {
  auto at = [&](int r, int c) -> int { return g[r * kCols + c]; };
  for (int pass = 0; pass < 2; ++pass) {
    const int lines = pass == 0 ? kWellRows : kCols;
    const int n = pass == 0 ? kCols : kWellRows;
    for (int line = 0; line < lines; ++line) {
      int same = 0, asc = 0, prev = -1;
      for (int i = 0; i < n; ++i) {
        const int l = pass == 0 ? at(line, i) : at(i, line);
        if (l == kEmpty) {
          same = asc = 0;
          prev = -1;
          continue;
        }
        same = (l == prev) ? same + 1 : 1;
        asc = (prev >= 0 && l == prev + 1) ? asc + 1 : 1;
        if (same >= 3 || asc >= 3) return true;
        prev = l;
      }
    }
  }
  return false;
}

// ---- playing a list of swaps ----

struct PlayResult {
  bool Cleared = false;  // the well was emptied
  bool Lost = false;     // the dead-end test ended the game
  int FailedAt = -1;     // index of the swap that was refused or never settled, -1 if none
  PlayStats Stats;
};

// Plays one swap on a settled field and runs until it settles again. Returns false if the
// swap was refused or the field did not settle.
inline bool PlayMove(Field& f, const Move& m, int dt) {
  if (f.Cleared || f.Lost) return false;
  if (!m.Valid()) return false;
  if (!f.SwapCells(m.OtherCol(), m.OtherRow(), m.Col, m.Row)) return false;
  return f.RunUntilSettled(dt);
}

inline PlayResult PlaySolution(const Grid& stage, const std::vector<Move>& moves, int dt,
                               bool fastForward = true) {
  PlayResult res;
  Field f;
  f.Load(stage);
  f.FastForward = fastForward;
  for (size_t i = 0; i < moves.size(); ++i) {
    if (f.Cleared || f.Lost) {
      res.FailedAt = static_cast<int>(i);
      break;
    }
    if (!PlayMove(f, moves[i], dt)) {
      res.FailedAt = static_cast<int>(i);
      break;
    }
  }
  res.Cleared = f.Cleared && !f.Lost;
  res.Lost = f.Lost;
  res.Stats = f.Stats;
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
