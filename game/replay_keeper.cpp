#include "game/replay_keeper.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

std::string Numbered(const char* prefix, int32_t n) {
  char name[32];
  std::snprintf(name, sizeof name, "%s-%02d%s", prefix, n, TReplayKeeper::kExtension);
  return name;
}

bool Exists(const std::string& path) {
  std::error_code ec;
  return fs::is_regular_file(path, ec);
}

}  // namespace

TReplayKeeper TReplayKeeper::BesideSaveFile(const std::string& saveFilePath) {
  const fs::path dir = fs::path(saveFilePath).parent_path();
  return TReplayKeeper((dir.empty() ? fs::path(".") : dir).string() + "/replays");
}

bool TReplayKeeper::Prepare(const std::string& dir) const {
  std::error_code ec;
  fs::create_directories(dir, ec);
  return fs::is_directory(dir, ec);
}

std::string TReplayKeeper::RankingPath(int32_t row) const {
  return Folder + "/" + Numbered("rank", row + 1);
}

std::string TReplayKeeper::StagePath(int32_t stage) const {
  return Folder + "/" + Numbered("stage", stage + 1);
}

std::vector<std::string> TReplayKeeper::RecentGames() const {
  std::vector<std::string> files;
  std::error_code ec;
  for (fs::directory_iterator it(RecentFolder(), ec), end; !ec && it != end; it.increment(ec)) {
    const fs::path& p = it->path();
    if (p.extension() == kExtension && it->is_regular_file(ec)) files.push_back(p.string());
  }
  // The names begin with the date and time, so their order is the order of the games.
  std::sort(files.begin(), files.end());
  return files;
}

std::string TReplayKeeper::KeepGame(const TReplay& replay, bool builtInStage) {
  if (builtInStage && replay.End == TReplayEnd::Cleared && replay.Stage >= 0 &&
      replay.Stage < kStageCount && Prepare(Folder)) {
    const std::string best = StagePath(replay.Stage);
    TReplay kept;
    std::string error;
    if (!LoadReplayFile(best, kept, error) || kept.End != TReplayEnd::Cleared ||
        replay.Ticks < kept.Ticks)
      SaveReplayFile(best, replay);
  }

  if (!Prepare(RecentFolder())) return "";
  const std::time_t now = std::time(nullptr);
  std::tm utc{};
  gmtime_r(&now, &utc);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &utc);
  // Two games may end in one second (tests, quick retires): a counter after the time keeps
  // them apart and in order, one above the highest of that second still kept.
  const std::string prefix = RecentFolder() + "/" + stamp + "-";
  int32_t n = 1;
  for (const std::string& f : RecentGames())
    if (f.compare(0, prefix.size(), prefix) == 0)
      n = std::max(n, std::atoi(f.c_str() + prefix.size()) + 1);
  if (n > 999) return "";
  char name[64];
  std::snprintf(name, sizeof name, "%03d%s", n, kExtension);
  const std::string path = prefix + name;
  if (!SaveReplayFile(path, replay)) return "";
  std::vector<std::string> files = RecentGames();
  for (size_t i = 0; i + kRecentGames < files.size(); ++i) std::remove(files[i].c_str());
  return path;
}

bool TReplayKeeper::UpdateGame(const std::string& path, const TReplay& replay) {
  return !path.empty() && Exists(path) && SaveReplayFile(path, replay);
}

bool TReplayKeeper::KeepRankingRow(int32_t row, const TReplay& replay) {
  if (row < 0 || row >= kRankRows || !Prepare(Folder)) return false;
  // From the bottom up, so no row's replay is overwritten before it moved.
  std::remove(RankingPath(kRankRows - 1).c_str());
  for (int32_t r = kRankRows - 2; r >= row; --r) {
    if (Exists(RankingPath(r)))
      std::rename(RankingPath(r).c_str(), RankingPath(r + 1).c_str());
    else
      std::remove(RankingPath(r + 1).c_str());
  }
  return SaveReplayFile(RankingPath(row), replay);
}

bool TReplayKeeper::HasRankingReplay(int32_t row, const TRankEntry& entry) const {
  TReplay r;
  std::string error;
  if (row < 0 || row >= kRankRows || !LoadReplayFile(RankingPath(row), r, error)) return false;
  return r.IsEndless() && r.Score == entry.Score && r.Level == entry.Level &&
         r.Blocks == entry.Blocks && r.Difficulty == entry.Difficulty && r.Name == RankName(entry);
}
