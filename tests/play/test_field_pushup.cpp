// The push-up, the new row, the overflow, and the filling of a new well.
#include "engine/random.h"
#include "tests/play/field_fixture.h"

namespace {

using namespace field_test;

// True when no two neighbours of row r are equal or ascending (left to right).
bool RowIsCalm(const TField& f, int r) {
  for (int c = 0; c + 1 < kFieldCols; ++c) {
    const int a = f.Letters[r][c], b = f.Letters[r][c + 1];
    if (a == b || b == a + 1) return false;
  }
  return true;
}

TEST(FieldPushUp, TheWellRisesOneRowIn640msAtBothFrameIntervals) {
  for (int dt : {20, 40}) {
    TRecorder events;
    TField f = Well({"ACE...", "BDF..."}, "IKIKIK");
    f.Events = &events;
    f.StartPushUp();
    f.StartPushUp();  // a push-up in progress is not restarted
    EXPECT_EQ(kPushTime, f.PushTimer);
    const int ticks = kPushTime / dt;
    for (int i = 1; i < ticks; ++i) {
      f.Step(dt, 0, 0);
      EXPECT_FLOAT_EQ(0.05f * dt * i, f.Scroll);
    }
    EXPECT_EQ("ACE...", Row(f, 8));
    EXPECT_TRUE(events.Log.empty());
    f.Step(dt, 0, 0);
    EXPECT_EQ(0, f.PushTimer);
    EXPECT_FLOAT_EQ(0.0f, f.Scroll);
    EXPECT_EQ("ACE...", Row(f, 7));
    EXPECT_EQ("BDF...", Row(f, 8));
    EXPECT_EQ("IKIKIK", Row(f, 9));
    EXPECT_TRUE(RowIsCalm(f, kWellRows));
    EXPECT_EQ(std::vector<std::string>{"pushed up"}, events.Log);
  }
}

TEST(FieldPushUp, TheRaiseButtonPushesUpOnlyARaisableWell) {
  TField f = Well({"ACEACE"});
  TField fixed = f;
  fixed.Raisable = false;
  EXPECT_TRUE(f.Step(20, btB, 0));
  EXPECT_FALSE(fixed.Step(20, btB, 0));
  EXPECT_EQ(kPushTime - 20, f.PushTimer);
  EXPECT_EQ(0, fixed.PushTimer);
}

TEST(FieldPushUp, ABlockInRowZeroOverflowsTheStackWithoutShifting) {
  TRecorder events;
  TField f = Well({".....A", ".....C", ".....E", ".....G", ".....I", ".....K", ".....M",
                   ".....O", "B....Q", "C....S"},
                  "DEDEDE");
  f.Events = &events;
  f.StartPushUp();
  Steps(f, 31);
  EXPECT_TRUE(events.Log.empty());
  f.Step(20, 0, 0);
  EXPECT_EQ(".....A", Row(f, 0));
  EXPECT_EQ("B....Q", Row(f, 8));
  EXPECT_EQ("DEDEDE", Row(f, 10));
  EXPECT_EQ(std::vector<std::string>{"overflow"}, events.Log);
}

TEST(FieldPushUp, TheCursorRisesWithTheWellButNotOutOfIt) {
  struct {
    int Col, Row, PartnerCol, PartnerRow, RowAfter, PartnerRowAfter;
  } cases[] = {
      {3, 0, 3, 1, 1, 0},  // the partner comes up to the cursor: the cursor steps down
      {2, 0, 3, 0, 0, 0},
      {2, 6, 2, 5, 5, 4},
  };
  for (const auto& c : cases) {
    TField f = Well({"A.....", "B....."}, "DEDEDE");
    f.CursorCol = c.Col;
    f.CursorRow = c.Row;
    f.PartnerCol = c.PartnerCol;
    f.PartnerRow = c.PartnerRow;
    f.StartPushUp();
    Steps(f, 32);
    EXPECT_EQ(c.RowAfter, f.CursorRow);
    EXPECT_EQ(c.PartnerRowAfter, f.PartnerRow);
  }
}

TEST(FieldPushUp, ASwapFollowsItsCellsAndOneInRowZeroEndsAtOnce) {
  TField f = Well({"AC....", "BD...."}, "EGEGEG");
  f.StartPushUp();
  Steps(f, 30);
  f.SwapCells(0, 9, 1, 9);  // B D -> D B, mid-swap when the rise completes
  Steps(f, 2);               // the rise completes; the swap has 120 ms left
  EXPECT_EQ(120, f.SwapTimer);
  EXPECT_EQ(8, f.SwapA.Row);
  EXPECT_EQ(8, f.SwapB.Row);
  EXPECT_EQ(cfHidden | cfLocked | cfSwapping, f.Flags[8][0]);
  EXPECT_EQ("DB....", Row(f, 8));
  Steps(f, 6);
  EXPECT_EQ(0, f.SwapTimer);
  EXPECT_EQ(0, f.Flags[8][0]);
  EXPECT_EQ(0, f.Flags[8][1]);

  // Two empty cells swapped in row 0: the rise carries them out of the well.
  SetWell(f, {"AC....", "BD...."}, "EGEGEG");
  f.StartPushUp();
  Steps(f, 30);
  f.SwapCells(2, 0, 3, 0);
  Steps(f, 2);
  EXPECT_EQ(0, f.SwapTimer);
  EXPECT_EQ(0, CellsWith(f, cfSwapping));
}

TEST(FieldPushUp, RunsCompletedByTheRiseStartAtOnce) {
  TField f = Well({"A.....", "B....."}, "CEGEGE");
  f.StartPushUp();
  Steps(f, 32);
  EXPECT_EQ("CEGEGE", Row(f, 9));
  EXPECT_TRUE(f.Flags[7][0] & cfErasing);
  EXPECT_TRUE(f.Flags[9][0] & cfErasing);
  EXPECT_EQ(1, f.Chain);
}

TEST(FieldPushUp, AFallingGroupKeepsItsCellsThroughARiseAtAnyMoment) {
  for (int dt : {20, 40}) {
    for (int delay = 0; delay < 800 / dt; ++delay) {
      TField f = Well({"K.....", "M.....", "......", "......", "......", "......", "......",
                       "......", "C....."},
                      "DFDFDF");
      Steps(f, delay, dt);  // K M fall from rows 1 and 2 while ...
      f.StartPushUp();      // ... the well rises under them
      Settle(f, dt, 200);
      const std::string where = "dt " + std::to_string(dt) + " delay " + std::to_string(delay);
      ASSERT_FALSE(f.Falling) << where;
      ASSERT_EQ("K.....", Row(f, 6)) << where;
      ASSERT_EQ("M.....", Row(f, 7)) << where;
      ASSERT_EQ("C.....", Row(f, 8)) << where;
      ASSERT_EQ("DFDFDF", Row(f, 9)) << where;
      ASSERT_EQ(0, CellsWith(f, 0xFFFF)) << where;
    }
  }
}

TEST(FieldPushUp, NewRowsHoldNoEqualOrAscendingNeighbours) {
  auto repair = [](const char* row, int letters) {
    TField f = Well({});
    for (int c = 0; c < kFieldCols; ++c) f.Letters[kWellRows][c] = static_cast<int16_t>(row[c] - 'A');
    f.LetterCount = letters;
    f.RepairNewRow();
    return Row(f, kWellRows);
  };
  // Repaired from left to right with the smallest letter that fits.
  EXPECT_EQ("BDACAE", repair("AABCEE", 5));
  // With three letters every one may be excluded: the cell then gets the fourth letter.
  EXPECT_EQ("CACDAC", repair("ABCABC", 3));
  EXPECT_EQ("ACEGIK", repair("ACEGIK", 26));

  vexa::FixRandomSeed(11u);
  for (int i = 0; i < 300; ++i) {
    TField f = Well({}, "ACEGIK");
    f.LetterCount = 5 + i % 22;
    f.StartPushUp();
    Steps(f, 32);
    ASSERT_TRUE(RowIsCalm(f, kWellRows)) << Row(f, kWellRows);
    for (int c = 0; c < kFieldCols; ++c) ASSERT_LT(f.Letters[kWellRows][c], f.LetterCount);
  }
  vexa::UnfixRandomSeed();
}

TEST(FieldPushUp, ANewWellHoldsNoRunAndFillsTheBottomRowsAndTheNextRow) {
  const int letters[3] = {5, 13, 26}, rows[3] = {4, 5, 7};
  for (int seed = 1; seed <= 60; ++seed) {
    for (int d = 0; d < 3; ++d) {
      vexa::FixRandomSeed(static_cast<uint32_t>(seed));
      TField f;
      f.Reset();
      f.LetterCount = letters[d];
      f.Fill(rows[d]);
      for (int r = 0; r < kFieldRows; ++r) {
        for (int c = 0; c < kFieldCols; ++c) {
          ASSERT_EQ(r >= kWellRows - rows[d], f.Letters[r][c] != kEmpty) << r << c;
          ASSERT_EQ(0, f.Flags[r][c]);
        }
      }
      if (d > 0) {  // enough letters that no repair runs out of them
        EXPECT_FALSE(f.CheckMatches()) << "seed " << seed;
        for (int r = 0; r < kFieldRows; ++r)
          for (int c = 0; c < kFieldCols; ++c)
            if (f.Letters[r][c] != kEmpty) {
              ASSERT_LT(f.Letters[r][c], f.LetterCount);
            }
      }
    }
  }
  vexa::UnfixRandomSeed();
}

TEST(FieldPushUp, TheFillGivesEveryRunCellTheSmallestFreeLetter) {
  TField f;
  f.Reset();
  f.LetterCount = 1;  // every new block is an A
  f.Fill(2);
  // Rows 8 and 9 were all runs; where every letter below LetterCount is excluded a cell
  // gets LetterCount itself. The last cell of row 9 has no neighbour below or to its right
  // and keeps A. Row 10 is never matched and stays A.
  EXPECT_EQ("BBBBBB", Row(f, 8));
  EXPECT_EQ("BBBBBA", Row(f, 9));
  EXPECT_EQ("AAAAAA", Row(f, 10));
  EXPECT_EQ(0, f.Flags[8][0]);

  f.Reset();
  f.LetterCount = 4;
  f.Fill(0);  // only the next row: never matched, never repaired
  EXPECT_EQ("......", Row(f, 9));
  for (int c = 0; c < kFieldCols; ++c) EXPECT_LT(f.Letters[kWellRows][c], 4);
}

}  // namespace
