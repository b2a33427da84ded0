#pragma once
// TFlashActor: the flash on a block that starts to blink; seven frames, then it is gone.
#include <cstdint>

#include "engine/actor.h"

class TFlashActor : public TActor {
 public:
  // The group; scroll is the field's push-up offset the flashes rise with (none: they stay).
  TFlashActor(TGameMode* mode, int32_t kind, const float* scroll = nullptr);
  TFlashActor(TActor* owner, float x, float y, TGameMode* mode, int32_t kind);

  void Act(int32_t dt) override;
  void Draw() override;
  TActor* Spawn(float x, float y, int32_t kind) override;
  // Screen y of the flash: it rises with the field during a push-up.
  int32_t DrawY() const;

  int32_t Frame = 0;
  int32_t FrameCount = 8;
  const float* Scroll = nullptr;
};
