#include "screens/creditactor.h"

#include <cstring>
#include <string>

#include "engine/kernel.h"
#include "engine/sjis.h"
#include "media/kordraw.h"
#include "platform/i18n.h"

TCreditActor::TCreditActor(TGameMode* mode, int32_t kind) : TActor(mode, kind) {}

TCreditActor::TCreditActor(TActor* owner, float x, float y, TGameMode* mode, int32_t kind)
    : TActor(owner, x, y, mode, kind) {
  VY = kRiseSpeed;
}

void TCreditActor::Act(int32_t) {
  if (IsGroup) return;
  // The closing line comes to rest in the middle of the screen and stays there.
  if (Kind == LastLine && Y <= kRestY) VY = 0.0f;
  if (Y < kGoneY) Dead = true;
}

int32_t TCreditActor::TextLeft(float x, const char* text, int32_t height) {
  const int32_t bytes = text ? vexa::SjisLength(text) : 0;
  return static_cast<int32_t>(x - static_cast<float>(height * bytes) / 4.0f);
}

void TCreditActor::DrawTranslated(const char* shown, int32_t largest) {
  TKorDraw* draw = Kernel->Draw;
  TKorFont& font = draw->Font();
  int32_t w = 0, h = 0;
  if (shown != FittedText) {
    FittedText = shown;
    FittedHeight = largest;
    for (; FittedHeight > 8; --FittedHeight) {
      font.Height = FittedHeight;
      if (draw->TextExtent(shown, w, h) && w <= kColumnWidth) break;
    }
  }
  font.Height = FittedHeight;
  if (draw->TextExtent(shown, w, h))
    draw->TextOutA(static_cast<int32_t>(X) - w / 2, static_cast<int32_t>(Y), shown);
}

void TCreditActor::Draw() {
  if (!Text || Y > 384.0f) return;
  TKorDraw* draw = Kernel->Draw;
  const TKorFont saved = draw->Font();
  TKorFont& font = draw->Font();
  font.Color = kTextColor;
  font.Bold = true;
  font.Outline = kOutline;
  font.OutlineColor = kOutlineColor;
  const bool closing = Kind == LastLine;
  const char* shown = platform::Translate(Text);
  if (std::strcmp(shown, Text) == 0) {
    font.Height = closing ? kClosingHeight : kOwnTextHeight;
    draw->TextOutA(TextLeft(X, Text, font.Height), static_cast<int32_t>(Y), Text);
  } else {
    DrawTranslated(shown, closing ? kClosingHeight : kTranslatedHeight);
  }
  font = saved;
}

TActor* TCreditActor::Spawn(float x, float y, int32_t kind) {
  if (!IsGroup) return nullptr;
  TCreditActor* line = new TCreditActor(this, x, y, Mode, kind);
  Add(line);
  return line;
}
