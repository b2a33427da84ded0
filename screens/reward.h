#pragma once
// TRewardMode: "CONGRATULATION!". Shows the pieces of the reward picture earned so far,
// uncovers the next one with a star burst after three seconds and plays the fanfare; after
// the last stage it fades to white, into the ending. After the last stage of a stage set it
// shows no picture (the pieces are the built-in stages' prize) but that the set is cleared,
// and fades to black, back to the title.
#include <cstdint>

#include "game/gamemgr.h"

class TStarActor;

class TRewardMode : public TGameMgrMode {
 public:
  static constexpr int32_t kPieces = 25;
  static constexpr int32_t kRevealAfter = 3000;  // ms of the screen's own time
  // The order in which the 5 x 5 pieces are uncovered: {column, row}.
  static const int32_t PieceOrder[kPieces][2];
  // The phases: the picture fades in, the new piece is uncovered while the player looks,
  // then the picture fades out to black, or to white after the last stage.
  enum : int32_t { kFadeIn, kShown, kFadeOut, kWhiteOut };

  TRewardMode(TGameMode* parent, TKernel* kernel, void* data);
  ~TRewardMode() override;

  void Draw() override;
  void Init() override;
  void Move(int32_t dt) override;
  void Leave() override;
  void Control() override;
  const char* ClassName() const override { return "TRewardMode"; }
  std::string DumpState() const override;

  void RevealStep(int32_t dt);
  void DrawPieces();
  // Pieces already earned before this screen (Stage / 2 - 1), kept within the picture.
  int32_t EarnedBefore() const;

  bool Decided = false;
  bool Revealed = false;
  TStarActor* Stars = nullptr;
};
