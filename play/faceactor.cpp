#include "play/faceactor.h"

#include "engine/kernel.h"
#include "engine/random.h"
#include "engine/sjis.h"
#include "media/kordraw.h"
#include "platform/i18n.h"
#include "play/gamemain.h"

namespace {

// Eyelid cell by blink step: open, half closed, closed ... and open again.
constexpr int32_t kBlinkCells[8] = {0, 1, 2, 2, 2, 2, 1, 0};
constexpr int32_t kBlinkSteps = 8;
constexpr int32_t kBalloonTime = 1000;

// A translated balloon text is drawn as large as fits the balloon's white inside (x + 9 to
// x + 119 of the picture), centred on its middle (x + 64, y + 198).
constexpr int32_t kBalloonTextWidth = 110;
constexpr int32_t kBalloonMiddleX = 64;
constexpr int32_t kBalloonMiddleY = 198;
constexpr int32_t kBalloonLargestHeight = 24;
constexpr int32_t kBalloonSmallestHeight = 12;

}  // namespace

TFaceActor::TFaceActor(TActor* owner, float x, float y, TGameMode* mode, int32_t kind)
    : TActor(owner, x, y, mode, kind) {
  BlinkWait = vexa::Random(5) * 2000;
}

void TFaceActor::SetExpression(int32_t n) {
  Expression = n;
  Blinking = false;
}

void TFaceActor::SetBalloon(const std::string& text) {
  BalloonOn = true;
  BalloonTimer = kBalloonTime;
  BalloonText = text;
  SetExpression(1);
}

void TFaceActor::Act(int32_t dt) {
  if (Blinking) {
    BlinkCell = kBlinkCells[BlinkStep];
    BlinkStep += 1;
    if (BlinkStep >= kBlinkSteps) Blinking = false;
  } else {
    BlinkWait -= dt;
    if (BlinkWait < 0) {
      Blinking = true;
      BlinkStep = 0;
      BlinkWait = vexa::Random(5) * 1600;
    }
  }
  if (BalloonOn) {
    BalloonTimer -= dt;
    if (BalloonTimer < 0) {
      BalloonOn = false;
      SetExpression(0);
    }
  }
}

int32_t TFaceActor::BalloonTextX() const {
  return static_cast<int32_t>(X + (128 - 8 * vexa::SjisLength(BalloonText)) / 2);
}

std::string TFaceActor::ShownBalloonText() const {
  // A chain's text is the step number followed by kChainText; it is looked up as "%d"
  // followed by kChainText, so that a language can put the number where it belongs.
  const std::string chain = kChainText;
  size_t digits = 0;
  while (digits < BalloonText.size() && BalloonText[digits] >= '0' && BalloonText[digits] <= '9')
    ++digits;
  if (digits == 0 || digits > 9 || BalloonText.compare(digits, std::string::npos, chain) != 0)
    return platform::Translate(BalloonText.c_str());
  const std::string number = BalloonText.substr(0, digits);
  const std::string id = "%d" + chain;
  std::string shown =
      platform::TranslateCount(id.c_str(), static_cast<uint32_t>(std::stoul(number)));
  // The number goes in by hand: a catalogue is never trusted as a printf format.
  const size_t at = shown.find("%d");
  if (at == std::string::npos) return BalloonText;
  shown.replace(at, 2, number);
  return shown;
}

void TFaceActor::DrawTranslatedBalloonText(const std::string& text) {
  TKorDraw* draw = Kernel->Draw;
  const TKorFont saved = draw->Font();
  TKorFont& font = draw->Font();
  font.Bold = true;
  font.Outline = 0;
  if (text != FittedText) {
    FittedText = text;
    FittedHeight = kBalloonSmallestHeight;
    for (int32_t h = kBalloonLargestHeight; h > kBalloonSmallestHeight; h -= 2) {
      font.Height = h;
      int32_t w = 0, lineHeight = 0;
      if (draw->TextExtent(text, w, lineHeight) && w <= kBalloonTextWidth) {
        FittedHeight = h;
        break;
      }
    }
  }
  font.Height = FittedHeight;
  int32_t w = 0, lineHeight = 0;
  if (draw->TextExtent(text, w, lineHeight)) {
    const int32_t x = static_cast<int32_t>(X + static_cast<float>(kBalloonMiddleX)) - w / 2;
    const int32_t y =
        static_cast<int32_t>(Y + static_cast<float>(kBalloonMiddleY)) - lineHeight / 2;
    draw->TextOutA(x, y, text);
  }
  font = saved;
}

void TFaceActor::Draw() {
  TKorDraw* draw = Kernel->Draw;
  // Each offset is added to the position before it is truncated.
  auto px = [this](int32_t dx) { return static_cast<int32_t>(X + static_cast<float>(dx)); };
  auto py = [this](int32_t dy) { return static_cast<int32_t>(Y + static_cast<float>(dy)); };
  draw->Draw(px(0), py(0), "顔", 0);
  draw->Draw(px(30), py(56), "表情", Expression);
  if (Blinking && Expression == 0) draw->Draw(px(36), py(68), "まばたき", BlinkCell);
  if (BalloonOn) {
    draw->Draw(px(0), py(110), "吹き出し", 0);
    const std::string shown = ShownBalloonText();
    if (shown == BalloonText)
      draw->TextOutA(BalloonTextX(), py(190), BalloonText);
    else
      DrawTranslatedBalloonText(shown);
  }
}
