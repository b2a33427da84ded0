#pragma once
// TReplaySession: the replays of one run of the game. It records every game the game screen
// plays, keeps it in the replays folder when the screen closes and with its ranking row
// once the name is entered. It can also play a replay back: the game screen then starts as
// the recorded game did and takes its buttons, tick by tick, from the replay (and records
// what it plays, which gives the same replay again; a watched game is never kept).
#include <cstdint>
#include <memory>
#include <string>

#include "engine/kernel.h"
#include "game/replay.h"
#include "game/replay_keeper.h"

struct GameData;

class TReplaySession : public TButtonSource {
 public:
  // No keeper: nothing is written (the replay runner, tests, --verify).
  TReplaySession() = default;
  explicit TReplaySession(TReplayKeeper keeper)
      : Keeper(std::make_unique<TReplayKeeper>(std::move(keeper))) {}

  // ---- Recording ----
  // A game screen starts: its set-up, the seed just drawn and the kernel's buttons and key
  // repeat as the tick began. The stage's cells are taken from the game data for a puzzle.
  void StartRecording(const GameData& data, uint32_t seed, int32_t blinkWait, uint16_t heldBefore,
                      int32_t repeatWait);
  // The game buttons held in one tick of the game screen (or of a screen it opened).
  void RecordTick(uint16_t buttons) {
    if (Recording && Current.Buttons.size() < TReplay::kMaxTicks)
      Current.Buttons.push_back(static_cast<uint8_t>(buttons & 0x7F));
  }
  // The game ended: its result and how it ended (the ticks recorded so far are its length).
  void EndGame(int32_t score, int32_t level, int32_t blocks, int32_t chainRecord, TReplayEnd end);
  // The game screen closed: the game is kept among the recent ones (and as its stage's best
  // clear), unless it was a replay being watched.
  void KeepGame();
  // The last game entered the ranking at `row` under `name`.
  void EnterRanking(int32_t row, const std::string& name);
  // The game recorded last (or being recorded), with its result once it ended.
  const TReplay& LastGame() const { return Current; }

  // ---- Watching ----
  // False, with a message, for a replay this version of the game must not play: one recorded
  // by another version, whose rules may differ.
  static bool CanPlay(const TReplay& replay, std::string& error);
  // Plays `replay` back from the next game screen on.
  void Watch(TReplay replay);
  bool IsWatching() const { return Watching; }
  const TReplay& Watched() const { return WatchedGame; }
  // Sets the game data up as the watched game began: its type, difficulty, stage and the
  // stage's cells; nothing of it is saved.
  void SetUpGame(GameData& data) const;
  // The buttons of the next tick; none once the replay has run out.
  uint16_t NextButtons() override;
  bool WatchEnded() const { return WatchAt >= WatchedGame.Buttons.size(); }
  size_t WatchTick() const { return WatchAt; }
  // Back to recording the games played.
  void StopWatching() { Watching = false; }
  // Back to the replay's first tick.
  void RewindWatch() { WatchAt = 0; }

  TReplayKeeper* GetKeeper() { return Keeper.get(); }

  // The game's tick interval, written into every recording.
  int32_t TickMs = 20;
  // A stage set is played instead of the built-in stages: its clears are kept among the
  // recent games only, never as a built-in stage's best clear.
  bool PlayingStageSet = false;

 private:
  std::unique_ptr<TReplayKeeper> Keeper;
  TReplay Current;
  std::string CurrentPath;
  bool Recording = false;
  bool Ended = false;
  TReplay WatchedGame;
  bool Watching = false;
  size_t WatchAt = 0;
};
