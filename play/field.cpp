// The playing field's rules: swaps, runs and erase groups, falls and chains, the push-up and
// the filling of a new well.
#include "play/field.h"

#include <algorithm>
#include <climits>
#include <cstdint>

#include "engine/kernel.h"
#include "engine/random.h"

namespace {

// A cell with one of these flags neither continues a run nor lets the next cell continue it.
constexpr uint16_t kRunBlockers = cfFalling | cfSwapping;

int32_t Saturate(int64_t v) {
  if (v > INT32_MAX) return INT32_MAX;
  if (v < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(v);
}

}  // namespace

// ---------------------------------------------------------------------------------------
// A new well, the buttons and the tick

void TField::Reset() {
  for (int32_t r = 0; r < kFieldRows; ++r) {
    for (int32_t c = 0; c < kFieldCols; ++c) {
      Letters[r][c] = kEmpty;
      Flags[r][c] = 0;
      Groups[r][c] = 0;
      EraseTimers[r][c] = 0;
    }
  }
  for (TFallRecord& f : Falls) f = TFallRecord();
  Chain = 0;
  Scroll = 0;
  CursorCol = 2;
  CursorRow = 5;
  PartnerCol = 3;
  PartnerRow = 5;
  SwapTimer = 0;
  Erasing = 0;
  Falling = false;
  PushTimer = 0;
}

bool TField::Control(uint16_t pushed, uint16_t repeat) {
  // A held direction moves the cursor one cell within the well; the cell it left becomes
  // its partner.
  auto move = [this](bool held, int32_t dCol, int32_t dRow) {
    if (!held) return;
    const int32_t col = CursorCol + dCol, row = CursorRow + dRow;
    if (col < 0 || col >= kFieldCols || row < 0 || row >= kWellRows) return;
    PartnerCol = CursorCol;
    PartnerRow = CursorRow;
    CursorCol = col;
    CursorRow = row;
  };
  move(repeat & btUp, 0, -1);
  move(repeat & btDown, 0, 1);
  move(repeat & btLeft, -1, 0);
  move(repeat & btRight, 1, 0);
  if ((pushed & btA) && SwapTimer == 0) SwapCells(CursorCol, CursorRow, PartnerCol, PartnerRow);
  if ((pushed & btB) && Raisable) {
    StartPushUp();
    return true;
  }
  return false;
}

void TField::Tick(int32_t dt) {
  CheckAllFalls();
  TickPushUp(dt);
  TickFalls(dt);
  TickSwap(dt);
  if (TickErase(dt) && Events && Height() == 0) Events->WellEmptied();
  Frames += 1;
}

bool TField::AtRest() const {
  constexpr uint16_t kBusy = cfLocked | cfErasing | cfFalling | cfSwapping;
  if (SwapTimer != 0 || PushTimer != 0 || Falling) return false;
  for (int32_t r = 0; r < kWellRows; ++r)
    for (int32_t c = 0; c < kFieldCols; ++c)
      if (Flags[r][c] & kBusy) return false;
  return true;
}

int32_t TField::Height() const {
  for (int32_t r = 0; r < kWellRows; ++r)
    for (int32_t c = 0; c < kFieldCols; ++c)
      if (Letters[r][c] != kEmpty) return kWellRows - r;
  return 0;
}

// ---------------------------------------------------------------------------------------
// Runs

bool TField::CheckMatches() {
  bool same = FindSameRuns();
  bool seq = FindSequenceRuns();
  bool found = same || seq;
  if (found && Chain == 0) Chain = 1;
  return found;
}

bool TField::FindRuns(int32_t kind) {
  bool found = false;
  for (int32_t row = 0; row < kWellRows; ++row) found |= ScanLine(0, row, 1, 0, kFieldCols, kind);
  for (int32_t col = 0; col < kFieldCols; ++col) found |= ScanLine(col, 0, 0, 1, kWellRows, kind);
  return found;
}

// A cell continues the run when it holds the letter before it (equal runs) or the one above
// it (ascending runs) and neither it nor the cell before it is blocked. A run is marked when
// it ends with three cells or more.
bool TField::ScanLine(int32_t col, int32_t row, int32_t dCol, int32_t dRow, int32_t count,
                      int32_t kind) {
  const int32_t rise = kind == rkSame ? 0 : 1;
  bool found = false;
  int32_t start = 0, length = 0, prev = -1;
  uint16_t prevFlags = kRunBlockers;  // before the first cell the run counts as blocked
  for (int32_t i = 0, c = col, r = row; i < count; ++i, c += dCol, r += dRow) {
    const int32_t l = Letters[r][c];
    const uint16_t f = Flags[r][c];
    const bool continues =
        l != kEmpty && prev >= 0 && l == prev + rise && !((f | prevFlags) & kRunBlockers);
    prev = l;
    prevFlags = f;
    if (continues) {
      ++length;
      continue;
    }
    if (length >= 3)
      found |= MarkRun(col + dCol * start, row + dRow * start, dCol, dRow, length, kind);
    start = i;
    length = 1;
  }
  if (length >= 3)
    found |= MarkRun(col + dCol * start, row + dRow * start, dCol, dRow, length, kind);
  return found;
}

bool TField::MarkRun(int32_t col, int32_t row, int32_t dCol, int32_t dRow, int32_t length,
                     int32_t kind) {
  const int32_t lastCol = col + dCol * (length - 1), lastRow = row + dRow * (length - 1);
  bool allErasing = true;
  for (int32_t i = 0, c = col, r = row; i < length; ++i, c += dCol, r += dRow)
    if (!(Flags[r][c] & cfErasing)) allErasing = false;
  if (allErasing) return false;

  // The group of the last grouped cell takes in the others.
  int32_t g = 0;
  for (int32_t i = 0, c = lastCol, r = lastRow; i < length && g == 0; ++i, c -= dCol, r -= dRow)
    g = Groups[r][c];
  if (g == 0) {
    g = NewGroupId();
  } else {
    for (int32_t i = 0, c = col, r = row; i < length; ++i, c += dCol, r += dRow)
      MergeGroup(Groups[r][c], g);
  }
  if (Events) Events->RunFound(kind, col, row, dCol, dRow, length);
  const uint16_t runFlag = kind == rkSame ? cfSameRun : cfSeqRun;
  for (int32_t i = 0, c = col, r = row; i < length; ++i, c += dCol, r += dRow) {
    Flags[r][c] |= cfErasing | cfLocked | runFlag;
    Groups[r][c] = static_cast<uint16_t>(g);
    StartGroupErase(g);
  }
  return true;
}

int32_t TField::NewGroupId() {
  if (!Started) return 0;
  uint64_t used = 0;
  for (int32_t r = 0; r < kWellRows; ++r)
    for (int32_t c = 0; c < kFieldCols; ++c)
      if (Groups[r][c] <= kMaxGroupId) used |= uint64_t{1} << Groups[r][c];
  for (int32_t g = 1; g <= kMaxGroupId; ++g)
    if (!(used & (uint64_t{1} << g))) return g;
  return 0;
}

void TField::MergeGroup(int32_t from, int32_t to) {
  if (from == to || from == 0 || to == 0) return;
  for (int32_t r = 0; r < kWellRows; ++r)
    for (int32_t c = 0; c < kFieldCols; ++c)
      if (Groups[r][c] == from) Groups[r][c] = static_cast<uint16_t>(to);
}

void TField::StartGroupErase(int32_t group) {
  if (group == 0) return;
  for (int32_t r = 0; r < kWellRows; ++r)
    for (int32_t c = 0; c < kFieldCols; ++c)
      if (Groups[r][c] == group) StartCellErase(c, r);
}

void TField::StartCellErase(int32_t col, int32_t row) {
  if (!Started) return;
  EraseTimers[row][col] = kEraseTime;
  if (Events) Events->EraseStarted(col, row);
}

// ---------------------------------------------------------------------------------------
// Swap

void TField::SwapCells(int32_t colA, int32_t rowA, int32_t colB, int32_t rowB) {
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
  if (Events) Events->SwapStarted(colA, rowA, colB, rowB);
}

bool TField::TickSwap(int32_t dt) {
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

bool TField::TickErase(int32_t dt) {
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
  bool anyFall = false;
  for (const TFallRecord& f : Falls) anyFall = anyFall || f.Active;
  if (!anyFall && !Erasing) Chain = 0;
  if (Events) Events->EraseEnded();
  return true;
}

void TField::RemoveErased() {
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
      if (Events) Events->BlockErased(c, r);
      lastCol = c;
      lastRow = r;
    }
  }
  const int32_t points = ChainScore(same, seq);
  if (Events) Events->BlocksErased(removed, points, lastCol, lastRow);
}

