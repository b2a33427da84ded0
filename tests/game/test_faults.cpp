// The save file going wrong under a running game: a folder it cannot be written to, the file
// swapped for a folder, a pipe or a read-only file. The game runs on with what it holds in
// memory, no write is reported as done when it was not, and nothing else on disk is harmed.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "game/savefile.h"
#include "screens/ranking.h"
#include "tests/support/headless_game.h"

namespace {

using namespace vexa_test;

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

bool Exists(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;
}

// Whether a temporary file of a save is left in the folder.
bool TemporaryLeft(const std::string& dir) {
  for (const auto& e : std::filesystem::directory_iterator(dir))
    if (e.path().filename().string().rfind("vexa.dat.tmp", 0) == 0) return true;
  return false;
}

// The lines of captured error output that name the path.
int LinesNaming(const std::string& text, const std::string& path) {
  int n = 0;
  for (size_t at = 0; at < text.size();) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    if (text.substr(at, end - at).find(path) != std::string::npos) ++n;
    at = end + 1;
  }
  return n;
}

// Each test gets its own folder and save-file path, the game runs with the mixer in step
// with its ticks, and both are put back afterwards.
class SaveFileFault : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(Sandbox.Path.empty()); }
  // A save file with options that differ from the defaults and a ranking row of our own.
  GameData Saved() {
    GameData d;
    SetDefaultRanking(d);
    d.BlockType = 3;
    d.BgmType = 2;
    std::strcpy(d.Ranking[0].Name, "OWN");
    return d;
  }
  // From the title to the options screen, BLOCK one set to the left, decided: a save.
  static void DecideOptions(RunningGame& g) {
    g.OpenFromTitle(2, "TConfigMode");
    g.Tap(keycode::Left);
    g.Tap(keycode::Enter);
    g.BackAtTitle();
  }

  PrivateFolder Sandbox;
  const std::string Dir = Sandbox.Path;
  std::string Path = Sandbox.SavePath;
  ScopedManualAudio Manual{true};
};

TEST_F(SaveFileFault, FolderThatCannotBeWrittenKeepsTheNewRankingInMemoryAndOnScreen) {
  // A folder that cannot be made: a plain file stands where it should be. (A folder without
  // write permission stops only users other than root; the next test covers it for them.)
  WriteText(Dir + "/blocked", "not a folder");
  Path = Dir + "/blocked/vexa.dat";
  savefile::SetPathOverride(Path);

  RunningGame g;
  // An empty table, so the retired game's result of 0 takes the top row.
  for (TRankEntry& r : g.Form->GameData.Ranking) r = TRankEntry{};
  g.ToTitle();
  g.StartEndlessGame();
  g.RetireToNameEntry();
  for (uint8_t k : {keycode::K, keycode::I, keycode::T, keycode::E}) g.Tap(k);
  g.Tap(keycode::Enter);
  g.BackAtTitle();

  EXPECT_STREQ(g.Form->GameData.Ranking[0].Name, "KITE");
  EXPECT_FALSE(Exists(Path));
  EXPECT_EQ(ReadBytes(Dir + "/blocked"), (std::vector<uint8_t>{'n', 'o', 't', ' ', 'a', ' ', 'f', 'o', 'l', 'd', 'e', 'r'}));

  // RANKING from the title shows the row that could not be saved.
  g.OpenFromTitle(1, "TRankingMode");
  auto* ranking = dynamic_cast<TRankingMode*>(g.Form->Root->Deepest());
  ASSERT_NE(ranking, nullptr);
  EXPECT_EQ(ranking->Names[0], "KITE");
  EXPECT_EQ(ranking->Scores[0], 0);
}

TEST_F(SaveFileFault, ReadOnlyFolderForAnOrdinaryUser) {
  if (::geteuid() == 0) GTEST_SKIP() << "root writes into any folder";
  ASSERT_TRUE(savefile::Write(Path, Saved()));
  ASSERT_EQ(::chmod(Dir.c_str(), 0555), 0);

  RunningGame g;
  EXPECT_EQ(g.Form->GameData.BlockType, 3);
  g.ToTitle();
  DecideOptions(g);
  EXPECT_EQ(g.Form->GameData.BlockType, 2);
  // The file itself may be written: the save lands in it, in place.
  GameData read;
  ASSERT_TRUE(savefile::Load(Path, read));
  EXPECT_EQ(read.BlockType, 2);
  EXPECT_EQ(ReadBytes(Path).size(), savefile::kSize);
}

TEST_F(SaveFileFault, FileReplacedByAFolderWhileRunning) {
  ASSERT_TRUE(savefile::Write(Path, Saved()));
  RunningGame g;
  EXPECT_EQ(g.Form->GameData.BlockType, 3);
  EXPECT_EQ(g.Form->GameData.BgmType, 2);
  g.ToTitle();

  // The player's file gives way to a folder with a file of its own.
  ASSERT_EQ(::unlink(Path.c_str()), 0);
  ASSERT_EQ(::mkdir(Path.c_str(), 0755), 0);
  WriteText(Path + "/keep.txt", "keep");

  DecideOptions(g);
  EXPECT_EQ(g.Form->GameData.BlockType, 2);  // the decision holds in memory
  EXPECT_FALSE(savefile::Write(Path, g.Form->GameData));
  struct stat st;
  ASSERT_EQ(::stat(Path.c_str(), &st), 0);
  EXPECT_TRUE(S_ISDIR(st.st_mode));
  EXPECT_EQ(ReadBytes(Path + "/keep.txt"), (std::vector<uint8_t>{'k', 'e', 'e', 'p'}));
  EXPECT_FALSE(TemporaryLeft(Dir));

  // A new start over the folder keeps the defaults.
  RunningGame next;
  EXPECT_EQ(next.Form->GameData.BlockType, 0);
  EXPECT_EQ(next.Form->GameData.BgmType, 0);
  EXPECT_STRNE(next.Form->GameData.Ranking[0].Name, "OWN");
}

