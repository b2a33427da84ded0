#pragma once
// TReplayWatch: a replay playing in the game's window, through the real game screen with its
// sounds and music. It takes over the frame clock: each frame it reads its own keys, runs as
// many game ticks as the speed asks (drawing only the last), and marks the picture with
// REPLAY, the player's name and the speed (TReplayMarks). At the end it stops on the results.
//
//   SPACE pause / resume      RIGHT one tick while paused     UP / DOWN faster / slower
//   J ten seconds ahead       R from the start                ESC or Q quit
#include <cstdint>

#include "game/replay.h"
#include "screens/replay_marks.h"

class TMainForm;
class TGameMode;

class TReplayWatch {
 public:
  // The speeds, in half game ticks per frame: 1/2x, 1x, 2x, 4x, 8x.
  static constexpr int32_t kSpeeds[] = {1, 2, 4, 8, 16};
  static constexpr int32_t kNormalSpeed = 1;  // index of 1x
  static constexpr int32_t kJumpMs = 10000;

  // Opens the replay's game screen in the form's game (its sprites loaded, its game data set
  // up as the recorded game began).
  TReplayWatch(TMainForm& form, TReplay replay);
  ~TReplayWatch();
  TReplayWatch(const TReplayWatch&) = delete;
  TReplayWatch& operator=(const TReplayWatch&) = delete;

  // One frame of the clock.
  void Tick(int32_t dt);

  // The game screen has shown its results (or the replay has run out): nothing runs on.
  bool AtEnd() const;
  bool Paused = false;
  int32_t Speed = kNormalSpeed;

 private:
  void Restart();
  // Carries out a key; the game ticks it ran.
  int32_t HandleKey(int32_t key, int32_t dt);
  // Runs game ticks until the end; only the last one is drawn and shown. The ticks it ran.
  int32_t Run(int32_t ticks, int32_t dt);
  TGameMode* Screen() const;

  TMainForm& Form;
  int32_t HalfTicks = 0;  // half ticks owed at speeds below 1x
  TReplayMarks Marks;
};
