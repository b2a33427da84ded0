#pragma once
// TLogoMode: the maker's animated logo with its jingle on a black screen. It registers its
// own picture and sound, because it runs before the shared catalogue is loaded. A decide
// press skips straight to the fade-out.
#include <cstdint>

#include "game/gamemgr.h"

class TLogoMode : public TGameMgrMode {
 public:
  TLogoMode(TGameMode* parent, TKernel* kernel, void* data);

  void Draw() override;
  void Init() override;
  void Move(int32_t dt) override;
  void Leave() override;
  void Control() override;
  const char* ClassName() const override { return "TLogoMode"; }

  // The phases, in order; a skip press jumps from any phase up to kShown to kFadeOut. Work
  // counts the pauses down in milliseconds.
  enum : int32_t { kDarkPause, kFadeIn, kShown, kFadeOut, kBlackPause, kDone };

  bool Skipped = false;  // a skip press has been taken; later ones are ignored
  int32_t Frame = 0;     // logo cell now shown, 0..7
};
