#include "tools/replay/autoplay.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "app/mainform.h"
#include "engine/gamemode.h"
#include "play/gamemain.h"

namespace replay {

// The well as the automatic player judges it: a letter per cell and whether the cell may be
// moved (free), only counts for runs (a blinking block) or stops runs (falling, swapping or
// reserved cells).
enum CellState : uint8_t { csFree, csBlinking, csBlocked };

struct Board {
  int16_t Letter[kWellRows][kFieldCols];
  uint8_t State[kWellRows][kFieldCols];
};

namespace {

constexpr uint8_t kUp = 200;
constexpr uint8_t kDown = 208;
constexpr uint8_t kLeft = 203;
constexpr uint8_t kRight = 205;

Board BoardOf(const TField& field) {
  Board b;
  for (int r = 0; r < kWellRows; ++r)
    for (int c = 0; c < kFieldCols; ++c) {
      const uint16_t f = field.Flags[r][c];
      b.Letter[r][c] = field.Letters[r][c];
      b.State[r][c] = (f & (cfFalling | cfSwapping)) ? csBlocked
                      : (f & cfErasing)               ? csBlinking
                      : (f & cfLocked)                ? csBlocked
                                                      : csFree;
    }
  return b;
}

bool Joins(const Board& b, int r0, int c0, int r1, int c1, bool ascending) {
  if (b.State[r0][c0] == csBlocked || b.State[r1][c1] == csBlocked) return false;
  const int16_t a = b.Letter[r0][c0];
  const int16_t n = b.Letter[r1][c1];
  if (a == kEmpty || n == kEmpty) return false;
  return ascending ? (n == a + 1) : (n == a);
}

// Free cells that stand in a run of three or more (equal or ascending, left to right and
// top to bottom).
int NewRunCells(const Board& b) {
  bool marked[kWellRows][kFieldCols] = {};
  for (int kind = 0; kind < 2; ++kind) {
    const bool asc = kind == 1;
    for (int r = 0; r < kWellRows; ++r) {
      int start = 0;
      for (int c = 1; c <= kFieldCols; ++c)
        if (c == kFieldCols || !Joins(b, r, c - 1, r, c, asc)) {
          if (c - start >= 3)
            for (int k = start; k < c; ++k) marked[r][k] = true;
          start = c;
        }
    }
    for (int c = 0; c < kFieldCols; ++c) {
      int start = 0;
      for (int r = 1; r <= kWellRows; ++r)
        if (r == kWellRows || !Joins(b, r - 1, c, r, c, asc)) {
          if (r - start >= 3)
            for (int k = start; k < r; ++k) marked[k][c] = true;
          start = r;
        }
    }
  }
  int count = 0;
  for (int r = 0; r < kWellRows; ++r)
    for (int c = 0; c < kFieldCols; ++c)
      if (marked[r][c] && b.State[r][c] == csFree) ++count;
  return count;
}

// Free blocks of a column drop onto whatever is below them, as they would after a swap.
void SettleColumn(Board& b, int c) {
  for (int r = kWellRows - 2; r >= 0; --r) {
    if (b.Letter[r][c] == kEmpty || b.State[r][c] != csFree) continue;
    int k = r;
    while (k + 1 < kWellRows && b.Letter[k + 1][c] == kEmpty && b.State[k + 1][c] == csFree) {
      b.Letter[k + 1][c] = b.Letter[k][c];
      b.Letter[k][c] = kEmpty;
      ++k;
    }
  }
}

bool Swappable(const TField& field, int32_t col, int32_t row, char dir) {
  const int32_t nc = dir == 'R' ? col + 1 : col;
  const int32_t nr = dir == 'D' ? row + 1 : row;
  if ((field.Flags[row][col] | field.Flags[nr][nc]) & cfLocked) return false;
  return dir == 'R' || (field.Letters[row][col] != kEmpty && field.Letters[nr][nc] != kEmpty);
}

// The blocks a vertical swap would put into new runs.
int VerticalGain(const Board& before, int32_t col, int32_t row) {
  Board b = before;
  if (b.State[row][col] != csFree || b.State[row + 1][col] != csFree) return 0;
  if (b.Letter[row][col] == b.Letter[row + 1][col]) return 0;
  std::swap(b.Letter[row][col], b.Letter[row + 1][col]);
  return NewRunCells(b);
}

// Whether the block at (col, row) can be carried along its row to column target without
// dropping on the way (see CarryGain).
bool CanCarry(const Board& b, int32_t col, int32_t row, int32_t target) {
  if (b.Letter[row][col] == kEmpty) return false;
  const int32_t dir = target >= col ? 1 : -1;
  for (int32_t k = col; k != target + dir; k += dir) {
    if (b.State[row][k] != csFree) return false;
    if (k != col && k != target && row + 1 < kWellRows && b.Letter[row + 1][k] == kEmpty)
      return false;
  }
  return true;
}

// The blocks that new runs would hold after the block at (col, row) is carried sideways to
// column target by one swap after another (the blocks it passes step back by one), once
// everything has dropped. 0 when the carry cannot be made: a locked cell on the way, or a
// gap under the way that the block would drop into before it arrives.
int CarryGain(const Board& before, int32_t col, int32_t row, int32_t target) {
  if (!CanCarry(before, col, row, target)) return 0;
  const int32_t dir = target > col ? 1 : -1;
  Board b = before;
  for (int32_t k = col; k != target; k += dir) std::swap(b.Letter[row][k], b.Letter[row][k + dir]);
  for (int32_t k = std::min(col, target); k <= std::max(col, target); ++k) SettleColumn(b, k);
  return NewRunCells(b);
}

// Looks for column k, rows r..r+2 and letters x, x, x or x, x+1, x+2 (top to bottom) that
// are each somewhere in their row and can be carried to k; the fewest swaps win. The
// carries come lowest row first, so the rows above keep their support.
std::vector<AutoPlayer::Step> PlanVertical(const Board& b) {
  std::vector<AutoPlayer::Step> best;
  int32_t bestCost = -1;
  for (int32_t r = 0; r + 2 < kWellRows; ++r)
    for (int32_t k = 0; k < kFieldCols; ++k)
      for (int kind = 0; kind < 2; ++kind)
        for (int16_t x = 0; x < 26; ++x) {
          std::vector<AutoPlayer::Step> steps;
          int32_t cost = 0;
          bool ok = true;
          for (int32_t i = 2; i >= 0 && ok; --i) {
            const int32_t row = r + i;
            const int16_t want = static_cast<int16_t>(kind == 1 ? x + i : x);
            int32_t from = -1;
            for (int32_t c = 0; c < kFieldCols && want < 26; ++c)
              if (b.Letter[row][c] == want && CanCarry(b, c, row, k) &&
                  (from < 0 || std::abs(c - k) < std::abs(from - k)))
                from = c;
            ok = from >= 0;
            if (ok && from != k) {
              cost += 2 * std::abs(from - k) + 2;
              steps.push_back({row, from, want, k, false});
            }
          }
          if (!ok || steps.empty()) continue;
          if (bestCost < 0 || cost < bestCost) {
            bestCost = cost;
            best = steps;
          }
        }
  return best;
}

// Whether cursor and partner frame the pair (col, row) and (nc, nr), either way round.
bool Frames(const TField& field, int32_t col, int32_t row, int32_t nc, int32_t nr) {
  return (field.CursorCol == nc && field.CursorRow == nr && field.PartnerCol == col &&
          field.PartnerRow == row) ||
         (field.CursorCol == col && field.CursorRow == row && field.PartnerCol == nc &&
          field.PartnerRow == nr);
}

// Key taps the cursor needs to frame a pair.
int32_t StepsTo(const TField& field, int32_t col, int32_t row, char dir) {
  const int32_t nc = dir == 'R' ? col + 1 : col;
  const int32_t nr = dir == 'D' ? row + 1 : row;
  if (Frames(field, col, row, nc, nr)) return 0;
  const int32_t toFirst = std::abs(field.CursorCol - col) + std::abs(field.CursorRow - row);
  const int32_t toSecond = std::abs(field.CursorCol - nc) + std::abs(field.CursorRow - nr);
  return std::min(toFirst, toSecond) + 1;
}

int32_t TopRow(const TField& field, int32_t c) {
  for (int32_t r = 0; r < kWellRows; ++r)
    if (field.Letters[r][c] != kEmpty) return r;
  return kWellRows;
}

}  // namespace

TGameMainMode* RunningGame(const TMainForm& form) {
  if (!form.Root) return nullptr;
  TGameMode* deepest = form.Root->Deepest();
  return dynamic_cast<TGameMainMode*>(deepest);
}

bool InPlay(const TGameMainMode& g) {
  return g.Phase == 2 && !g.Paused && !g.RetireConfirm && !g.IsOver && !g.Cleared;
}

bool Settled(const TGameMainMode& g) {
  if (!g.Field.AtRest()) return false;
  if (g.IsOver || g.Cleared) return true;
  if (!InPlay(g)) return false;
  if (g.GameType != 1) return true;
  for (int c = 0; c < kFieldCols; ++c)
    if (TopRow(g.Field, c) < kWellRows) return true;
  return false;
}

uint8_t SwapKey(const TMainForm& form) { return form.GameData.ControlType == 1 ? 57 : 44; }
uint8_t RaiseKey(const TMainForm& form) { return form.GameData.ControlType == 1 ? 47 : 45; }

uint8_t KeyTowardSwap(const TGameMainMode& g, int32_t col, int32_t row, char dir, uint8_t swapKey,
                      bool& done) {
  const TField& field = g.Field;
  done = false;
  if (!InPlay(g)) return 0;
  const int32_t nc = dir == 'R' ? col + 1 : col;
  const int32_t nr = dir == 'D' ? row + 1 : row;
  if (Frames(field, col, row, nc, nr)) {
    if (field.SwapTimer != 0 || !Swappable(field, col, row, dir)) return 0;
    done = true;
    return swapKey;
  }
  // Standing on one cell of the pair: step onto the other.
  if (field.CursorCol == col && field.CursorRow == row) return dir == 'R' ? kRight : kDown;
  if (field.CursorCol == nc && field.CursorRow == nr) return dir == 'R' ? kLeft : kUp;
  // Otherwise walk to the nearer cell of the pair, rows first.
  const int32_t toFirst = std::abs(field.CursorCol - col) + std::abs(field.CursorRow - row);
  const int32_t toSecond = std::abs(field.CursorCol - nc) + std::abs(field.CursorRow - nr);
  const int32_t tc = toSecond < toFirst ? nc : col;
  const int32_t tr = toSecond < toFirst ? nr : row;
  if (field.CursorRow > tr) return kUp;
  if (field.CursorRow < tr) return kDown;
  return field.CursorCol > tc ? kLeft : kRight;
}

uint8_t AutoPlayer::NextKey(const TGameMainMode& g, uint8_t swapKey, uint8_t raiseKey) {
  const TField& field = g.Field;
  // A push-up that ended since the last look moved every planned block up a row.
  if (WasPushing && field.PushTimer == 0)
    for (Step& m : Plan) --m.Row;
  WasPushing = field.PushTimer != 0;
  if (!InPlay(g) || field.SwapTimer != 0) return 0;

  const Board board = BoardOf(field);
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (Plan.empty()) MakePlan(g, board);
    while (!Plan.empty()) {
      Step& m = Plan.front();
      const bool onBoard =
          m.Row >= 0 && m.Row < kWellRows && board.Letter[m.Row][m.Col] == m.Letter;
      bool done = false;
      if (m.Vertical) {
        if (!onBoard || m.Row + 1 >= kWellRows || !Swappable(field, m.Col, m.Row, 'D')) break;
        const uint8_t key = KeyTowardSwap(g, m.Col, m.Row, 'D', swapKey, done);
        if (done) Plan.erase(Plan.begin());
        return key;
      }
      if (onBoard && m.Col == m.Target) {
        Plan.erase(Plan.begin());
        continue;
      }
      if (!onBoard || !CanCarry(board, m.Col, m.Row, m.Target)) break;
      const int32_t dir = m.Target > m.Col ? 1 : -1;
      const uint8_t key =
          KeyTowardSwap(g, dir > 0 ? m.Col : m.Col - 1, m.Row, 'R', swapKey, done);
      if (done) m.Col += dir;
      return key;
    }
    if (Plan.empty()) break;
    Plan.clear();  // the field changed under the plan: make a new one
  }
  if (Plan.empty() && Raise) {
    Raise = false;
    return raiseKey;
  }
  return 0;
}

