#pragma once
// TEndingMode: the whole reward picture with the staff credits rolling up over it to the
// ending music, until Enter is pressed.
#include <array>
#include <cstdint>

#include "game/gamemgr.h"

class TCreditActor;

class TEndingMode : public TGameMgrMode {
 public:
  static constexpr int32_t kCreditSlots = 84;
  static constexpr int32_t kSlotHeight = 20;
  // The credits roll up the middle of the open sky between the picture's letter blocks
  // (left) and its figure (right).
  static constexpr float kCreditColumnX = 222.0f;
  // Slot i of the roll, 20 pixels below slot i - 1; null for an empty slot.
  static const std::array<const char*, kCreditSlots> CreditLines;
  // The phases: the picture comes up out of white, the credits roll until Enter, and the
  // picture fades out to black.
  enum : int32_t { kWhiteIn, kRoll, kFadeOut };

  TEndingMode(TGameMode* parent, TKernel* kernel, void* data);
  ~TEndingMode() override;

  void Draw() override;
  void Init() override;
  void Move(int32_t dt) override;
  void Leave() override;
  void Control() override;
  const char* ClassName() const override { return "TEndingMode"; }
  std::string DumpState() const override;

  void BuildCredits();

  bool EndRequest = false;
  TCreditActor* Credits = nullptr;
};
