#pragma once
// GameData: the shared game-state record (options, ranking, the last game's result, the
// puzzle progress and the flags by which screens report to the game manager).
#include <cstdint>
#include <cstring>
#include <string>

class TReplaySession;
class TStageSetPlay;

constexpr int kStageCount = 50;
constexpr int kPuzzleDataSize = 3000;
constexpr int kRankRows = 10;

struct TRankEntry {
  int32_t Score = 0;
  int32_t Level = 0;  // 0-based
  int32_t Blocks = 0;
  uint8_t Difficulty = 0;  // 0 EASY, 1 NOMAL, 2 HARD
  char Name[11] = {};
};

struct GameData {
  char Reserved[12] = {};
  TRankEntry Ranking[kRankRows];
  int32_t BlockType = 0;
  int32_t BackType = 0;
  int32_t BgmType = 0;
  int32_t ControlType = 0;
  int32_t LastScore = 0;
  int32_t LastLevel = 0;
  int32_t LastBlocks = 0;
  int32_t ContinueStage = 0;
  uint8_t LastDifficulty = 0;
  int32_t MaxStage = 0;
  uint8_t TitleChoice = 0;
  uint8_t GameType = 0;
  uint8_t Difficulty = 0;
  int32_t Stage = 0;
  int32_t StageTime = 0;
  int32_t Retries = 0;
  bool BackRequest = false;
  bool StageFailed = false;
  bool RetryRequest = false;
  uint8_t PuzzleData[kPuzzleDataSize] = {};
  // The replays of this run of the game (not owned, never saved); nullptr: none are made.
  TReplaySession* Replays = nullptr;
  // The game data is set up for something other than the player's own game (a replay being
  // watched or proved, a stage tried in the workshop): nothing is saved (never saved).
  bool NoSave = false;
  // A stage set played instead of the built-in stages (not owned, never saved); nullptr:
  // the built-in stages. StageCount is the number of stages in PuzzleData being played.
  TStageSetPlay* StageSet = nullptr;
  int32_t StageCount = kStageCount;
};

// The ten default ranking rows.
void SetDefaultRanking(GameData& data);

// A ranking name as text: it ends at its NUL or, in a damaged save file without one, after
// its 11th byte.
std::string RankName(const TRankEntry& entry);

// A stage index kept within the stages that exist (a damaged save file may hold any value).
inline int32_t ClampStage(int32_t stage) {
  return stage < 0 ? 0 : (stage >= kStageCount ? kStageCount - 1 : stage);
}
