#include <gtest/gtest.h>

#include <string>

#include "tests/support/headless_game.h"

namespace {

using vexa_test::ReplayRun;

// Runs vexa-replay in a private folder on a script of the given text.
ReplayRun Replay(const std::string& script, const std::string& args = "") {
  return vexa_test::ReplayFolder().PlayText(script, args);
}

TEST(Replay, RunsAScriptAndDumpsState) {
  ReplayRun r = Replay("# smoke\nwait 5\ndump\ntap ENTER\nwait 1\ndump\n", "--seed 1");
  EXPECT_EQ(r.Status, 0) << r.Out;
  EXPECT_NE(r.Out.find("tick=5 mode="), std::string::npos) << r.Out;
  EXPECT_NE(r.Out.find("tick=7 mode="), std::string::npos) << r.Out;
  EXPECT_NE(r.Out.find(" Rank0=100000/9/1000/0/YEW"), std::string::npos) << r.Out;
}

TEST(Replay, UnreadableLineExitsTwoNamingTheLine) {
  ReplayRun r = Replay("wait 1\n\nhold Q\n");
  EXPECT_EQ(r.Status, 2);
  EXPECT_NE(r.Out.find(":3:"), std::string::npos) << r.Out;
  EXPECT_EQ(Replay("tap NOPE\n").Status, 2);
  EXPECT_EQ(Replay("shot ../escape\n").Status, 2);
  EXPECT_EQ(Replay("wait 1\n", "--dt 33").Status, 2);
  // The pair of a swap lies inside the well; until names a mode; random has a seed.
  EXPECT_EQ(Replay("swap 5 0 R\n").Status, 2);
  EXPECT_EQ(Replay("swap 0 9 D\n").Status, 2);
  EXPECT_EQ(Replay("swap 0 0 L\n").Status, 2);
  EXPECT_EQ(Replay("until TTitleMode 1\n").Status, 2);
  EXPECT_EQ(Replay("until ../x 1 5\n").Status, 2);
  EXPECT_EQ(Replay("random 5\n").Status, 2);
}

TEST(Replay, WaitingCommandsGiveUpWithAWarningAndTheRunGoesOn) {
  // No game screen: swap gives up at once, until after its frames, settle returns.
  ReplayRun r = Replay("swap 0 0 R\nuntil TEndingMode 1 5\nsettle 5\nplay 5\nmem\ndump\n", "--seed 1");
  EXPECT_EQ(r.Status, 0) << r.Out;
  EXPECT_NE(r.Out.find("warning line=1 tick=0 swap-without-game"), std::string::npos) << r.Out;
  EXPECT_NE(r.Out.find("warning line=2 tick=5 until-timeout"), std::string::npos) << r.Out;
  EXPECT_NE(r.Out.find("mem tick=5 rss_kb="), std::string::npos) << r.Out;
  EXPECT_NE(r.Out.find("tick=5 mode=TLogoMode"), std::string::npos) << r.Out;
}

}  // namespace
