#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/kernel.h"
#include "game/gamemgr.h"
#include "media/korinput.h"
#include "platform/keycodes.h"
#include "platform/window.h"
#include "tests/support/headless_game.h"

namespace {

std::vector<TScreenId>* gCreated = nullptr;
// What each stand-in screen writes into GameData when it leaves.
void (*gOnLeave)(TScreenId, GameData&) = nullptr;

class ScriptedScreen : public TGameMgrMode {
 public:
  ScriptedScreen(TScreenId id, TGameMgrMode* parent)
      : TGameMgrMode(parent, parent->Kernel, parent->Data), Id(id) {}
  void Init() override { TGameMode::Init(); }
  void Move(int32_t) override { Finished = true; }
  void Leave() override {
    if (gOnLeave) gOnLeave(Id, *GameData);
  }
  TScreenId Id;
};

TGameMgrMode* Factory(TScreenId id, TGameMgrMode* parent) {
  gCreated->push_back(id);
  return new ScriptedScreen(id, parent);
}

struct Sequencer : ::testing::Test {
  GameData Data;
  vexa_test::SilentKernel Silent;
  TGameMgrMode Root{nullptr, &Silent.Kernel, &Data};
  std::vector<TScreenId> Created;
  void SetUp() override {
    gCreated = &Created;
    TGameMgrMode::SetScreenFactory(Factory);
  }
  void TearDown() override {
    TGameMgrMode::SetScreenFactory(nullptr);
    gCreated = nullptr;
    gOnLeave = nullptr;
  }
  // Runs ticks until n screens have been created after the current count.
  void RunScreens(size_t n) {
    size_t target = Created.size() + n;
    for (int i = 0; i < 200 && Created.size() < target; ++i) Root.Update(20);
    // Let the last screen run and finish.
    Root.Update(20);
  }
};

using S = TScreenId;

TEST_F(Sequencer, LogoCatalogueTitleThenRankingAndBackWithFlagsCleared) {
  gOnLeave = [](TScreenId id, GameData& d) {
    if (id == S::Title) d.TitleChoice = 1;
    if (id == S::Ranking) d.StageFailed = true;
  };
  RunScreens(4);
  EXPECT_EQ(Created, (std::vector<S>{S::Logo, S::Title, S::Ranking, S::Title}));
  EXPECT_FALSE(Data.StageFailed);  // cleared again on the way to the title
}

TEST_F(Sequencer, EndlessFlowAndCancelOnLevelGoesBackToGameType) {
  static int levelVisits;
  levelVisits = 0;
  gOnLeave = [](TScreenId id, GameData& d) {
    if (id == S::Title) d.TitleChoice = 0;
    if (id == S::Select) d.GameType = 0;
    if (id == S::LvSelect && levelVisits++ == 0) d.BackRequest = true;
  };
  RunScreens(8);
  EXPECT_EQ(Created, (std::vector<S>{S::Logo, S::Title, S::Select, S::LvSelect, S::Select,
                                     S::LvSelect, S::GameMain, S::RegRank}));
  RunScreens(1);
  EXPECT_EQ(Created.back(), S::Title);
}

TEST_F(Sequencer, CancelOnGameTypeGoesToTitle) {
  static int selects;
  selects = 0;
  gOnLeave = [](TScreenId id, GameData& d) {
    if (id == S::Select && selects++ == 0) d.BackRequest = true;
  };
  RunScreens(4);
  EXPECT_EQ(Created, (std::vector<S>{S::Logo, S::Title, S::Select, S::Title}));
}

TEST_F(Sequencer, PuzzleRewardsEverySecondStageAndEndsAfterFifty) {
  gOnLeave = [](TScreenId id, GameData& d) {
    if (id == S::Select) d.GameType = 1;
    if (id == S::ContSelect) d.Stage = 0;
    if (id == S::GameMain) {
      d.StageFailed = false;
      d.Stage += 1;
    }
  };
  RunScreens(6);  // logo title select cont game(stage 1: no reward) game(2)
  EXPECT_EQ(Created, (std::vector<S>{S::Logo, S::Title, S::Select, S::ContSelect,
                                     S::GameMain, S::GameMain}));
  RunScreens(1);
  EXPECT_EQ(Created.back(), S::Reward);
  Data.Stage = 48;
  Created.clear();
  RunScreens(3);  // game(49) game(50) reward
  EXPECT_EQ(Created, (std::vector<S>{S::GameMain, S::GameMain, S::Reward}));
  RunScreens(2);
  EXPECT_EQ(Created, (std::vector<S>{S::GameMain, S::GameMain, S::Reward, S::Ending, S::Title}));
}

TEST_F(Sequencer, FailedStageAsksToRetryYesReplaysNoGoesToTitle) {
  static int games;
  games = 0;
  gOnLeave = [](TScreenId id, GameData& d) {
    if (id == S::Select) d.GameType = 1;
    if (id == S::ContSelect) d.Stage = 5;
    if (id == S::GameMain) {
      d.StageFailed = true;
      ++games;
    }
    if (id == S::PuzSave) d.RetryRequest = games == 1;
  };
  RunScreens(9);
  EXPECT_EQ(Created, (std::vector<S>{S::Logo, S::Title, S::Select, S::ContSelect, S::GameMain,
                                     S::PuzSave, S::GameMain, S::PuzSave, S::Title}));
  EXPECT_EQ(Data.Stage, 5);
}

TEST(GameMgrHelpers, TextWidthAndKeyConfig) {
  EXPECT_EQ(TGameMgrMode::TextWidth("PUSH ENTER"), 182);
  EXPECT_EQ(TGameMgrMode::TextWidth("OPTION"), 106);
  EXPECT_EQ(TGameMgrMode::TextWidth("I"), 14);
  EXPECT_EQ(GlyphIndex('?'), 26);
  EXPECT_EQ(GlyphIndex('!'), 27);
  EXPECT_EQ(GlyphIndex(' '), 28);
  EXPECT_EQ(GlyphIndex('a'), -1);

  auto window = platform::Window::CreateHeadless(513, 384);
  vexa_test::SilentKernel silent;
  TKorInput& input = silent.Input;
  input.Init(window.get());
  GameData data;
  TGameMgrMode root(nullptr, &silent.Kernel, &data);
  data.ControlType = 1;
  root.ApplyKeyConfig();
  EXPECT_EQ(input.KeyCodes.A, keycode::Space);
  EXPECT_EQ(input.KeyCodes.B, keycode::V);
  EXPECT_EQ(input.KeyCodes.Enter, keycode::Enter);
  EXPECT_EQ(input.KeyCodes.Up, keycode::Up);
  data.ControlType = 0;
  root.ApplyKeyConfig();
  EXPECT_EQ(input.KeyCodes.A, keycode::Z);
  EXPECT_EQ(input.KeyCodes.B, keycode::X);
  // Damaged: counted as 0 (Z, X, ENTER), as the options screen shows it; from the default
  // assignment (C as the pause key) ENTER must take over.
  input.KeyCodes = kDefaultKeyCodes;
  data.ControlType = 5;
  root.ApplyKeyConfig();
  EXPECT_EQ(input.KeyCodes.A, keycode::Z);
  EXPECT_EQ(input.KeyCodes.B, keycode::X);
  EXPECT_EQ(input.KeyCodes.Enter, keycode::Enter);

  // SPACE now swaps: the kernel sees btA from it.
  data.ControlType = 1;
  root.ApplyKeyConfig();
  window->Input().SetKey(keycode::Space, true);
  silent.Kernel.Tick(20);
  EXPECT_TRUE(silent.Kernel.Pushed & btA);
}

TEST(GameMgrHelpers, DefaultRankingRows) {
  GameData d;
  SetDefaultRanking(d);
  EXPECT_EQ(d.Ranking[0].Score, 100000);
  EXPECT_EQ(d.Ranking[9].Score, 10000);
  EXPECT_EQ(d.Ranking[9].Level, 0);
  EXPECT_EQ(d.Ranking[4].Blocks, 600);
  EXPECT_EQ(RankName(d.Ranking[2]), "ALDER");
  EXPECT_EQ(RankName(d.Ranking[9]), "LIME");
  std::memset(d.Ranking[1].Name, 'Q', sizeof d.Ranking[1].Name);  // no NUL
  EXPECT_EQ(RankName(d.Ranking[1]), std::string(11, 'Q'));
}

}  // namespace
