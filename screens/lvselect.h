#pragma once
// TLvSelectMode: the endless game's level screen, EASY / NOMAL / HARD. The choice goes to
// GameData.Difficulty when the screen is left; cancel asks to go back to the game type.
#include <cstdint>

#include "game/gamemgr.h"

class TLvSelectMode : public TGameMgrMode {
 public:
  TLvSelectMode(TGameMode* parent, TKernel* kernel, void* data);

  void Draw() override;
  void Init() override;
  void Move(int32_t dt) override;
  void Leave() override;
  void Control() override;
  const char* ClassName() const override { return "TLvSelectMode"; }

  int32_t Cursor = 0;  // 0 EASY, 1 NOMAL, 2 HARD
  bool Decided = false;
  bool Cancelled = false;
};
