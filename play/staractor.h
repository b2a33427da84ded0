#pragma once
// TStarActor: stars bursting from a vanished block (kind 0) and the star shower of a
// cleared stage (kinds 0..2). A spawn makes a whole burst of stars flying out evenly around
// the circle and slowing down.
#include <cstdint>

#include "engine/actor.h"

class TStarActor : public TActor {
 public:
  TStarActor(TGameMode* mode, int32_t kind);
  TStarActor(TActor* owner, float x, float y, TGameMode* mode, int32_t kind);

  void Act(int32_t dt) override;
  void Draw() override;
  // A burst at (x, y): kind 0 is 5 stars at 60 px/s, 1 is 12 at 200, 2 is 8 at 100. Returns
  // the last star.
  TActor* Spawn(float x, float y, int32_t kind) override;

  int32_t Frame = 0;
  int32_t FrameCount = 4;
};
