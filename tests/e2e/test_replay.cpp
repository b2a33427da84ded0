#include <gtest/gtest.h>

#include <string>

#include "tests/support/headless_game.h"

namespace {

using vexa_test::ReplayRun;

// Runs vexa-replay in a private folder on a script of the given text.
ReplayRun Replay(const std::string& script, const std::string& args = "") {
  return vexa_test::ReplayFolder().PlayText(script, args);
}

// Passes when the run ended well and printed every one of the texts.
::testing::AssertionResult EndedWellPrinting(const ReplayRun& r,
                                             std::initializer_list<std::string> texts) {
  if (r.Status != 0) return ::testing::AssertionFailure() << "ended with " << r.Status << ":\n" << r.Out;
  for (const std::string& t : texts)
    if (r.Out.find(t) == std::string::npos)
      return ::testing::AssertionFailure() << "no \"" << t << "\" in:\n" << r.Out;
  return ::testing::AssertionSuccess();
}

TEST(Replay, RunsAScriptAndDumpsState) {
  ReplayRun r = Replay("# smoke\nwait 5\ndump\ntap ENTER\nwait 1\ndump\n", "--seed 1");
  EXPECT_TRUE(EndedWellPrinting(r, {"tick=5 mode=", "tick=7 mode=", " Rank0=100000/9/1000/0/YEW"}));
}

TEST(Replay, UnreadableLineExitsTwoNamingTheLine) {
  ReplayRun r = Replay("wait 1\n\nhold Q\n");
  EXPECT_EQ(r.Status, 2);
  EXPECT_NE(r.Out.find(":3:"), std::string::npos) << r.Out;
  EXPECT_EQ(Replay("wait 1\n", "--dt 33").Status, 2);
  // The pair of a swap lies inside the well; until names a mode; random has a seed; a click
  // lies inside the picture; the wheel turns.
  for (const char* bad : {"tap NOPE\n", "shot ../escape\n", "swap 5 0 R\n", "swap 0 9 D\n",
                          "swap 0 0 L\n", "until TTitleMode 1\n", "until ../x 1 5\n", "random 5\n",
                          "click 512 0\n", "click 1 2 left\n", "wheel 0\n", "workshop 1\n"})
    EXPECT_EQ(Replay(bad).Status, 2) << bad;
}

TEST(Replay, WaitingCommandsGiveUpWithAWarningAndTheRunGoesOn) {
  // No game screen: swap gives up at once, until after its frames, settle returns.
  ReplayRun r = Replay("swap 0 0 R\nuntil TEndingMode 1 5\nsettle 5\nplay 5\nmem\ndump\n", "--seed 1");
  EXPECT_TRUE(EndedWellPrinting(r, {"warning line=1 tick=0 swap-without-game",
                                    "warning line=2 tick=5 until-timeout", "mem tick=5 rss_kb=",
                                    "tick=5 mode=TLogoMode"}));
}

}  // namespace