void AutoPlayer::MakePlan(const TGameMainMode& g, const Board& board) {
  const TField& field = g.Field;
  Plan.clear();
  Raise = false;
  // A carry or a vertical swap that completes a run at once: the most blocks, then the
  // fewest key taps.
  int32_t bestValue = 0;
  auto consider = [&](int gain, int32_t steps, const Step& m) {
    if (gain == 0) return;
    const int32_t value = gain * 8 - steps;
    if (Plan.empty() || value > bestValue) {
      bestValue = value;
      Plan.assign(1, m);
    }
  };
  for (int32_t r = 0; r < kWellRows; ++r)
    for (int32_t c = 0; c < kFieldCols; ++c) {
      for (int32_t t = 0; t < kFieldCols; ++t) {
        if (t == c) continue;
        const int32_t first = t > c ? c : c - 1;  // the left cell of the first swap
        const int32_t steps = StepsTo(field, first, r, 'R') + 2 * (std::abs(t - c) - 1);
        consider(CarryGain(board, c, r, t), steps, {r, c, board.Letter[r][c], t, false});
      }
      if (r + 1 < kWellRows && Swappable(field, c, r, 'D'))
        consider(VerticalGain(board, c, r), StepsTo(field, c, r, 'D'),
                 {r, c, board.Letter[r][c], c, true});
    }
  if (!Plan.empty()) return;

  // Two or three carries that stack a run in one column.
  Plan = PlanVertical(board);
  if (!Plan.empty()) return;

  // Nothing in sight: more blocks from below while the stack is low.
  int32_t top = kWellRows;
  for (int32_t c = 0; c < kFieldCols; ++c) top = std::min(top, TopRow(field, c));
  if (g.GameType != 1 && field.PushTimer == 0 && top >= 4) {
    Raise = true;
    return;
  }

  // Level the stack: the top block of a column two or more higher than a neighbour steps
  // over into the neighbour's column and drops there.
  int32_t levelDiff = 1, levelSteps = 0;
  for (int32_t c = 0; c < kFieldCols; ++c)
    for (int32_t d : {c - 1, c + 1}) {
      if (d < 0 || d >= kFieldCols) continue;
      const int32_t t = TopRow(field, c);
      const int32_t diff = TopRow(field, d) - t;
      if (t >= kWellRows || diff < 2 || board.State[t][c] != csFree) continue;
      if (!Swappable(field, std::min(c, d), t, 'R')) continue;
      const int32_t steps = StepsTo(field, std::min(c, d), t, 'R');
      if (diff > levelDiff || (diff == levelDiff && steps < levelSteps)) {
        levelDiff = diff;
        levelSteps = steps;
        Plan.assign(1, {t, c, board.Letter[t][c], d, false});
      }
    }
  if (!Plan.empty()) return;

  // Still nothing: stir the top rows with a block carried one step at random.
  for (int tries = 0; tries < 16 && top < kWellRows; ++tries) {
    const int32_t r = top + static_cast<int32_t>(Rng() % 3u);
    const int32_t c = static_cast<int32_t>(Rng() % 5u);
    if (r < kWellRows && board.Letter[r][c] != kEmpty &&
        board.Letter[r][c] != board.Letter[r][c + 1] && CanCarry(board, c, r, c + 1)) {
      Plan.assign(1, {r, c, board.Letter[r][c], c + 1, false});
      return;
    }
  }
}

uint8_t RandomKeys::NextKey() {
  // Weighted toward the keys that move through the screens; letters and BACKSPACE reach
  // the name entry; ESCAPE and stray keys must be ignored everywhere.
  static constexpr uint8_t kKeys[] = {
      200, 208, 203, 205, 200, 208, 203, 205,  // cursor
      44,  44,  57,  57,  45,  47,             // Z / SPACE decide and swap, X / V cancel and raise
      28,  28,                                 // ENTER
      30,  48,  46,  18,  16,  14,  1,   2};   // A B C E Q, BACKSPACE, ESCAPE, 1
  if (Rng() % 2u != 0) return 0;
  return kKeys[Rng() % (sizeof kKeys)];
}

}  // namespace replay
