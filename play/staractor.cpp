#include "play/staractor.h"

#include <cmath>

#include "engine/kernel.h"
#include "media/kordraw.h"

TStarActor::TStarActor(TGameMode* mode, int32_t kind) : TActor(mode, kind) {}

TStarActor::TStarActor(TActor* owner, float x, float y, TGameMode* mode, int32_t kind)
    : TActor(owner, x, y, mode, kind) {}

void TStarActor::Act(int32_t) {
  if (IsGroup) return;
  if (Elapsed % 40 == 0) {
    Frame += 1;
    if (Frame >= FrameCount) Frame = 0;
  }
  if (Elapsed > 500) Dead = true;
}

void TStarActor::Draw() {
  if (IsGroup) return;
  // The 16-pixel star is centred in the 32-pixel cell whose corner was given.
  Kernel->Draw->Draw(static_cast<int32_t>(X + 8.0f), static_cast<int32_t>(Y + 8.0f), "星", Frame);
}

TActor* TStarActor::Spawn(float x, float y, int32_t kind) {
  if (!IsGroup) return nullptr;
  int32_t count = 5;
  double speed = 60.0;
  if (kind == 1) {
    count = 12;
    speed = 200.0;
  } else if (kind == 2) {
    count = 8;
    speed = 100.0;
  }
  TActor* last = nullptr;
  for (int32_t i = 0; i < count; ++i) {
    TStarActor* s = new TStarActor(this, x, y, Mode, i);
    const double a = 2.0 * M_PI * i / count;
    s->VX = static_cast<float>(speed * std::cos(a));
    s->VY = static_cast<float>(speed * std::sin(a));
    s->AX = static_cast<float>(-speed * std::cos(a));
    s->AY = static_cast<float>(-speed * std::sin(a));
    Add(s);
    last = s;
  }
  return last;
}
