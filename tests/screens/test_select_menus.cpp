// The game-type, level, puzzle-start and retry screens: cursor rules, decide and cancel,
// the stage number's wrap and what each screen leaves in GameData.
#include <gtest/gtest.h>

#include "screens/contselect.h"
#include "screens/lvselect.h"
#include "screens/puzsave.h"
#include "screens/select.h"
#include "tests/support/headless_game.h"

namespace vexa_test {
namespace {

using SelectMenus = HeadlessGame;

TEST_F(SelectMenus, GameTypeLeftRightAndDecide) {
  TSelectMode& s = MakeAndRunTo<TSelectMode>(1);
  EXPECT_EQ(s.Cursor, 0);  // opens on ENDLESS
  Tap(keycode::Right);
  Tap(keycode::Right);
  EXPECT_EQ(s.Cursor, 1);
  Tap(keycode::Left);
  EXPECT_EQ(s.Cursor, 0);
  Tap(keycode::Right);
  Tap(keycode::Enter);
  EXPECT_EQ(Data.GameType, 1);
  EXPECT_EQ(s.Phase, 2);
  RunToEnd();
  EXPECT_FALSE(Data.BackRequest);
}

TEST_F(SelectMenus, GameTypeCancelAsksToGoBack) {
  TSelectMode& s = MakeAndRunTo<TSelectMode>(1);
  Data.GameType = 7;
  Tap(keycode::X);
  EXPECT_TRUE(Data.BackRequest);
  EXPECT_EQ(s.Phase, 2);
  EXPECT_EQ(Data.GameType, 7);
  EXPECT_EQ(RunToEnd(), 7);  // the rest of the fade-out, then the finishing tick
}

TEST_F(SelectMenus, DecideAndCancelTogetherEndWithoutFadeOut) {
  // Both pressed in the same tick of phase 1.
  TSelectMode& s = MakeAndRunTo<TSelectMode>(1);
  Down(keycode::Z);
  Down(keycode::X);
  Tick();
  EXPECT_EQ(s.Phase, 3);
  EXPECT_TRUE(Data.BackRequest);
  Tick();
  EXPECT_TRUE(s.IsFinished());
  Up(keycode::Z);
  Up(keycode::X);

  // Both pressed during the fade-in: taken together at the first tick of phase 1.
  Data.BackRequest = false;
  TLvSelectMode& lv = Make<TLvSelectMode>();
  Tick();
  Tap(keycode::Enter);
  Tap(keycode::X);
  EXPECT_EQ(lv.Phase, 0);
  RunToPhase(1);
  Tick();
  EXPECT_EQ(lv.Phase, 3);
  EXPECT_TRUE(Data.BackRequest);

  Data.BackRequest = false;
  TContSelectMode& c = MakeAndRunTo<TContSelectMode>(1);
  Down(keycode::Enter);
  Down(keycode::X);
  Tick();
  EXPECT_EQ(c.Phase, 3);
  EXPECT_TRUE(Data.BackRequest);
}

TEST_F(SelectMenus, LevelCursorWrapsOnFreshPressesOnly) {
  TLvSelectMode& lv = MakeAndRunTo<TLvSelectMode>(1);
  Tap(keycode::Up);
  EXPECT_EQ(lv.Cursor, 2);  // EASY -> HARD
  Tap(keycode::Down);
  EXPECT_EQ(lv.Cursor, 0);
  Down(keycode::Down);
  Ticks(20);  // held: no auto-repeat
  EXPECT_EQ(lv.Cursor, 1);
  Up(keycode::Down);
  Tick();
  Tap(keycode::Enter);
  RunToEnd();
  EXPECT_EQ(Data.Difficulty, 1);
  EXPECT_FALSE(Data.BackRequest);
}

TEST_F(SelectMenus, LevelCancelStillWritesTheCursorButAsksToGoBack) {
  Data.Difficulty = 2;
  TLvSelectMode& lv = MakeAndRunTo<TLvSelectMode>(1);
  EXPECT_EQ(lv.Cursor, 0);  // always opens on EASY
  Tap(keycode::X);
  RunToEnd();
  EXPECT_TRUE(Data.BackRequest);
  EXPECT_EQ(Data.Difficulty, 0);
}

TEST_F(SelectMenus, StageNumberWrapsOverMaxStageOnlyOnSelectStage) {
  Data.MaxStage = 4;
  TContSelectMode& c = MakeAndRunTo<TContSelectMode>(1);
  EXPECT_EQ(c.SelStage, 4);  // shown 5
  Tap(keycode::Right);  // cursor on NEW GAME: nothing
  Tap(keycode::Left);
  EXPECT_EQ(c.SelStage, 4);
  Tap(keycode::Up);  // NEW GAME -> SELECT STAGE
  EXPECT_EQ(c.Cursor, 2);
  Tap(keycode::Right);
  EXPECT_EQ(c.SelStage, 0);  // 5 -> 1
  Tap(keycode::Left);
  EXPECT_EQ(c.SelStage, 4);  // 1 -> 5
  Tap(keycode::Left);
  EXPECT_EQ(c.SelStage, 3);
  Tap(keycode::Down);  // off SELECT STAGE: the number stays
  EXPECT_EQ(c.Cursor, 0);
  EXPECT_EQ(c.SelStage, 3);
}

TEST_F(SelectMenus, StageNumberRepeatsWhileHeld) {
  Data.MaxStage = 40;
  TContSelectMode& c = MakeAndRunTo<TContSelectMode>(1);
  Tap(keycode::Up);
  Down(keycode::Left);
  Ticks(14);  // the press, 200 ms later, then 60 ms later
  EXPECT_EQ(c.SelStage, 37);
  Up(keycode::Left);
  Tick();
  Tap(keycode::Down);  // the cursor itself does not repeat: one step
  EXPECT_EQ(c.Cursor, 0);
}

TEST_F(SelectMenus, DamagedStageNumbersStayWithinTheStages) {
  Data.MaxStage = 1000;
  TContSelectMode& c = Make<TContSelectMode>();
  EXPECT_EQ(c.LastSelectable(), 49);
  RunToPhase(1);
  EXPECT_EQ(c.SelStage, 49);
  Tap(keycode::Up);
  Tap(keycode::Right);
  EXPECT_EQ(c.SelStage, 0);
  Tap(keycode::Left);
  EXPECT_EQ(c.SelStage, 49);
  Tap(keycode::Enter);
  RunToEnd();
  EXPECT_EQ(Data.Stage, 49);

  Data.MaxStage = -7;
  TContSelectMode& n = MakeAndRunTo<TContSelectMode>(1);
  EXPECT_EQ(n.SelStage, 0);
  Tap(keycode::Up);
  Tap(keycode::Left);
  EXPECT_EQ(n.SelStage, 0);

  // CONTINUE from a continue point out of range starts a stage that exists.
  for (int32_t bad : {50, 123456, -1}) {
    Data.ContinueStage = bad;
    TContSelectMode& k = MakeAndRunTo<TContSelectMode>(1);
    Tap(keycode::Down);
    Tap(keycode::Enter);
    RunToEnd();
    EXPECT_GE(Data.Stage, 0);
    EXPECT_LT(Data.Stage, kStageCount);
    EXPECT_EQ(Data.ContinueStage, bad);  // the saved value itself is left alone
    EXPECT_TRUE(k.IsFinished());
  }
}

struct StartCase {
  int Downs;
  uint8_t Key;
  int32_t Stage, Continue, StageTime, Retries;
  bool Back;
};

TEST_F(SelectMenus, NewGameContinueSelectStageAndCancelResults) {
  const StartCase cases[] = {
      // NEW GAME: stage 1 and the continue point starts over.
      {0, keycode::Z, 0, 0, 0, 0, false},
      // CONTINUE: the continue point, kept.
      {1, keycode::Z, 6, 6, 0, 0, false},
      // SELECT STAGE: MaxStage - 1 after one step left.
      {2, keycode::Z, 7, 6, 0, 0, false},
      // Cancel on NEW GAME: everything kept, and the manager asked to go back.
      {0, keycode::X, 44, 6, 12345, 3, true},
  };
  for (const StartCase& k : cases) {
    Data.ContinueStage = 6;
    Data.MaxStage = 8;
    Data.StageTime = 12345;
    Data.Retries = 3;
    Data.Stage = 44;
    MakeAndRunTo<TContSelectMode>(1);
    for (int i = 0; i < k.Downs; ++i) Tap(keycode::Down);
    if (k.Downs == 2) Tap(keycode::Left);
    Tap(k.Key);
    RunToEnd();
    SCOPED_TRACE(testing::Message() << k.Downs << " down, key " << int{k.Key});
    EXPECT_EQ(Data.Stage, k.Stage);
    EXPECT_EQ(Data.ContinueStage, k.Continue);
    EXPECT_EQ(Data.StageTime, k.StageTime);
    EXPECT_EQ(Data.Retries, k.Retries);
    EXPECT_EQ(Data.BackRequest, k.Back);
  }
}

TEST_F(SelectMenus, RetryYesCountsTheRetryNoWritesNothing) {
  Data.Retries = 2;
  TPuzSaveMode& y = MakeAndRunTo<TPuzSaveMode>(1);
  Tap(keycode::Down);
  Tap(keycode::Up);
  EXPECT_EQ(y.Cursor, 0);
  Tap(keycode::Enter);
  RunToEnd();
  EXPECT_TRUE(Data.RetryRequest);
  EXPECT_EQ(Data.Retries, 3);

  Data.RetryRequest = false;
  TPuzSaveMode& n = MakeAndRunTo<TPuzSaveMode>(1);
  Tap(keycode::Down);
  Tap(keycode::Down);
  EXPECT_EQ(n.Cursor, 1);
  Tap(keycode::X);  // no cancel here
  EXPECT_EQ(n.Phase, 1);
  Tap(keycode::Z);
  RunToEnd();
  EXPECT_FALSE(Data.RetryRequest);
  EXPECT_EQ(Data.Retries, 3);
  EXPECT_FALSE(Data.BackRequest);
}

}  // namespace
}  // namespace vexa_test
