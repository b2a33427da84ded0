// The title, menus and ranking end to end: the replay runner plays the scripts menu_*.txt
// headless in a fresh directory (with a prepared save file where a script needs one), and
// the dump lines, the save file and the shots are checked.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

struct ReplayRun {
  int Status = -1;
  std::string Out;
  std::vector<std::string> Dumps;
};

class MenuReplay : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/vexa-menu-e2e-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    Dir = tmpl;
  }
  void TearDown() override {
    std::error_code ec;
    std::filesystem::remove_all(Dir, ec);
  }
  ReplayRun Play(const std::string& script) const {
    const std::string src = std::string(VEXA_SOURCE_DIR) + "/tests/e2e/" + script;
    const std::string cmd =
        "cd '" + Dir + "' && '" + VEXA_REPLAY_EXE + "' --seed 1 '" + src + "' 2>&1";
    ReplayRun r;
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return r;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.Out.append(buf, n);
    const int st = pclose(p);
    r.Status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    std::istringstream lines(r.Out);
    std::string line;
    while (std::getline(lines, line))
      if (line.rfind("tick=", 0) == 0) r.Dumps.push_back(line);
    return r;
  }
  Bytes File(const std::string& name) const {
    std::ifstream f(Dir + "/" + name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
  }
  // A save file whose ranking rows are all empty (scores 0), with the puzzle progress given.
  void WriteSave(int32_t continueStage, int32_t maxStage) const {
    Bytes b(308, 0);
    std::memcpy(b.data(), "Vexa Ver1.02", 12);
    auto put = [&b](size_t at, int32_t v) {
      for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i));
    };
    put(296, continueStage);
    put(304, maxStage);
    std::ofstream f(Dir + "/vexa.dat", std::ios::binary);
    f.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
  }
  std::string Dir;
};

// The value of key in a dump line: the first occurrence ("" when absent).
std::string Value(const std::string& dump, const std::string& key) {
  const std::string k = " " + key + "=";
  const size_t at = dump.find(k);
  if (at == std::string::npos) return "";
  const size_t from = at + k.size();
  return dump.substr(from, dump.find(' ', from) - from);
}

std::vector<std::string> Modes(const ReplayRun& r) {
  std::vector<std::string> m;
  for (const std::string& d : r.Dumps) m.push_back(Value(d, "mode"));
  return m;
}

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
  ReplayRun r = Play("menu_logo_skip.txt");
  ASSERT_EQ(r.Status, 0) << r.Out;
  ASSERT_EQ(r.Dumps.size(), 2u) << r.Out;
  EXPECT_EQ(Value(r.Dumps[0], "mode"), "TLogoMode");
  EXPECT_EQ(Value(r.Dumps[0], "phase"), "4");
  EXPECT_EQ(Value(r.Dumps[0], "blackout"), "1");
  EXPECT_EQ(Value(r.Dumps[1], "mode"), "TTitleMode");
  EXPECT_EQ(Value(r.Dumps[1], "phase"), "1");
  EXPECT_EQ(Value(r.Dumps[1], "fade"), "0");
  EXPECT_EQ(LitPixels(File("logo_black.bmp")), 0);
  EXPECT_GT(LitPixels(File("title.bmp")), 100000);
  EXPECT_TRUE(File("vexa.dat").empty());  // nothing here writes the save file
}

TEST_F(MenuReplay, TitleToRankingAndBackChangesNothing) {
  ReplayRun r = Play("menu_title_ranking.txt");
  ASSERT_EQ(r.Status, 0) << r.Out;
  EXPECT_EQ(Modes(r), (std::vector<std::string>{"TRankingMode", "TRankingMode", "TTitleMode",
                                                "TSelectMode"}));
  ASSERT_EQ(r.Dumps.size(), 4u);
  EXPECT_EQ(Value(r.Dumps[0], "TitleChoice"), "1");
  EXPECT_EQ(Value(r.Dumps[1], "phase"), "1");  // X is no cancel here
  EXPECT_EQ(Value(r.Dumps[3], "TitleChoice"), "0");  // the new title opened on GAME START
  EXPECT_EQ(Value(r.Dumps[3], "Rank0"), "100000/9/1000/0/YEW");
  EXPECT_GT(LitPixels(File("ranking.bmp")), 100000);
  EXPECT_TRUE(File("vexa.dat").empty());
}

TEST_F(MenuReplay, EndlessGameNameEntryReachesTheRankingAndTheSaveFile) {
  WriteSave(0, 0);
  ReplayRun r = Play("menu_endless_name.txt");
  ASSERT_EQ(r.Status, 0) << r.Out;
  ASSERT_EQ(r.Dumps.size(), 5u) << r.Out;
  if (Value(r.Dumps[0], "mode") != "TGameMainMode") GTEST_SKIP() << "no game screen yet";
  EXPECT_EQ(Modes(r), (std::vector<std::string>{"TGameMainMode", "TRegRankMode", "TRegRankMode",
                                                "TTitleMode", "TRankingMode"}));
  EXPECT_EQ(Value(r.Dumps[0], "Difficulty"), "1");  // NOMAL chosen on the level screen
  EXPECT_EQ(Value(r.Dumps[1], "Rank0"), "0/0/0/0/-");  // GameData changes only on leaving
  EXPECT_EQ(Value(r.Dumps[3], "Rank0"), "0/0/0/1/KITE_Z");
  EXPECT_EQ(Value(r.Dumps[3], "Rank1"), "0/0/0/0/-");
  EXPECT_EQ(Value(r.Dumps[4], "Rank0"), "0/0/0/1/KITE_Z");

  const Bytes b = File("vexa.dat");
  ASSERT_EQ(b.size(), 308u);
  EXPECT_EQ(std::memcmp(b.data(), "Vexa Ver1.02\0", 13), 0);
  EXPECT_EQ(b[28 + 12], 1);  // NOMAL
  EXPECT_EQ(std::memcmp(b.data() + 28 + 13, "KITE Z\0\0\0\0\0", 11), 0);
  for (size_t i = 28 + 24; i < 28 + 240; ++i) EXPECT_EQ(b[i], 0) << i;
}

