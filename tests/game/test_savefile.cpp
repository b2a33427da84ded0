#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "game/gamemgr.h"
#include "game/savefile.h"
#include "platform/resources.h"
#include "tests/support/headless_game.h"

namespace {

// A fresh folder per test, removed afterwards; its vexa.dat is the game's save file.
class SaveDir : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(Dir.empty()); }
  std::vector<uint8_t> Bytes() { return vexa_test::ReadBytes(File); }
  void Put(const std::vector<uint8_t>& b) { vexa_test::WriteBytes(File, b); }
  vexa_test::PrivateFolder Folder;
  const std::string Dir = Folder.Path;
  const std::string File = Folder.SavePath;
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
  // The disk fills up while the new file is written: the write fails half-way, and what
  // it had begun is removed.
  savefile::SetIoForTesting(nullptr, [](int, const void*, size_t, off_t) -> ssize_t {
    errno = ENOSPC;
    return -1;
  });
  d.BlockType = 0;
  EXPECT_EQ(savefile::WriteTo(File, d), ENOSPC);
  savefile::SetIoForTesting(nullptr, nullptr);
  EXPECT_EQ(Bytes(), old);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Dir), {}), 1);
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

// How the file is replaced on disk: who owns it, where links lead, long tails, two copies of
// the game saving at once.
namespace {

// Runs fn as a user who cannot write into folders of other users: in a child process that
// gives up root for "nobody" when the tests run as root, directly otherwise. 0 when fn
// answered true, 1 when false, 2 when root could not be given up.
int AsOrdinaryUser(const std::function<bool()>& fn) {
  if (::geteuid() != 0) return fn() ? 0 : 1;
  pid_t pid = ::fork();
  if (pid == 0) {
    if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0) _exit(2);
    _exit(fn() ? 0 : 1);
  }
  int status = 0;
  if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return 2;
  return WEXITSTATUS(status);
}

std::vector<uint8_t> ImageWithTail(const GameData& d, size_t tail, uint8_t fill) {
  std::vector<uint8_t> image(308 + tail, fill);
  savefile::Encode(d, image.data());
  return image;
}

// Names in the folder other than those given.
std::vector<std::string> OtherEntries(const std::string& dir, std::vector<std::string> known) {
  std::vector<std::string> other;
  for (const auto& e : std::filesystem::directory_iterator(dir)) {
    std::string name = e.path().filename().string();
    if (std::find(known.begin(), known.end(), name) == known.end()) other.push_back(name);
  }
  return other;
}

