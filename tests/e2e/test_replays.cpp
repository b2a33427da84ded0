// Replays through the real game: games played by the automatic player of the replay runner
// are kept, each proves its own result when played again headless and gives back the same
// file, the ranking row's replay follows the name entered, and a replay edited to claim
// more, or made by another version of the game, is caught.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/replay_verify.h"
#include "game/gamedata.h"
#include "game/replay_keeper.h"
#include "tests/support/headless_game.h"

using vexa_test::ReplayFolder;

namespace {

// From the title: GAME START, ENDLESS, the difficulty (0..2).
std::string StartEndless(int difficulty) {
  std::string s = "tap ENTER\nwait 20\ntap ENTER\nwait 20\n";
  for (int i = 0; i < difficulty; ++i) s += "tap DOWN\nwait 1\n";
  return s + "tap ENTER\nuntil TGameMainMode 2 3000\n";
}
// Pause, RETIRE, YES, then past the results to the ranking.
const char* const kRetire =
    "tap ENTER\nwait 2\ntap DOWN\nwait 2\ntap ENTER\nwait 2\ntap UP\nwait 2\ntap ENTER\n"
    "wait 200\ntap ENTER\nwait 100\n";

}  // namespace

TEST(Replays, GamesPlayedAreKeptProvedAndPlayedBackToTheSameFile) {
  ReplayFolder folder;
  // An endless game at each difficulty; the EASY one long enough to enter the ranking,
  // under the name ACE; the others too short for it.
  std::string script = "wait 10\ntap ENTER\nwait 100\n" + StartEndless(0) + "play 6000\n" +
                       kRetire +
                       "tap A\nwait 2\ntap C\nwait 2\ntap E\nwait 2\ntap ENTER\nwait 100\n";
  // On the RANKING screen, X plays the first row's replay to its end; then the table is back
  // and the game data as it was.
  script +=
      "dump\ntap DOWN\nwait 2\ntap ENTER\nwait 100\ntap X\nwait 300\ndump\nwait 6400\ndump\n"
      "tap ENTER\nwait 100\n";
  script += StartEndless(1) + "play 300\n" + kRetire + "tap ENTER\nwait 100\n";
  // The HARD one opens the options from the pause and keeps them (which saves them).
  script += StartEndless(2) + "play 300\n" +
            "tap ENTER\nwait 2\ntap DOWN\nwait 2\ntap DOWN\nwait 2\ntap ENTER\nwait 100\n"
            "tap ENTER\nuntil TGameMainMode 2 1000\nplay 100\n" +
            kRetire + "tap ENTER\nwait 100\n";
  // Puzzle stage 1 (NEW GAME) solved by its two swaps, and its clear left.
  script +=
      "tap ENTER\nwait 20\ntap RIGHT\nwait 1\ntap ENTER\nwait 20\ntap ENTER\n"
      "until TGameMainMode 2 3000\nswap 1 9 R\nsettle 1500\nswap 2 9 R\nwait 200\n"
      "tap ENTER\nwait 100\n";
  vexa_test::ReplayRun run;
  ASSERT_TRUE(folder.PlayText(script, "--seed 7 --keep-replays", 3, run));
  EXPECT_TRUE(vexa_test::Holds(run.Dumps[1], {{"mode", "TGameMainMode"}, {"IsOver", "0"}}));
  EXPECT_TRUE(vexa_test::Holds(run.Dumps[2], {{"mode", "TRankingMode"}, {"phase", "1"}}));
  for (const char* key : {"LastScore", "LastLevel", "LastBlocks", "GameType", "Difficulty"})
    EXPECT_EQ(vexa_test::Value(run.Dumps[2], key), vexa_test::Value(run.Dumps[0], key)) << key;

  TReplayKeeper keeper(folder.At("replays"));
  const std::vector<std::string> games = keeper.RecentGames();
  ASSERT_EQ(games.size(), 4u);
  std::vector<TReplayEnd> ends;
  // Proving a replay never touches the player's save file, whatever screens the game opens.
  const std::vector<uint8_t> save = folder.Read("vexa.dat");
  ASSERT_EQ(save.size(), 308u);
  for (const std::string& path : games) {
    TReplay replay;
    std::string error;
    ASSERT_TRUE(LoadReplayFile(path, replay, error)) << error;
    TReplayProof proof;
    ASSERT_TRUE(VerifyReplay(replay, proof, error)) << error;
    EXPECT_TRUE(proof.Matches) << path << "\n" << DescribeProof(replay, proof);
    EXPECT_EQ(WriteReplay(proof.Reached), WriteReplay(replay)) << path;
    ends.push_back(replay.End);

    // A score raised by hand is not what the game reaches.
    TReplay edited = replay;
    edited.Score += 100;
    ASSERT_TRUE(VerifyReplay(edited, proof, error));
    EXPECT_FALSE(proof.Matches) << path;
    // Another version's replay is refused, not played.
    edited.GameVersion = "0.9";
    EXPECT_FALSE(VerifyReplay(edited, proof, error));
    EXPECT_NE(error.find("version 0.9"), std::string::npos) << error;
  }
  EXPECT_EQ(folder.Read("vexa.dat"), save);
  EXPECT_EQ(ends, (std::vector<TReplayEnd>{TReplayEnd::Retired, TReplayEnd::Retired,
                                           TReplayEnd::Retired, TReplayEnd::Cleared}));

  // The ranked game's replay is its row's, under the name entered; the stage's clear is kept.
  TReplay ranked;
  std::string error;
  int row = 0;
  while (row < kRankRows && !LoadReplayFile(keeper.RankingPath(row), ranked, error)) ++row;
  ASSERT_LT(row, kRankRows) << "no ranking row kept a replay";
  EXPECT_EQ(ranked.Name, "ACE");
  EXPECT_EQ(ranked.Difficulty, 0);
  TReplay cleared;
  EXPECT_TRUE(LoadReplayFile(keeper.StagePath(0), cleared, error)) << error;
  EXPECT_EQ(cleared.End, TReplayEnd::Cleared);
}
