// The cursor and the swap of a well.
#include "tests/play/field_fixture.h"

namespace {

using namespace field_test;

constexpr uint16_t kSwapFlags = cfHidden | cfLocked | cfSwapping;

void PutCursor(TField& f, int col, int row, int partnerCol, int partnerRow) {
  f.CursorCol = col;
  f.CursorRow = row;
  f.PartnerCol = partnerCol;
  f.PartnerRow = partnerRow;
}

// The cursor and its partner as "col,row col,row".
std::string Cursor(const TField& f) {
  return TRecorder::Cell(f.CursorCol, f.CursorRow) + " " +
         TRecorder::Cell(f.PartnerCol, f.PartnerRow);
}

TEST(FieldSwap, CursorMovesRememberWhereItCameFromAndStopAtTheEdges) {
  TField f = Well({});
  EXPECT_EQ("2,5 3,5", Cursor(f));
  f.Step(20, 0, btUp);
  EXPECT_EQ("2,4 2,5", Cursor(f));
  // Up and left in the same tick: both moves, the partner is the cell between.
  f.Step(20, 0, btUp | btLeft);
  EXPECT_EQ("1,3 2,3", Cursor(f));
  // Against the edge nothing changes, the partner included.
  PutCursor(f, 0, 0, 1, 0);
  f.Step(20, 0, btUp | btLeft);
  EXPECT_EQ("0,0 1,0", Cursor(f));
  PutCursor(f, 5, 9, 5, 8);
  f.Step(20, 0, btDown | btRight);
  EXPECT_EQ("5,9 5,8", Cursor(f));
}

TEST(FieldSwap, WhichPairsMaySwap) {
  TRecorder events;
  TField f = Well({"A.....", "BC...."}, "DEFDEF");
  f.Events = &events;
  f.SwapCells(1, 8, 1, 9);  // empty over C: refused without a word
  EXPECT_EQ(0, f.SwapTimer);
  EXPECT_EQ("BC....", Row(f, 9));
  EXPECT_EQ(0, f.Flags[8][1]);
  EXPECT_EQ(0, f.Flags[9][1]);
  EXPECT_TRUE(events.Log.empty());

  f.SwapCells(0, 8, 0, 9);  // two blocks one above the other exchange
  EXPECT_EQ("B.....", Row(f, 8));
  EXPECT_EQ("AC....", Row(f, 9));
  EXPECT_EQ(kSwapFlags, f.Flags[8][0]);
  EXPECT_EQ(kSwapFlags, f.Flags[9][0]);
  EXPECT_EQ(0, f.SwapA.Letter);  // the letters held before the swap
  EXPECT_EQ(1, f.SwapB.Letter);
  EXPECT_EQ(std::vector<std::string>{"swap 0,8 0,9"}, events.Log);

  TField empty = Well({"A....."});
  empty.SwapCells(3, 9, 4, 9);  // two empty cells side by side may swap
  EXPECT_EQ(kSwapTime, empty.SwapTimer);

  TField locked = Well({"ACEG..", "BDFH.."});
  locked.Flags[9][1] |= cfLocked;
  locked.SwapCells(0, 9, 1, 9);
  EXPECT_EQ(0, locked.SwapTimer);
  EXPECT_EQ("BDFH..", Row(locked, 9));
}

TEST(FieldSwap, TheButtonSwapsTheCursorPairAndWaitsForTheSwapToEnd) {
  TRecorder events;
  TField f = Well({"ACEG..", "BDFH.."});
  f.Events = &events;
  PutCursor(f, 2, 8, 3, 8);
  f.Step(20, btA, 0);
  EXPECT_EQ("ACGE..", Row(f, 8));
  EXPECT_EQ(140, f.SwapTimer);
  f.Step(20, btA, 0);  // mid-swap: nothing
  EXPECT_EQ("ACGE..", Row(f, 8));
  EXPECT_EQ(1, events.Count("swap 2,8 3,8"));
}

TEST(FieldSwap, SwapIntoAGapLocksBothCellsFor160msThenTheBlockFalls) {
  TRecorder events;
  TField f = Well({"...A..", "BC.DFH"});
  f.Events = &events;
  f.SwapCells(2, 8, 3, 8);  // the empty cell with A
  EXPECT_EQ("..A...", Row(f, 8));
  EXPECT_EQ(kSwapTime, f.SwapTimer);
  EXPECT_EQ(kSwapFlags, f.Flags[8][2]);
  EXPECT_EQ(kSwapFlags, f.Flags[8][3]);

  Steps(f, 7);
  EXPECT_EQ(20, f.SwapTimer);
  EXPECT_EQ(kSwapFlags, f.Flags[8][2]);  // locked cells do not start a fall
  EXPECT_EQ(0, ActiveFalls(f));

  f.Step(20, 0, 0);  // the swap ends: the moved block starts to fall at once
  EXPECT_EQ(0, f.SwapTimer);
  EXPECT_EQ(0, f.Flags[8][3]);
  EXPECT_EQ(cfFalling | cfHidden | cfLocked, f.Flags[8][2]);
  EXPECT_EQ(cfLocked, f.Flags[9][2]);
  EXPECT_EQ(1, ActiveFalls(f));

  Settle(f);
  EXPECT_EQ("......", Row(f, 8));
  EXPECT_EQ("BCADFH", Row(f, 9));
  EXPECT_EQ(0, f.Flags[9][2]);
  EXPECT_EQ((std::vector<std::string>{"swap 2,8 3,8", "landed"}), events.Log);
}

}  // namespace
