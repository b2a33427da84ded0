#include "play/flashactor.h"

#include "engine/kernel.h"
#include "media/kordraw.h"

TFlashActor::TFlashActor(TGameMode* mode, int32_t kind, const float* scroll)
    : TActor(mode, kind), Scroll(scroll) {}

TFlashActor::TFlashActor(TActor* owner, float x, float y, TGameMode* mode, int32_t kind)
    : TActor(owner, x, y, mode, kind) {}

void TFlashActor::Act(int32_t) {
  if (IsGroup) return;
  Frame += 1;
  if (Frame >= FrameCount) Dead = true;
}

int32_t TFlashActor::DrawY() const {
  const int32_t scroll = Scroll ? static_cast<int32_t>(*Scroll) : 0;
  return static_cast<int32_t>(Y - static_cast<float>(scroll));
}

void TFlashActor::Draw() {
  if (IsGroup) return;
  Kernel->Draw->Draw(static_cast<int32_t>(X), DrawY(), "フラッシュ", Frame);
}

TActor* TFlashActor::Spawn(float x, float y, int32_t kind) {
  if (!IsGroup) return nullptr;
  auto* a = new TFlashActor(this, x, y, Mode, kind);
  a->Scroll = Scroll;
  Add(a);
  return a;
}
