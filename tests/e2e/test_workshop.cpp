// The puzzle workshop end to end through the replay runner: a two-stage set is made with the
// keys and the mouse, proved, tried through the game screen (which saves nothing), saved in
// the stages folder, and then played as a set.
#include <gtest/gtest.h>

#include <string>

#include "game/stage_set.h"
#include "tests/support/headless_game.h"

namespace {

using vexa_test::Holds;
using vexa_test::Value;

// The well of a dump line with one row of blocks at the bottom.
std::string BottomRow(const std::string& row) { return std::string(54, '.') + row; }

TEST(Workshop, ASetMadeProvedTriedAndSavedIsPlayedAsASet) {
  vexa_test::ReplayFolder folder;
  const std::string make =
      "workshop\nwait 40\n"
      // The set's name.
      "tap F2\nwait 1\ntap T\nwait 1\ntap W\nwait 1\ntap O\nwait 1\ntap ENTER\nwait 1\n"
      // A, B and D placed with the mouse (the wheel steps the letter), C typed beside them.
      "click 21 309\nwait 1\nwheel -1\nclick 53 309\nwait 1\nwheel -2\nclick 85 309\nwait 1\n"
      "tap RIGHT\nwait 1\ntap C\nwait 1\n"
      // A Z over the C breaks the rules until the right button clears it again.
      "tap UP\nwait 1\ntap Z\nwait 1\ndump\nclick 117 277 right\nwait 1\n"
      // Proved, and its solution stepped through.
      "tap ENTER\nuntil TWorkshopMode 3 2000000\ntap RIGHT\nwait 2\ndump\n"
      // Copied as stage 2 and shifted one column right as a whole; proved again.
      "tap F7\nwait 1\ndown CTRL\ntap RIGHT\nup CTRL\nwait 1\n"
      "tap ENTER\nuntil TWorkshopMode 3 2000000\ndump\n"
      // Tried: cleared in the game screen, then back in the workshop as it was.
      "tap F5\nuntil TGameMainMode 2 3000\nswap 3 9 R\nsettle 1500\nwait 100\ndump\n"
      "tap ENTER\nuntil TWorkshopMode 1 3000\ndump\n"
      // Saved; ESC leaves for the title.
      "tap F3\nwait 1\ndump\ntap ESCAPE\nuntil TTitleMode 1 300\ndump\n";
  vexa_test::ReplayRun made;
  ASSERT_TRUE(folder.PlayText(make, "--seed 3", 7, made));
  EXPECT_EQ(made.Out.find("warning"), std::string::npos) << made.Out;
  EXPECT_TRUE(Holds(made.Dumps[0], {{"mode", "TWorkshopMode"}, {"Letter", "Z"},
                                    {"well", std::string(51, '.') + "Z.." + "ABDC.."}}));
  EXPECT_NE(Value(made.Dumps[0], "checks"), "0");
  EXPECT_TRUE(Holds(made.Dumps[1], {{"phase", "3"}, {"proof", "solvable"}, {"swaps", "1"},
                                    {"step", "1"}, {"checks", "0"}, {"well", BottomRow("ABDC..")}}));
  EXPECT_TRUE(Holds(made.Dumps[2], {{"SetStage", "2/2"}, {"proof", "solvable"}, {"swaps", "1"},
                                    {"well", BottomRow(".ABDC.")}}));
  EXPECT_TRUE(Holds(made.Dumps[3], {{"mode", "TGameMainMode"}, {"Cleared", "1"}}));
  // The try leaves the well, the set and the player's progress as they were.
  EXPECT_TRUE(Holds(made.Dumps[4], {{"mode", "TWorkshopMode"}, {"SetStage", "2/2"},
                                    {"Changed", "1"}, {"well", BottomRow(".ABDC.")},
                                    {"ContinueStage", "0"}, {"GameType", "0"}}));
  EXPECT_TRUE(Holds(made.Dumps[5], {{"Changed", "0"}}));
  EXPECT_EQ(Value(made.Dumps[6], "mode"), "TTitleMode");
  EXPECT_TRUE(folder.Read("vexa.dat").empty()) << "the try wrote the save file";

  TStageSet set;
  std::string error;
  ASSERT_TRUE(LoadStageSet(folder.At("stages/two.vexa-stages"), set, error)) << error;
  EXPECT_EQ(set.Name, "TWO");
  ASSERT_EQ(set.Stages.size(), 2u);

  // The set played: GAME START, PUZZLE, NEW GAME; each stage cleared by its one swap.
  const std::string play =
      std::string(vexa_test::kLogoToPuzzleStart) + "tap ENTER\nuntil TGameMainMode 2 3000\ndump\nswap 2 9 R\nsettle 1500\nwait 100\n"
      "tap ENTER\nuntil TGameMainMode 2 3000\ndump\nswap 3 9 R\nsettle 1500\nwait 100\ndump\n";
  vexa_test::ReplayRun played;
  ASSERT_TRUE(folder.PlayText(play, "--seed 3 --stages stages/two.vexa-stages", 3, played));
  EXPECT_TRUE(Holds(played.Dumps[0], {{"Stage", "0"}, {"field", BottomRow("ABDC..")}}));
  EXPECT_TRUE(Holds(played.Dumps[1], {{"Stage", "1"}, {"field", BottomRow(".ABDC.")}}));
  EXPECT_TRUE(Holds(played.Dumps[2], {{"Cleared", "1"}, {"field", std::string(60, '.')}}));
}

}  // namespace
