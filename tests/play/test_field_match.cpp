// Runs of equal and ascending letters, erase groups, the blink, the removal and its points.
#include "tests/play/field_fixture.h"

namespace {

using namespace field_test;

// The number of cells that blink after one search for runs in a new well.
int Blinking(const std::vector<std::string>& rows, const std::string& next = "ZZZZZZ") {
  TField f = Well(rows, next);
  f.CheckMatches();
  return CellsWith(f, cfErasing);
}

TEST(FieldMatch, RunsOfThreeOrMoreEqualOrAscendingLettersAcrossOrDown) {
  EXPECT_EQ(4, Blinking({"BAAAAC"}));
  EXPECT_EQ(4, Blinking({"ABCD.."}));
  EXPECT_EQ(3, Blinking({"X.....", "Y.....", "Z....."}));
  EXPECT_EQ(3, Blinking({"..XYZ."}));  // Z is never followed, not even by an empty cell
  EXPECT_EQ(0, Blinking({"DCBA..", "YZA..."}));  // descending, wrapping
  EXPECT_EQ(0, Blinking({"C.....", "B.....", "A....."}));
  EXPECT_EQ(0, Blinking({"YZ....", "AA.A.."}));  // an empty cell ends a run

  TRecorder events;
  TField f = Well({"BAAAAC"});
  f.Events = &events;
  EXPECT_TRUE(f.CheckMatches());
  EXPECT_EQ(1, f.Chain);
  const uint16_t group = f.Groups[9][1];
  EXPECT_NE(0, group);
  for (int c = 1; c <= 4; ++c) {
    EXPECT_EQ(cfErasing | cfLocked | cfSameRun, f.Flags[9][c]) << c;
    EXPECT_EQ(group, f.Groups[9][c]);
    EXPECT_EQ(kEraseTime, f.EraseTimers[9][c]);
  }
  EXPECT_EQ(std::vector<std::string>{"same 1,9 across 4"}, events.Log);
  // The group restarts once for each cell of the run: 1 + 2 + 3 + 4 cell starts.
  EXPECT_EQ(10, events.EraseStarts);
  EXPECT_FALSE(f.CheckMatches());  // found again: the run is not new
}

TEST(FieldMatch, SwappingAndFallingCellsNeitherFormNorContinueRuns) {
  TField f = Well({"AAA...", "ABC..."});
  f.Flags[8][1] |= cfSwapping;
  f.Flags[9][2] |= cfFalling;
  EXPECT_FALSE(f.CheckMatches());
}

TEST(FieldMatch, SameAndAscendingRunsSharingACellFormOneGroupOfFive) {
  TRecorder events;
  // Column 0 reads A B C downwards; row 9 reads C C C.
  TField f = Well({"A.....", "B.....", "CCCE.."});
  f.Events = &events;
  EXPECT_TRUE(f.CheckMatches());
  EXPECT_EQ(5, CellsWith(f, cfErasing));
  const uint16_t group = f.Groups[9][0];
  EXPECT_NE(0, group);
  EXPECT_EQ(group, f.Groups[7][0]);
  EXPECT_EQ(group, f.Groups[8][0]);
  EXPECT_EQ(group, f.Groups[9][2]);
  EXPECT_EQ(cfErasing | cfLocked | cfSameRun | cfSeqRun, f.Flags[9][0]);

  Steps(f, 61);
  EXPECT_EQ("......", Row(f, 8));
  EXPECT_EQ("...E..", Row(f, 9));
  EXPECT_EQ(1200, f.StepScores[0]);  // (3 x 1 + 3 x 3) x 100
  EXPECT_EQ(1, events.Count("erased 5 for 1200 last 2,9"));
}

TEST(FieldMatch, TheBlinkShowsOnEvenFramesAndTheBlocksGoInTheSixtyFirstTick) {
  TRecorder events;
  TField f = Well({"BAAAC."});
  f.Events = &events;
  f.CheckMatches();
  f.Frames = 1;
  f.Step(20, 0, 0);  // frame 1: hidden
  EXPECT_TRUE(f.Flags[9][1] & cfHidden);
  f.Step(20, 0, 0);  // frame 2: shown
  EXPECT_FALSE(f.Flags[9][1] & cfHidden);
  Steps(f, 57);
  EXPECT_EQ(20, f.EraseTimers[9][1]);
  f.Step(20, 0, 0);  // 60th: exactly 0, still there
  EXPECT_EQ(0, f.EraseTimers[9][1]);
  EXPECT_EQ("BAAAC.", Row(f, 9));
  EXPECT_TRUE(f.Erasing);
  f.Step(20, 0, 0);  // 61st: gone
  EXPECT_EQ("B...C.", Row(f, 9));
  EXPECT_EQ(0, f.Flags[9][1]);
  EXPECT_EQ(0, f.Groups[9][1]);
  EXPECT_EQ(0, f.Chain);  // nothing falls and nothing blinks any more
  EXPECT_EQ(3, events.Erased);
  EXPECT_EQ((std::vector<std::string>{"same 1,9 across 3", "erased 3 for 300 last 3,9",
                                      "erase ended"}),
            events.Log);
}

TEST(FieldMatch, AGroupExtendedWhileBlinkingRestartsAndVanishesTogether) {
  TRecorder events;
  TField f = Well({"AAA.AB"});
  f.Events = &events;
  f.CheckMatches();
  const uint16_t group = f.Groups[9][0];
  Steps(f, 30);
  EXPECT_EQ(600, f.EraseTimers[9][0]);
  f.SwapCells(2, 9, 3, 9);  // a blinking cell refuses a swap
  EXPECT_EQ(0, f.SwapTimer);

  // The fourth A is swapped onto the end of the blinking run.
  f.SwapCells(3, 9, 4, 9);
  EXPECT_EQ("AAAA.B", Row(f, 9));
  for (int i = 0; i < 7; ++i) {
    f.Step(20, 0, 0);
    EXPECT_FALSE(f.Flags[9][3] & cfErasing) << "matched while swapping";
  }
  f.Step(20, 0, 0);  // the swap ends: the run now has four cells, all restarted (and ticked once)
  EXPECT_TRUE(f.Flags[9][3] & cfErasing);
  EXPECT_EQ(group, f.Groups[9][3]);
  for (int c = 0; c < 4; ++c) EXPECT_EQ(1180, f.EraseTimers[9][c]) << c;

  Steps(f, 59);
  EXPECT_EQ("AAAA.B", Row(f, 9));
  f.Step(20, 0, 0);
  EXPECT_EQ(".....B", Row(f, 9));
  EXPECT_EQ(1, events.Count("erased 4 for 800 last 3,9"));
}

TEST(FieldMatch, EachRunGetsItsOwnGroupOnceTheGameHasStarted) {
  TField f = Well({"AAA...", "......", "BBB..."});
  f.CheckMatches();
  EXPECT_NE(0, f.Groups[7][0]);
  EXPECT_NE(0, f.Groups[9][0]);
  EXPECT_NE(f.Groups[7][0], f.Groups[9][0]);
  EXPECT_EQ(3, f.NewGroupId());

  TRecorder events;
  TField before = Well({"AAA..."});
  before.Events = &events;
  before.Started = false;  // runs are only flagged
  EXPECT_TRUE(before.CheckMatches());
  EXPECT_EQ(0, before.Groups[9][0]);
  EXPECT_EQ(0, before.EraseTimers[9][0]);
  EXPECT_EQ(0, events.EraseStarts);
}

TEST(FieldMatch, ChainScoreExamples) {
  TField f = Well({});
  f.Chain = 0;
  EXPECT_EQ(0, f.ChainScore(3, 0));
  f.Chain = 1;
  EXPECT_EQ(300, f.ChainScore(3, 0));
  EXPECT_EQ(800, f.ChainScore(4, 0));
  EXPECT_EQ(1500, f.ChainScore(5, 0));
  EXPECT_EQ(900, f.ChainScore(0, 3));
  EXPECT_EQ(300, f.ChainScore(3, 0));
  f.Chain = 2;
  EXPECT_EQ(1200, f.ChainScore(3, 0));
  f.Chain = 3;
  EXPECT_EQ(3 * (300 + 300 + 1600), f.ChainScore(0, 4));
}

}  // namespace
