#pragma once
// TReplayKeeper: the replays/ folder beside the save file. It keeps the replay of every
// ranking row, the best clear of every puzzle stage (fewest ticks) and the last games
// played, and nothing else: at most kRankRows + kStageCount + kRecentGames files.
//
//   replays/rank-01.vexa-replay .. rank-10          one per ranking row, moved as rows move
//   replays/stage-01.vexa-replay .. stage-50        the best clear of each built-in stage
//   replays/recent/<date>-<time>-<n>.vexa-replay    the last kRecentGames games
//
// Every failure (no folder, a full disk) leaves the game running: a replay is a keepsake,
// never a reason to stop.
#include <cstdint>
#include <string>
#include <vector>

#include "game/gamedata.h"
#include "game/replay.h"

class TReplayKeeper {
 public:
  static constexpr int32_t kRecentGames = 20;
  static constexpr const char* kExtension = ".vexa-replay";

  // The keeper of `folder` (created when the first replay is kept).
  explicit TReplayKeeper(std::string folder) : Folder(std::move(folder)) {}
  // The keeper of the folder beside the given save file.
  static TReplayKeeper BesideSaveFile(const std::string& saveFilePath);

  // Keeps a finished game among the recent ones (the oldest beyond kRecentGames go), and as
  // its stage's best clear when it cleared a built-in stage in fewer ticks than the kept
  // one. Returns the recent file's path, or "" when it could not be written.
  std::string KeepGame(const TReplay& replay, bool builtInStage);
  // A game entered the ranking at `row` (0-based): the replays of the rows below move down
  // one, the last one's goes, and the game's replay becomes the row's.
  bool KeepRankingRow(int32_t row, const TReplay& replay);
  // Rewrites a kept recent game (the name is entered after the game is over).
  bool UpdateGame(const std::string& path, const TReplay& replay);

  std::string RankingPath(int32_t row) const;
  std::string StagePath(int32_t stage) const;
  std::string RecentFolder() const { return Folder + "/recent"; }
  // The recent games' files, oldest first.
  std::vector<std::string> RecentGames() const;
  // True when the row's replay exists and shows the row's own game (a ranking restored from
  // a damaged save file does not pick up the replays of the rows it replaced).
  bool HasRankingReplay(int32_t row, const TRankEntry& entry) const;

  const std::string& FolderPath() const { return Folder; }

 private:
  bool Prepare(const std::string& dir) const;

  std::string Folder;
};
