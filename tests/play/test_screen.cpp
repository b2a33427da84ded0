// The game screen as a mode: READY and GO, the play tick, pause, retire, the options
// detour, the game-over and stage-clear sequences, and the results handed back.
#include "tests/play/play_fixture.h"

#include "play/blkactor.h"
#include "play/flashactor.h"
#include "play/overactor.h"
#include "play/scoreactor.h"
#include "play/staractor.h"
#include "tests/play/standin.h"

#include <set>

namespace {

class ScreenTest : public PlayTest {
 protected:
  // A game screen that has not run yet.
  TRecordingGameMain& Make(uint8_t gameType = 0, uint8_t difficulty = 0) {
    data.GameType = gameType;
    data.Difficulty = difficulty;
    game = std::make_unique<TRecordingGameMain>(nullptr, &kernel, &data);
    return *game;
  }
  // One frame of the mode framework with the given buttons newly pressed.
  void Frame(int dt = 20, uint16_t pushed = 0) {
    kernel.Pushed = pushed;
    kernel.Repeat = static_cast<uint16_t>(pushed & 0x0F);
    game->Update(dt);
    kernel.Pushed = 0;
    kernel.Repeat = 0;
  }
  void Frames(int n, int dt = 20) {
    for (int i = 0; i < n; ++i) Frame(dt);
  }
  // Runs frames while the screen stays in `phase` (at most 100); the frames run.
  int FramesIn(int phase) {
    int n = 0;
    for (; game->Phase == phase && n < 100; ++n) Frame();
    return n;
  }
  // Runs the screen up to the first play tick.
  void ToPlay(int dt = 20) {
    for (int i = 0; i < 1000 && game->Phase != 2; ++i) Frame(dt);
  }
  struct Snapshot {
    std::string Field;
    std::vector<int32_t> Numbers;
    bool operator==(const Snapshot&) const = default;
  };
  Snapshot Take() const {
    const TGameMainMode& g = *game;
    Snapshot s;
    for (int r = 0; r < kFieldRows; ++r)
      for (int c = 0; c < kFieldCols; ++c) {
        s.Field += static_cast<char>('A' + g.Field.Letters[r][c]);
        s.Numbers.push_back(g.Field.Flags[r][c]);
        s.Numbers.push_back(g.Field.EraseTimers[r][c]);
      }
    for (const TFallRecord& f : g.Field.Falls) {
      s.Numbers.push_back(f.Active);
      s.Numbers.push_back(static_cast<int32_t>(f.Y * 100));
    }
    s.Numbers.insert(
        s.Numbers.end(),
        {g.Field.SwapTimer, g.Field.PushTimer, static_cast<int32_t>(g.Field.Scroll * 100),
         g.Puzzle.StageTime, g.Endless.RiseCountdown, g.Score, g.Field.Chain, g.FlashActors->Count(),
         g.StarActors->Count(), g.ScoreActors->Count(), g.Face->Elapsed, g.Face->BalloonTimer});
    return s;
  }
};

// What the well tells becomes sounds, the face, effect actors and score: a swap that makes
// a run of three, its removal, the falls into the gaps and the second chain step.
TEST_F(ScreenTest, TheWellsEventsBecomeSoundsTheFaceEffectsAndScore) {
  TRecordingGameMain& g = Start();
  SetWell({"...B.A", ".BBAAC"}, "ZZZZZZ");
  g.Field.CursorCol = g.Field.PartnerCol = 5;
  g.Field.CursorRow = 8;
  g.Field.PartnerRow = 9;
  Tick(20, btA);  // A and C change places
  EXPECT_EQ(std::vector<std::string>{"入れ替え"}, g.Sounds);
  Ticks(7);  // the swap ends and the run is found
  // The group restarts once for each cell of the run: 1 + 2 + 3 cell starts.
  EXPECT_EQ(6, g.Count("消去"));
  EXPECT_EQ(6, g.FlashActors->Count());
  EXPECT_FLOAT_EQ(160.0f + 3 * 32, g.FlashActors->Get(0)->X);
  EXPECT_FLOAT_EQ(32.0f + 9 * 32, g.FlashActors->Get(0)->Y);
  EXPECT_EQ(1, g.Face->GetExpression());

  Ticks(61);  // AAA goes: stars, the floating score at the last cell, the calm face
  EXPECT_EQ(3 * 5, g.StarActors->Count());  // a burst of five per block
  ASSERT_EQ(1, g.ScoreActors->Count());
  auto* score = static_cast<TScoreActor*>(g.ScoreActors->Get(0));
  EXPECT_EQ(300, score->Value);
  EXPECT_FLOAT_EQ(160.0f + 5 * 32 + 16, score->X);
  EXPECT_EQ(300, g.Score);
  EXPECT_EQ(3, g.ErasedBlocks);
  EXPECT_EQ(1, g.Count("星"));
  EXPECT_EQ(0, g.Face->GetExpression());

  for (int i = 0; i < 40 && g.Field.Chain < 2; ++i) Tick();  // B and C land: a new run
  EXPECT_EQ(2, g.Count("落下"));
  EXPECT_TRUE(g.Face->BalloonOn);
  EXPECT_EQ(std::string("2") + kChainText, g.Face->BalloonText);
  EXPECT_EQ(2, g.Face->GetExpression());
  Ticks(61);
  EXPECT_EQ(300 + 2 * (300 + 300), g.Score);
  EXPECT_EQ(6, g.ErasedBlocks);
}

TEST_F(ScreenTest, AnOverflowLosesTheGameOnce) {
  TRecordingGameMain& g = Start();
  g.StackOverflowed();
  ASSERT_TRUE(g.IsOver);
  ASSERT_NE(nullptr, g.OverActor);
  EXPECT_FLOAT_EQ(92.0f, g.OverActor->X);
  EXPECT_FLOAT_EQ(-90.0f, g.OverActor->Y);
  EXPECT_EQ(1, g.Count("ゲームオーバー"));
  EXPECT_EQ(1, g.MusicStops);
  EXPECT_EQ(4, g.Face->GetExpression());
  g.StackOverflowed();  // the well overflows again in the next tick: lost only once
  EXPECT_EQ(1, g.Count("ゲームオーバー"));
  EXPECT_EQ(1, g.MusicStops);
}

TEST_F(ScreenTest, ReadyShowsFor80TicksAndGoFor40AfterTheFadeIn) {
  TRecordingGameMain& g = Make();
  Frame();
  EXPECT_TRUE(g.Field.Started);
  EXPECT_EQ(0, g.Phase);
  EXPECT_EQ(0, g.ReadyStep);  // READY is up during the fade-in already
  Frames(11);
  EXPECT_EQ(0, g.Phase);
  Frame();  // 13th: the fade-in (a step of dt per tick) completes
  EXPECT_EQ(1, g.Phase);
  EXPECT_EQ(0, kernel.FadeLevel);
  EXPECT_EQ(1, g.Count("レディーゴー"));
  Frames(79);
  EXPECT_EQ(0, g.ReadyStep);
  EXPECT_EQ(0, g.MusicStarts);
  Frame();
  EXPECT_EQ(1, g.ReadyStep);  // GO, and the music starts with it
  EXPECT_EQ(1, g.MusicStarts);
  Frames(39);
  EXPECT_EQ(1, g.Phase);
  Frame();
  EXPECT_EQ(2, g.ReadyStep);
  EXPECT_EQ(2, g.Phase);
  EXPECT_EQ(0, g.Puzzle.StageTime);
  Frame();  // play begins in the tick after GO ends
  EXPECT_EQ(20, g.Puzzle.StageTime);
}

TEST_F(ScreenTest, AtFortyMillisecondsTheSameTimesTakeHalfTheTicks) {
  TRecordingGameMain& g = Make();
  Frames(7, 40);
  EXPECT_EQ(1, g.Phase);
  Frames(40, 40);
  EXPECT_EQ(1, g.ReadyStep);
  Frames(20, 40);
  EXPECT_EQ(2, g.Phase);
}

TEST_F(ScreenTest, PauseFreezesTheFieldTheTimersAndTheActors) {
  TRecordingGameMain& g = Make();
  ToPlay();
  SetWell({"A.....", "......", "BBB...", "CEG..."}, "FGFGFG");
  g.Field.CheckMatches();
  g.Field.StartPushUp();
  Frames(5);  // A falls, BBB blinks, the field rises
  ASSERT_TRUE(g.Field.Falling);
  Frame(20, btEnter);
  EXPECT_TRUE(g.Paused);
  EXPECT_EQ(1, g.Count("ポーズ"));
  const Snapshot before = Take();
  Frames(200);
  EXPECT_TRUE(before == Take());
  Frame(20, btEnter);  // ENTER again decides CANCEL
  EXPECT_FALSE(g.Paused);
  EXPECT_EQ(2, g.Count("ポーズ"));
  EXPECT_TRUE(before == Take());  // the resuming tick itself runs no rules
  Frame();
  EXPECT_FALSE(before == Take());
}

TEST_F(ScreenTest, PauseMenuCursorWrapsAround) {
  TRecordingGameMain& g = Make();
  ToPlay();
  Frame(20, btEnter);
  Frame(20, btUp);
  EXPECT_EQ(2, g.PauseCursor);
  Frame(20, btDown);
  EXPECT_EQ(0, g.PauseCursor);
  Frame(20, btDown);
  Frame(20, btDown);
  EXPECT_EQ(2, g.PauseCursor);
  Frame(20, btUp);
  EXPECT_EQ(1, g.PauseCursor);
}

TEST_F(ScreenTest, RetireNoReturnsToThePauseMenuAndYesLosesTheGame) {
  TRecordingGameMain& g = Make();
  ToPlay();
  Frame(20, btEnter);
  Frame(20, btDown);
  Frame(20, btA);
  EXPECT_TRUE(g.RetireConfirm);
  EXPECT_EQ(1, g.RetireCursor);  // NO first
  Frame(20, btDown);
  EXPECT_EQ(0, g.RetireCursor);
  Frame(20, btDown);
  EXPECT_EQ(1, g.RetireCursor);
  Frame(20, btEnter);  // NO
  EXPECT_FALSE(g.RetireConfirm);
  EXPECT_TRUE(g.Paused);
  EXPECT_EQ(1, g.PauseCursor);
  EXPECT_FALSE(g.IsOver);

  Frame(20, btA);  // RETIRE again
  Frame(20, btUp);
  Frame(20, btA);  // YES
  EXPECT_TRUE(g.IsOver);
  EXPECT_FALSE(g.Paused);
  EXPECT_FALSE(g.RetireConfirm);
  EXPECT_NE(nullptr, g.OverActor);
  EXPECT_EQ(1, g.Count("ゲームオーバー"));
  EXPECT_EQ(1, g.MusicStops);
  EXPECT_EQ(2, g.Phase);
  Frame();  // the game was lost before this tick began: the game-over screen follows
  EXPECT_EQ(4, g.Phase);
}

TEST_F(ScreenTest, TheOptionsDetourFadesOutRunsTheOptionsAndComesBackWithTheMusic) {
  TGameMgrMode::SetScreenFactory([](TScreenId id, TGameMgrMode* parent) -> TGameMgrMode* {
    EXPECT_EQ(TScreenId::Config, id);
    return new TStandInMode(parent, "TConfigMode");
  });
  TRecordingGameMain& g = Make();
  ToPlay();
  EXPECT_EQ(1, g.MusicStarts);
  SetWell({"A.....", "......", "BBB..."}, "CDCDCD");
  g.Field.CheckMatches();
  Frame(20, btEnter);
  Frame(20, btUp);
  Frame(20, btEnter);  // OPTION
  EXPECT_EQ(8, g.Phase);
  EXPECT_EQ(1, g.Count("決定"));
  const Snapshot before = Take();
  EXPECT_EQ(13, FramesIn(8));  // the fade-out
  EXPECT_EQ(9, g.Phase);
  EXPECT_FALSE(g.Paused);
  ASSERT_NE(nullptr, g.Child);
  EXPECT_STREQ("TConfigMode", g.Child->ClassName());
  Frame();  // the options screen runs (and here finishes at once)
  EXPECT_EQ(nullptr, g.Child);
  kernel.Blackout = true;  // as the options screen leaves it
  Frame();
  EXPECT_FALSE(kernel.Blackout);
  EXPECT_EQ(9, g.Phase);
  Frames(12);
  EXPECT_EQ(2, g.Phase);
  EXPECT_EQ(2, g.MusicStarts);  // the music of the (maybe new) option
  EXPECT_TRUE(before == Take());
  Frame();
  EXPECT_FALSE(before == Take());
  TGameMgrMode::SetScreenFactory(nullptr);
}

TEST_F(ScreenTest, AfterALossTheBlocksCrumbleOnePerTickAndRowZeroStays) {
  TRecordingGameMain& g = Make();
  ToPlay();
  SetWell({"AB....", ".C....", "...D..", "EF...."}, "GHGHGH");
  g.Field.Letters[0][4] = 25;  // a block in row 0
  g.GameOver();
  Frame();
  EXPECT_EQ(4, g.Phase);
  std::string order;
  for (int i = 0; i < 20; ++i) {
    const int before = g.BlockActors->Count();
    Frame();
    ASSERT_LE(g.BlockActors->Count(), before + 1);  // one block per tick
    if (g.BlockActors->Count() > before)
      order += static_cast<char>('A' + g.BlockActors->Get(g.BlockActors->Count() - 1)->Kind);
  }
  // Rows 6 (A B), 7 (C), 8 (D), 9 (E F) and the next row, each left to right.
  EXPECT_EQ("ABCDEFGHGHGH", order);
  EXPECT_EQ("....Z.", Row(0));
  EXPECT_EQ("......", Row(10));
}

TEST_F(ScreenTest, TheFirstCrumbledBlockStartsAtItsCell) {
  TRecordingGameMain& g = Make();
  ToPlay();
  SetWell({"......", "......", "......", "...K.."}, "GHGHGH");
  g.GameOver();
  Frame();
  Frame();
  ASSERT_EQ(1, g.BlockActors->Count());
  auto* b = static_cast<TBlkActor*>(g.BlockActors->Get(0));
  EXPECT_EQ(10, b->Kind);
  EXPECT_FLOAT_EQ(160.0f + 3 * 32, b->X);
  // Spawned at row 9 and moved once by its throw.
  EXPECT_FLOAT_EQ(32.0f + 9 * 32 - 400.0f * 0.02f, b->Y);
}

TEST_F(ScreenTest, ThePuzzleGameOverKeepsTheFloor) {
  TRecordingGameMain& g = Make(1);
  ToPlay();
  SetWell({"A....."}, "AAAAAA");
  g.GameOver();
  Frames(10);
  EXPECT_EQ("AAAAAA", Row(10));
  EXPECT_EQ("......", Row(9));
}

TEST_F(ScreenTest, TheGameOverScreenIsLeftWithEnterOrWithAOnceItsSoundEnded) {
  TRecordingGameMain& g = Make();
  ToPlay();
  g.GameOver();
  Frame();
  ASSERT_EQ(4, g.Phase);
  g.SoundStillPlaying = true;
  Frame(20, btA);
  EXPECT_EQ(4, g.Phase);
  g.SoundStillPlaying = false;
  Frame(20, btA);
  EXPECT_EQ(6, g.Phase);
  EXPECT_EQ(std::vector<std::string>{"ゲームオーバー"}, g.Stopped);
  EXPECT_EQ(1, g.Count("決定"));

  TRecordingGameMain& h = Make();
  ToPlay();
  h.GameOver();
  Frame();
  h.SoundStillPlaying = true;
  Frame(20, btEnter);
  EXPECT_EQ(6, h.Phase);
  EXPECT_EQ(13, FramesIn(6));  // the fade-out
  EXPECT_EQ(7, h.Phase);
  Frame();
  EXPECT_TRUE(h.Finished);
  EXPECT_TRUE(kernel.Blackout);
  EXPECT_EQ(nullptr, h.Face);  // Leave ran and deleted the actors
  EXPECT_EQ(nullptr, h.OverActor);
}

TEST_F(ScreenTest, OnTheClearScreenTheLastBlinkingBlocksFinishWhileTheFaceStandsStill) {
  std::fill(std::begin(data.PuzzleData), std::end(data.PuzzleData), uint8_t{kEmpty});
  TRecordingGameMain& g = Make(1);  // a stage with no block
  ToPlay();
  Frame();  // the empty well is a clear in the first play tick
  EXPECT_TRUE(g.Cleared);
  EXPECT_EQ(0, g.ClearTimer);
  EXPECT_EQ(1, g.Count("ステージクリア"));
  EXPECT_EQ(1, g.MusicStops);
  EXPECT_EQ(2, g.Face->GetExpression());
  SetWell({"......", "AAA...", "BCD..."}, "AAAAAA");  // leftovers still blink
  g.Field.CheckMatches();
  Frame();
  EXPECT_EQ(5, g.Phase);
  const int faceElapsed = g.Face->Elapsed;
  const int flashes = g.FlashActors->Count();
  Frames(80);
  EXPECT_EQ(80 * 20, g.ClearTimer);
  EXPECT_EQ("......", Row(8));
  EXPECT_EQ("......", Row(9));
  EXPECT_EQ(6, g.ErasedBlocks);
  EXPECT_EQ(faceElapsed, g.Face->Elapsed);  // the face and the other groups stand still
  EXPECT_EQ(flashes, g.FlashActors->Count());
  Frame(20, btA);
  EXPECT_EQ(6, g.Phase);
  EXPECT_EQ(std::vector<std::string>{"ステージクリア"}, g.Stopped);
  EXPECT_EQ(1, g.Count("決定"));
}

TEST_F(ScreenTest, TheStarShowerSpawnsABurstPerTickForOneSecondWithinTheScreen) {
  std::fill(std::begin(data.PuzzleData), std::end(data.PuzzleData), uint8_t{kEmpty});
  TRecordingGameMain& g = Make(1);  // a stage with no block
  ToPlay();
  Frames(2);
  ASSERT_EQ(5, g.Phase);
  int burstTicks = 0;
  for (int i = 0; i < 70; ++i) {
    Frame();
    bool fresh = false;  // a star updated once only: spawned in this tick
    for (int n = 0; n < g.StarActors->Count(); ++n)
      fresh = fresh || g.StarActors->Get(n)->Elapsed == 20;
    burstTicks += fresh ? 1 : 0;
  }
  // ClearTimer 20, 40, ... 980 lie below one second: 49 bursts.
  EXPECT_EQ(49, burstTicks);

  // Bursts of every kind, all within the screen (once the shower's stars are gone, and with
  // no time running, each one still where it appeared).
  Frames(100);
  ASSERT_EQ(0, g.StarActors->Count());
  std::set<int> sizes;
  for (int i = 0; i < 200; ++i) {
    const int before = g.StarActors->Count();
    g.ClearTimer = 0;
    g.ClearTick(0);
    sizes.insert(g.StarActors->Count() - before);
  }
  EXPECT_EQ((std::set<int>{5, 8, 12}), sizes);
  for (int i = 0; i < g.StarActors->Count(); ++i) {
    TActor* s = g.StarActors->Get(i);
    ASSERT_GE(s->X, 32.0f);
    ASSERT_LT(s->X, 512.0f);
    ASSERT_GE(s->Y, 32.0f);
    ASSERT_LT(s->Y, 384.0f);
  }
}

TEST_F(ScreenTest, EndlessResultsGoToGameData) {
  TRecordingGameMain& g = Make(0, 2);
  ToPlay();
  g.Score = 12345;
  g.Endless.LevelCount = 7;
  g.ErasedBlocks = 89;
  data.Stage = 17;
  g.GameOver();
  g.Leave();
  EXPECT_EQ(12345, data.LastScore);
  EXPECT_EQ(7, data.LastLevel);
  EXPECT_EQ(89, data.LastBlocks);
  EXPECT_EQ(2, data.LastDifficulty);
  EXPECT_TRUE(data.StageFailed);
  EXPECT_EQ(17, data.Stage);  // puzzle fields untouched
  EXPECT_EQ(0, g.Saves);
  EXPECT_EQ(nullptr, g.FlashActors);
}

TEST_F(ScreenTest, DumpStateListsTheGameAndTheWell) {
  data.Stage = 4;
  data.Retries = 2;
  data.StageTime = 61000;
  TRecordingGameMain& g = Make(1);
  ToPlay();
  SetWell({"AZ....", ".....B"}, "AAAAAA");
  g.Score = 1500;
  g.Field.Chain = 2;
  g.Paused = true;
  EXPECT_EQ(" Score=1500 HiScore=100000 LevelCount=0 ErasedBlocks=0 Chain=2 IsOver=0 Cleared=0"
            " Paused=1 CursorCol=2 CursorRow=5 Stage=4 StageTime=61000 Retries=2 field=" +
                std::string(48, '.') + "AZ.........B",
            g.DumpState());
}

}  // namespace
