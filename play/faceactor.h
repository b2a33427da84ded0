#pragma once
// TFaceActor: the character face beside the well. It changes its expression with the play,
// blinks now and then, and shows a speech balloon for chains and level-ups.
#include <cstdint>
#include <string>

#include "engine/actor.h"

class TFaceActor : public TActor {
 public:
  TFaceActor(TActor* owner, float x, float y, TGameMode* mode, int32_t kind);

  void Act(int32_t dt) override;
  void Draw() override;

  void SetExpression(int32_t n);
  int32_t GetExpression() const { return Expression; }
  void SetBalloon(const std::string& text);
  // Left edge of the balloon text: centred in the 128-pixel balloon for a font 8 pixels
  // wide per byte of the double-byte encoding.
  int32_t BalloonTextX() const;
  // The balloon text in the player's language (BalloonText itself when there is no
  // translation, as in the C locale).
  std::string ShownBalloonText() const;

  int32_t Expression = 0;  // 0 calm, 1 surprised, 2 delighted, 3 worried, 4 crying
  int32_t BlinkWait = 0;
  bool Blinking = false;
  int32_t BlinkStep = 0;
  int32_t BlinkCell = 0;
  bool BalloonOn = false;
  int32_t BalloonTimer = 0;
  std::string BalloonText;

 private:
  void DrawTranslatedBalloonText(const std::string& text);
  // The largest font height at which FittedText fits the balloon.
  std::string FittedText;
  int32_t FittedHeight = 0;
};
