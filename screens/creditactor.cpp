#include "screens/creditactor.h"

#include <string>

#include "engine/kernel.h"
#include "engine/sjis.h"
#include "media/kordraw.h"

TCreditActor::TCreditActor(TGameMgrMode* mode, int32_t kind) : TActor(mode, kind) {}

TCreditActor::TCreditActor(TActor* owner, float x, float y, TGameMgrMode* mode, int32_t kind)
    : TActor(owner, x, y, mode, kind) {
  VY = kRiseSpeed;
}

void TCreditActor::Act(int32_t) {
  if (IsGroup) return;
  // The closing line comes to rest in the middle of the screen and stays there.
  if (Kind == LastLine && Y <= kRestY) VY = 0.0f;
  if (Y < kGoneY) Dead = true;
}

int32_t TCreditActor::TextLeft(float x, const char* text) {
  const int32_t bytes = text ? vexa::SjisLength(text) : 0;
  return static_cast<int32_t>(x - 4.0f * static_cast<float>(bytes));
}

void TCreditActor::Draw() {
  if (!Text || Y > 384.0f || !Kernel || !Kernel->Draw) return;
  Kernel->Draw->Font().Color = 0x000000;
  Kernel->Draw->TextOutA(TextLeft(X, Text), static_cast<int32_t>(Y), Text);
}

TActor* TCreditActor::Spawn(float x, float y, int32_t kind) {
  if (!IsGroup) return nullptr;
  TCreditActor* line = new TCreditActor(this, x, y, Mode, kind);
  Add(line);
  return line;
}
