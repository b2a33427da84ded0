// The endless rules (rise countdown, levels, the letter supply, the worried face) and the
// puzzle rules (stage loading, clear and dead end, the stage advance and its save).
#include "tests/play/play_fixture.h"

#include "play/scoreactor.h"

namespace {

class EndlessTest : public PlayTest {};

TEST_F(EndlessTest, DifficultiesSetTheSupplyTheRowsAndThePace) {
  const int32_t letters[3] = {5, 13, 26}, maxLetters[3] = {10, 26, 26}, interval[3] = {32, 24, 10};
  for (uint8_t d = 0; d < 3; ++d) {
    TGameMainMode& g = Start(0, d);
    EXPECT_EQ(letters[d], g.Field.LetterCount);
    EXPECT_EQ(maxLetters[d], g.Endless.MaxLetters);
    EXPECT_EQ(interval[d] * 1000, g.Endless.RiseInterval);
    EXPECT_EQ(g.Endless.RiseInterval, g.Endless.RiseCountdown);
    EXPECT_EQ(10, g.Endless.LevelCountdown);
  }
  // A difficulty outside the table (never chosen by the game) plays as HARD.
  TGameMainMode& g = Start(0, 7);
  EXPECT_EQ(26, g.Field.LetterCount);
}

TEST_F(EndlessTest, TheFirstEasyPushUpStarts32SecondsAfterGo) {
  TGameMainMode& g = Start();
  SetWell({"ACEG..", "BDFH.."}, "ACEGIK");
  Ticks(1600);
  EXPECT_EQ(0, g.Endless.RiseCountdown);
  EXPECT_EQ(0, g.Field.PushTimer);
  Tick();
  EXPECT_EQ(640 - 20, g.Field.PushTimer);  // started, and its first step run in the same tick
  EXPECT_EQ(32000, g.Endless.RiseCountdown);
}

TEST_F(EndlessTest, TheCountdownStandsWhileBlocksBlinkOrFall) {
  TGameMainMode& g = Start();
  SetWell({"A.....", "......", "BBB..."}, "ACEGIK");
  g.Field.CheckMatches();
  const int32_t start = g.Endless.RiseCountdown;
  Tick();  // Erasing and Falling are only known after the first tick
  EXPECT_EQ(start - 20, g.Endless.RiseCountdown);
  Ticks(30);
  EXPECT_EQ(start - 20, g.Endless.RiseCountdown);
  for (int i = 0; i < 200 && (g.Field.Erasing || g.Field.Falling); ++i) Tick();
  // The removal of BBB added 200 ms.
  const int32_t after = g.Endless.RiseCountdown;
  EXPECT_EQ(start - 20 + 200, after);
  Tick();
  EXPECT_EQ(after - 20, g.Endless.RiseCountdown);
}

TEST_F(EndlessTest, TheRaiseButtonPushesAtOnceAndRestartsTheCountdown) {
  TGameMainMode& g = Start();
  SetWell({"ACEG..", "BDFH.."}, "ACEGIK");
  Ticks(100);
  Tick(20, btB);
  EXPECT_EQ(620, g.Field.PushTimer);
  EXPECT_EQ(32000 - 20, g.Endless.RiseCountdown);
  Ticks(10);
  Tick(20, btB);  // during a push-up: only the countdown restarts
  EXPECT_EQ(620 - 11 * 20, g.Field.PushTimer);
  EXPECT_EQ(32000 - 20, g.Endless.RiseCountdown);

  TGameMainMode& p = Start(1);
  SetWell({"ACEG..", "BDFH.."}, "AAAAAA");
  Tick(20, btB);  // the puzzle game has no raise
  EXPECT_EQ(0, p.Field.PushTimer);
}

TEST_F(EndlessTest, TenEraseEventsMakeALevelAndEverySecondLevelAddsALetter) {
  TGameMainMode& g = Start();
  SetWell({"ACEG..", "BDFH.."}, "ACEGIK");
  g.Endless.LevelCountdown = 0;
  Tick();
  EXPECT_EQ(1, g.Endless.LevelCount);
  EXPECT_EQ(30000, g.Endless.RiseInterval);
  EXPECT_EQ(10, g.Endless.LevelCountdown);
  EXPECT_EQ(5, g.Field.LetterCount);
  EXPECT_TRUE(g.Face->BalloonOn);
  EXPECT_EQ(kLevelUpText, g.Face->BalloonText);
  EXPECT_EQ(1, g.Face->GetExpression());
  g.Endless.LevelCountdown = 0;
  Tick();
  EXPECT_EQ(2, g.Endless.LevelCount);
  EXPECT_EQ(6, g.Field.LetterCount);  // EASY: A to F
  EXPECT_EQ(26000, g.Endless.RiseInterval);

  for (int i = 0; i < 40; ++i) {
    g.Endless.LevelCountdown = 0;
    Tick();
  }
  EXPECT_EQ(10, g.Field.LetterCount);  // never above MaxLetters
  EXPECT_EQ(6000, g.Endless.RiseInterval);  // column 19 from level 19 on
  for (int i = 0; i < 100; ++i) {
    g.Endless.LevelCountdown = 0;
    Tick();
  }
  EXPECT_EQ(98, g.Endless.LevelCount);  // shown as 99
}

TEST_F(EndlessTest, AnEraseTickInWhichBlocksVanishCountsOneEvent) {
  TGameMainMode& g = Start();
  SetWell({"AAA...", "......", "BBB..."}, "ACEGIK");
  g.Field.CheckMatches();  // two groups, erased in the same tick
  Ticks(61);
  EXPECT_EQ(9, g.Endless.LevelCountdown);

  TGameMainMode& p = Start(1);
  SetWell({"AAA...", "BCE..."}, "AAAAAA");
  p.Field.CheckMatches();
  Ticks(61);
  EXPECT_EQ(10, p.Endless.LevelCountdown);  // the puzzle game has no levels
  EXPECT_EQ(300, p.Score);
  EXPECT_EQ(0, p.ScoreActors->Count());  // nor a floating score
}

TEST_F(EndlessTest, AHighStackWorriesACalmFaceOnly) {
  TGameMainMode& g = Start();
  SetWell({"A.....", "C.....", "E.....", "G.....", "I.....", "K.....", "M....."}, "ACEGIK");
  g.Face->SetExpression(0);
  g.CheckHeight();  // seven rows
  EXPECT_EQ(0, g.Face->GetExpression());
  g.Field.Letters[2][3] = 0;  // eight rows
  g.CheckHeight();
  EXPECT_EQ(3, g.Face->GetExpression());
  g.Field.Letters[2][3] = kEmpty;
  g.CheckHeight();
  EXPECT_EQ(0, g.Face->GetExpression());
  g.Field.Letters[0][5] = 0;  // ten rows, but the face shows another expression
  g.Face->SetExpression(2);
  g.CheckHeight();
  EXPECT_EQ(2, g.Face->GetExpression());
  g.Face->SetExpression(3);
  g.Field.Letters[0][5] = kEmpty;
  g.Face->SetBalloon("x");
  g.CheckHeight();
  EXPECT_EQ(1, g.Face->GetExpression());
}

TEST_F(EndlessTest, TheHighScoreFollowsTheScoreOncePassed) {
  data.Ranking[0].Score = 500;
  TGameMainMode& g = Start();
  EXPECT_EQ(500, g.HiScore);
  SetWell({"BBB..."}, "ACEGIK");
  g.Field.CheckMatches();
  Ticks(61);
  EXPECT_EQ(300, g.Score);
  EXPECT_EQ(500, g.HiScore);
  SetWell({"CCC..."}, "ACEGIK");
  g.Field.CheckMatches();
  Ticks(61);
  EXPECT_EQ(600, g.Score);
  EXPECT_EQ(600, g.HiScore);
}

TEST_F(EndlessTest, ScoreDelaysTheRiseAndLiftsTheHighScore) {
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

class PuzzleTest : public PlayTest {
 protected:
  // Stage s of the puzzle data from ten rows (top to bottom).
  void SetStage(int s, const std::vector<std::string>& rows) {
    for (int r = 0; r < 10; ++r)
      for (int c = 0; c < 6; ++c) {
        const char ch = rows[r][c];
        data.PuzzleData[60 * s + 6 * r + c] = static_cast<uint8_t>(ch == '.' ? 26 : ch - 'A');
      }
  }
  void FillEmptyStages() {
    for (int i = 0; i < kPuzzleDataSize; ++i) data.PuzzleData[i] = 26;
  }
};

TEST_F(PuzzleTest, StageOneIsClearedInTwoSwaps) {
  FillEmptyStages();
  // Stage 1: empty but for its bottom row, which reads empty, B, empty, A, C, empty.
  for (int i = 0; i < 55; ++i) ASSERT_EQ(26, data.PuzzleData[i]);
  const uint8_t bottom[5] = {1, 26, 0, 2, 26};
  std::copy(bottom, bottom + 5, data.PuzzleData + 55);
  data.Stage = 0;
  TRecordingGameMain& g = Start(1);
  EXPECT_EQ(".B.AC.", Row(9));
  EXPECT_EQ("AAAAAA", Row(10));  // the floor
  EXPECT_EQ(3, g.Puzzle.StageBlocks);
  // B moved right into the gap, then B and A exchanged.
  g.Field.CursorCol = 2;
  g.Field.CursorRow = 9;
  g.Field.PartnerCol = 1;
  g.Field.PartnerRow = 9;
  Tick(20, btA);
  Ticks(10);
  EXPECT_EQ("..BAC.", Row(9));
  Tick(20, btRight);
  Tick(20, btA);
  Ticks(8);
  EXPECT_EQ("..ABC.", Row(9));
  EXPECT_TRUE(g.Field.Flags[9][2] & cfSeqRun);
  int ticks = 0;
  while (Row(9) != "......" && ticks < 100) {
    EXPECT_FALSE(g.IsOver);  // the blinking letters still count
    Tick();
    ++ticks;
  }
  EXPECT_EQ(59, ticks);  // 1200 ms from the tick the run formed in
  EXPECT_FALSE(g.Cleared);  // the clear test runs before the removal in a tick
  Tick();
  EXPECT_TRUE(g.Cleared);
  EXPECT_FALSE(g.IsOver);
  EXPECT_EQ(900, g.Score);
}

TEST_F(PuzzleTest, AStageWithNoRunLeftIsLostAtOnce) {
  FillEmptyStages();
  SetStage(0, {"......", "......", "......", "......", "......", "......", "......", "......",
               "A.....", "A.C.D."});
  TRecordingGameMain& g = Start(1);
  Tick();
  EXPECT_TRUE(g.IsOver);
  EXPECT_EQ(1, g.Count("ゲームオーバー"));

  // A, B and C anywhere keep it open, even when they can never meet.
  SetStage(0, {"A.....", "B.....", "......", "......", "......", "......", "......", "......",
               "......", "D....C"});
  TRecordingGameMain& h = Start(1);
  Ticks(3);
  EXPECT_FALSE(h.IsOver);
}

TEST_F(PuzzleTest, TheDeadEndTestWaitsForFalls) {
  FillEmptyStages();
  // Once the C's are gone, A, B and D can make no run; A is still falling then.
  SetStage(0, {"......", "......", "......", "......", "......", "......", "......", "A.....",
               "CCC...", "B.D..."});
  TRecordingGameMain& g = Start(1);
  g.Field.CheckMatches();  // as after a swap
  for (int i = 0; i < 100 && Row(8) != "......"; ++i) Tick();
  ASSERT_TRUE(g.Field.Falling);
  for (int i = 0; i < 100 && g.Field.Falling; ++i) {
    EXPECT_FALSE(g.IsOver);
    Tick();
  }
  EXPECT_EQ("A.....", Row(8));
  Tick();
  EXPECT_TRUE(g.IsOver);
}

TEST_F(PuzzleTest, DamagedStageNumbersAndBytesStayInsideThePuzzleData) {
  FillEmptyStages();
  SetStage(49, {"......", "......", "......", "......", "......", "......", "......", "......",
                "......", "XYZXYZ"});
  data.Stage = 1000;
  TGameMainMode& g = Start(1);
  EXPECT_EQ(49, g.Puzzle.Stage);
  EXPECT_EQ("XYZXYZ", Row(9));

  data.Stage = -3;
  data.PuzzleData[55] = 200;  // outside the letters: taken as empty
  data.PuzzleData[56] = 0x80;
  data.PuzzleData[57] = 3;
  TGameMainMode& h = Start(1);
  EXPECT_EQ(0, h.Puzzle.Stage);
  EXPECT_EQ("...D..", Row(9));
  EXPECT_EQ(1, h.Puzzle.StageBlocks);
}

// A clear moves on to the next stage; the continue point (and the best stage) follow, with a
// save, only when that stage is a new one and exists.
TEST_F(PuzzleTest, AClearMovesTheContinuePointOnlyToANewStage) {
  const struct {
    int Stage, Continue, Max, StageAfter, ContinueAfter, MaxAfter, Saves;
  } cases[] = {
      {11, 5, 8, 12, 12, 12, 1},
      {3, 20, 20, 4, 20, 20, 0},   // an earlier stage replayed
      {49, 49, 49, 50, 49, 49, 0},  // the last stage
  };
  for (const auto& c : cases) {
    data.Stage = c.Stage;
    data.ContinueStage = c.Continue;
    data.MaxStage = c.Max;
    data.Retries = 3;
    data.StageTime = 70000;
    TRecordingGameMain& g = Start(1);
    EXPECT_EQ(3, g.Puzzle.Retries);
    EXPECT_EQ(70000, g.Puzzle.StageTime);
    g.Cleared = true;
    g.Leave();
    EXPECT_EQ(c.StageAfter, data.Stage);
    EXPECT_EQ(c.ContinueAfter, data.ContinueStage);
    EXPECT_EQ(c.MaxAfter, data.MaxStage);
    EXPECT_EQ(0, data.Retries);
    EXPECT_EQ(0, data.StageTime);
    EXPECT_FALSE(data.StageFailed);
    EXPECT_EQ(c.Saves, g.Saves);
  }
}

TEST_F(PuzzleTest, ALostStageKeepsItsTimeForTheNextAttempt) {
  data.Stage = 6;
  data.StageTime = 5000;
  data.Retries = 1;
  TRecordingGameMain& g = Start(1);
  SetWell({"ACEG..", "BDFH.."}, "AAAAAA");
  Ticks(50);
  g.GameOver();
  g.Leave();
  EXPECT_EQ(6, data.Stage);
  EXPECT_EQ(6000, data.StageTime);
  EXPECT_EQ(1, data.Retries);
  EXPECT_TRUE(data.StageFailed);
  EXPECT_EQ(0, g.Saves);
}

}  // namespace
