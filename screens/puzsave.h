#pragma once
// TPuzSaveMode: "TRY AGAIN?" after a failed puzzle stage. YES asks the manager to replay
// the stage (and counts the retry); NO returns to the title. There is no cancel.
#include <cstdint>

#include "game/gamemgr.h"

class TPuzSaveMode : public TGameMgrMode {
 public:
  TPuzSaveMode(TGameMode* parent, TKernel* kernel, void* data);

  void Draw() override;
  void Init() override;
  void Move(int32_t dt) override;
  void Leave() override;
  void Control() override;
  const char* ClassName() const override { return "TPuzSaveMode"; }

  int32_t Cursor = 0;  // 0 YES, 1 NO
  bool Decided = false;
};
