#pragma once
// TBlkActor: a block thrown off the field when the game is lost. It is tossed upwards,
// pushed sideways away from the screen's centre line and falls out of the screen.
#include <cstdint>

#include "engine/actor.h"

class TBlkActor : public TActor {
 public:
  // A group of crumbling blocks.
  TBlkActor(TGameMode* mode, int32_t kind);
  // One block at a cell's screen position; kind is its letter.
  TBlkActor(TActor* owner, float x, float y, TGameMode* mode, int32_t kind);

  void Act(int32_t dt) override;
  void Draw() override;
  TActor* Spawn(float x, float y, int32_t kind) override;
};
