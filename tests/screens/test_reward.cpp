#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "play/staractor.h"
#include "screens/reward.h"
#include "tests/support/headless_game.h"

namespace {

using namespace vexa_test;

// Piece (column, row) of the reward picture in its own colour.
Rgb PieceColour(int column, int row) {
  return Rgb{uint8_t(20 + 40 * column), uint8_t(20 + 40 * row), 77};
}

struct RewardScreen : DrawnGame {
  void SetUp() override {
    DrawnGame::SetUp();
    std::vector<Rgb> px(510 * 380);
    for (int y = 0; y < 380; ++y)
      for (int x = 0; x < 510; ++x) px[y * 510 + x] = PieceColour(x / 102, y / 76);
    const std::string path = Dir.Write("reward.bmp", kordraw_test::MakeBmp24(510, 380, px));
    ASSERT_TRUE(DrawC.CreateSprite("ご褒美", path, 102, 76));
  }
  TRewardMode* Open(int32_t stage) {
    Data.Stage = stage;
    return &MakeChild<TRewardMode>();
  }
  // The pieces visible on the work surface, read at their centres.
  std::vector<std::pair<int, int>> VisiblePieces() {
    std::vector<std::pair<int, int>> out;
    for (int row = 0; row < 5; ++row)
      for (int column = 0; column < 5; ++column) {
        const uint32_t c = Map(PieceColour(column, row));
        const int x = 102 * column + 1, y = 76 * row + 2;
        if (Px(x + 51, y + 38) == c) {
          // Both corners too: the piece sits exactly on its place.
          EXPECT_EQ(Px(x, y), c);
          EXPECT_EQ(Px(x + 101, y + 75), c);
          out.emplace_back(column, row);
        }
      }
    return out;
  }
};

TEST(RewardOrder, EveryPieceOnceInTheScatteredOrder) {
  // Place in the order of each piece, row by row.
  const int kPlace[5][5] = {{12, 20, 4, 15, 17},
                            {14, 24, 18, 9, 11},
                            {23, 19, 13, 2, 22},
                            {8, 21, 5, 6, 1},
                            {0, 7, 10, 16, 3}};
  for (int k = 0; k < TRewardMode::kPieces; ++k) {
    const int column = TRewardMode::PieceOrder[k][0];
    const int row = TRewardMode::PieceOrder[k][1];
    ASSERT_GE(column, 0);
    ASSERT_LT(column, 5);
    ASSERT_GE(row, 0);
    ASSERT_LT(row, 5);
    EXPECT_EQ(kPlace[row][column], k) << column << "," << row;
  }
}

TEST_F(RewardScreen, StageTwoOpensBlackAndUncoversTheFirstPieceAfterThreeSeconds) {
  TRewardMode* r = Open(2);
  Tick();
  EXPECT_STREQ(r->ClassName(), "TRewardMode");
  EXPECT_TRUE(VisiblePieces().empty());
  // 3000 ms of the screen's time have passed after 150 frames; the piece shows once the
  // time is beyond them.
  Ticks(150);
  EXPECT_FALSE(r->Revealed);
  EXPECT_TRUE(VisiblePieces().empty());
  Tick();
  EXPECT_TRUE(r->Revealed);
  ASSERT_EQ(VisiblePieces(), (std::vector<std::pair<int, int>>{{0, 4}}));
  // A burst of twelve stars over the new piece.
  ASSERT_NE(r->Stars, nullptr);
  EXPECT_EQ(r->Stars->Count(), 12);
  EXPECT_FLOAT_EQ(r->Stars->Get(0)->X, 32.0f + 200.0f * 0.02f);
  Ticks(30);
  EXPECT_EQ(r->Stars->Count(), 0);
}

TEST_F(RewardScreen, StageFiftyShowsTwentyFourPiecesThenCompletesThePicture) {
  TRewardMode* r = Open(50);
  Ticks(13);  // faded in
  std::vector<std::pair<int, int>> shown = VisiblePieces();
  EXPECT_EQ(shown.size(), 24u);
  for (auto& p : shown) EXPECT_NE(p, (std::pair<int, int>{1, 1}));
  Ticks(139);
  EXPECT_TRUE(r->Revealed);
  EXPECT_EQ(VisiblePieces().size(), 25u);
}

TEST_F(RewardScreen, PiecesEarnedMatchTheStage) {
  TRewardMode* r = Open(10);
  r->Init();
  DrawC.Clear();
  r->DrawPieces();
  std::vector<std::pair<int, int>> shown = VisiblePieces();
  ASSERT_EQ(shown.size(), 4u);  // pieces 0..3 of the order; the fifth comes after the wait
  for (int k = 0; k < 4; ++k)
    EXPECT_NE(std::find(shown.begin(), shown.end(),
                        std::pair<int, int>{TRewardMode::PieceOrder[k][0],
                                            TRewardMode::PieceOrder[k][1]}),
              shown.end());
}

TEST_F(RewardScreen, DecideBelowFiftyFadesToBlack) {
  TRewardMode* r = Open(4);
  Ticks(20);
  ASSERT_EQ(r->Phase, 1);
  Tap(keycode::Z);
  EXPECT_EQ(r->Phase, 2);
  RunUntilGone();
  EXPECT_EQ(Root->Child, nullptr);
  EXPECT_FALSE(Kernel->FadeWhite);
  EXPECT_EQ(Kernel->FadeLevel, 255);
  EXPECT_EQ(Data.Stage, 4);  // nothing written
}

TEST_F(RewardScreen, FadeInTakesThirteenTicksAndDecideThenIsTakenBeforeAnyPiece) {
  TRewardMode* r = Open(2);
  Wnd->Input().SetKey(keycode::Enter, true);
  Tick();
  Wnd->Input().SetKey(keycode::Enter, false);
  EXPECT_TRUE(r->Decided);
  EXPECT_EQ(r->Phase, 0);
  Ticks(12);
  EXPECT_EQ(r->Phase, 1);  // the fade ended on the 13th tick
  EXPECT_EQ(Kernel->FadeLevel, 0);
  Tick();
  EXPECT_EQ(r->Phase, 2);  // taken on the first tick of phase 1
  RunUntilGone();
  EXPECT_EQ(Root->Child, nullptr);
}

TEST_F(RewardScreen, DecideAtFiftyFadesToWhiteInFiftyOneTicksAndLeavesTheWhiteSet) {
  TRewardMode* r = Open(50);
  Ticks(20);
  Tap(keycode::Enter);
  EXPECT_EQ(r->Phase, 3);
  EXPECT_TRUE(Kernel->FadeWhite);
  int ticks = 1;  // the second frame of the tap was the first white step
  while (Root->Child && ticks < 100) {
    Tick();
    ++ticks;
  }
  EXPECT_EQ(ticks, 51);
  EXPECT_TRUE(Kernel->FadeWhite);
  EXPECT_EQ(Kernel->FadeLevel, 255);
  EXPECT_FALSE(Kernel->Blackout);
  // The last picture presented was white.
  const std::vector<uint32_t>& frame = Wnd->LastFrame();
  ASSERT_FALSE(frame.empty());
  EXPECT_EQ(frame[100 * Wnd->LastFrameWidth() + 100] & 0xFFFFFFu, 0xFFFFFFu);
}

}  // namespace
