#include "play/blkactor.h"

#include "engine/kernel.h"
#include "engine/random.h"
#include "media/kordraw.h"

TBlkActor::TBlkActor(TGameMode* mode, int32_t kind) : TActor(mode, kind) {}

TBlkActor::TBlkActor(TActor* owner, float x, float y, TGameMode* mode, int32_t kind)
    : TActor(owner, x, y, mode, kind) {
  VY = -400.0f;
  AY = 1200.0f;
  // A random push of -400..+380 px/s^2, plus a push away from the centre line x 256.
  AX = static_cast<float>((vexa::Random(40) - 20) * 20 + (X - 256.0f) * 0.2);
}

void TBlkActor::Act(int32_t) {
  if (IsGroup) return;
  if (Y > 384.0f) Dead = true;
}

void TBlkActor::Draw() {
  if (IsGroup) return;
  Kernel->Draw->Draw(static_cast<int32_t>(X), static_cast<int32_t>(Y), "ブロック", Kind);
}

TActor* TBlkActor::Spawn(float x, float y, int32_t kind) {
  if (!IsGroup) return nullptr;
  TActor* a = new TBlkActor(this, x, y, Mode, kind);
  Add(a);
  return a;
}
