// The game screen end to end through the replay runner: an endless game raised until its
// stack overflows, the game-over screen and the hand-over to the name entry.
#include "tests/screens/test_config_replay_util.h"

namespace {

using namespace replay_test;

TEST(GameScreenEndToEnd, RaisedUntilTheStackOverflowsThenTheNameEntry) {
  ReplayDir dir;
  ASSERT_FALSE(dir.Path.empty());
  ReplayRun r = dir.Play("play_endless_overflow.txt");
  ASSERT_EQ(r.Status, 0) << r.Out;
  ASSERT_EQ(r.Dumps.size(), 5u) << r.Out;
  const auto& d = r.Dumps;

  // HARD: seven rows of A..Z at the start, READY already on during the fade-in.
  EXPECT_EQ(Value(d[0], "mode"), "TGameMainMode");
  EXPECT_EQ(Value(d[0], "phase"), "0");
  const std::string field = Value(d[0], "field");
  ASSERT_EQ(field.size(), 60u);
  EXPECT_EQ(field.substr(0, 18), std::string(18, '.'));
  EXPECT_EQ(field.substr(18).find('.'), std::string::npos);
  EXPECT_EQ(Value(d[0], "HiScore"), "100000");
  EXPECT_EQ(Value(d[1], "phase"), "1");

  // Four raises: the fourth finds row 0 occupied and the game is lost; everything below
  // row 0 crumbles away.
  EXPECT_EQ(Value(d[2], "phase"), "4");
  EXPECT_EQ(Value(d[2], "IsOver"), "1");
  const std::string over = Value(d[2], "field");
  EXPECT_NE(over.substr(0, 6).find_first_not_of('.'), std::string::npos);
  EXPECT_EQ(over.substr(6), std::string(54, '.'));
  EXPECT_EQ(Value(d[3], "phase"), "4");  // the screen waits for a key

  // ENTER: the name entry gets the result of the game.
  EXPECT_EQ(Value(d[4], "mode"), "TRegRankMode");
  EXPECT_EQ(Value(d[4], "LastDifficulty"), "2");
  EXPECT_EQ(Value(d[4], "StageFailed"), "1");
  EXPECT_EQ(Value(d[4], "LastLevel"), "0");

  // The GAME OVER picture rests over the well: its rows differ from the start picture.
  const auto band = [&](const char* shot) { return ShotRegion(dir.File(shot), 92, 140, 416, 200); };
  const std::vector<uint8_t> start = band("play_start.bmp");
  const std::vector<uint8_t> lost = band("play_over.bmp");
  ASSERT_EQ(start.size(), 324u * 60u * 3u);
  ASSERT_EQ(lost.size(), start.size());
  size_t differing = 0;
  for (size_t i = 0; i < start.size(); ++i) differing += start[i] != lost[i] ? 1 : 0;
  EXPECT_GT(differing, start.size() / 4);
}

}  // namespace
