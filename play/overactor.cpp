#include "play/overactor.h"

#include "engine/kernel.h"
#include "media/kordraw.h"

TOverActor::TOverActor(TActor* owner, float x, float y, TGameMode* mode, int32_t kind)
    : TActor(owner, x, y, mode, kind) {
  VY = 0.0f;
  AY = 1200.0f;
}

void TOverActor::Act(int32_t) {
  // Below the resting line: bounce back up with 60 per cent of the speed, and rest once
  // the bounce has become too weak.
  if (Y > 140.0f) {
    VY = static_cast<float>(VY * -0.6);
    if (VY > -1.0f) {
      VY = 0.0f;
      AY = 0.0f;
    }
  }
}

void TOverActor::Draw() {
  Kernel->Draw->Draw(static_cast<int32_t>(X), static_cast<int32_t>(Y), "ゲームオーバー", 0);
}
