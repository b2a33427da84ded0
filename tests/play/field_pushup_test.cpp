// The push-up of the endless game, the new row, the overflow, and the filling of a new field.
#include "tests/play/play_fixture.h"

#include "play/overactor.h"

namespace {

class PushUpTest : public PlayTest {
 protected:
  // True when no two neighbours of row r are equal or ascending (left to right).
  bool RowIsCalm(int r) const {
    for (int c = 0; c + 1 < kFieldCols; ++c) {
      int a = game->Field.Letters[r][c], b = game->Field.Letters[r][c + 1];
      if (a == b || b == a + 1) return false;
    }
    return true;
  }
};

TEST_F(PushUpTest, TheFieldRisesOneRowIn640msAtBothFrameIntervals) {
  for (int dt : {20, 40}) {
    TRecordingGameMain& g = Start();
    SetWell({"ACE...", "BDF..."}, "GHGHGH");
    g.Field.StartPushUp();
    g.Field.StartPushUp();  // a push-up in progress is not restarted
    EXPECT_EQ(640, g.Field.PushTimer);
    const int ticks = 640 / dt;
    for (int i = 1; i < ticks; ++i) {
      Tick(dt);
      EXPECT_FLOAT_EQ(0.05f * dt * i, g.Field.Scroll);
    }
    EXPECT_EQ("ACE...", Row(8));
    Tick(dt);
    EXPECT_EQ(0, g.Field.PushTimer);
    EXPECT_FLOAT_EQ(0.0f, g.Field.Scroll);
    EXPECT_EQ("ACE...", Row(7));
    EXPECT_EQ("BDF...", Row(8));
    EXPECT_EQ("GHGHGH", Row(9));
    EXPECT_TRUE(RowIsCalm(kWellRows));
    EXPECT_FALSE(g.IsOver);
  }
}

TEST_F(PushUpTest, ABlockInRowZeroEndsTheGameWithoutShifting) {
  TRecordingGameMain& g = Start();
  SetWell({".....A", ".....C", ".....E", ".....G", ".....I", ".....K", ".....M", ".....O",
           "B....Q", "C....S"},
          "DEDEDE");
  g.Field.StartPushUp();
  Ticks(31);
  EXPECT_FALSE(g.IsOver);
  Tick();
  EXPECT_TRUE(g.IsOver);
  EXPECT_EQ(".....A", Row(0));
  EXPECT_EQ("B....Q", Row(8));
  EXPECT_EQ("DEDEDE", Row(10));
  ASSERT_NE(nullptr, g.OverActor);
  EXPECT_FLOAT_EQ(92.0f, g.OverActor->X);
  EXPECT_FLOAT_EQ(-90.0f, g.OverActor->Y);
  EXPECT_EQ(1, g.Count("ゲームオーバー"));
  EXPECT_EQ(1, g.MusicStops);
  EXPECT_EQ(4, g.Face->GetExpression());
  // The overflow test fires again in the next tick; the game is lost only once.
  Tick();
  EXPECT_EQ(1, g.Count("ゲームオーバー"));
}

TEST_F(PushUpTest, TheCursorRisesWithTheFieldButNotOutOfIt) {
  TGameMainMode& g = Start();
  SetWell({"A.....", "B....."}, "DEDEDE");
  g.Field.CursorCol = 3;
  g.Field.CursorRow = 0;
  g.Field.PartnerCol = 3;
  g.Field.PartnerRow = 1;
  g.Field.StartPushUp();
  Ticks(32);
  // Cursor stays in row 0, partner comes up to it: the cursor steps one row down.
  EXPECT_EQ(1, g.Field.CursorRow);
  EXPECT_EQ(0, g.Field.PartnerRow);

  g.Field.CursorCol = 2;
  g.Field.CursorRow = 0;
  g.Field.PartnerCol = 3;
  g.Field.PartnerRow = 0;
  g.Field.StartPushUp();
  Ticks(32);
  EXPECT_EQ(0, g.Field.CursorRow);
  EXPECT_EQ(0, g.Field.PartnerRow);

  g.Field.CursorCol = 2;
  g.Field.CursorRow = 6;
  g.Field.PartnerCol = 2;
  g.Field.PartnerRow = 5;
  g.Field.StartPushUp();
  Ticks(32);
  EXPECT_EQ(5, g.Field.CursorRow);
  EXPECT_EQ(4, g.Field.PartnerRow);
}

TEST_F(PushUpTest, ASwapFollowsItsCellsAndOneInRowZeroEndsAtOnce) {
  TGameMainMode& g = Start();
  SetWell({"AC....", "BD...."}, "EGEGEG");
  g.Field.StartPushUp();
  Ticks(30);
  g.Field.SwapCells(0, 9, 1, 9);  // B D -> D B, mid-swap when the rise completes
  Ticks(2);  // the rise completes; the swap has 120 ms left
  EXPECT_EQ(120, g.Field.SwapTimer);
  EXPECT_EQ(8, g.Field.SwapA.Row);
  EXPECT_EQ(8, g.Field.SwapB.Row);
  EXPECT_EQ(cfHidden | cfLocked | cfSwapping, FlagsAt(0, 8));
  EXPECT_EQ("DB....", Row(8));
  Ticks(6);
  EXPECT_EQ(0, g.Field.SwapTimer);
  EXPECT_EQ(0, FlagsAt(0, 8));
  EXPECT_EQ(0, FlagsAt(1, 8));

  // Two empty cells swapped in row 0: the rise carries them out of the field.
  SetWell({"AC....", "BD...."}, "EGEGEG");
  g.Field.StartPushUp();
  Ticks(30);
  g.Field.SwapCells(2, 0, 3, 0);
  Ticks(2);
  EXPECT_FALSE(g.IsOver);
  EXPECT_EQ(0, g.Field.SwapTimer);
  for (int r = 0; r < kFieldRows; ++r)
    for (int c = 0; c < kFieldCols; ++c) EXPECT_FALSE(g.Field.Flags[r][c] & cfSwapping) << c << r;
}

TEST_F(PushUpTest, RunsCompletedByTheRiseStartAtOnce) {
  TGameMainMode& g = Start();
  SetWell({"A.....", "B....."}, "CEGEGE");
  g.Field.StartPushUp();
  Ticks(32);
  EXPECT_EQ("CEGEGE", Row(9));
  EXPECT_TRUE(FlagsAt(0, 7) & cfErasing);
  EXPECT_TRUE(FlagsAt(0, 9) & cfErasing);
  EXPECT_EQ(1, g.Field.Chain);
}

TEST_F(PushUpTest, AFallingGroupKeepsItsCellsThroughARiseAtAnyMoment) {
  for (int dt : {20, 40}) {
    for (int delay = 0; delay < 800 / dt; ++delay) {
      TGameMainMode& g = Start();
      SetWell({"K.....", "M.....", "......", "......", "......", "......", "......", "......",
               "C....."}, "DFDFDF");
      g.Endless.RiseCountdown = 1 << 30;
      Ticks(delay, dt);  // K M fall from rows 1 and 2 while ...
      g.Field.StartPushUp();   // ... the field rises under them
      for (int i = 0; i < 200 && (g.Field.Falling || g.Field.PushTimer > 0); ++i) Tick(dt);
      ASSERT_FALSE(g.Field.Falling);
      const std::string where = "dt " + std::to_string(dt) + " delay " + std::to_string(delay);
      ASSERT_EQ("K.....", Row(6)) << where;
      ASSERT_EQ("M.....", Row(7)) << where;
      ASSERT_EQ("C.....", Row(8)) << where;
      ASSERT_EQ("DFDFDF", Row(9)) << where;
      for (int r = 0; r < kFieldRows; ++r)
        for (int c = 0; c < kFieldCols; ++c) ASSERT_EQ(0, g.Field.Flags[r][c]) << where;
    }
  }
}

TEST_F(PushUpTest, TheNewRowIsRepairedFromLeftToRight) {
  TGameMainMode& g = Start();
  auto repair = [&](const char* row, int letters) {
    for (int c = 0; c < kFieldCols; ++c)
      g.Field.Letters[kWellRows][c] = static_cast<int16_t>(row[c] - 'A');
    g.Field.LetterCount = letters;
    g.Field.RepairNewRow();
    return Row(kWellRows);
  };
  EXPECT_EQ("BDACAE", repair("AABCEE", 5));
  // With three letters every one may be excluded: the cell then gets the fourth letter.
  EXPECT_EQ("CACDAC", repair("ABCABC", 3));
  EXPECT_EQ("ACEGIK", repair("ACEGIK", 26));
}

TEST_F(PushUpTest, NewRowsNeverHoldEqualOrAscendingNeighbours) {
  TGameMainMode& g = Start(0, 2);
  for (int i = 0; i < 300; ++i) {
    SetWell({"......"}, "ACEGIK");
    g.Endless.RiseCountdown = 1 << 30;
    g.Field.LetterCount = 5 + i % 22;
    g.Field.StartPushUp();
    Ticks(32);
    ASSERT_TRUE(RowIsCalm(kWellRows)) << Row(kWellRows);
    for (int c = 0; c < kFieldCols; ++c)
      ASSERT_LE(g.Field.Letters[kWellRows][c], g.Field.LetterCount - 1);
  }
}

TEST_F(PushUpTest, ANewFieldHoldsNoRunAndFillsTheBottomRowsAndTheNextRow) {
  const int rows[3] = {4, 5, 7};
  for (int seed = 1; seed <= 60; ++seed) {
    for (uint8_t d = 0; d < 3; ++d) {
      vexa::FixRandomSeed(static_cast<uint32_t>(seed));
      TGameMainMode& g = Start(0, d);
      for (int r = 0; r < kFieldRows; ++r) {
        for (int c = 0; c < kFieldCols; ++c) {
          const bool filled = r >= kWellRows - rows[d];
          ASSERT_EQ(filled, g.Field.Letters[r][c] != kEmpty) << r << c;
          ASSERT_EQ(0, g.Field.Flags[r][c]);
        }
      }
      EXPECT_EQ(0, g.Field.Chain);
      if (d > 0) {  // enough letters that no repair runs out of them
        EXPECT_FALSE(g.Field.CheckMatches()) << "seed " << seed;
        for (int r = 0; r < kFieldRows; ++r)
          for (int c = 0; c < kFieldCols; ++c)
            if (g.Field.Letters[r][c] != kEmpty) {
              ASSERT_LT(g.Field.Letters[r][c], g.Field.LetterCount);
            }
      }
    }
  }
}

TEST_F(PushUpTest, FillRepairGivesEveryRunCellTheSmallestFreeLetter) {
  TGameMainMode& g = Start();
  for (int r = 0; r < kFieldRows; ++r)
    for (int c = 0; c < kFieldCols; ++c) {
      g.Field.Letters[r][c] = kEmpty;
      g.Field.Flags[r][c] = 0;
    }
  g.Field.Started = false;
  g.Field.LetterCount = 1;  // every new block is an A
  g.Field.Fill(2);
  // Rows 8 and 9 were all runs; where every letter below LetterCount is excluded a cell
  // gets LetterCount itself. The last cell of row 9 has no neighbour below or to its right
  // and keeps A. Row 10 is never matched and stays A.
  EXPECT_EQ("BBBBBB", Row(8));
  EXPECT_EQ("BBBBBA", Row(9));
  EXPECT_EQ("AAAAAA", Row(10));
  EXPECT_EQ(0, FlagsAt(0, 8));

  for (int r = 0; r < kFieldRows; ++r)
    for (int c = 0; c < kFieldCols; ++c) {
      g.Field.Letters[r][c] = kEmpty;
      g.Field.Flags[r][c] = 0;
    }
  g.Field.LetterCount = 4;
  g.Field.Fill(0);  // only the next row: never matched, never repaired
  EXPECT_EQ("......", Row(9));
  for (int c = 0; c < kFieldCols; ++c) EXPECT_LT(g.Field.Letters[kWellRows][c], 4);
}

}  // namespace
