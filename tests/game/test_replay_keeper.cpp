// The replays folder: one replay per ranking row through insertions that push rows down and
// out, the fastest clear of each stage, and no more than the last twenty games.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "game/replay_keeper.h"

namespace fs = std::filesystem;

namespace {

class ReplayKeeperTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::path(::testing::TempDir()) / ("keeper-" + std::to_string(::getpid()));
    fs::remove_all(dir);
  }
  void TearDown() override { fs::remove_all(dir); }

  static TReplay Game(int32_t score, TReplayEnd end = TReplayEnd::Overflow) {
    TReplay r;
    r.Score = score;
    r.End = end;
    r.Buttons.assign(10, 0);
    return r;
  }
  int32_t ScoreIn(const std::string& path) const {
    TReplay r;
    std::string error;
    return LoadReplayFile(path, r, error) ? r.Score : -1;
  }

  fs::path dir;
};

}  // namespace

TEST_F(ReplayKeeperTest, EveryRankingRowKeepsItsOwnGameAsRowsMoveDownAndOut) {
  TReplayKeeper keeper = TReplayKeeper::BesideSaveFile((dir / "vexa.dat").string());
  EXPECT_EQ(keeper.FolderPath(), (dir / "replays").string());
  // The ranking as it would be: scores high to low; each new game goes where it belongs.
  std::vector<int32_t> rows;
  const int32_t scores[] = {500, 900, 100, 700, 800, 300, 950, 50, 600, 400, 1000, 20, 650, 990};
  for (int32_t s : scores) {
    size_t row = 0;
    while (row < rows.size() && rows[row] >= s) ++row;
    if (row >= static_cast<size_t>(kRankRows)) continue;  // not good enough for the ranking
    rows.insert(rows.begin() + static_cast<long>(row), s);
    if (rows.size() > static_cast<size_t>(kRankRows)) rows.pop_back();
    ASSERT_TRUE(keeper.KeepRankingRow(static_cast<int32_t>(row), Game(s)));
  }
  for (int32_t r = 0; r < kRankRows; ++r) EXPECT_EQ(ScoreIn(keeper.RankingPath(r)), rows[r]) << r;

  TRankEntry entry;
  entry.Score = rows[3];
  EXPECT_TRUE(keeper.HasRankingReplay(3, entry));
  entry.Score += 1;  // a ranking that is not the one the replays were kept for
  EXPECT_FALSE(keeper.HasRankingReplay(3, entry));
}

TEST_F(ReplayKeeperTest, OnlyTheLastTwentyGamesAndEachStagesFastestClearStay) {
  TReplayKeeper keeper(dir.string());
  std::string last;
  for (int32_t i = 0; i < TReplayKeeper::kRecentGames + 5; ++i)
    last = keeper.KeepGame(Game(i), false);
  const std::vector<std::string> recent = keeper.RecentGames();
  ASSERT_EQ(recent.size(), static_cast<size_t>(TReplayKeeper::kRecentGames));
  EXPECT_EQ(ScoreIn(recent.front()), 5);
  EXPECT_EQ(recent.back(), last);

  TReplay clear = Game(1, TReplayEnd::Cleared);
  clear.GameType = 1;
  clear.Stage = 7;
  clear.StageData = std::string(60, '.');
  for (int32_t ticks : {900, 700, 800}) {
    clear.Ticks = ticks;
    clear.Score = ticks;
    keeper.KeepGame(clear, true);
  }
  clear.Ticks = 100;
  clear.Score = 100;
  clear.End = TReplayEnd::Failed;  // a failed try is never the best clear
  keeper.KeepGame(clear, true);
  EXPECT_EQ(ScoreIn(keeper.StagePath(7)), 700);
}

TEST_F(ReplayKeeperTest, AFolderThatCannotBeMadeKeepsNothingAndStopsNothing) {
  fs::create_directories(dir);
  {
    FILE* f = std::fopen((dir / "replays").c_str(), "w");
    std::fclose(f);
  }  // a file in the way
  TReplayKeeper keeper((dir / "replays").string());
  EXPECT_EQ(keeper.KeepGame(Game(1), false), "");
  EXPECT_FALSE(keeper.KeepRankingRow(0, Game(1)));
  EXPECT_TRUE(keeper.RecentGames().empty());
}
