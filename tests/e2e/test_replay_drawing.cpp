// The replay runner draws a frame only when a shot follows it: every shot and every dump
// must come out as they do when every frame is drawn (--draw).
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "tests/support/headless_game.h"

namespace {

using vexa_test::ReadBytes;
using vexa_test::ReplayFolder;
using vexa_test::ReplayRun;

// The golden run through every menu branch, with a shot after every third command that runs
// ticks and after a few that may run none (a wait of 0, a settle outside a game), then
// random keys (steps of two ticks) and a last shot.
std::string ScriptWithShots(int& shots) {
  std::ifstream in(std::string(VEXA_SOURCE_DIR) + "/tests/e2e/golden/menus_and_branches.txt");
  std::ostringstream out;
  std::string line;
  int ticking = 0;
  shots = 0;
  while (std::getline(in, line)) {
    out << line << "\n";
    const std::string word = line.substr(0, line.find(' '));
    if (word != "wait" && word != "tap" && word != "until" && word != "settle") continue;
    if (++ticking % 3 != 0) continue;
    if (ticking % 9 == 0) out << (ticking % 2 ? "wait 0\n" : "settle 5\ndump\n");
    out << "shot s" << ++shots << "\n";
  }
  out << "random 41 5\ndump\nshot s" << ++shots << "\n";
  return out.str();
}

TEST(ReplayDrawing, ShotsAndDumpsAreTheSameAsWhenEveryFrameIsDrawn) {
  int shots = 0;
  const std::string script = ScriptWithShots(shots);
  ASSERT_GT(shots, 40);
  ReplayFolder lazy, drawn;
  const ReplayRun a = lazy.PlayText(script, "--seed 1");
  const ReplayRun b = drawn.PlayText(script, "--seed 1 --draw");
  ASSERT_EQ(a.Status, 0) << a.Out;
  ASSERT_EQ(b.Status, 0) << b.Out;
  EXPECT_EQ(a.Dumps, b.Dumps);
  for (int i = 1; i <= shots; ++i) {
    const std::string name = "s" + std::to_string(i) + ".bmp";
    const std::vector<uint8_t> want = ReadBytes(drawn.At(name));
    ASSERT_FALSE(want.empty()) << name;
    EXPECT_TRUE(ReadBytes(lazy.At(name)) == want) << name << " differs";
  }
}

}  // namespace
