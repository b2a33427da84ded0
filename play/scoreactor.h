#pragma once
// TScoreActor: the points of a removal, rising slowly from the last removed block.
#include <cstdint>

#include "engine/actor.h"

class TGameMgrMode;

class TScoreActor : public TActor {
 public:
  TScoreActor(TGameMgrMode* mode, int32_t kind);
  TScoreActor(TActor* owner, float x, float y, TGameMgrMode* mode, int32_t kind);

  void Act(int32_t dt) override;
  void Draw() override;
  // One score at the centre of the cell whose corner is (x, y); kind is the points.
  TActor* Spawn(float x, float y, int32_t kind) override;
  // Left edge of the digits, centring up to five of them on the position.
  int32_t DrawX() const;

  int32_t Value = 0;
  // The screen whose number font draws the points.
  TGameMgrMode* Screen = nullptr;
};
