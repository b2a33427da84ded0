// The playing field's rules: swaps, runs and erase groups, falls and chains, the push-up and
// the filling of a new field.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <string>

#include "engine/random.h"
#include "game/gamedata.h"
#include "play/faceactor.h"
#include "play/flashactor.h"
#include "play/gamemain.h"
#include "play/scoreactor.h"
#include "play/staractor.h"

namespace {

// A cell with one of these flags neither continues a run nor lets the next cell continue it.
constexpr uint16_t kRunBlockers = cfFalling | cfSwapping;

// Difficulty table: letters at start, the bound they grow to, rows filled at start.
constexpr int32_t kStartLetters[3] = {5, 13, 26};
constexpr int32_t kMaxLetters[3] = {10, 26, 26};
constexpr int32_t kStartRows[3] = {4, 5, 7};

int32_t Saturate(int64_t v) {
  if (v > INT32_MAX) return INT32_MAX;
  if (v < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(v);
}

}  // namespace

// ---------------------------------------------------------------------------------------
// Runs

bool TGameMainMode::CheckMatches() {
  bool same = FindSameRuns();
  bool seq = FindSequenceRuns();
  bool found = same || seq;
  if (found && Chain == 0) Chain = 1;
  return found;
}

// Equal letters along each row (left to right), then each column (top to bottom). A run
// is kept as its length, its letter and the flags of its first cell.
bool TGameMainMode::FindSameRuns() {
  bool found = false;
  for (int32_t row = 0; row < kWellRows; ++row) {
    int32_t start = 0, length = 0, letter = -1;
    uint16_t runFlags = kRunBlockers;  // before the first cell the run counts as blocked
    for (int32_t col = 0; col < kFieldCols; ++col) {
      int32_t l = Letters[row][col];
      uint16_t f = Flags[row][col];
      if (l != kEmpty && l == letter && !(f & kRunBlockers) && !(runFlags & kRunBlockers)) {
        ++length;
        continue;
      }
      if (length >= 3) found |= MarkRowRun(start, col, row, 0);
      start = col;
      length = 1;
      letter = l;
      runFlags = f;
    }
    if (length >= 3) found |= MarkRowRun(start, kFieldCols, row, 0);
  }
  for (int32_t col = 0; col < kFieldCols; ++col) {
    int32_t start = 0, length = 0, letter = -1;
    uint16_t runFlags = kRunBlockers;
    for (int32_t row = 0; row < kWellRows; ++row) {
      int32_t l = Letters[row][col];
      uint16_t f = Flags[row][col];
      if (l != kEmpty && l == letter && !(f & kRunBlockers) && !(runFlags & kRunBlockers)) {
        ++length;
        continue;
      }
      if (length >= 3) found |= MarkColumnRun(col, start, row, 0);
      start = row;
      length = 1;
      letter = l;
      runFlags = f;
    }
    if (length >= 3) found |= MarkColumnRun(col, start, kWellRows, 0);
  }
  return found;
}

// Ascending letters (each exactly one above the one before) in the same scan order. Here
// the letter and flags compared are always the previous cell's.
bool TGameMainMode::FindSequenceRuns() {
  bool found = false;
  for (int32_t row = 0; row < kWellRows; ++row) {
    int32_t start = 0, length = 0, prev = -1;
    uint16_t prevFlags = kRunBlockers;
    for (int32_t col = 0; col < kFieldCols; ++col) {
      int32_t l = Letters[row][col];
      uint16_t f = Flags[row][col];
      bool continues = l != kEmpty && prev >= 0 && l == prev + 1 && !(f & kRunBlockers) &&
                       !(prevFlags & kRunBlockers);
      prev = l;
      prevFlags = f;
      if (continues) {
        ++length;
        continue;
      }
      if (length >= 3) found |= MarkRowRun(start, col, row, 1);
      start = col;
      length = 1;
    }
    if (length >= 3) found |= MarkRowRun(start, kFieldCols, row, 1);
  }
  for (int32_t col = 0; col < kFieldCols; ++col) {
    int32_t start = 0, length = 0, prev = -1;
    uint16_t prevFlags = kRunBlockers;
    for (int32_t row = 0; row < kWellRows; ++row) {
      int32_t l = Letters[row][col];
      uint16_t f = Flags[row][col];
      bool continues = l != kEmpty && prev >= 0 && l == prev + 1 && !(f & kRunBlockers) &&
                       !(prevFlags & kRunBlockers);
      prev = l;
      prevFlags = f;
      if (continues) {
        ++length;
        continue;
      }
      if (length >= 3) found |= MarkColumnRun(col, start, row, 1);
      start = row;
      length = 1;
    }
    if (length >= 3) found |= MarkColumnRun(col, start, kWellRows, 1);
  }
  return found;
}

bool TGameMainMode::MarkRowRun(int32_t firstCol, int32_t endCol, int32_t row, int32_t kind) {
  bool allErasing = true;
  for (int32_t c = firstCol; c < endCol; ++c)
    if (!(Flags[row][c] & cfErasing)) allErasing = false;
  if (allErasing) return false;

  int32_t g = 0;
  for (int32_t c = endCol - 1; c >= firstCol && g == 0; --c) g = Groups[row][c];
  if (g == 0) {
    g = NewGroupId();
  } else {
    for (int32_t c = firstCol; c < endCol; ++c) MergeGroup(Groups[row][c], g);
  }
  const uint16_t runFlag = kind == 0 ? cfSameRun : cfSeqRun;
  for (int32_t c = firstCol; c < endCol; ++c) {
    Flags[row][c] |= cfErasing;
    Groups[row][c] = static_cast<uint16_t>(g);
    Flags[row][c] |= cfLocked;
    Flags[row][c] |= runFlag;
    StartGroupErase(g);
  }
  return true;
}

bool TGameMainMode::MarkColumnRun(int32_t col, int32_t firstRow, int32_t endRow, int32_t kind) {
  bool allErasing = true;
  for (int32_t r = firstRow; r < endRow; ++r)
    if (!(Flags[r][col] & cfErasing)) allErasing = false;
  if (allErasing) return false;

  int32_t g = 0;
  for (int32_t r = endRow - 1; r >= firstRow && g == 0; --r) g = Groups[r][col];
  if (g == 0) {
    g = NewGroupId();
  } else {
    for (int32_t r = firstRow; r < endRow; ++r) MergeGroup(Groups[r][col], g);
  }
  const uint16_t runFlag = kind == 0 ? cfSameRun : cfSeqRun;
  for (int32_t r = firstRow; r < endRow; ++r) {
    Flags[r][col] |= cfErasing;
    Groups[r][col] = static_cast<uint16_t>(g);
    Flags[r][col] |= cfLocked;
    Flags[r][col] |= runFlag;
    StartGroupErase(g);
  }
  return true;
}

int32_t TGameMainMode::NewGroupId() {
  if (!Started) return 0;
  uint64_t used = 0;
  for (int32_t r = 0; r < kWellRows; ++r)
    for (int32_t c = 0; c < kFieldCols; ++c)
      if (Groups[r][c] <= kMaxGroupId) used |= uint64_t{1} << Groups[r][c];
  for (int32_t g = 1; g <= kMaxGroupId; ++g)
    if (!(used & (uint64_t{1} << g))) return g;
  return 0;
}

void TGameMainMode::MergeGroup(int32_t from, int32_t to) {
  if (from == to || from == 0 || to == 0) return;
  for (int32_t r = 0; r < kWellRows; ++r)
    for (int32_t c = 0; c < kFieldCols; ++c)
      if (Groups[r][c] == from) Groups[r][c] = static_cast<uint16_t>(to);
}

void TGameMainMode::StartGroupErase(int32_t group) {
  if (group == 0) return;
  for (int32_t r = 0; r < kWellRows; ++r)
    for (int32_t c = 0; c < kFieldCols; ++c)
      if (Groups[r][c] == group) StartCellErase(c, r);
}

void TGameMainMode::StartCellErase(int32_t col, int32_t row) {
  if (!Started) return;
  EraseTimers[row][col] = kEraseTime;
  PlaySound("消去");
  if (Face) Face->SetExpression(1);
  if (FlashActors)
    FlashActors->Spawn(static_cast<float>(BoardX + kCellSize * col),
                       static_cast<float>(BoardY + kCellSize * row), 0);
}

// ---------------------------------------------------------------------------------------
// Swap

void TGameMainMode::SwapCells(int32_t colA, int32_t rowA, int32_t colB, int32_t rowB) {
  auto inWell = [](int32_t col, int32_t row) {
    return col >= 0 && col < kFieldCols && row >= 0 && row < kWellRows;
  };
  if (!inWell(colA, rowA) || !inWell(colB, rowB) || (colA == colB && rowA == rowB)) return;
  if ((Flags[rowA][colA] & cfLocked) || (Flags[rowB][colB] & cfLocked)) return;
  if (rowA != rowB && (Letters[rowA][colA] == kEmpty || Letters[rowB][colB] == kEmpty)) return;

  const uint16_t swapFlags = cfHidden | cfLocked | cfSwapping;
  SwapA = {Letters[rowA][colA], colA, rowA};
  Flags[rowA][colA] |= swapFlags;
  SwapB = {Letters[rowB][colB], colB, rowB};
  Flags[rowB][colB] |= swapFlags;
  std::swap(Letters[rowA][colA], Letters[rowB][colB]);
  SwapTimer = kSwapTime;
  PlaySound("入れ替え");
}

bool TGameMainMode::TickSwap(int32_t dt) {
  if (SwapTimer == 0) return false;
  SwapTimer -= dt;
  if (SwapTimer > 0) return true;
  SwapTimer = 0;
  const uint16_t swapFlags = cfLocked | cfHidden | cfSwapping;
  Flags[SwapA.Row][SwapA.Col] &= static_cast<uint16_t>(~swapFlags);
  Flags[SwapB.Row][SwapB.Col] &= static_cast<uint16_t>(~swapFlags);
  CheckMatches();
  StartFall(SwapA.Col, SwapA.Row);
  StartFall(SwapA.Col, SwapA.Row - 1);
  StartFall(SwapB.Col, SwapB.Row);
  StartFall(SwapB.Col, SwapB.Row - 1);
  return false;
}

// ---------------------------------------------------------------------------------------
// Erasing and scoring

bool TGameMainMode::TickErase(int32_t dt) {
  Erasing = 0;
  bool finished = false;
  const bool dark = (Frames & 1) != 0;  // the blinking cells show on even frames
  for (int32_t r = 0; r < kWellRows; ++r) {
    for (int32_t c = 0; c < kFieldCols; ++c) {
      if (!(Flags[r][c] & cfErasing)) continue;
      if (dark)
        Flags[r][c] |= cfHidden;
      else
        Flags[r][c] &= static_cast<uint16_t>(~cfHidden);
      EraseTimers[r][c] -= dt;
      if (EraseTimers[r][c] < 0) {
        EraseTimers[r][c] = 0;
        finished = true;
      } else {
        Erasing = 1;
      }
    }
  }
  if (!finished) return false;
  RemoveErased();
  if (IsEndless()) LevelCountdown -= 1;
  bool anyFall = false;
  for (const TFallRecord& f : Falls) anyFall = anyFall || f.Active;
  if (!anyFall && !Erasing) Chain = 0;
  PlaySound("星");
  if (Face) Face->SetExpression(0);
  return true;
}

void TGameMainMode::RemoveErased() {
  int32_t same = 0, seq = 0, removed = 0;
  int32_t lastCol = 0, lastRow = 0;
  const uint16_t cleared = cfErasing | cfSameRun | cfSeqRun | cfHidden | cfLocked;
  for (int32_t r = 0; r < kWellRows; ++r) {
    for (int32_t c = 0; c < kFieldCols; ++c) {
      if (!(Flags[r][c] & cfErasing) || EraseTimers[r][c] != 0) continue;
      if (Flags[r][c] & cfSameRun) ++same;
      if (Flags[r][c] & cfSeqRun) ++seq;
      Letters[r][c] = kEmpty;
      Flags[r][c] &= static_cast<uint16_t>(~cleared);
      Groups[r][c] = 0;
      StartFall(c, r - 1);
      ++removed;
      if (StarActors)
        StarActors->Spawn(static_cast<float>(BoardX + kCellSize * c),
                          static_cast<float>(BoardY + kCellSize * r), 0);
      lastCol = c;
      lastRow = r;
    }
  }
  ErasedBlocks += removed;
  int32_t points = ChainScore(same, seq);
  AddScore(points);
  if (IsEndless() && points > 0 && ScoreActors)
    ScoreActors->Spawn(static_cast<float>(BoardX + kCellSize * lastCol),
                       static_cast<float>(BoardY + kCellSize * lastRow), points);
}

int32_t TGameMainMode::ChainScore(int32_t same, int32_t seq) {
  if (Chain <= 0) return 0;
  const int32_t step = std::min(Chain, kMaxChain);
  int64_t stepScore = (int64_t{same} * (same - 2) + int64_t{seq} * seq) * 100;
  StepScore(step) = Saturate(stepScore);
  int64_t sum = 0;
  for (int32_t s = 1; s <= step; ++s) sum += StepScore(s);
  return Saturate(sum * step);
}

void TGameMainMode::AddScore(int32_t points) {
  if (points < 0) return;
  Score = Saturate(int64_t{Score} + points);
  RiseCountdown = Saturate(int64_t{RiseCountdown} + 200);
  if (Score > HiScore) HiScore = Score;
}

// ---------------------------------------------------------------------------------------
// Falls

bool TGameMainMode::StartFall(int32_t col, int32_t row) {
  if (col < 0 || col >= kFieldCols || row < 0 || row + 1 >= kFieldRows) return false;
  if (Letters[row][col] == kEmpty) return false;
  if (Letters[row + 1][col] != kEmpty || (Flags[row + 1][col] & (cfLocked | cfFalling)))
    return false;
  if (Flags[row][col] & (cfFalling | cfLocked | cfSwapping | cfErasing)) return false;
  int32_t top = row;
  while (top > 0 && Letters[top - 1][col] != kEmpty && !(Flags[top - 1][col] & cfLocked)) --top;
  StartFallGroup(col, top, row - top + 1);
  return true;
}

void TGameMainMode::StartFallGroup(int32_t col, int32_t top, int32_t length) {
  Falling = true;
  TFallRecord* rec = nullptr;
  for (TFallRecord& f : Falls) {
    if (!f.Active) {
      rec = &f;
      break;
    }
  }
  if (!rec) return;  // all records in use: the next CheckAllFalls tries again
  rec->Active = true;
  rec->X = kCellSize * col;
  rec->Y = static_cast<float>(kCellSize * top);
  rec->Length = length;
  rec->Speed = 0;
  for (int32_t r = top; r <= top + length && r < kFieldRows; ++r) Flags[r][col] |= cfLocked;
  for (int32_t r = top; r < top + length && r < kFieldRows; ++r)
    Flags[r][col] |= cfFalling | cfHidden;
  SortFalls();
}

// Orders the records by Y, largest first, so the lowest group moves first. Inactive records
// take part with whatever values they hold.
void TGameMainMode::SortFalls() {
  static constexpr int32_t kGaps[] = {9, 4, 2, 1};
  for (int32_t gap : kGaps) {
    for (int32_t i = gap; i < kFallRecords; ++i) {
      TFallRecord held = Falls[i];
      int32_t j = i;
      while (j >= gap && Falls[j - gap].Y < held.Y) {
        Falls[j] = Falls[j - gap];
        j -= gap;
      }
      Falls[j] = held;
    }
  }
}

void TGameMainMode::CheckAllFalls() {
  for (int32_t r = 0; r < kWellRows; ++r)
    for (int32_t c = 0; c < kFieldCols; ++c) StartFall(c, r);
}

bool TGameMainMode::TickFalls(int32_t dt) {
  if (!Falling) return false;
  int32_t count = 0;
  for (TFallRecord& f : Falls) {
    if (!f.Active) continue;
    MoveFall(f, dt);
    ++count;
  }
  if (count > 0) return true;

  // The tick after the last group landed.
  Falling = false;
  if (Chain == 0) {
    CheckMatches();
  } else if (CheckMatches()) {
    if (Chain < kMaxChain) ++Chain;  // the step score table ends at the last step
    if (Face) {
      Face->SetBalloon(std::to_string(Chain) + kChainText);
      Face->SetExpression(2);
    }
  } else {
    Chain = Erasing ? 1 : 0;
  }
  return false;
}

int32_t TGameMainMode::FallTopRow(const TFallRecord& rec) const {
  float y = static_cast<float>(static_cast<int32_t>(rec.Y)) + Scroll;
  return static_cast<int32_t>(y / kCellSize);
}

void TGameMainMode::MoveFall(TFallRecord& rec, int32_t dt) {
  rec.Y = static_cast<float>(rec.Y + 0.001 * rec.Speed * dt);
  rec.Speed = static_cast<float>(rec.Speed + 1.2 * dt);
  if (rec.Speed > 750.0f) rec.Speed = 750.0f;
  const int32_t col = rec.X / kCellSize;
  const int32_t top = FallTopRow(rec);
  const int32_t bottom = top + rec.Length - 1;
  if (col < 0 || col >= kFieldCols || top < 0 || bottom >= kFieldRows) {
    // Outside what a fall can reach (only a field set up by hand gets here): stop the group.
    LandFall(rec);
    return;
  }
  if (Letters[bottom][col] != kEmpty) return;  // not yet in a new row
  if (top < 1) {
    LandFall(rec);
    return;
  }
  ShiftColumnDown(col, top - 1, bottom);
  const int32_t below = bottom + 1;
  if (below < kFieldRows && Letters[below][col] == kEmpty && !(Flags[below][col] & cfSwapping)) {
    Flags[below][col] |= cfLocked;  // reserved for the group
    return;
  }
  if (below < kFieldRows && (Flags[below][col] & cfFalling)) {
    rec.Speed = 0;  // resting on the top of another falling group
    return;
  }
  LandFall(rec);
  PlaySound("落下");
}

void TGameMainMode::ShiftColumnDown(int32_t col, int32_t top, int32_t bottom) {
  for (int32_t r = bottom; r > top; --r) {
    Letters[r][col] = Letters[r - 1][col];
    Flags[r][col] = Flags[r - 1][col];
  }
  Letters[top][col] = kEmpty;
  Flags[top][col] = 0;
  // A group that was waiting on top of this one will enter the cell just left: keep it
  // reserved, or a swap could move a block into the gap under the waiting group (which
  // would then shift the wrong cells and leave its own blocks hidden and locked for good).
  if (top > 0 && (Flags[top - 1][col] & cfFalling)) Flags[top][col] = cfLocked;
}

void TGameMainMode::LandFall(TFallRecord& rec) {
  rec.Active = false;
  const int32_t col = rec.X / kCellSize;
  if (col < 0 || col >= kFieldCols) return;
  const int32_t top = FallTopRow(rec);
  const uint16_t cleared = cfHidden | cfLocked | cfFalling;
  for (int32_t r = std::max(top, 0); r < top + rec.Length && r < kFieldRows; ++r)
    Flags[r][col] &= static_cast<uint16_t>(~cleared);
}

// ---------------------------------------------------------------------------------------
// Push-up

void TGameMainMode::StartPushUp() {
  if (PushTimer == 0) PushTimer = kPushTime;
}

bool TGameMainMode::TickPushUp(int32_t dt) {
  if (PushTimer == 0) return false;
  Scroll = static_cast<float>(Scroll + 0.05 * dt);
  PushTimer -= dt;
  if (PushTimer > 0) return true;
  PushTimer = 0;  // 640 ms is a whole number of ticks at both frame intervals
  if (CheckTopRow()) {
    GameOver();
    return false;
  }
  for (int32_t r = 0; r < kWellRows; ++r) {
    for (int32_t c = 0; c < kFieldCols; ++c) {
      Letters[r][c] = Letters[r + 1][c];
      Flags[r][c] = Flags[r + 1][c];
      Groups[r][c] = Groups[r + 1][c];
      EraseTimers[r][c] = EraseTimers[r + 1][c];
    }
  }
  for (int32_t c = 0; c < kFieldCols; ++c) {
    Letters[kWellRows][c] = static_cast<int16_t>(LetterCount > 0 ? vexa::Random(LetterCount) : 0);
    Flags[kWellRows][c] = 0;
    Groups[kWellRows][c] = 0;
    EraseTimers[kWellRows][c] = 0;
  }
  RepairNewRow();
  Scroll = 0;

  if (SwapTimer > 0) {
    // The swap follows its cells. A swap in row 0 (two empty cells: a letter there would
    // have ended the game) has just left the field: it ends at once.
    SwapA.Row -= 1;
    SwapB.Row -= 1;
    if (SwapA.Row < 0 || SwapB.Row < 0) {
      const uint16_t swapFlags = cfLocked | cfHidden | cfSwapping;
      for (TSwapCell* s : {&SwapA, &SwapB})
        if (s->Row >= 0) Flags[s->Row][s->Col] &= static_cast<uint16_t>(~swapFlags);
      SwapTimer = 0;
    }
  }

  if (CursorRow > 0) CursorRow -= 1;
  if (PartnerRow > 0) PartnerRow -= 1;
  if (CursorRow == PartnerRow && CursorCol == PartnerCol) CursorRow += 1;
  CheckMatches();
  return false;
}

bool TGameMainMode::CheckTopRow() {
  for (int32_t c = 0; c < kFieldCols; ++c)
    if (Letters[0][c] != kEmpty) return true;
  return false;
}

int32_t TGameMainMode::SmallestFreeLetter(const int32_t* excluded, int32_t count) const {
  for (int32_t k = 0; k < LetterCount; ++k) {
    bool free = true;
    for (int32_t i = 0; i < count && free; ++i) free = excluded[i] != k;
    if (free) return k;
  }
  return LetterCount;
}

// The new row may hold no two equal or ascending neighbours: a letter equal to its left
// neighbour or one above it, or to its right neighbour or one below it, is replaced.
void TGameMainMode::RepairNewRow() {
  int16_t* row = Letters[kWellRows];
  for (int32_t c = 0; c < kFieldCols; ++c) {
    int32_t excluded[4];
    int32_t n = 0;
    if (c > 0) {
      excluded[n++] = row[c - 1];
      excluded[n++] = row[c - 1] + 1;
    }
    if (c < kFieldCols - 1) {
      excluded[n++] = row[c + 1];
      excluded[n++] = row[c + 1] - 1;
    }
    if (std::find(excluded, excluded + n, int32_t{row[c]}) != excluded + n)
      row[c] = static_cast<int16_t>(SmallestFreeLetter(excluded, n));
  }
}

// ---------------------------------------------------------------------------------------
// A new game

void TGameMainMode::FillEndless(int32_t rows) {
  rows = std::clamp(rows, 0, kWellRows);
  for (int32_t r = kWellRows - rows; r < kFieldRows; ++r)
    for (int32_t c = 0; c < kFieldCols; ++c)
      Letters[r][c] = static_cast<int16_t>(LetterCount > 0 ? vexa::Random(LetterCount) : 0);
  // Not started yet: runs are only flagged. Each flagged cell gets a letter that matches
  // none of its neighbours, in one pass (earlier cells are already repaired).
  if (!CheckMatches()) return;
  for (int32_t r = 0; r < kFieldRows; ++r) {
    for (int32_t c = 0; c < kFieldCols; ++c) {
      if (!(Flags[r][c] & cfErasing)) continue;
      Flags[r][c] = 0;
      int32_t excluded[8];
      int32_t n = 0;
      if (r > 0) {
        excluded[n++] = Letters[r - 1][c];
        excluded[n++] = Letters[r - 1][c] + 1;
      }
      if (r < kWellRows - 1) {
        excluded[n++] = Letters[r + 1][c];
        excluded[n++] = Letters[r + 1][c] - 1;
      }
      if (c > 0) {
        excluded[n++] = Letters[r][c - 1];
        excluded[n++] = Letters[r][c - 1] + 1;
      }
      if (c < kFieldCols - 1) {
        excluded[n++] = Letters[r][c + 1];
        excluded[n++] = Letters[r][c + 1] - 1;
      }
      Letters[r][c] = static_cast<int16_t>(SmallestFreeLetter(excluded, n));
    }
  }
}

void TGameMainMode::InitGame() {
  const int32_t d = std::min<int32_t>(Difficulty, 2);
  LetterCount = kStartLetters[d];
  MaxLetters = kMaxLetters[d];
  const int32_t rows = kStartRows[d];

  for (int32_t r = 0; r < kFieldRows; ++r) {
    for (int32_t c = 0; c < kFieldCols; ++c) {
      Letters[r][c] = kEmpty;
      Flags[r][c] = 0;
      Groups[r][c] = 0;
      EraseTimers[r][c] = 0;
    }
  }
  if (IsEndless())
    FillEndless(rows);
  else
    LoadStage();
  for (TFallRecord& f : Falls) f = TFallRecord();

  Score = 0;
  AddScore(0);
  ErasedBlocks = 0;
  HiScore = GameData ? GameData->Ranking[0].Score : 0;
  LevelCount = 0;
  UpdateRiseInterval();
  LevelCountdown = 10;
  RiseCountdown = RiseInterval;
  Chain = 0;

  BoardX = 160;
  BoardY = 32;
  Scroll = 0;
  RiseCountdown = RiseInterval;
  CursorCol = 2;
  CursorRow = 5;
  PartnerCol = 3;
  PartnerRow = 5;

  SwapTimer = 0;
  Erasing = 0;
  Falling = false;
  PushTimer = 0;
  IsOver = false;
  Paused = false;
  PauseCursor = 0;
  RetireConfirm = false;
  RetireCursor = 0;
  Cleared = false;
  ClearTimer = 0;
}
