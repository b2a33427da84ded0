#pragma once
// TReplayMarks: what is drawn over a replay being watched, in the free space right of the
// well between the face's balloon and the logo: REPLAY (blinking while paused), the player's
// name, and the state: the speed (HALF, X1 .. X8), PAUSE or END.
#include <cstdint>
#include <string>

#include "engine/kernel.h"

class TGameMgrMode;

class TReplayMarks : public TFrameOverlay {
 public:
  // painter: the mode whose text helpers draw the marks.
  explicit TReplayMarks(TGameMgrMode& painter) : Painter(painter) {}

  void DrawOverlay() override;

  std::string Name;
  int32_t SpeedHalves = 2;  // half ticks per frame: 1 is HALF, 2 is X1, 16 is X8
  bool Paused = false;
  bool Ended = false;

 private:
  TGameMgrMode& Painter;
  int32_t Frames = 0;
};
