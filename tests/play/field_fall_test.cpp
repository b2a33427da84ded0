// Falling groups, their records and landing, and the chain steps that follow the falls.
#include "tests/play/play_fixture.h"

namespace {

class FallTest : public PlayTest {
 protected:
  const TFallRecord* RecordInColumn(int col, float minY, float maxY) const {
    for (const TFallRecord& f : game->Field.Falls)
      if (f.Active && f.X == 32 * col && f.Y >= minY && f.Y <= maxY) return &f;
    return nullptr;
  }
};

TEST_F(FallTest, AStackOverAGapFallsAsOneGroupAndLands) {
  TRecordingGameMain& g = Start();
  SetWell({"A.....", "B.....", "C.....", "......", "......", "D....."});
  // rows 4, 5, 6 hold A B C (an ascending column, but falling cells are never matched);
  // rows 7 and 8 are empty; D at row 9.
  g.Field.CheckAllFalls();
  ASSERT_EQ(1, ActiveFalls());
  EXPECT_TRUE(g.Field.Falling);
  const TFallRecord& rec = g.Field.Falls[0];
  EXPECT_EQ(3, rec.Length);
  EXPECT_EQ(0, rec.X);
  EXPECT_FLOAT_EQ(32.0f * 4, rec.Y);
  for (int r = 4; r <= 6; ++r) EXPECT_EQ(cfFalling | cfHidden | cfLocked, FlagsAt(0, r));
  EXPECT_EQ(cfLocked, FlagsAt(0, 7));  // reserved for the group
  EXPECT_FALSE(g.Field.CheckMatches());

  for (int i = 0; i < 60 && ActiveFalls() > 0; ++i) Tick();
  EXPECT_EQ(0, ActiveFalls());
  EXPECT_EQ("A.....", Row(6));
  EXPECT_EQ("B.....", Row(7));
  EXPECT_EQ("C.....", Row(8));
  EXPECT_EQ("D.....", Row(9));
  for (int r = 4; r <= 9; ++r) EXPECT_EQ(0, FlagsAt(0, r)) << r;
  EXPECT_EQ(1, g.Count("落下"));
  // The tick after the landing looks for runs: A B C D is one now.
  EXPECT_TRUE(g.Field.Falling);
  Tick();
  EXPECT_FALSE(g.Field.Falling);
  EXPECT_TRUE(FlagsAt(0, 6) & cfErasing);
  EXPECT_EQ(1, g.Field.Chain);
}

TEST_F(FallTest, SpeedGrowsBy1200PerSecondUpTo750) {
  TGameMainMode& g = Start();
  SetWell({"A.....", "......", "......", "......", "......", "......", "......", "......",
           "......", "......"});
  g.Field.CheckAllFalls();
  Tick();
  EXPECT_FLOAT_EQ(0.0f, g.Field.Falls[0].Y);
  EXPECT_FLOAT_EQ(24.0f, g.Field.Falls[0].Speed);
  Tick();
  EXPECT_FLOAT_EQ(0.48f, g.Field.Falls[0].Y);
  for (int i = 0; i < 40 && ActiveFalls() > 0; ++i) {
    Tick();
    EXPECT_LE(g.Field.Falls[0].Speed, 750.0f);
  }
}

TEST_F(FallTest, AGroupThatMeetsAnotherFallingGroupWaitsAndFollowsIt) {
  TRecordingGameMain& g = Start();
  // P high up in column 0; Q rests on a blinking run in row 6; below it an empty shaft.
  SetWell({"P.....", "......", "......", "......", "......", "Q.....", "AAA...", "......",
           "......", "X....."});
  g.Field.CheckMatches();
  for (int c = 0; c < 3; ++c) g.Field.EraseTimers[6][c] = 300;
  bool waited = false, movedOnAfterWaiting = false;
  for (int i = 0; i < 200 && (g.Field.Falling || i < 20); ++i) {
    Tick();
    const TFallRecord* upper = nullptr;
    const TFallRecord* lower = nullptr;
    for (const TFallRecord& f : g.Field.Falls) {
      if (!f.Active) continue;
      if (!upper || f.Y < upper->Y) upper = &f;
      if (!lower || f.Y > lower->Y) lower = &f;
    }
    if (upper && lower && upper != lower) {
      if (upper->Speed == 0.0f) waited = true;
      else if (waited) movedOnAfterWaiting = true;
    }
  }
  EXPECT_TRUE(waited);
  EXPECT_TRUE(movedOnAfterWaiting);
  EXPECT_EQ("P.....", Row(7));
  EXPECT_EQ("Q.....", Row(8));
  EXPECT_EQ("X.....", Row(9));
  for (int r = 0; r < 7; ++r) EXPECT_EQ("......", Row(r)) << r;
  EXPECT_EQ(0, FlagsAt(0, 7));
  EXPECT_EQ(0, FlagsAt(0, 8));
}

TEST_F(FallTest, RecordsAreOrderedLowestGroupFirst) {
  TGameMainMode& g = Start();
  SetWell({"A.B.C.", "......", ".D.E.F", "......", "G.H.I.", "......", ".J.K.L", "......",
           "......", "MNOPQR"});
  g.Field.CheckAllFalls();
  int active = ActiveFalls();
  EXPECT_EQ(12, active);
  for (int i = 1; i < kFallRecords; ++i) EXPECT_GE(g.Field.Falls[i - 1].Y, g.Field.Falls[i].Y) << i;
}

TEST_F(FallTest, WithAllEighteenRecordsInUseTheStackWaits) {
  TGameMainMode& g = Start();
  SetWell({"......"});
  for (TFallRecord& f : g.Field.Falls) f.Active = true;
  g.Field.Letters[3][2] = 0;
  EXPECT_TRUE(g.Field.StartFall(2, 3));  // started, but no record took it
  EXPECT_TRUE(g.Field.Falling);
  EXPECT_EQ(0, FlagsAt(2, 3));
  EXPECT_EQ(0, FlagsAt(2, 4));
}

TEST_F(FallTest, BlinkingCellsHoldUpTheBlocksAbove) {
  TGameMainMode& g = Start();
  SetWell({"D.....", "AAA...", "......"});
  g.Field.CheckMatches();
  g.Field.CheckAllFalls();
  EXPECT_EQ(0, ActiveFalls());
  EXPECT_FALSE(g.Field.StartFall(0, 7));  // D on a blinking A
  EXPECT_FALSE(g.Field.StartFall(0, 8));  // the blinking A itself
}

TEST_F(FallTest, TheChainStepAdvancesOneTickAfterTheLastLanding) {
  TRecordingGameMain& g = Start();
  SetWell({"...B..", ".BBAAA"}, "ZZZZZZ");
  EXPECT_TRUE(g.Field.CheckMatches());
  EXPECT_EQ(1, g.Field.Chain);
  Ticks(61);  // AAA goes, B starts to fall into the gap at column 3
  EXPECT_EQ(300, g.Score);
  EXPECT_EQ(1, ActiveFalls());
  EXPECT_EQ(1, g.Field.Chain);
  int ticks = 0;
  while (ActiveFalls() > 0 && ticks < 40) {
    Tick();
    ++ticks;
  }
  ASSERT_EQ(0, ActiveFalls());
  EXPECT_EQ(".BBB..", Row(9));
  EXPECT_EQ(1, g.Field.Chain);  // landed in this tick: not yet
  EXPECT_FALSE(g.Face->BalloonOn);
  Tick();
  EXPECT_EQ(2, g.Field.Chain);
  EXPECT_TRUE(g.Face->BalloonOn);
  EXPECT_EQ(std::string("2") + kChainText, g.Face->BalloonText);
  EXPECT_EQ(2, g.Face->GetExpression());
  Ticks(61);
  EXPECT_EQ("......", Row(9));
  EXPECT_EQ(300 + 2 * (300 + 300), g.Score);
  EXPECT_EQ(0, g.Field.Chain);
}

TEST_F(FallTest, FallsEndingWithoutARunDropTheChainToOneWhileSomethingBlinks) {
  TGameMainMode& g = Start();
  SetWell({"C.....", "......", "D..EEE"}, "ZZZZZZ");
  g.Field.CheckMatches();  // EEE blinks
  g.Field.Chain = 3;
  g.Field.CheckAllFalls();  // C falls onto D
  for (int i = 0; i < 30 && (g.Field.Falling); ++i) Tick();
  EXPECT_FALSE(g.Field.Falling);
  EXPECT_EQ(1, g.Field.Chain);

  SetWell({"C.....", "......", "D....."}, "ZZZZZZ");
  g.Field.Chain = 3;
  g.Field.CheckAllFalls();
  for (int i = 0; i < 30 && (g.Field.Falling); ++i) Tick();
  EXPECT_EQ(0, g.Field.Chain);
}

TEST_F(FallTest, AChainBeyondSixtyFourStepsHoldsAtTheLastStep) {
  TRecordingGameMain& g = Start();
  SetWell({"A.....", "......", ".AA..."}, "ZZZZZZ");
  g.Field.Chain = kMaxChain;
  g.Field.CheckAllFalls();
  for (int i = 0; i < 40 && g.Field.Falling; ++i) Tick();
  EXPECT_EQ(kMaxChain, g.Field.Chain);
  EXPECT_EQ(std::string("64") + kChainText, g.Face->BalloonText);
  Ticks(61);
  EXPECT_EQ("......", Row(9));
  EXPECT_GT(g.Score, 0);
}

TEST_F(FallTest, ABlockLandsOnAnEmptyCellThatIsBeingSwappedAndFallsOnAfterwards) {
  TRecordingGameMain& g = Start();
  SetWell({".A....", "......", ".B...."}, "ZZZZZZ");
  g.Field.CheckAllFalls();  // A falls from row 7 towards B
  Ticks(10);
  g.Field.SwapCells(0, 9, 1, 9);  // B leaves column 1: its cell is an empty, swapping cell
  EXPECT_EQ("B.....", Row(9));
  Ticks(3);
  EXPECT_EQ(".A....", Row(8));  // landed on the swapping gap
  EXPECT_EQ(0, ActiveFalls());
  EXPECT_EQ(1, g.Count("落下"));
  for (int i = 0; i < 40 && (g.Field.SwapTimer > 0 || g.Field.Falling); ++i) Tick();
  EXPECT_EQ("......", Row(8));
  EXPECT_EQ("BA....", Row(9));
  EXPECT_EQ(2, g.Count("落下"));
}

}  // namespace

