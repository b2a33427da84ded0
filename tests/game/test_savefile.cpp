#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "game/savefile.h"
#include "platform/resources.h"

namespace {

// A fresh directory per test, removed afterwards.
class SaveDir : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/vexa-save-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    Dir = tmpl;
    File = Dir + "/vexa.dat";
  }
  void TearDown() override { std::system(("rm -rf " + Dir).c_str()); }
  std::vector<uint8_t> Bytes() {
    std::vector<uint8_t> b;
    platform::ReadWholeFile(File, b);
    return b;
  }
  void Put(const std::vector<uint8_t>& b) {
    FILE* f = std::fopen(File.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(b.data(), 1, b.size(), f);
    std::fclose(f);
  }
  std::string Dir, File;
};

int32_t I32(const std::vector<uint8_t>& b, size_t at) {
  return static_cast<int32_t>(b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) |
                              (static_cast<uint32_t>(b[at + 3]) << 24));
}

GameData Sample() {
  GameData d;
  SetDefaultRanking(d);
  std::strcpy(d.Reserved, "note");
  d.Ranking[3].Score = 123456;
  d.Ranking[3].Level = 42;
  d.Ranking[3].Blocks = 777;
  d.Ranking[3].Difficulty = 2;
  std::strcpy(d.Ranking[3].Name, "ZED ONE");
  d.BlockType = 4;
  d.BackType = 1;
  d.BgmType = 2;
  d.ControlType = 1;
  d.LastScore = -5;
  d.LastLevel = 98;
  d.LastBlocks = 1234;
  d.ContinueStage = 12;
  d.LastDifficulty = 1;
  d.MaxStage = 13;
  d.Stage = 7;  // never saved
  return d;
}

TEST_F(SaveDir, WritesTheExactLayoutAndReadsItBack) {
  GameData d = Sample();
  ASSERT_TRUE(savefile::Write(File, d));
  std::vector<uint8_t> b = Bytes();
  ASSERT_EQ(b.size(), 308u);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(b.data())), "Vexa Ver1.02");
  EXPECT_EQ(b[12], 0);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(&b[16])), "note");
  EXPECT_EQ(I32(b, 28), 100000);
  EXPECT_EQ(I32(b, 28 + 24 * 3), 123456);
  EXPECT_EQ(I32(b, 28 + 24 * 3 + 4), 42);
  EXPECT_EQ(I32(b, 28 + 24 * 3 + 8), 777);
  EXPECT_EQ(b[28 + 24 * 3 + 12], 2);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(&b[28 + 24 * 3 + 13])), "ZED ONE");
  EXPECT_EQ(I32(b, 268), 4);
  EXPECT_EQ(I32(b, 272), 1);
  EXPECT_EQ(I32(b, 276), 2);
  EXPECT_EQ(I32(b, 280), 1);
  EXPECT_EQ(I32(b, 284), -5);
  EXPECT_EQ(I32(b, 288), 98);
  EXPECT_EQ(I32(b, 292), 1234);
  EXPECT_EQ(I32(b, 296), 12);
  EXPECT_EQ(b[300], 1);
  EXPECT_EQ(I32(b, 304), 13);

  GameData back;
  ASSERT_TRUE(savefile::Load(File, back));
  uint8_t a[308], c[308];
  savefile::Encode(d, a);
  savefile::Encode(back, c);
  EXPECT_EQ(std::memcmp(a, c, 308), 0);
  EXPECT_EQ(back.Stage, 0);
}

TEST_F(SaveDir, ForeignShortOrMissingFilesChangeNothing) {
  GameData d = Sample();
  GameData before = d;
  EXPECT_FALSE(savefile::Load(File, d));  // missing
  std::vector<uint8_t> image(308);
  savefile::Encode(Sample(), image.data());
  image[11] = '3';  // "Vexa Ver1.03"
  Put(image);
  d.BlockType = 0;
  EXPECT_FALSE(savefile::Load(File, d));
  EXPECT_EQ(d.BlockType, 0);
  image[11] = '2';
  image.resize(307);
  Put(image);
  EXPECT_FALSE(savefile::Load(File, d));
  (void)before;
}