int32_t TField::ChainScore(int32_t same, int32_t seq) {
  if (Chain <= 0) return 0;
  const int32_t step = std::min(Chain, kMaxChain);
  int64_t stepScore = (int64_t{same} * (same - 2) + int64_t{seq} * seq) * 100;
  StepScore(step) = Saturate(stepScore);
  int64_t sum = 0;
  for (int32_t s = 1; s <= step; ++s) sum += StepScore(s);
  return Saturate(sum * step);
}


// ---------------------------------------------------------------------------------------
// Falls

bool TField::StartFall(int32_t col, int32_t row) {
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

void TField::StartFallGroup(int32_t col, int32_t top, int32_t length) {
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
void TField::SortFalls() {
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

void TField::CheckAllFalls() {
  // Only a block over an empty cell can start a fall: the others are not asked (the same
  // falls, found faster; the puzzle solver runs this tick millions of times).
  for (int32_t r = 0; r < kWellRows; ++r)
    for (int32_t c = 0; c < kFieldCols; ++c)
      if (Letters[r][c] != kEmpty && Letters[r + 1][c] == kEmpty) StartFall(c, r);
}

bool TField::TickFalls(int32_t dt) {
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
    if (Events) Events->ChainGrew(Chain);
  } else {
    Chain = Erasing ? 1 : 0;
  }
  return false;
}

int32_t TField::FallTopRow(const TFallRecord& rec) const {
  float y = static_cast<float>(static_cast<int32_t>(rec.Y)) + Scroll;
  return static_cast<int32_t>(y / kCellSize);
}

void TField::MoveFall(TFallRecord& rec, int32_t dt) {
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
  if (Events) Events->BlocksLanded();
}

void TField::ShiftColumnDown(int32_t col, int32_t top, int32_t bottom) {
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

void TField::LandFall(TFallRecord& rec) {
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

void TField::StartPushUp() {
  if (PushTimer == 0) PushTimer = kPushTime;
}

bool TField::TickPushUp(int32_t dt) {
  if (PushTimer == 0) return false;
  Scroll = static_cast<float>(Scroll + 0.05 * dt);
  PushTimer -= dt;
  if (PushTimer > 0) return true;
  PushTimer = 0;  // 640 ms is a whole number of ticks at both frame intervals
  if (CheckTopRow()) {
    if (Events) Events->StackOverflowed();
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
    // have overflowed the stack) has just left the field: it ends at once.
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
  if (Events) Events->RowPushedUp();
  CheckMatches();
  return false;
}

bool TField::CheckTopRow() {
  for (int32_t c = 0; c < kFieldCols; ++c)
    if (Letters[0][c] != kEmpty) return true;
  return false;
}

int32_t TField::SmallestFreeLetter(const int32_t* excluded, int32_t count) const {
  for (int32_t k = 0; k < LetterCount; ++k) {
    bool free = true;
    for (int32_t i = 0; i < count && free; ++i) free = excluded[i] != k;
    if (free) return k;
  }
  return LetterCount;
}

// The new row may hold no two equal or ascending neighbours: a letter equal to its left
// neighbour or one above it, or to its right neighbour or one below it, is replaced.
void TField::RepairNewRow() {
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
// A new well

void TField::Fill(int32_t rows) {
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
