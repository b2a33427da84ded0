#include "game/replay_session.h"

#include <cstring>
#include <ctime>

#include "game/gamedata.h"

#ifndef VEXA_VERSION
#define VEXA_VERSION "0"
#endif

namespace {

// The recording's capacity at start: ten minutes of play without a reallocation.
constexpr size_t kReservedTicks = 30000;

std::string UtcNow() {
  const std::time_t now = std::time(nullptr);
  std::tm utc{};
  gmtime_r(&now, &utc);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
  return text;
}

}  // namespace

void TReplaySession::StartRecording(const GameData& data, uint32_t seed, int32_t blinkWait,
                                    uint16_t heldBefore, int32_t repeatWait) {
  Current = TReplay();
  CurrentPath.clear();
  Current.GameVersion = VEXA_VERSION;
  Current.GameType = data.GameType == 1 ? 1 : 0;
  Current.Difficulty = data.Difficulty < 3 ? data.Difficulty : 0;
  if (!Current.IsEndless()) {
    Current.Stage = ClampStage(data.Stage);
    Current.Retries = data.Retries;
    Current.StageTime = data.StageTime;
    Current.StageData = StageCellsToText(data.PuzzleData + TReplay::kStageCells * Current.Stage);
  }
  Current.Seed = seed;
  Current.TickMs = TickMs;
  Current.BlinkWait = blinkWait;
  Current.HeldBefore = static_cast<uint16_t>(heldBefore & 0x7F);
  Current.RepeatWait = repeatWait;
  // A watched game recorded again carries the original's date and name, so the two files
  // are the same when the game played the same.
  Current.Date = Watching ? WatchedGame.Date : UtcNow();
  if (Watching) Current.Name = WatchedGame.Name;
  Current.Buttons.reserve(Watching ? WatchedGame.Buttons.size() : kReservedTicks);
  Recording = true;
  Ended = false;
}

void TReplaySession::EndGame(int32_t score, int32_t level, int32_t blocks, int32_t chainRecord,
                             TReplayEnd end) {
  if (!Recording || Ended) return;
  Ended = true;
  Current.Score = score;
  Current.Level = level;
  Current.Blocks = blocks;
  Current.ChainRecord = chainRecord;
  Current.Ticks = static_cast<int32_t>(Current.Buttons.size());
  Current.End = end;
}

void TReplaySession::KeepGame() {
  if (!Recording) return;
  Recording = false;
  if (!Keeper || Watching || Current.Buttons.empty()) return;
  CurrentPath = Keeper->KeepGame(Current, !Current.IsEndless() && !PlayingStageSet);
}

void TReplaySession::EnterRanking(int32_t row, const std::string& name) {
  if (Watching || !Current.IsEndless() || Current.Buttons.empty()) return;
  Current.Name.clear();
  for (char c : name)
    if (Current.Name.size() < 10) Current.Name += (c >= ' ' && c <= '~') ? c : '?';
  if (!Keeper) return;
  Keeper->UpdateGame(CurrentPath, Current);
  Keeper->KeepRankingRow(row, Current);
}

bool TReplaySession::CanPlay(const TReplay& replay, std::string& error) {
  if (replay.GameVersion == VEXA_VERSION) return true;
  error = "the replay was recorded by version " +
          (replay.GameVersion.empty() ? std::string("?") : replay.GameVersion) +
          " of the game, whose rules may differ; this is version " VEXA_VERSION;
  return false;
}

void TReplaySession::Watch(TReplay replay) {
  WatchedGame = std::move(replay);
  Watching = true;
  RewindWatch();
}

void TReplaySession::SetUpGame(GameData& data) const {
  // The recorded player's game, and the options it may open, are not the player's to keep.
  data.NoSave = true;
  data.GameType = WatchedGame.GameType;
  data.Difficulty = WatchedGame.Difficulty;
  if (WatchedGame.IsEndless()) return;
  data.Stage = ClampStage(WatchedGame.Stage);
  data.Retries = WatchedGame.Retries;
  data.StageTime = WatchedGame.StageTime;
  uint8_t cells[TReplay::kStageCells];
  if (StageCellsFromText(WatchedGame.StageData, cells))
    std::memcpy(data.PuzzleData + TReplay::kStageCells * data.Stage, cells, sizeof cells);
}

uint16_t TReplaySession::NextButtons() {
  if (!Watching || WatchAt >= WatchedGame.Buttons.size()) return 0;
  return WatchedGame.Buttons[WatchAt++];
}