TEST_F(SaveFileFault, FileReplacedByAPipeIsNeitherReadNorWrittenSoNothingWaits) {
  ASSERT_EQ(::mkfifo(Path.c_str(), 0644), 0);
  // Opening a pipe with no writer would wait for ever: the start must come through.
  RunningGame g;
  EXPECT_EQ(g.Form->GameData.BgmType, 0);
  g.ToTitle();
  DecideOptions(g);
  struct stat st;
  ASSERT_EQ(::stat(Path.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
  EXPECT_FALSE(TemporaryLeft(Dir));
}

TEST_F(SaveFileFault, FileMadeReadOnlyWhileRunningIsLeftAsItIs) {
  ASSERT_TRUE(savefile::Write(Path, Saved()));
  RunningGame g;
  g.ToTitle();
  // The player marks the file read-only (no write permission for anyone).
  ASSERT_EQ(::chmod(Path.c_str(), 0444), 0);
  const std::vector<uint8_t> before = ReadBytes(Path);

  DecideOptions(g);
  EXPECT_EQ(g.Form->GameData.BlockType, 2);
  EXPECT_FALSE(savefile::Write(Path, g.Form->GameData));
  EXPECT_EQ(ReadBytes(Path), before);
  struct stat st;
  ASSERT_EQ(::stat(Path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0444u);
  EXPECT_FALSE(TemporaryLeft(Dir));

  // Loading it still works, and once writable again the next save goes through.
  GameData read;
  EXPECT_TRUE(savefile::Load(Path, read));
  EXPECT_EQ(read.BlockType, 3);
  ASSERT_EQ(::chmod(Path.c_str(), 0644), 0);
  EXPECT_TRUE(savefile::Write(Path, g.Form->GameData));
  ASSERT_TRUE(savefile::Load(Path, read));
  EXPECT_EQ(read.BlockType, 2);
}

TEST_F(SaveFileFault, FileRemovedWhileRunningIsWrittenAfresh) {
  ASSERT_TRUE(savefile::Write(Path, Saved()));
  RunningGame g;
  g.ToTitle();
  ASSERT_EQ(::unlink(Path.c_str()), 0);
  DecideOptions(g);
  GameData read;
  ASSERT_TRUE(savefile::Load(Path, read));
  EXPECT_EQ(read.BlockType, 2);
  EXPECT_STREQ(read.Ranking[0].Name, "OWN");  // from memory, where the start put it
}

TEST_F(SaveFileFault, FailedSaveIsToldOnceForEachReason) {
  ASSERT_TRUE(savefile::Write(Path, Saved()));
  RunningGame g;
  g.ToTitle();
  ASSERT_EQ(::chmod(Path.c_str(), 0444), 0);
  ::testing::internal::CaptureStderr();
  DecideOptions(g);
  DecideOptions(g);
  const std::string twice = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(LinesNaming(twice, Path), 1) << twice;
  EXPECT_NE(twice.find(std::strerror(EACCES)), std::string::npos) << twice;

  // Another reason is told again: the file gives way to a folder.
  ASSERT_EQ(::unlink(Path.c_str()), 0);
  ASSERT_EQ(::mkdir(Path.c_str(), 0755), 0);
  ::testing::internal::CaptureStderr();
  DecideOptions(g);
  const std::string other = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(LinesNaming(other, Path), 1) << other;
  EXPECT_NE(other.find(std::strerror(EISDIR)), std::string::npos) << other;
  EXPECT_EQ(g.Form->GameData.BlockType, 0);  // three decisions, each held in memory
}

TEST_F(SaveFileFault, FileThatCannotBeReadAtStartIsNeverWrittenOver) {
  ASSERT_TRUE(savefile::Write(Path, Saved()));
  const std::vector<uint8_t> before = ReadBytes(Path);
  // The disk answers the first read with an I/O error.
  savefile::SetIoForTesting([](int, void*, size_t, off_t) -> ssize_t {
    errno = EIO;
    return -1;
  }, nullptr);
  ::testing::internal::CaptureStderr();
  RunningGame g;
  savefile::SetIoForTesting(nullptr, nullptr);
  const std::string told = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(LinesNaming(told, Path), 1) << told;
  EXPECT_NE(told.find(std::strerror(EIO)), std::string::npos) << told;
  EXPECT_EQ(g.Form->GameData.BlockType, 0);  // the defaults, in memory only

  g.ToTitle();
  DecideOptions(g);
  EXPECT_EQ(g.Form->GameData.BlockType, 4);
  EXPECT_EQ(ReadBytes(Path), before);
  // The next start, with the disk well again, finds the player's own file.
  GameData read;
  ASSERT_TRUE(savefile::Load(Path, read));
  EXPECT_EQ(read.BlockType, 3);
  EXPECT_STREQ(read.Ranking[0].Name, "OWN");
}

}  // namespace