TEST_F(SaveDir, LongerFileKeepsItsTail) {
  std::vector<uint8_t> image(308 + 5, 0xAB);
  savefile::Encode(Sample(), image.data());
  Put(image);
  GameData d = Sample();
  d.BgmType = 0;
  ASSERT_TRUE(savefile::Write(File, d));
  std::vector<uint8_t> b = Bytes();
  ASSERT_EQ(b.size(), 313u);
  EXPECT_EQ(I32(b, 276), 0);
  for (size_t i = 308; i < 313; ++i) EXPECT_EQ(b[i], 0xAB);
}

TEST_F(SaveDir, FailedWriteLeavesOldFileAndNoTemporary) {
  GameData d = Sample();
  ASSERT_TRUE(savefile::Write(File, d));
  std::vector<uint8_t> old = Bytes();
  // A directory where the temporary file would go makes the write fail half-way.
  ASSERT_EQ(mkdir((File + ".tmp").c_str(), 0755), 0);
  d.BlockType = 0;
  EXPECT_FALSE(savefile::Write(File, d));
  EXPECT_EQ(Bytes(), old);
  rmdir((File + ".tmp").c_str());
  // A read-only file is the player's choice: left alone.
  chmod(File.c_str(), 0444);
  if (access(File.c_str(), W_OK) != 0) {  // root can write anyway
    EXPECT_FALSE(savefile::Write(File, d));
    EXPECT_EQ(Bytes(), old);
  }
  chmod(File.c_str(), 0644);
  // A link named like the temporary file, left pointing at another file: that file stays as
  // it is, and the save goes through.
  const std::string other = File + ".other";
  { std::ofstream(other) << "keep"; }
  ASSERT_EQ(symlink(other.c_str(), (File + ".tmp").c_str()), 0);
  EXPECT_TRUE(savefile::Write(File, d));
  std::ifstream kept(other);
  std::string text((std::istreambuf_iterator<char>(kept)), std::istreambuf_iterator<char>());
  EXPECT_EQ(text, "keep");
  EXPECT_NE(Bytes(), old);
  std::remove(other.c_str());
  // A directory in place of the file.
  std::remove(File.c_str());
  ASSERT_EQ(mkdir(File.c_str(), 0755), 0);
  EXPECT_FALSE(savefile::Write(File, d));
  EXPECT_FALSE(savefile::Load(File, d));
}

TEST(SaveFileFuzz, RandomBodiesWithTheRightHeaderLoadSafely) {
  std::mt19937 rng(7);
  for (int round = 0; round < 500; ++round) {
    std::vector<uint8_t> b(308 + rng() % 4);
    for (auto& x : b) x = static_cast<uint8_t>(rng());
    std::memcpy(b.data(), "Vexa Ver1.02", 13);
    GameData d;
    ASSERT_TRUE(savefile::Decode(b.data(), b.size(), d));
    for (const TRankEntry& r : d.Ranking) EXPECT_LE(RankName(r).size(), 11u);
    EXPECT_LE(strnlen(d.Reserved, sizeof d.Reserved), 12u);
    EXPECT_GE(ClampStage(d.ContinueStage), 0);
    EXPECT_LT(ClampStage(d.MaxStage), kStageCount);
    uint8_t again[308];
    savefile::Encode(d, again);  // a damaged reserved text without its NUL stays bounded
  }
}

}  // namespace

namespace {

TEST(SaveFilePlace, LocalFileFirstThenXdgThenHome) {
  EXPECT_EQ(savefile::ChoosePath(true, "/x/data", "/home/p"), "vexa.dat");
  EXPECT_EQ(savefile::ChoosePath(false, "/x/data", "/home/p"), "/x/data/vexa/vexa.dat");
  EXPECT_EQ(savefile::ChoosePath(false, nullptr, "/home/p"), "/home/p/.local/share/vexa/vexa.dat");
  EXPECT_EQ(savefile::ChoosePath(false, "relative", "/home/p"),
            "/home/p/.local/share/vexa/vexa.dat");  // a relative XDG path is ignored
  EXPECT_EQ(savefile::ChoosePath(false, nullptr, nullptr), "vexa.dat");
}

TEST_F(SaveDir, FirstWriteCreatesTheDataFolder) {
  std::string nested = Dir + "/home/.local/share/vexa/vexa.dat";
  GameData d = Sample();
  ASSERT_TRUE(savefile::Write(nested, d));
  GameData back;
  EXPECT_TRUE(savefile::Load(nested, back));
  EXPECT_EQ(back.BlockType, 4);
}

}  // namespace
