#include "play/faceactor.h"

#include "engine/kernel.h"
#include "engine/random.h"
#include "engine/sjis.h"
#include "media/kordraw.h"

namespace {

// Eyelid cell by blink step: open, half closed, closed ... and open again.
constexpr int32_t kBlinkCells[8] = {0, 1, 2, 2, 2, 2, 1, 0};
constexpr int32_t kBlinkSteps = 8;
constexpr int32_t kBalloonTime = 1000;

}  // namespace

TFaceActor::TFaceActor(TActor* owner, float x, float y, TGameMgrMode* mode, int32_t kind)
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

void TFaceActor::Draw() {
  if (!Kernel || !Kernel->Draw) return;
  TKorDraw* draw = Kernel->Draw;
  // Each offset is added to the position before it is truncated.
  auto px = [this](int32_t dx) { return static_cast<int32_t>(X + static_cast<float>(dx)); };
  auto py = [this](int32_t dy) { return static_cast<int32_t>(Y + static_cast<float>(dy)); };
  draw->Draw(px(0), py(0), "顔", 0);
  draw->Draw(px(30), py(56), "表情", Expression);
  if (Blinking && Expression == 0) draw->Draw(px(36), py(68), "まばたき", BlinkCell);
  if (BalloonOn) {
    draw->Draw(px(0), py(110), "吹き出し", 0);
    draw->TextOutA(BalloonTextX(), py(190), BalloonText);
  }
}
