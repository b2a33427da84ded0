#pragma once
// TOverActor: the GAME OVER picture. It drops in from above the screen and bounces until it
// rests a little below y 140.
#include <cstdint>

#include "engine/actor.h"

class TOverActor : public TActor {
 public:
  TOverActor(TActor* owner, float x, float y, TGameMode* mode, int32_t kind);

  void Act(int32_t dt) override;
  void Draw() override;
};
