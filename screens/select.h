#pragma once
// TSelectMode: the game-type screen, ENDLESS or PUZZLE side by side. The choice goes to
// GameData.GameType; cancel asks the manager to go back to the title.
#include <cstdint>

#include "game/gamemgr.h"

class TSelectMode : public TGameMgrMode {
 public:
  TSelectMode(TGameMode* parent, TKernel* kernel, void* data);

  void Draw() override;
  void Init() override;
  void Move(int32_t dt) override;
  void Leave() override;
  void Control() override;
  const char* ClassName() const override { return "TSelectMode"; }

  int32_t Cursor = 0;  // 0 endless, 1 puzzle
  bool Decided = false;
  bool Cancelled = false;
};
