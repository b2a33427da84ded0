#pragma once
// TLvSelectMode: the endless game's level screen, EASY / NOMAL / HARD. The choice goes to
// GameData.Difficulty when the screen is left; cancel asks to go back to the game type.
#include <cstdint>

#include "screens/menu.h"

class TLvSelectMode : public TMenuMode {
 public:
  TLvSelectMode(TGameMode* parent, TKernel* kernel, void* data);

  void Draw() override;
  void Leave() override;
  const char* ClassName() const override { return "TLvSelectMode"; }

  // Cursor: 0 EASY, 1 NOMAL, 2 HARD.

 protected:
  void ReadEntries() override;
  void Decide() override;
};