TEST_F(MenuReplay, PuzzleContinueRetryAndSelectStageThroughTheManager) {
  WriteSave(3, 4);
  ReplayRun r = Play("menu_puzzle_retry.txt");
  ASSERT_EQ(r.Status, 0) << r.Out;
  ASSERT_EQ(r.Dumps.size(), 5u) << r.Out;
  if (Value(r.Dumps[0], "mode") != "TGameMainMode") GTEST_SKIP() << "no game screen yet";
  EXPECT_EQ(Modes(r), (std::vector<std::string>{"TGameMainMode", "TPuzSaveMode", "TGameMainMode",
                                                "TTitleMode", "TGameMainMode"}));
  // CONTINUE at the saved point.
  EXPECT_EQ(Value(r.Dumps[0], "Stage"), "3");
  EXPECT_EQ(Value(r.Dumps[0], "Retries"), "0");
  // YES on TRY AGAIN?: the same stage, one retry counted.
  EXPECT_EQ(Value(r.Dumps[2], "Stage"), "3");
  EXPECT_EQ(Value(r.Dumps[2], "Retries"), "1");
  // SELECT STAGE: right from the last stage reached (5) wraps to the first.
  EXPECT_EQ(Value(r.Dumps[4], "Stage"), "0");
  EXPECT_EQ(Value(r.Dumps[4], "Retries"), "0");
  EXPECT_EQ(Value(r.Dumps[4], "ContinueStage"), "3");
  EXPECT_EQ(Value(r.Dumps[4], "MaxStage"), "4");
}

TEST_F(MenuReplay, EnterAroundAStageClearOpensNoPauseAndTheClearStands) {
  ReplayRun r = Play("play_clear_enter.txt");
  ASSERT_EQ(r.Status, 0) << r.Out;
  EXPECT_EQ(r.Out.find("warning"), std::string::npos) << r.Out;
  ASSERT_EQ(r.Dumps.size(), 5u) << r.Out;
  // Stage 1: ENTER in the tick of the clear.
  EXPECT_EQ(Value(r.Dumps[0], "Cleared"), "1");
  EXPECT_EQ(Value(r.Dumps[0], "Paused"), "0");
  // The keys that followed left the clear screen; stage 2 starts as a first attempt.
  EXPECT_EQ(Value(r.Dumps[1], "mode"), "TGameMainMode");
  EXPECT_EQ(Value(r.Dumps[1], "Stage"), "1");
  EXPECT_EQ(Value(r.Dumps[1], "Retries"), "0");
  EXPECT_EQ(Value(r.Dumps[1], "StageFailed"), "0");
  EXPECT_EQ(Value(r.Dumps[1], "ContinueStage"), "1");
  // Stage 2: cleared, then ENTER in the next tick goes to the clear screen unpaused.
  EXPECT_EQ(Value(r.Dumps[2], "Cleared"), "1");
  EXPECT_EQ(Value(r.Dumps[2], "phase"), "2");
  EXPECT_EQ(Value(r.Dumps[3], "phase"), "5");
  EXPECT_EQ(Value(r.Dumps[3], "Paused"), "0");
  EXPECT_EQ(Value(r.Dumps[3], "IsOver"), "0");
  // Its reward follows, and the progress was saved.
  EXPECT_EQ(Value(r.Dumps[4], "mode"), "TRewardMode");
  EXPECT_EQ(Value(r.Dumps[4], "StageFailed"), "0");
  EXPECT_EQ(Value(r.Dumps[4], "ContinueStage"), "2");
  const Bytes b = File("vexa.dat");
  ASSERT_EQ(b.size(), 308u);
  EXPECT_EQ(b[296], 2);
}

TEST_F(MenuReplay, KeyEventsFromTheWindowAreNeitherStuckNorLost) {
  WriteSave(0, 0);
  ReplayRun r = Play("input_events.txt");
  ASSERT_EQ(r.Status, 0) << r.Out;
  EXPECT_EQ(r.Out.find("warning"), std::string::npos) << r.Out;
  ASSERT_EQ(r.Dumps.size(), 5u) << r.Out;
  EXPECT_EQ(Value(r.Dumps[0], "Paused"), "0");
  EXPECT_EQ(Value(r.Dumps[1], "Paused"), "1");
  // ENTER released while Alt was held came up, so the next ENTER resumed the game.
  EXPECT_EQ(Value(r.Dumps[2], "Paused"), "0");
  // Every tap between two ticks moved the cursor: five up from row 5, two left from 2.
  EXPECT_EQ(Value(r.Dumps[3], "CursorRow"), "0");
  EXPECT_EQ(Value(r.Dumps[3], "CursorCol"), "0");
  // All eight letters typed in one burst reached the name.
  EXPECT_EQ(Value(r.Dumps[4], "Rank0"), "0/0/0/1/VEXATEST");
}

}  // namespace
