// A stage set played through the real game with the replay runner's --stages: its stages in
// place of the built-in ones, its progress in its own file beside it, the save file's puzzle
// progress untouched, no built-in best clear kept from it, and the title after its last
// stage.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "game/gamedata.h"
#include "game/replay_keeper.h"
#include "game/savefile.h"
#include "tests/support/headless_game.h"

namespace {

const char* const kSet =
    "vexa-stages 1\nname = Two Steps\nauthor = tester\n\n"
    "stage 1\n......\n......\n......\n......\n......\n......\n......\n......\n......\n.B.AC.\n\n"
    "stage 2\n......\n......\n......\n......\n......\n......\n......\n......\n......\n..BAC.\n";

// From the logo: GAME START, PUZZLE, to the puzzle start screen.

}  // namespace

TEST(StageSets, ASetIsPlayedWithItsOwnProgressAndEndsAtTheTitle) {
  vexa_test::ReplayFolder folder;
  folder.WriteSave(7, 9);
  folder.Write("two.vexa-stages", std::vector<uint8_t>(kSet, kSet + std::strlen(kSet)));
  // NEW GAME; stage 1 cleared by its two swaps; stage 2 follows at once (no reward picture)
  // and is cleared by one; then the set's clear and the title.
  const std::string script = std::string(vexa_test::kLogoToPuzzleStart) + "dump\ntap ENTER\n" +
                             "until TGameMainMode 2 3000\nswap 1 9 R\nsettle 1500\nswap 2 9 R\n"
                             "wait 200\ntap ENTER\nuntil TGameMainMode 2 3000\ndump\n"
                             "swap 2 9 R\nwait 200\ntap ENTER\nwait 100\ndump\n"
                             "tap ENTER\nwait 200\ndump\n";
  vexa_test::ReplayRun run;
  ASSERT_TRUE(folder.PlayText(script, "--seed 3 --keep-replays --stages two.vexa-stages", 4, run));
  // The set's progress, not the save file's, while it is played.
  EXPECT_TRUE(vexa_test::Holds(run.Dumps[0], {{"mode", "TContSelectMode"},
                                              {"ContinueStage", "0"},
                                              {"MaxStage", "0"}}));
  EXPECT_TRUE(vexa_test::Holds(run.Dumps[1], {{"mode", "TGameMainMode"},
                                              {"Stage", "1"},
                                              {"ContinueStage", "1"},
                                              {"MaxStage", "1"}}));
  const std::string field = vexa_test::Value(run.Dumps[1], "field");
  ASSERT_GE(field.size(), 60u) << run.Dumps[1];
  EXPECT_EQ(field.substr(54, 6), "..BAC.") << field;
  EXPECT_TRUE(vexa_test::Holds(run.Dumps[2], {{"mode", "TRewardMode"}, {"Revealed", "0"}}));
  EXPECT_TRUE(vexa_test::Holds(run.Dumps[3], {{"mode", "TTitleMode"}}));

  EXPECT_EQ(vexa_test::ReadText(folder.At("two.vexa-progress")),
            "vexa-progress 1\ncontinue = 2\nreached = 2\n");
  GameData saved;
  ASSERT_TRUE(savefile::Load(folder.SavePath, saved));
  EXPECT_EQ(saved.ContinueStage, 7);
  EXPECT_EQ(saved.MaxStage, 9);
  // The set's clears are recent games, never the built-in stages' best clears.
  const TReplayKeeper keeper = TReplayKeeper::BesideSaveFile(folder.SavePath);
  EXPECT_EQ(keeper.RecentGames().size(), 2u);
  EXPECT_FALSE(std::filesystem::exists(keeper.StagePath(0)));
  EXPECT_FALSE(std::filesystem::exists(keeper.StagePath(1)));

  // The next run starts from the set's progress file; a damaged set is refused in one line.
  const vexa_test::ReplayRun again =
      folder.PlayText(std::string(vexa_test::kLogoToPuzzleStart) + "dump\n", "--stages two.vexa-stages");
  ASSERT_EQ(again.Dumps.size(), 1u) << again.Out;
  EXPECT_TRUE(vexa_test::Holds(again.Dumps[0], {{"ContinueStage", "1"}, {"MaxStage", "1"}}));
  folder.Write("bad.vexa-stages", {'v', 'e', 'x', 'a', '\n'});
  const vexa_test::ReplayRun bad = folder.PlayText("wait 1\n", "--stages bad.vexa-stages");
  EXPECT_EQ(bad.Status, 2);
  EXPECT_NE(bad.Out.find("bad.vexa-stages: line 1: not a stage set file"), std::string::npos)
      << bad.Out;
}
