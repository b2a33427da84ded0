#include "play/flashactor.h"

#include "engine/kernel.h"
#include "media/kordraw.h"
#include "play/gamemain.h"

TFlashActor::TFlashActor(TGameMgrMode* mode, int32_t kind) : TActor(mode, kind) {}

TFlashActor::TFlashActor(TActor* owner, float x, float y, TGameMgrMode* mode, int32_t kind)
    : TActor(owner, x, y, mode, kind) {}

void TFlashActor::Act(int32_t) {
  if (IsGroup) return;
  Frame += 1;
  if (Frame >= FrameCount) Dead = true;
}

int32_t TFlashActor::DrawY() const {
  const auto* screen = dynamic_cast<const TGameMainMode*>(Mode);
  const int32_t scroll = screen ? static_cast<int32_t>(screen->Field.Scroll) : 0;
  return static_cast<int32_t>(Y - static_cast<float>(scroll));
}

void TFlashActor::Draw() {
  if (IsGroup || !Kernel || !Kernel->Draw) return;
  Kernel->Draw->Draw(static_cast<int32_t>(X), DrawY(), "フラッシュ", Frame);
}

TActor* TFlashActor::Spawn(float x, float y, int32_t kind) {
  if (!IsGroup) return nullptr;
  TActor* a = new TFlashActor(this, x, y, Mode, kind);
  Add(a);
  return a;
}
