// Falling groups, their records and landing, and the chain steps that follow the falls.
#include "tests/play/field_fixture.h"

namespace {

using namespace field_test;

TEST(FieldFall, AStackOverAGapFallsAsOneGroupAndLands) {
  TRecorder events;
  // Rows 4, 5, 6 hold A B C (an ascending column, but falling cells are never matched);
  // rows 7 and 8 are empty; D at row 9.
  TField f = Well({"A.....", "B.....", "C.....", "......", "......", "D....."});
  f.Events = &events;
  f.CheckAllFalls();
  ASSERT_EQ(1, ActiveFalls(f));
  EXPECT_TRUE(f.Falling);
  const TFallRecord& rec = f.Falls[0];
  EXPECT_EQ(3, rec.Length);
  EXPECT_EQ(0, rec.X);
  EXPECT_FLOAT_EQ(32.0f * 4, rec.Y);
  for (int r = 4; r <= 6; ++r) EXPECT_EQ(cfFalling | cfHidden | cfLocked, f.Flags[r][0]);
  EXPECT_EQ(cfLocked, f.Flags[7][0]);  // reserved for the group
  EXPECT_FALSE(f.CheckMatches());

  for (int i = 0; i < 60 && ActiveFalls(f) > 0; ++i) f.Step(20, 0, 0);
  EXPECT_EQ(0, ActiveFalls(f));
  EXPECT_EQ("A.....", Row(f, 6));
  EXPECT_EQ("D.....", Row(f, 9));
  for (int r = 4; r <= 9; ++r) EXPECT_EQ(0, f.Flags[r][0]) << r;
  EXPECT_EQ(std::vector<std::string>{"landed"}, events.Log);
  // The tick after the landing looks for runs: A B C D is one now.
  EXPECT_TRUE(f.Falling);
  f.Step(20, 0, 0);
  EXPECT_FALSE(f.Falling);
  EXPECT_TRUE(f.Flags[6][0] & cfErasing);
  EXPECT_EQ(1, f.Chain);
}

TEST(FieldFall, SpeedGrowsBy1200PerSecondUpTo750) {
  TField f = Well({"A.....", "......", "......", "......", "......", "......", "......",
                   "......", "......", "......"});
  f.CheckAllFalls();
  f.Step(20, 0, 0);
  EXPECT_FLOAT_EQ(0.0f, f.Falls[0].Y);
  EXPECT_FLOAT_EQ(24.0f, f.Falls[0].Speed);
  f.Step(20, 0, 0);
  EXPECT_FLOAT_EQ(0.48f, f.Falls[0].Y);
  for (int i = 0; i < 40 && ActiveFalls(f) > 0; ++i) {
    f.Step(20, 0, 0);
    EXPECT_LE(f.Falls[0].Speed, 750.0f);
  }
}

// P falls onto Q, which falls into the shaft left by a blinking run: P waits on Q and
// follows it. The cell Q leaves must stay reserved meanwhile: a block swapped into that
// gap would make P shift the wrong cells and leave its own block hidden and locked.
TEST(FieldFall, AGroupOnAnotherFallingGroupWaitsFollowsAndKeepsTheGapReserved) {
  TField f = Well({"P.....", "......", "......", "......", "......", "Q.....", "AAA...",
                   "......", "......", "X....."});
  f.CheckMatches();
  for (int c = 0; c < 3; ++c) f.EraseTimers[6][c] = 300;
  bool waited = false, movedOnAfterWaiting = false;
  int gapsSeen = 0;
  for (int i = 0; i < 300 && (f.Falling || i < 20); ++i) {
    f.Step(20, 0, 0);
    const TFallRecord* upper = nullptr;
    const TFallRecord* lower = nullptr;
    for (const TFallRecord& rec : f.Falls) {
      if (!rec.Active) continue;
      if (!upper || rec.Y < upper->Y) upper = &rec;
      if (!lower || rec.Y > lower->Y) lower = &rec;
    }
    if (upper && lower && upper != lower) {
      if (upper->Speed == 0.0f)
        waited = true;
      else if (waited)
        movedOnAfterWaiting = true;
    }
    for (int r = 0; r + 1 < kWellRows; ++r) {
      if (!(f.Flags[r][0] & cfFalling) || f.Letters[r + 1][0] != kEmpty) continue;
      ++gapsSeen;
      EXPECT_TRUE(f.Flags[r + 1][0] & cfLocked) << "tick " << i << " row " << r + 1;
      f.Letters[r + 1][1] = 'Y' - 'A';
      f.Flags[r + 1][1] = 0;
      f.SwapCells(0, r + 1, 1, r + 1);
      EXPECT_EQ(0, f.SwapTimer);
      f.Letters[r + 1][1] = kEmpty;
    }
  }
  EXPECT_TRUE(waited);
  EXPECT_TRUE(movedOnAfterWaiting);
  EXPECT_GT(gapsSeen, 0);
  EXPECT_EQ("P.....", Row(f, 7));
  EXPECT_EQ("Q.....", Row(f, 8));
  EXPECT_EQ("X.....", Row(f, 9));
  for (int r = 0; r < 7; ++r) EXPECT_EQ("......", Row(f, r)) << r;
  EXPECT_EQ(0, CellsWith(f, 0xFFFF));
}

TEST(FieldFall, RecordsGoLowestGroupFirstAndWhenAllAreTakenTheStackWaits) {
  TField f = Well({"A.B.C.", "......", ".D.E.F", "......", "G.H.I.", "......", ".J.K.L",
                   "......", "......", "MNOPQR"});
  f.CheckAllFalls();
  EXPECT_EQ(12, ActiveFalls(f));
  for (int i = 1; i < kFallRecords; ++i) EXPECT_GE(f.Falls[i - 1].Y, f.Falls[i].Y) << i;

  TField full = Well({});
  for (TFallRecord& rec : full.Falls) rec.Active = true;
  full.Letters[3][2] = 0;
  EXPECT_TRUE(full.StartFall(2, 3));  // started, but no record took it
  EXPECT_TRUE(full.Falling);
  EXPECT_EQ(0, full.Flags[3][2]);
  EXPECT_EQ(0, full.Flags[4][2]);
}

TEST(FieldFall, BlinkingCellsHoldUpTheBlocksAbove) {
  TField f = Well({"D.....", "AAA...", "......"});
  f.CheckMatches();
  f.CheckAllFalls();
  EXPECT_EQ(0, ActiveFalls(f));
  EXPECT_FALSE(f.StartFall(0, 7));  // D on a blinking A
  EXPECT_FALSE(f.StartFall(0, 8));  // the blinking A itself
}

TEST(FieldFall, TheChainStepAdvancesOneTickAfterTheLastLanding) {
  TRecorder events;
  TField f = Well({"...B..", ".BBAAA"});
  f.Events = &events;
  EXPECT_TRUE(f.CheckMatches());
  EXPECT_EQ(1, f.Chain);
  Steps(f, 61);  // AAA goes, B starts to fall into the gap at column 3
  EXPECT_EQ(1, ActiveFalls(f));
  EXPECT_EQ(1, f.Chain);
  for (int i = 0; i < 40 && ActiveFalls(f) > 0; ++i) f.Step(20, 0, 0);
  ASSERT_EQ(0, ActiveFalls(f));
  EXPECT_EQ(".BBB..", Row(f, 9));
  EXPECT_EQ(1, f.Chain);  // landed in this tick: not yet
  f.Step(20, 0, 0);
  EXPECT_EQ(2, f.Chain);
  Steps(f, 61);
  EXPECT_EQ("......", Row(f, 9));
  EXPECT_EQ(0, f.Chain);
  // The second step scores its own run and the first one again, twice.
  EXPECT_EQ((std::vector<std::string>{"same 3,9 across 3", "erased 3 for 300 last 5,9",
                                      "erase ended", "landed", "same 1,9 across 3", "chain 2",
                                      "erased 3 for 1200 last 3,9", "erase ended", "emptied"}),
            events.Log);
}

TEST(FieldFall, FallsEndingWithoutARunEndTheChainUnlessSomethingBlinks) {
  TField f = Well({"C.....", "......", "D..EEE"});
  f.CheckMatches();  // EEE blinks
  f.Chain = 3;
  f.CheckAllFalls();  // C falls onto D
  for (int i = 0; i < 30 && f.Falling; ++i) f.Step(20, 0, 0);
  EXPECT_FALSE(f.Falling);
  EXPECT_EQ(1, f.Chain);

  SetWell(f, {"C.....", "......", "D....."});
  f.Chain = 3;
  f.CheckAllFalls();
  for (int i = 0; i < 30 && f.Falling; ++i) f.Step(20, 0, 0);
  EXPECT_EQ(0, f.Chain);

  // A chain beyond the last step holds there and still scores.
  TRecorder events;
  SetWell(f, {"A.....", "......", ".AA..."});
  f.Events = &events;
  f.Chain = kMaxChain;
  f.CheckAllFalls();
  for (int i = 0; i < 40 && f.Falling; ++i) f.Step(20, 0, 0);
  EXPECT_EQ(kMaxChain, f.Chain);
  EXPECT_EQ(1, events.Count("chain 64"));
  Steps(f, 61);
  EXPECT_EQ("......", Row(f, 9));
}

TEST(FieldFall, ABlockLandsOnAnEmptyCellThatIsBeingSwappedAndFallsOnAfterwards) {
  TRecorder events;
  TField f = Well({".A....", "......", ".B...."});
  f.Events = &events;
  f.CheckAllFalls();  // A falls from row 7 towards B
  Steps(f, 10);
  f.SwapCells(0, 9, 1, 9);  // B leaves column 1: its cell is an empty, swapping cell
  EXPECT_EQ("B.....", Row(f, 9));
  Steps(f, 3);
  EXPECT_EQ(".A....", Row(f, 8));  // landed on the swapping gap
  EXPECT_EQ(0, ActiveFalls(f));
  EXPECT_EQ(1, events.Count("landed"));
  Settle(f);
  EXPECT_EQ("......", Row(f, 8));
  EXPECT_EQ("BA....", Row(f, 9));
  EXPECT_EQ(2, events.Count("landed"));
}

}  // namespace
