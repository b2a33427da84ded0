// Golden replays: every script tests/e2e/golden/NAME.txt is played by vexa-replay with seed 1
// in a fresh directory (no save file), and everything it prints must equal the checked-in
// NAME.expected. A change of behaviour shows as a diff; a deliberate change is taken over
// with VEXA_UPDATE_GOLDEN=1, which writes the output as the new expected file (commit it
// with the change). The expected files themselves are checked for what the runs must reach.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/headless_game.h"

namespace fs = std::filesystem;

namespace {

using vexa_test::ReadText;

const fs::path kGolden = fs::path(VEXA_SOURCE_DIR) / "tests" / "e2e" / "golden";

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) out.push_back(line);
  return out;
}

std::vector<std::string> ScriptNames() {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(kGolden, ec))
    if (e.path().extension() == ".txt") names.push_back(e.path().stem().string());
  std::sort(names.begin(), names.end());
  return names;
}

// The first differing line and a few around it, for the failure message.
std::string FirstDifference(const std::vector<std::string>& want, const std::vector<std::string>& got) {
  size_t i = 0;
  while (i < want.size() && i < got.size() && want[i] == got[i]) ++i;
  std::ostringstream o;
  o << "first difference at output line " << i + 1 << " (expected " << want.size()
    << " lines, got " << got.size() << ")\n";
  o << "expected: " << (i < want.size() ? want[i] : "<end>") << "\n";
  o << "actual:   " << (i < got.size() ? got[i] : "<end>") << "\n";
  return o.str();
}

class GoldenReplay : public ::testing::TestWithParam<std::string> {};

TEST_P(GoldenReplay, OutputEqualsTheExpectedFile) {
  const std::string name = GetParam();
  const std::string script = (kGolden / (name + ".txt")).string();
  std::string out;
  {
    const vexa_test::ReplayFolder dir;
    ASSERT_FALSE(dir.Path.empty());
    // stdout only: the sound libraries may talk on stderr.
    const vexa_test::ReplayRun run = vexa_test::RunReplay(dir.Path, "--seed 1 '" + script + "'", true);
    ASSERT_EQ(run.Status, 0) << "vexa-replay failed on " << script;
    out = run.Out;
  }

  const fs::path expected = kGolden / (name + ".expected");
  const char* update = std::getenv("VEXA_UPDATE_GOLDEN");
  if (update && std::string(update) == "1") {
    std::ofstream(expected, std::ios::binary) << out;
    GTEST_SKIP() << "wrote " << expected;
  }
  ASSERT_TRUE(fs::exists(expected)) << expected << " is missing; run with VEXA_UPDATE_GOLDEN=1";
  const std::vector<std::string> want = Lines(ReadText(expected));
  const std::vector<std::string> got = Lines(out);
  if (want != got) {
    const fs::path actual = fs::current_path() / ("golden-" + name + ".actual");
    std::ofstream(actual, std::ios::binary) << out;
    ADD_FAILURE() << FirstDifference(want, got) << "whole output written to " << actual;
  }
}

INSTANTIATE_TEST_SUITE_P(Scripts, GoldenReplay, ::testing::ValuesIn(ScriptNames()),
                         [](const ::testing::TestParamInfo<std::string>& info) { return info.param; });

// ---- What the checked-in runs must show ----

// The number of key in a dump line (the first occurrence), or -1.
long Value(const std::string& line, const std::string& key) {
  const std::string t = vexa_test::Value(line, key);
  return t.empty() ? -1 : std::strtol(t.c_str(), nullptr, 10);
}

std::vector<std::string> Dumps(const std::string& name) {
  std::vector<std::string> out;
  for (const std::string& l : Lines(ReadText(kGolden / (name + ".expected"))))
    if (l.rfind("tick=", 0) == 0) out.push_back(l);
  return out;
}

TEST(GoldenRuns, NoScriptGaveUpWaiting) {
  for (const std::string& name : ScriptNames())
    for (const std::string& l : Lines(ReadText(kGolden / (name + ".expected"))))
      EXPECT_EQ(l.rfind("warning", 0), std::string::npos) << name << ": " << l;
}

