// The reward picture and the ending end to end: the last puzzle stage is played to its clear
// from a prepared save file, then the completed picture, the white fade, the credit roll and
// the way back to the title.
#include "game/savefile.h"
#include "tests/support/headless_game.h"

namespace {

using namespace vexa_test;

// Pixels darker than every channel 48 in a rectangle of a shot.
int DarkPixels(const std::vector<uint8_t>& region) {
  int n = 0;
  for (size_t i = 0; i + 2 < region.size(); i += 3)
    if (region[i] < 48 && region[i + 1] < 48 && region[i + 2] < 48) ++n;
  return n;
}

// Pixels lighter than every channel 240.
int LightPixels(const std::vector<uint8_t>& region) {
  int n = 0;
  for (size_t i = 0; i + 2 < region.size(); i += 3)
    if (region[i] > 240 && region[i + 1] > 240 && region[i + 2] > 240) ++n;
  return n;
}

TEST(EndingEndToEnd, LastStageRewardAndCreditRoll) {
  ReplayFolder dir;
  GameData saved;
  SetDefaultRanking(saved);
  saved.ContinueStage = 49;
  saved.MaxStage = 49;
  ASSERT_TRUE(savefile::Write(dir.SavePath, saved));

  ReplayRun r;
  ASSERT_TRUE(dir.Play("ending_stage50.txt", 7, 9, r));
  const auto& d = r.Dumps;
  EXPECT_TRUE(Holds(d[0], {{"mode", "TGameMainMode"}, {"Stage", "49"}}));
  ASSERT_EQ(Value(d[1], "Cleared"), "1") << "the stage was not cleared: " << d[1];

  // The reward: Stage 50, the last piece still covered, then uncovered.
  EXPECT_TRUE(Holds(d[2], {{"mode", "TRewardMode"}, {"Stage", "50"}, {"Revealed", "0"}}));
  EXPECT_TRUE(Holds(d[3], {{"mode", "TRewardMode"}, {"Revealed", "1"}}));

  // The ending fades in from white and rolls the sixteen lines; at rest only the closing line
  // is left.
  EXPECT_TRUE(Holds(d[4], {{"mode", "TEndingMode"}, {"phase", "0"}}));
  EXPECT_NE(Value(d[4], "fade"), "0");
  EXPECT_TRUE(Holds(d[5], {{"mode", "TEndingMode"}, {"phase", "1"}, {"CreditLines", "16"}}));
  EXPECT_TRUE(Holds(d[6], {{"phase", "1"}, {"CreditLines", "1"}}));
  // Z and SPACE do not end it; ENTER does.
  EXPECT_TRUE(Holds(d[7], {{"mode", "TEndingMode"}, {"EndRequest", "0"}}));
  EXPECT_TRUE(Holds(d[8], {{"mode", "TTitleMode"}, {"blackout", "0"}}));

  // The piece uncovered last (column 1, row 1) is black before and shows the picture after,
  // the same as in the ending's complete picture.
  const auto piece = [&](const char* shot) {
    return ShotRegion(dir.Read(shot), 103, 78, 205, 154);
  };
  const std::vector<uint8_t> before = piece("reward_before.bmp");
  ASSERT_EQ(before.size(), 102u * 76u * 3u);
  EXPECT_EQ(DarkPixels(before), 102 * 76);
  const std::vector<uint8_t> complete = piece("reward_complete.bmp");
  EXPECT_LT(DarkPixels(complete), 102 * 76 / 2);
  EXPECT_EQ(piece("ending_rest.bmp"), complete);

  // The closing line rests in the middle of the open sky, light letters in a dark outline.
  const auto closing = [&](const char* shot, auto count) {
    return count(ShotRegion(dir.Read(shot), 174, 190, 270, 218));
  };
  EXPECT_GT(closing("ending_rest.bmp", DarkPixels),
            closing("reward_complete.bmp", DarkPixels) + 100);
  EXPECT_GT(closing("ending_rest.bmp", LightPixels),
            closing("reward_complete.bmp", LightPixels) + 100);
}

}  // namespace