namespace {

class FallGapTest : public PlayTest {};

// A group waiting on top of another falling group must keep the cell the lower group
// leaves reserved: a block swapped into that gap would make the waiting group shift the
// wrong cells and leave its own block hidden and locked for good.
TEST_F(FallGapTest, TheGapUnderAWaitingGroupStaysReservedAndRefusesASwap) {
  TRecordingGameMain& g = Start();
  SetWell({"P.....", "......", "......", "......", "......", "Q.....", "AAA...", "......",
           "......", "X....."});
  g.Field.CheckMatches();
  for (int c = 0; c < 3; ++c) g.Field.EraseTimers[6][c] = 300;
  int gapsSeen = 0;
  for (int i = 0; i < 300 && (g.Field.Falling || i < 20); ++i) {
    Tick();
    for (int r = 0; r + 1 < kWellRows; ++r) {
      if (!(g.Field.Flags[r][0] & cfFalling) || g.Field.Letters[r + 1][0] != kEmpty) continue;
      ++gapsSeen;
      EXPECT_TRUE(g.Field.Flags[r + 1][0] & cfLocked) << "tick " << i << " row " << r + 1;
      g.Field.Letters[r + 1][1] = 'Y' - 'A';
      g.Field.Flags[r + 1][1] = 0;
      g.Field.SwapCells(0, r + 1, 1, r + 1);
      EXPECT_EQ(0, g.Field.SwapTimer);
      g.Field.Letters[r + 1][1] = kEmpty;
    }
  }
  EXPECT_GT(gapsSeen, 0);
  EXPECT_EQ("P.....", Row(7));
  EXPECT_EQ("Q.....", Row(8));
  for (int r = 0; r < kFieldRows; ++r)
    for (int c = 0; c < kFieldCols; ++c) EXPECT_EQ(0, g.Field.Flags[r][c]) << r << " " << c;
}

}  // namespace
