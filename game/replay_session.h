#pragma once
// TReplaySession: the replays of one run of the game. It records the game the player is
// playing, keeps it in the replays folder when the game screen closes and with its ranking
// row once the name is entered; or it plays a replay back, handing the game screen the
// recorded set-up and, tick by tick, the recorded buttons.
#include <cstdint>
#include <memory>
#include <string>

#include "game/replay.h"
#include "game/replay_keeper.h"

struct GameData;

class TReplaySession {
 public:
  // No keeper: nothing is written (the replay runner, tests).
  TReplaySession() = default;
  explicit TReplaySession(TReplayKeeper keeper)
      : Keeper(std::make_unique<TReplayKeeper>(std::move(keeper))) {}

  // ---- Recording ----
  // A game screen starts: its set-up, the seed just drawn and the kernel's key repeat. The
  // stage's cells are taken from the game data for a puzzle.
  void StartRecording(const GameData& data, uint32_t seed, int32_t tickMs, uint16_t heldBefore,
                      int32_t repeatWait);
  // The game buttons held in one tick of the game screen.
  void RecordTick(uint16_t buttons) {
    if (Recording && Current.Buttons.size() < TReplay::kMaxTicks)
      Current.Buttons.push_back(static_cast<uint8_t>(buttons & 0x7F));
  }
  // The game ended: its result and how it ended (the ticks played so far are its length).
  void EndGame(int32_t score, int32_t level, int32_t blocks, int32_t chainRecord, TReplayEnd end);
  // The game screen closed: the game is kept among the recent ones (and as its stage's
  // best clear). Nothing is kept while watching.
  void KeepGame();
  // The last game entered the ranking at `row` under `name`.
  void EnterRanking(int32_t row, const std::string& name);
  bool IsRecording() const { return Recording; }
  const TReplay& LastGame() const { return Current; }

  // ---- Watching ----
  // Plays `replay` back from now on: the next game screen starts as it did and reads its
  // buttons from it. Nothing is recorded meanwhile.
  void Watch(TReplay replay);
  bool IsWatching() const { return Watching; }
  const TReplay& Watched() const { return Current; }
  // The buttons of the next tick; false once the replay has run out (no button is held).
  bool NextButtons(uint16_t& held);
  size_t WatchTick() const { return WatchAt; }
  // Back to the replay's first tick.
  void RewindWatch() { WatchAt = 0; }

  TReplayKeeper* GetKeeper() { return Keeper.get(); }

 private:
  std::unique_ptr<TReplayKeeper> Keeper;
  TReplay Current;
  std::string CurrentPath;
  bool Recording = false;
  bool Ended = false;
  bool Watching = false;
  size_t WatchAt = 0;
};