TEST(GoldenRuns, EachEndlessGameReachesLevelTenAndTopsTheRanking) {
  const struct {
    const char* Script;
    int Difficulty;
  } games[] = {{"endless_easy", 0}, {"endless_normal", 1}, {"endless_hard", 2}};
  for (const auto& game : games) {
    const std::vector<std::string> dumps = Dumps(game.Script);
    ASSERT_FALSE(dumps.empty()) << game.Script;
    long level = -1;
    for (const std::string& d : dumps)
      if (d.find("mode=TGameMainMode") != std::string::npos) level = std::max(level, Value(d, "LevelCount"));
    EXPECT_GE(level, 10) << game.Script;
    const std::string& last = dumps.back();
    EXPECT_NE(last.find("mode=TRankingMode"), std::string::npos) << game.Script;
    EXPECT_EQ(Value(last, "LastDifficulty"), game.Difficulty) << game.Script;
    EXPECT_EQ(Value(last, "LastLevel"), level) << game.Script;
    // The new result heads the table under the typed name: score/level/blocks/difficulty/name.
    const std::string top = vexa_test::Value(last, "Rank0");
    const std::string want = "/" + std::to_string(level) + "/";
    EXPECT_NE(top.find(want), std::string::npos) << game.Script << ": " << top;
    EXPECT_NE(top.find("/" + std::to_string(game.Difficulty) + "/"), std::string::npos) << top;
    EXPECT_NE(top.find("_BO"), std::string::npos) << game.Script << ": " << top;
  }
}

TEST(GoldenRuns, ThePuzzleRunClearsEveryStageAndEndsOnTheTitle) {
  const std::vector<std::string> dumps = Dumps("puzzle_all_stages");
  ASSERT_FALSE(dumps.empty());
  int cleared = 0, rewards = 0;
  for (const std::string& d : dumps) {
    if (d.find("mode=TGameMainMode") != std::string::npos && Value(d, "Cleared") == 1) ++cleared;
    if (d.find("mode=TRewardMode") != std::string::npos) ++rewards;
    EXPECT_EQ(Value(d, "IsOver"), d.find("mode=TGameMainMode") != std::string::npos ? 0 : -1) << d.substr(0, 200);
  }
  EXPECT_EQ(cleared, 50);
  EXPECT_EQ(rewards, 25);
  const std::string& last = dumps.back();
  EXPECT_NE(last.find("mode=TTitleMode"), std::string::npos);
  EXPECT_EQ(Value(last, "ContinueStage"), 49);
  EXPECT_EQ(Value(last, "MaxStage"), 49);
  bool ending = false;
  for (const std::string& d : dumps) ending = ending || d.find("mode=TEndingMode") != std::string::npos;
  EXPECT_TRUE(ending);
}

// The puzzle script is written by make_puzzle_run.py from the stored solutions; a stage or
// solution changed without running it again shows here.
TEST(GoldenRuns, ThePuzzleScriptMakesTheStoredSolutionsSwapForSwap) {
  std::vector<std::string> stored, scripted;
  for (const std::string& l : Lines(ReadText(fs::path(VEXA_SOURCE_DIR) / "tools/puzzlegen/solutions.txt"))) {
    // "<stage>: <n> swaps: c,r,D ..."
    const size_t at = l.find(" swaps: ");
    if (l.empty() || l[0] == '#' || at == std::string::npos) continue;
    std::istringstream moves(l.substr(at + 8));
    std::string mv;
    while (moves >> mv) {
      std::replace(mv.begin(), mv.end(), ',', ' ');
      stored.push_back("swap " + mv);
    }
  }
  for (const std::string& l : Lines(ReadText(kGolden / "puzzle_all_stages.txt")))
    if (l.rfind("swap ", 0) == 0) scripted.push_back(l);
  EXPECT_GT(stored.size(), 50u);
  EXPECT_EQ(scripted, stored);
}

}  // namespace
