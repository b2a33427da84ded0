#pragma once
// Shared set-up of the well's tests: a well built from rows of letters, a listener that
// records what the well tells, and a few readings of its state.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/kernel.h"
#include "play/field.h"

namespace field_test {

// Every event of a well, in order, as short texts; the cells an erase started on and the
// blocks taken are counted only.
class TRecorder : public TFieldEvents {
 public:
  void SwapStarted(int32_t colA, int32_t rowA, int32_t colB, int32_t rowB) override {
    Log.push_back("swap " + Cell(colA, rowA) + " " + Cell(colB, rowB));
  }
  void RunFound(int32_t kind, int32_t col, int32_t row, int32_t dCol, int32_t /*dRow*/,
                int32_t length) override {
    Log.push_back(std::string(kind == rkSame ? "same " : "seq ") + Cell(col, row) +
                  (dCol ? " across " : " down ") + std::to_string(length));
  }
  void EraseStarted(int32_t, int32_t) override { ++EraseStarts; }
  void BlockErased(int32_t, int32_t) override { ++Erased; }
  void BlocksErased(int32_t blocks, int32_t points, int32_t lastCol, int32_t lastRow) override {
    Log.push_back("erased " + std::to_string(blocks) + " for " + std::to_string(points) +
                  " last " + Cell(lastCol, lastRow));
  }
  void EraseEnded() override { Log.push_back("erase ended"); }
  void BlocksLanded() override { Log.push_back("landed"); }
  void ChainGrew(int32_t chain) override { Log.push_back("chain " + std::to_string(chain)); }
  void RowPushedUp() override { Log.push_back("pushed up"); }
  void StackOverflowed() override { Log.push_back("overflow"); }
  void WellEmptied() override { Log.push_back("emptied"); }

  int Count(const std::string& entry) const {
    return static_cast<int>(std::count(Log.begin(), Log.end(), entry));
  }
  static std::string Cell(int32_t col, int32_t row) {
    return std::to_string(col) + "," + std::to_string(row);
  }

  std::vector<std::string> Log;
  int EraseStarts = 0;
  int Erased = 0;
};

// Puts the rows into the well (top to bottom, the last one is row 9; '.' is an empty
// cell) and `next` into the row below it, with nothing in motion: no flags, groups,
// blinking, falls, chain, swap or push-up, the cursor on (2, 5).
inline void SetWell(TField& f, std::vector<std::string> rows, const std::string& next = "ZZZZZZ") {
  f.Reset();
  while (rows.size() < kWellRows) rows.insert(rows.begin(), "......");
  rows.push_back(next);
  for (int r = 0; r < kFieldRows; ++r)
    for (int c = 0; c < kFieldCols; ++c)
      f.Letters[r][c] = static_cast<int16_t>(rows[r][c] == '.' ? kEmpty : rows[r][c] - 'A');
}

// A started well (groups and blinking as in play) with letters A..E for new rows.
inline TField Well(const std::vector<std::string>& rows, const std::string& next = "ZZZZZZ") {
  TField f;
  f.Started = true;
  f.LetterCount = 5;
  SetWell(f, rows, next);
  return f;
}

// Row r as text ('.' empty).
inline std::string Row(const TField& f, int r) {
  std::string s;
  for (int c = 0; c < kFieldCols; ++c)
    s += f.Letters[r][c] == kEmpty ? '.' : static_cast<char>('A' + f.Letters[r][c]);
  return s;
}

inline int ActiveFalls(const TField& f) {
  return static_cast<int>(std::count_if(std::begin(f.Falls), std::end(f.Falls),
                                        [](const TFallRecord& r) { return r.Active; }));
}

inline int CellsWith(const TField& f, uint16_t flag) {
  int n = 0;
  for (int r = 0; r < kFieldRows; ++r)
    for (int c = 0; c < kFieldCols; ++c) n += (f.Flags[r][c] & flag) ? 1 : 0;
  return n;
}

// Ticks with no button until the well is at rest (at most `limit` ticks); the ticks run.
inline int Settle(TField& f, int dt = 20, int limit = 1000) {
  int ticks = 0;
  while (!f.AtRest() && ticks < limit) {
    f.Step(dt, 0, 0);
    ++ticks;
  }
  return ticks;
}

inline void Steps(TField& f, int n, int dt = 20) {
  for (int i = 0; i < n; ++i) f.Step(dt, 0, 0);
}

}  // namespace field_test
