// Runs of equal and ascending letters, erase groups, the blink and the removal.
#include "tests/play/play_fixture.h"

#include "play/flashactor.h"
#include "play/scoreactor.h"
#include "play/staractor.h"

namespace {

class MatchTest : public PlayTest {
 protected:
  int ErasingCells() const {
    int n = 0;
    for (int r = 0; r < kWellRows; ++r)
      for (int c = 0; c < kFieldCols; ++c) n += (game->Field.Flags[r][c] & cfErasing) ? 1 : 0;
    return n;
  }
};

TEST_F(MatchTest, FourEqualLettersInARowAreOneRun) {
  TGameMainMode& g = Start();
  SetWell({"BAAAAC"});
  EXPECT_TRUE(g.Field.CheckMatches());
  EXPECT_EQ(1, g.Field.Chain);
  EXPECT_EQ(4, ErasingCells());
  const uint16_t g1 = g.Field.Groups[9][1];
  EXPECT_NE(0, g1);
  for (int c = 1; c <= 4; ++c) {
    EXPECT_EQ(cfErasing | cfLocked | cfSameRun, FlagsAt(c, 9)) << c;
    EXPECT_EQ(g1, g.Field.Groups[9][c]);
    EXPECT_EQ(1200, g.Field.EraseTimers[9][c]);
  }
  EXPECT_EQ(0, FlagsAt(0, 9));
  EXPECT_EQ(0, FlagsAt(5, 9));
  // Found again: the run is not new.
  EXPECT_FALSE(g.Field.CheckMatches());
}

TEST_F(MatchTest, AscendingLettersFromLeftToRightAndTopToBottom) {
  TGameMainMode& g = Start();
  SetWell({"ABCD.."});
  EXPECT_TRUE(g.Field.CheckMatches());
  EXPECT_EQ(4, ErasingCells());
  EXPECT_EQ(cfErasing | cfLocked | cfSeqRun, FlagsAt(0, 9));

  SetWell({"X.....", "Y.....", "Z....."});
  EXPECT_TRUE(g.Field.CheckMatches());
  EXPECT_EQ(3, ErasingCells());
}

TEST_F(MatchTest, DescendingAndWrappingSequencesAndEmptyCellsDoNotCount) {
  TGameMainMode& g = Start();
  SetWell({"DCBA..", "YZA..."});
  EXPECT_FALSE(g.Field.CheckMatches());
  SetWell({"C.....", "B.....", "A....."});
  EXPECT_FALSE(g.Field.CheckMatches());
  SetWell({"..XYZ."}, "ZZZZZZ");  // Z is never followed, not even by an empty cell
  EXPECT_TRUE(g.Field.CheckMatches());
  EXPECT_EQ(3, ErasingCells());
  EXPECT_EQ(0, FlagsAt(5, 9));
  SetWell({"YZ....", "AA.A.."});
  EXPECT_FALSE(g.Field.CheckMatches());
  EXPECT_EQ(0, g.Field.Chain);
}

TEST_F(MatchTest, SwappingAndFallingCellsNeitherFormNorContinueRuns) {
  TGameMainMode& g = Start();
  SetWell({"AAA...", "ABC..."});
  g.Field.Flags[8][1] |= cfSwapping;
  g.Field.Flags[9][2] |= cfFalling;
  EXPECT_FALSE(g.Field.CheckMatches());
}

TEST_F(MatchTest, SameAndAscendingRunsSharingACellFormOneGroupOfFive) {
  TRecordingGameMain& g = Start();
  // Column 0 reads A B C downwards; row 9 reads C C C.
  SetWell({"A.....", "B.....", "CCCE.."}, "ZZZZZZ");
  EXPECT_TRUE(g.Field.CheckMatches());
  EXPECT_EQ(5, ErasingCells());
  const uint16_t group = g.Field.Groups[9][0];
  EXPECT_NE(0, group);
  EXPECT_EQ(group, g.Field.Groups[7][0]);
  EXPECT_EQ(group, g.Field.Groups[8][0]);
  EXPECT_EQ(group, g.Field.Groups[9][2]);
  EXPECT_EQ(cfErasing | cfLocked | cfSameRun | cfSeqRun, FlagsAt(0, 9));

  Ticks(61);
  EXPECT_EQ("......", Row(7));
  EXPECT_EQ("......", Row(8));
  EXPECT_EQ("...E..", Row(9));
  EXPECT_EQ(5, g.ErasedBlocks);
  EXPECT_EQ(1200, g.Field.StepScores[0]);  // (3 x 1 + 3 x 3) x 100
  EXPECT_EQ(1200, g.Score);
}

TEST_F(MatchTest, TheBlinkLastsSixtyTicksAndTheBlocksGoInTheSixtyFirst) {
  TRecordingGameMain& g = Start();
  SetWell({"BAAAC."}, "ZZZZZZ");
  g.Field.CheckMatches();
  Ticks(59);
  EXPECT_EQ(20, g.Field.EraseTimers[9][1]);
  Tick();  // 60th: exactly 0, still there
  EXPECT_EQ(0, g.Field.EraseTimers[9][1]);
  EXPECT_EQ("BAAAC.", Row(9));
  EXPECT_TRUE(g.Field.Erasing);
  EXPECT_EQ(0, g.Count("星"));
  Tick();  // 61st: gone
  EXPECT_EQ("B...C.", Row(9));
  EXPECT_EQ(1, g.Count("星"));
  EXPECT_EQ(0, FlagsAt(1, 9));
  EXPECT_EQ(0, g.Field.Groups[9][1]);
  EXPECT_EQ(0, g.Field.Chain);  // nothing falls and nothing blinks any more
  EXPECT_EQ(300, g.Score);
}

TEST_F(MatchTest, BlinkingCellsAreHiddenOnOddFrames) {
  TGameMainMode& g = Start();
  SetWell({"AAA..."}, "ZZZZZZ");
  g.Field.CheckMatches();
  g.Frames = 1;
  Tick();  // frame 1
  EXPECT_TRUE(FlagsAt(0, 9) & cfHidden);
  Tick();  // frame 2
  EXPECT_FALSE(FlagsAt(0, 9) & cfHidden);
}

TEST_F(MatchTest, StartingAnEraseShowsAFlashAndSoundPerCellPerRunCell) {
  TRecordingGameMain& g = Start();
  SetWell({"AAA..."}, "ZZZZZZ");
  g.Field.CheckMatches();
  // The group restarts once for each cell of the run: 1 + 2 + 3 cell starts.
  EXPECT_EQ(6, g.Count("消去"));
  EXPECT_EQ(6, g.FlashActors->Count());
  EXPECT_EQ(1, g.Face->GetExpression());
  TActor* flash = g.FlashActors->Get(0);
  EXPECT_FLOAT_EQ(160.0f, flash->X);
  EXPECT_FLOAT_EQ(32.0f + 9 * 32, flash->Y);
}

TEST_F(MatchTest, RemovalSpawnsStarsAndTheEndlessScoreAtTheLastCell) {
  TRecordingGameMain& g = Start();
  SetWell({"..BBB."}, "ZZZZZZ");
  g.Field.CheckMatches();
  Ticks(61);
  EXPECT_EQ(3 * 5, g.StarActors->Count());  // a burst of five per block
  ASSERT_EQ(1, g.ScoreActors->Count());
  auto* score = static_cast<TScoreActor*>(g.ScoreActors->Get(0));
  EXPECT_EQ(300, score->Value);
  EXPECT_FLOAT_EQ(160.0f + 4 * 32 + 16, score->X);
  EXPECT_EQ(0, g.Face->GetExpression());
}

TEST_F(MatchTest, PuzzleRemovalScoresWithoutAFloatingScore) {
  TRecordingGameMain& g = Start(1);
  SetWell({"..BBB.", "..ACE."}, "AAAAAA");
  g.Field.CheckMatches();
  Ticks(61);
  EXPECT_EQ(300, g.Score);
  EXPECT_EQ(0, g.ScoreActors->Count());
}

TEST_F(MatchTest, AGroupExtendedWhileBlinkingRestartsAndVanishesTogether) {
  TRecordingGameMain& g = Start();
  SetWell({"AAA.A."}, "ZZZZZZ");
  g.Field.CheckMatches();
  const uint16_t group = g.Field.Groups[9][0];
  Ticks(30);
  EXPECT_EQ(600, g.Field.EraseTimers[9][0]);

  // The fourth A is swapped onto the end of the blinking run.
  g.Field.SwapCells(3, 9, 4, 9);
  EXPECT_EQ("AAAA..", Row(9));
  for (int i = 0; i < 7; ++i) {
    Tick();
    EXPECT_FALSE(FlagsAt(3, 9) & cfErasing) << "matched while swapping";
  }
  Tick();  // the swap ends: the run now has four cells, all restarted (and ticked once)
  EXPECT_TRUE(FlagsAt(3, 9) & cfErasing);
  EXPECT_EQ(group, g.Field.Groups[9][3]);
  for (int c = 0; c < 4; ++c) EXPECT_EQ(1180, g.Field.EraseTimers[9][c]) << c;

  Ticks(59);
  EXPECT_EQ("AAAA..", Row(9));
  Tick();
  EXPECT_EQ("......", Row(9));
  EXPECT_EQ(4, g.ErasedBlocks);
  EXPECT_EQ(800, g.Score);
}

TEST_F(MatchTest, ABlinkingCellRefusesASwap) {
  TRecordingGameMain& g = Start();
  SetWell({"AAAB.."}, "ZZZZZZ");
  g.Field.CheckMatches();
  g.Field.SwapCells(2, 9, 3, 9);
  EXPECT_EQ(0, g.Field.SwapTimer);
  EXPECT_EQ("AAAB..", Row(9));
}

TEST_F(MatchTest, TwoSeparateRunsGetTheirOwnGroups) {
  TGameMainMode& g = Start();
  SetWell({"AAA...", "......", "BBB..."}, "ZZZZZZ");
  g.Field.CheckMatches();
  EXPECT_NE(0, g.Field.Groups[7][0]);
  EXPECT_NE(0, g.Field.Groups[9][0]);
  EXPECT_NE(g.Field.Groups[7][0], g.Field.Groups[9][0]);
  EXPECT_EQ(3, g.Field.NewGroupId());
}

TEST_F(MatchTest, GroupIdsAreOnlyGivenOnceTheGameHasStarted) {
  TGameMainMode& g = Start();
  g.Field.Started = false;
  SetWell({"AAA..."}, "ZZZZZZ");
  EXPECT_TRUE(g.Field.CheckMatches());
  EXPECT_EQ(0, g.Field.Groups[9][0]);
  EXPECT_EQ(0, g.Field.EraseTimers[9][0]);
  EXPECT_EQ(0, g.FlashActors->Count());
}

TEST_F(MatchTest, ChainScoreExamples) {
  TGameMainMode& g = Start();
  g.Field.Chain = 0;
  EXPECT_EQ(0, g.Field.ChainScore(3, 0));
  g.Field.Chain = 1;
  EXPECT_EQ(300, g.Field.ChainScore(3, 0));
  EXPECT_EQ(800, g.Field.ChainScore(4, 0));
  EXPECT_EQ(1500, g.Field.ChainScore(5, 0));
  EXPECT_EQ(900, g.Field.ChainScore(0, 3));
  EXPECT_EQ(300, g.Field.ChainScore(3, 0));
  g.Field.Chain = 2;
  EXPECT_EQ(1200, g.Field.ChainScore(3, 0));
  g.Field.Chain = 3;
  EXPECT_EQ(3 * (300 + 300 + 1600), g.Field.ChainScore(0, 4));
}

TEST_F(MatchTest, AddScoreDelaysTheRiseAndLiftsTheHighScore) {
  TGameMainMode& g = Start();
  EXPECT_EQ(100000, g.HiScore);
  const int32_t countdown = g.Endless.RiseCountdown;
  g.AddScore(0);
  EXPECT_EQ(countdown + 200, g.Endless.RiseCountdown);
  g.AddScore(-5);
  EXPECT_EQ(countdown + 200, g.Endless.RiseCountdown);
  EXPECT_EQ(0, g.Score);
  g.AddScore(99999);
  EXPECT_EQ(100000, g.HiScore);
  g.AddScore(2);
  EXPECT_EQ(100001, g.Score);
  EXPECT_EQ(100001, g.HiScore);
  g.AddScore(INT32_MAX);  // the score saturates instead of wrapping
  EXPECT_EQ(INT32_MAX, g.Score);
}

}  // namespace