TEST_F(SaveDir, RewriteKeepsTheModeAndTheOwnerOfTheOldFile) {
  Put(ImageWithTail(Sample(), 0, 0));
  ASSERT_EQ(::chmod(File.c_str(), 0666), 0);  // shared with the group and others on purpose
  const bool root = ::geteuid() == 0;
  if (root) {
    ASSERT_EQ(::chown(File.c_str(), 65534, 65534), 0);  // the player's, saved by root
  }
  const mode_t oldMask = ::umask(022);
  GameData d = Sample();
  d.BlockType = 0;
  EXPECT_TRUE(savefile::Write(File, d));
  ::umask(oldMask);
  struct stat st;
  ASSERT_EQ(::stat(File.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0666u);
  if (root) {
    EXPECT_EQ(st.st_uid, 65534u);
    EXPECT_EQ(st.st_gid, 65534u);
  }
  EXPECT_EQ(I32(Bytes(), 268), 0);
}

TEST_F(SaveDir, WritableFileInAFolderThatCannotBeWrittenIsWrittenInPlace) {
  Put(ImageWithTail(Sample(), 3, 0xCD));
  if (::geteuid() == 0) {
    ASSERT_EQ(::chown(File.c_str(), 65534, 65534), 0);
    ASSERT_EQ(::chmod(Dir.c_str(), 0755), 0);  // root's folder: nobody may not add files
  } else {
    ASSERT_EQ(::chmod(Dir.c_str(), 0555), 0);
  }
  GameData d = Sample();
  d.BlockType = 0;
  const int result = AsOrdinaryUser([&] { return savefile::Write(File, d); });
  ::chmod(Dir.c_str(), 0700);
  if (result == 2) GTEST_SKIP() << "cannot run as an ordinary user";
  EXPECT_EQ(result, 0);
  std::vector<uint8_t> b = Bytes();
  ASSERT_EQ(b.size(), 311u);
  EXPECT_EQ(I32(b, 268), 0);
  EXPECT_EQ(b[308], 0xCD);
  EXPECT_EQ(b[310], 0xCD);
}

TEST_F(SaveDir, LinkedFilesAreWrittenWhereTheyPointAndStayLinked) {
  // A symbolic link into another folder (a synced one), given relative to the link.
  const std::string synced = Dir + "/synced";
  ASSERT_EQ(::mkdir(synced.c_str(), 0755), 0);
  const std::string target = synced + "/vexa.dat";
  { std::ofstream(target, std::ios::binary); }
  ASSERT_EQ(::symlink("synced/vexa.dat", File.c_str()), 0);
  GameData d = Sample();
  d.BlockType = 2;
  ASSERT_TRUE(savefile::Write(File, d));
  struct stat st;
  ASSERT_EQ(::lstat(File.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  GameData back;
  ASSERT_TRUE(savefile::Load(target, back));
  EXPECT_EQ(back.BlockType, 2);
  EXPECT_TRUE(OtherEntries(synced, {"vexa.dat"}).empty());

  // A second hard link to the same file: both names go on showing the one file.
  const std::string second = Dir + "/second.dat";
  ASSERT_EQ(::link(target.c_str(), second.c_str()), 0);
  d.BlockType = 3;
  ASSERT_TRUE(savefile::Write(second, d));
  ASSERT_TRUE(savefile::Load(target, back));
  EXPECT_EQ(back.BlockType, 3);
  ASSERT_EQ(::stat(second.c_str(), &st), 0);
  EXPECT_EQ(st.st_nlink, 2u);
}

TEST_F(SaveDir, LongTailIsLoadedAndKeptWhateverItsLength) {
  std::vector<uint8_t> image = ImageWithTail(Sample(), 3u << 20, 0);
  for (size_t i = 308; i < image.size(); ++i) image[i] = static_cast<uint8_t>(i * 7);
  Put(image);
  GameData d;
  ASSERT_TRUE(savefile::Load(File, d));
  EXPECT_EQ(d.BlockType, 4);
  d.BlockType = 1;
  ASSERT_TRUE(savefile::Write(File, d));
  std::vector<uint8_t> b = Bytes();
  ASSERT_EQ(b.size(), image.size());
  EXPECT_EQ(I32(b, 268), 1);
  EXPECT_TRUE(std::equal(b.begin() + 308, b.end(), image.begin() + 308));
}

TEST_F(SaveDir, TwoWritersRacingAlwaysLeaveAWholeFile) {
  ASSERT_TRUE(savefile::Write(File, Sample()));
  std::atomic<bool> done{false};
  std::atomic<int> torn{0}, failed{0}, reads{0};
  auto writer = [&](int32_t block) {
    GameData d = Sample();
    d.BlockType = block;
    for (int i = 0; i < 150; ++i)
      if (!savefile::Write(File, d)) ++failed;
  };
  std::thread reader([&] {
    while (!done) {
      struct stat st;
      GameData g;
      if (::stat(File.c_str(), &st) != 0 || st.st_size < 308 || !savefile::Load(File, g)) ++torn;
      ++reads;
    }
  });
  std::thread a(writer, 1), b(writer, 2);
  a.join();
  b.join();
  done = true;
  reader.join();
  EXPECT_EQ(torn, 0) << "of " << reads << " reads";
  EXPECT_EQ(failed, 0);
  EXPECT_EQ(Bytes().size(), 308u);
  EXPECT_TRUE(OtherEntries(Dir, {"vexa.dat"}).empty());
}

TEST_F(SaveDir, StartRemovesOnlyOldTemporariesOfItsOwn) {
  ASSERT_TRUE(savefile::Write(File, Sample()));
  auto make = [&](const std::string& name, bool old) {
    const std::string p = Dir + "/" + name;
    { std::ofstream(p) << "x"; }
    if (old) {
      struct timespec times[2] = {{::time(nullptr) - 7200, 0}, {::time(nullptr) - 7200, 0}};
      ::utimensat(AT_FDCWD, p.c_str(), times, 0);
    }
  };
  make("vexa.dat.tmp.4242.1a2b3c", true);   // a crashed write of an earlier run
  make("vexa.dat.tmp.4243.99ff", false);    // a write of another copy, going on now
  make("vexa.dat.tmp.notes", true);         // not a name the game makes
  make("vexa.dat.tmp.4244.77aa", true);     // someone else's
  const bool root = ::geteuid() == 0;
  if (root) {
    ASSERT_EQ(::chown((Dir + "/vexa.dat.tmp.4244.77aa").c_str(), 65534, 65534), 0);
  }

  vexa_test::SilentKernel silent;
  GameData d;
  TGameMgrMode root_mode(nullptr, &silent.Kernel, &d);
  root_mode.LoadSaveData();  // from the folder's vexa.dat, the game's save file here
  EXPECT_EQ(d.BlockType, 4);

  std::vector<std::string> left = OtherEntries(Dir, {"vexa.dat"});
  std::sort(left.begin(), left.end());
  std::vector<std::string> expect = {"vexa.dat.tmp.4243.99ff", "vexa.dat.tmp.notes"};
  if (root) expect.insert(expect.begin(), "vexa.dat.tmp.4244.77aa");
  std::sort(expect.begin(), expect.end());
  EXPECT_EQ(left, expect);
}

// Every other call is interrupted by a signal before it moves a byte; the others move at
// most 100 bytes.
ssize_t InterruptedRead(int fd, void* buf, size_t n, off_t at) {
  static int calls = 0;
  if (++calls % 2 == 1) {
    errno = EINTR;
    return -1;
  }
  return ::pread(fd, buf, std::min<size_t>(n, 100), at);
}
ssize_t InterruptedWrite(int fd, const void* buf, size_t n, off_t at) {
  static int calls = 0;
  if (++calls % 2 == 1) {
    errno = EINTR;
    return -1;
  }
  return ::pwrite(fd, buf, std::min<size_t>(n, 100), at);
}

TEST_F(SaveDir, InterruptedAndPartialReadsAndWritesAreCarriedOn) {
  Put(ImageWithTail(Sample(), 1000, 0x5A));
  savefile::SetIoForTesting(InterruptedRead, InterruptedWrite);
  GameData d;
  const bool loaded = savefile::Load(File, d);
  d.BgmType = 1;
  const bool written = savefile::Write(File, d);
  savefile::SetIoForTesting(nullptr, nullptr);
  EXPECT_TRUE(loaded);
  EXPECT_TRUE(written);
  std::vector<uint8_t> b = Bytes();
  ASSERT_EQ(b.size(), 1308u);
  EXPECT_EQ(I32(b, 268), 4);
  EXPECT_EQ(I32(b, 276), 1);
  EXPECT_TRUE(std::all_of(b.begin() + 308, b.end(), [](uint8_t x) { return x == 0x5A; }));
}

}  // namespace
