#pragma once
// A screen for tests that stands in for a real one: it finishes in its first update, so the
// sequencer moves on through it.
#include "game/gamemgr.h"

class TStandInMode : public TGameMgrMode {
 public:
  TStandInMode(TGameMgrMode* parent, const char* name)
      : TGameMgrMode(parent, parent->Kernel, parent->Data), Name(name) {}
  void Init() override { TGameMode::Init(); }
  void Move(int32_t) override { Finished = true; }
  void Leave() override {}
  const char* ClassName() const override { return Name; }

 private:
  const char* Name;
};
