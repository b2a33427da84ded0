// The options screen end to end: the replay runner plays the game headless from the scripts
// in tests/e2e, twice in one directory, so the second run starts from the first run's save.
#include "tests/support/headless_game.h"

namespace {

using namespace vexa_test;

TEST(OptionsEndToEnd, DecidedChoicesAreSavedAndComeBackAfterARestart) {
  ReplayFolder dir;

  ReplayRun first;
  ASSERT_TRUE(dir.Play("config_save.txt", 7, 3, first));
  EXPECT_TRUE(Holds(first.Dumps[0], {{"mode", "TConfigMode"}, {"Item", "0"},
                                     {"Values", "0,0,0,0"}}));
  // The new block set is previewed, not yet applied.
  EXPECT_TRUE(Holds(first.Dumps[1], {{"Values", "4,0,1,0"}, {"BlockType", "0"}}));
  EXPECT_TRUE(Holds(first.Dumps[2], {{"mode", "TTitleMode"}, {"BlockType", "4"}, {"BgmType", "1"},
                                     {"BackType", "0"}, {"ControlType", "0"}}));

  const std::vector<uint8_t> saved = dir.Read("vexa.dat");
  ASSERT_EQ(saved.size(), 308u);
  EXPECT_EQ(std::string(saved.begin(), saved.begin() + 12), "Vexa Ver1.02");
  EXPECT_EQ(I32At(saved, 268), 4);
  EXPECT_EQ(I32At(saved, 272), 0);
  EXPECT_EQ(I32At(saved, 276), 1);
  EXPECT_EQ(I32At(saved, 280), 0);

  ReplayRun second;
  ASSERT_TRUE(dir.Play("config_restart.txt", 7, 3, second));
  EXPECT_TRUE(Holds(second.Dumps[0], {{"mode", "TTitleMode"}, {"BlockType", "4"},
                                      {"BgmType", "1"}}));
  EXPECT_TRUE(Holds(second.Dumps[1], {{"mode", "TConfigMode"}, {"Values", "4,0,1,0"}}));
  // Cancelled after a change: nothing moves.
  EXPECT_TRUE(Holds(second.Dumps[2], {{"mode", "TTitleMode"}, {"BlockType", "4"}}));
  EXPECT_EQ(dir.Read("vexa.dat"), saved);

  // The sample blocks show the chosen set: the same picture when previewed and when
  // reopened after the restart, another one for the first set.
  const auto sample = [&](const char* shot) {
    return ShotRegion(dir.Read(shot), 172, 76, 300, 108);
  };
  const std::vector<uint8_t> changed = sample("option_changed.bmp");
  ASSERT_EQ(changed.size(), 128u * 32u * 3u);
  EXPECT_EQ(sample("option_reopened.bmp"), changed);
  EXPECT_NE(sample("option_default.bmp"), changed);
}

TEST(OptionsEndToEnd, DecidedInsideAGameTheGameGoesOnWithTheNewPictures) {
  ReplayFolder dir;
  ReplayRun r;
  ASSERT_TRUE(dir.Play("config_from_game.txt", 7, 3, r));
  EXPECT_EQ(Value(r.Dumps[0], "mode"), "TGameMainMode");
  EXPECT_TRUE(Holds(r.Dumps[1], {{"mode", "TConfigMode"}, {"Item", "0"}}));
  EXPECT_TRUE(Holds(r.Dumps[2], {{"mode", "TGameMainMode"}, {"phase", "2"}, {"Paused", "0"},
                                 {"BlockType", "1"}, {"BackType", "1"}}));
  const std::vector<uint8_t> saved = dir.Read("vexa.dat");
  ASSERT_EQ(saved.size(), 308u);
  EXPECT_EQ(I32At(saved, 268), 1);
  EXPECT_EQ(I32At(saved, 272), 1);
  // The background beside the well and the blocks in it are drawn from the new pictures.
  const auto back = [&](const char* shot) { return ShotRegion(dir.Read(shot), 400, 200, 500, 300); };
  const auto well = [&](const char* shot) { return ShotRegion(dir.Read(shot), 160, 330, 352, 350); };
  ASSERT_FALSE(back("game_before.bmp").empty());
  EXPECT_NE(back("game_before.bmp"), back("game_after.bmp"));
  EXPECT_NE(well("game_before.bmp"), well("game_after.bmp"));
}

}  // namespace
