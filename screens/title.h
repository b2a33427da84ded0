#pragma once
// TTitleMode: the title screen with its three-entry menu (GAME START, RANKING, OPTION) and
// the opening music. The chosen entry goes to GameData.TitleChoice.
#include <cstdint>

#include "game/gamemgr.h"

class TTitleMode : public TGameMgrMode {
 public:
  TTitleMode(TGameMode* parent, TKernel* kernel, void* data);

  void Draw() override;
  void Init() override;
  void Move(int32_t dt) override;
  void Leave() override;
  void Control() override;
  const char* ClassName() const override { return "TTitleMode"; }

  int32_t Cursor = 0;  // 0 GAME START, 1 RANKING, 2 OPTION
  bool Decided = false;
};
