// The title, menus and ranking end to end: the replay runner plays the scripts menu_*.txt
// headless in a fresh directory (with a prepared save file where a script needs one), and
// the dump lines, the save file and the shots are checked.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "tests/support/headless_game.h"

namespace {

using namespace vexa_test;
using Bytes = std::vector<uint8_t>;

// Each test plays in a private folder of its own.
class MenuReplay : public ::testing::Test {
 protected:
  ReplayFolder Dir;
};

// Counts the non-black pixels of a 512 x 384 24-bit shot.
int LitPixels(const Bytes& bmp) {
  if (bmp.size() < 54 + 512 * 384 * 3) return -1;
  const uint32_t offset = bmp[10] | (bmp[11] << 8) | (bmp[12] << 16);
  int lit = 0;
  for (size_t i = offset; i + 2 < bmp.size(); i += 3)
    if (bmp[i] | bmp[i + 1] | bmp[i + 2]) ++lit;
  return lit;
}

TEST_F(MenuReplay, LogoSkipGoesStraightToTheBlackPauseAndTheTitle) {
  ReplayRun r;
  ASSERT_TRUE(Dir.Play("menu_logo_skip.txt", 1, 2, r));
  EXPECT_TRUE(Holds(r.Dumps[0], {{"mode", "TLogoMode"}, {"phase", "4"}, {"blackout", "1"}}));
  EXPECT_TRUE(Holds(r.Dumps[1], {{"mode", "TTitleMode"}, {"phase", "1"}, {"fade", "0"}}));
  EXPECT_EQ(LitPixels(Dir.Read("logo_black.bmp")), 0);
  EXPECT_GT(LitPixels(Dir.Read("title.bmp")), 100000);
  EXPECT_TRUE(Dir.Read("vexa.dat").empty());  // nothing here writes the save file
}

TEST_F(MenuReplay, TitleToRankingAndBackChangesNothing) {
  ReplayRun r;
  ASSERT_TRUE(Dir.Play("menu_title_ranking.txt", 1, 4, r));
  EXPECT_EQ(Modes(r), (std::vector<std::string>{"TRankingMode", "TRankingMode", "TTitleMode",
                                                "TSelectMode"}));
  EXPECT_EQ(Value(r.Dumps[0], "TitleChoice"), "1");
  EXPECT_EQ(Value(r.Dumps[1], "phase"), "1");  // X is no cancel here
  // The new title opened on GAME START.
  EXPECT_TRUE(Holds(r.Dumps[3], {{"TitleChoice", "0"}, {"Rank0", "100000/9/1000/0/YEW"}}));
  EXPECT_GT(LitPixels(Dir.Read("ranking.bmp")), 100000);
  EXPECT_TRUE(Dir.Read("vexa.dat").empty());
}

TEST_F(MenuReplay, EndlessGameNameEntryReachesTheRankingAndTheSaveFile) {
  Dir.WriteSave(0, 0);
  ReplayRun r;
  ASSERT_TRUE(Dir.Play("menu_endless_name.txt", 1, 5, r));
  EXPECT_EQ(Modes(r), (std::vector<std::string>{"TGameMainMode", "TRegRankMode", "TRegRankMode",
                                                "TTitleMode", "TRankingMode"}));
  EXPECT_EQ(Value(r.Dumps[0], "Difficulty"), "1");  // NOMAL chosen on the level screen
  EXPECT_EQ(Value(r.Dumps[1], "Rank0"), "0/0/0/0/-");  // GameData changes only on leaving
  EXPECT_TRUE(Holds(r.Dumps[3], {{"Rank0", "0/0/0/1/KITE_Z"}, {"Rank1", "0/0/0/0/-"}}));
  EXPECT_EQ(Value(r.Dumps[4], "Rank0"), "0/0/0/1/KITE_Z");

  const Bytes b = Dir.Read("vexa.dat");
  ASSERT_EQ(b.size(), 308u);
  EXPECT_EQ(std::memcmp(b.data(), "Vexa Ver1.02\0", 13), 0);
  EXPECT_EQ(b[28 + 12], 1);  // NOMAL
  EXPECT_EQ(std::memcmp(b.data() + 28 + 13, "KITE Z\0\0\0\0\0", 11), 0);
  for (size_t i = 28 + 24; i < 28 + 240; ++i) EXPECT_EQ(b[i], 0) << i;
}

TEST_F(MenuReplay, PuzzleContinueRetryAndSelectStageThroughTheManager) {
  Dir.WriteSave(3, 4);
  ReplayRun r;
  ASSERT_TRUE(Dir.Play("menu_puzzle_retry.txt", 1, 5, r));
  EXPECT_EQ(Modes(r), (std::vector<std::string>{"TGameMainMode", "TPuzSaveMode", "TGameMainMode",
                                                "TTitleMode", "TGameMainMode"}));
  // CONTINUE at the saved point.
  EXPECT_TRUE(Holds(r.Dumps[0], {{"Stage", "3"}, {"Retries", "0"}}));
  // YES on TRY AGAIN?: the same stage, one retry counted.
  EXPECT_TRUE(Holds(r.Dumps[2], {{"Stage", "3"}, {"Retries", "1"}}));
  // SELECT STAGE: right from the last stage reached (5) wraps to the first.
  EXPECT_TRUE(Holds(r.Dumps[4], {{"Stage", "0"}, {"Retries", "0"}, {"ContinueStage", "3"},
                                 {"MaxStage", "4"}}));
}

TEST_F(MenuReplay, EnterAroundAStageClearOpensNoPauseAndTheClearStands) {
  ReplayRun r;
  ASSERT_TRUE(Dir.Play("play_clear_enter.txt", 1, 5, r));
  EXPECT_EQ(r.Out.find("warning"), std::string::npos) << r.Out;

  // Stage 1: ENTER in the tick of the clear.
  EXPECT_TRUE(Holds(r.Dumps[0], {{"Cleared", "1"}, {"Paused", "0"}}));
  // The keys that followed left the clear screen; stage 2 starts as a first attempt.
  EXPECT_TRUE(Holds(r.Dumps[1], {{"mode", "TGameMainMode"}, {"Stage", "1"}, {"Retries", "0"},
                                 {"StageFailed", "0"}, {"ContinueStage", "1"}}));
  // Stage 2: cleared, then ENTER in the next tick goes to the clear screen unpaused.
  EXPECT_TRUE(Holds(r.Dumps[2], {{"Cleared", "1"}, {"phase", "2"}}));
  EXPECT_TRUE(Holds(r.Dumps[3], {{"phase", "5"}, {"Paused", "0"}, {"IsOver", "0"}}));
  // Its reward follows, and the progress was saved.
  EXPECT_TRUE(Holds(r.Dumps[4], {{"mode", "TRewardMode"}, {"StageFailed", "0"},
                                 {"ContinueStage", "2"}}));
  const Bytes b = Dir.Read("vexa.dat");
  ASSERT_EQ(b.size(), 308u);
  EXPECT_EQ(b[296], 2);
}

TEST_F(MenuReplay, KeyEventsFromTheWindowAreNeitherStuckNorLost) {
  Dir.WriteSave(0, 0);
  ReplayRun r;
  ASSERT_TRUE(Dir.Play("input_events.txt", 1, 5, r));
  EXPECT_EQ(r.Out.find("warning"), std::string::npos) << r.Out;

  EXPECT_EQ(Value(r.Dumps[0], "Paused"), "0");
  EXPECT_EQ(Value(r.Dumps[1], "Paused"), "1");
  // ENTER released while Alt was held came up, so the next ENTER resumed the game.
  EXPECT_EQ(Value(r.Dumps[2], "Paused"), "0");
  // Every tap between two ticks moved the cursor: five up from row 5, two left from 2.
  EXPECT_TRUE(Holds(r.Dumps[3], {{"CursorRow", "0"}, {"CursorCol", "0"}}));
  // All eight letters typed in one burst reached the name.
  EXPECT_EQ(Value(r.Dumps[4], "Rank0"), "0/0/0/1/VEXATEST");
}

}  // namespace
