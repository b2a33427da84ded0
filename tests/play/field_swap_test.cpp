// Cursor and swap rules of the field.
#include "tests/play/play_fixture.h"

namespace {

constexpr uint16_t kSwapFlags = cfHidden | cfLocked | cfSwapping;

class SwapTest : public PlayTest {};

TEST_F(SwapTest, CursorMovesRememberWhereItCameFromAndStopAtTheEdges) {
  TGameMainMode& g = Start();
  EXPECT_EQ(2, g.Field.CursorCol);
  EXPECT_EQ(5, g.Field.CursorRow);
  EXPECT_EQ(3, g.Field.PartnerCol);
  EXPECT_EQ(5, g.Field.PartnerRow);

  Tick(20, 0, btUp);
  EXPECT_EQ(4, g.Field.CursorRow);
  EXPECT_EQ(2, g.Field.PartnerCol);
  EXPECT_EQ(5, g.Field.PartnerRow);

  // Up and left in the same tick: both moves, the partner is the cell between.
  Tick(20, 0, btUp | btLeft);
  EXPECT_EQ(1, g.Field.CursorCol);
  EXPECT_EQ(3, g.Field.CursorRow);
  EXPECT_EQ(2, g.Field.PartnerCol);
  EXPECT_EQ(3, g.Field.PartnerRow);

  // Against the edge nothing changes, the partner included.
  g.Field.CursorCol = 0;
  g.Field.CursorRow = 0;
  g.Field.PartnerCol = 1;
  g.Field.PartnerRow = 0;
  Tick(20, 0, btUp | btLeft);
  EXPECT_EQ(0, g.Field.CursorCol);
  EXPECT_EQ(0, g.Field.CursorRow);
  EXPECT_EQ(1, g.Field.PartnerCol);
  EXPECT_EQ(0, g.Field.PartnerRow);

  g.Field.CursorCol = 5;
  g.Field.CursorRow = 9;
  g.Field.PartnerCol = 5;
  g.Field.PartnerRow = 8;
  Tick(20, 0, btDown | btRight);
  EXPECT_EQ(5, g.Field.CursorCol);
  EXPECT_EQ(9, g.Field.CursorRow);
  EXPECT_EQ(5, g.Field.PartnerCol);
  EXPECT_EQ(8, g.Field.PartnerRow);
}

TEST_F(SwapTest, VerticalSwapWithAnEmptyCellIsRefusedSilently) {
  TRecordingGameMain& g = Start();
  SetWell({"A.....", "BC...."}, "DEFDEF");
  g.Field.SwapCells(1, 8, 1, 9);  // empty over C
  EXPECT_EQ(0, g.Field.SwapTimer);
  EXPECT_EQ("A.....", Row(8));
  EXPECT_EQ("BC....", Row(9));
  EXPECT_EQ(0, FlagsAt(1, 8));
  EXPECT_EQ(0, FlagsAt(1, 9));
  EXPECT_EQ(0, g.Count("入れ替え"));
}

TEST_F(SwapTest, VerticalSwapOfTwoBlocksExchangesThem) {
  TRecordingGameMain& g = Start();
  SetWell({"A.....", "BC...."}, "DEFDEF");
  g.Field.SwapCells(0, 8, 0, 9);
  EXPECT_EQ("B.....", Row(8));
  EXPECT_EQ("AC....", Row(9));
  EXPECT_EQ(kSwapFlags, FlagsAt(0, 8));
  EXPECT_EQ(kSwapFlags, FlagsAt(0, 9));
  EXPECT_EQ(0, g.Field.SwapA.Letter);  // A held A before the swap
  EXPECT_EQ(1, g.Field.SwapB.Letter);
  EXPECT_EQ(1, g.Count("入れ替え"));
}

TEST_F(SwapTest, SwapIntoAGapLocksBothCellsFor160msThenTheBlockFalls) {
  TRecordingGameMain& g = Start();
  SetWell({"...A..", "BC.DFH"}, "ZZZZZZ");
  g.Field.SwapCells(2, 8, 3, 8);  // the empty cell (cursor) with A (partner)
  EXPECT_EQ("..A...", Row(8));
  EXPECT_EQ(160, g.Field.SwapTimer);
  EXPECT_EQ(kSwapFlags, FlagsAt(2, 8));
  EXPECT_EQ(kSwapFlags, FlagsAt(3, 8));
  EXPECT_EQ(1, g.Count("入れ替え"));

  Ticks(7);
  EXPECT_EQ(20, g.Field.SwapTimer);
  EXPECT_EQ(kSwapFlags, FlagsAt(2, 8));  // locked cells do not start a fall
  EXPECT_EQ(0, ActiveFalls());

  Tick();  // the swap ends: the moved block starts to fall at once
  EXPECT_EQ(0, g.Field.SwapTimer);
  EXPECT_EQ(0, FlagsAt(3, 8));
  EXPECT_EQ(cfFalling | cfHidden | cfLocked, FlagsAt(2, 8));
  EXPECT_EQ(cfLocked, FlagsAt(2, 9));
  EXPECT_EQ(1, ActiveFalls());

  for (int i = 0; i < 30 && ActiveFalls() > 0; ++i) Tick();
  EXPECT_EQ("......", Row(8));
  EXPECT_EQ("BCADFH", Row(9));
  EXPECT_EQ(0, FlagsAt(2, 9));
  EXPECT_EQ(1, g.Count("落下"));
}

TEST_F(SwapTest, TwoEmptyCellsMaySwap) {
  TRecordingGameMain& g = Start();
  SetWell({"A....."}, "ZZZZZZ");
  g.Field.SwapCells(3, 9, 4, 9);
  EXPECT_EQ(160, g.Field.SwapTimer);
  EXPECT_EQ(1, g.Count("入れ替え"));
}

TEST_F(SwapTest, LockedCellsRefuseAndTheButtonWaitsForTheSwapToEnd) {
  TRecordingGameMain& g = Start();
  SetWell({"ACEG..", "BDFH.."}, "ZZZZZZ");
  g.Field.Flags[9][1] |= cfLocked;
  g.Field.SwapCells(0, 9, 1, 9);
  EXPECT_EQ(0, g.Field.SwapTimer);
  EXPECT_EQ("BDFH..", Row(9));

  // Through Control: A pressed on the cursor pair swaps; pressed again mid-swap, nothing.
  g.Field.Flags[9][1] = 0;
  g.Field.CursorCol = 2;
  g.Field.CursorRow = 8;
  g.Field.PartnerCol = 3;
  g.Field.PartnerRow = 8;
  Tick(20, btA);
  EXPECT_EQ("ACGE..", Row(8));
  EXPECT_EQ(140, g.Field.SwapTimer);
  Tick(20, btA);
  EXPECT_EQ("ACGE..", Row(8));
  EXPECT_EQ(1, g.Count("入れ替え"));
}

}  // namespace
