#include "game/replay_session.h"

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

void TReplaySession::StartRecording(const GameData& data, uint32_t seed, int32_t tickMs,
                                    uint16_t heldBefore, int32_t repeatWait) {
  if (Watching) return;
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
  Current.TickMs = tickMs;
  Current.HeldBefore = static_cast<uint16_t>(heldBefore & 0x7F);
  Current.RepeatWait = repeatWait;
  Current.Date = UtcNow();
  Current.Buttons.reserve(kReservedTicks);
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
  if (!Keeper || Current.Buttons.empty()) return;
  CurrentPath = Keeper->KeepGame(Current, !Current.IsEndless());
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

void TReplaySession::Watch(TReplay replay) {
  Current = std::move(replay);
  CurrentPath.clear();
  Recording = false;
  Watching = true;
  WatchAt = 0;
}

bool TReplaySession::NextButtons(uint16_t& held) {
  if (!Watching || WatchAt >= Current.Buttons.size()) {
    held = 0;
    return false;
  }
  held = Current.Buttons[WatchAt++];
  return true;
}
