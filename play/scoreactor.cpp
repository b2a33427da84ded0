#include "play/scoreactor.h"

#include "game/gamemgr.h"

TScoreActor::TScoreActor(TGameMgrMode* mode, int32_t kind) : TActor(mode, kind), Screen(mode) {}

TScoreActor::TScoreActor(TActor* owner, float x, float y, TGameMgrMode* mode, int32_t kind)
    : TActor(owner, x, y, mode, kind), Value(kind), Screen(mode) {
  VY = -40.0f;
}

void TScoreActor::Act(int32_t) {
  if (IsGroup) return;
  if (Elapsed > 1000) Dead = true;
}

int32_t TScoreActor::DrawX() const {
  const int32_t w = Value < 1000 ? 42 : (Value < 10000 ? 56 : 70);
  return static_cast<int32_t>(X - static_cast<float>(w / 2));
}

void TScoreActor::Draw() {
  if (IsGroup || !Screen) return;
  Screen->DrawNumberLeft(DrawX(), static_cast<int32_t>(Y), Value, -1);
}

TActor* TScoreActor::Spawn(float x, float y, int32_t kind) {
  if (!IsGroup) return nullptr;
  TActor* a = new TScoreActor(this, x + 16.0f, y + 16.0f, Screen, kind);
  Add(a);
  return a;
}
