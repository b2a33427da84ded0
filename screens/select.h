#pragma once
// TSelectMode: the game-type screen, ENDLESS or PUZZLE side by side. The choice goes to
// GameData.GameType; cancel asks the manager to go back to the title.
#include <cstdint>

#include "screens/menu.h"

class TSelectMode : public TMenuMode {
 public:
  TSelectMode(TGameMode* parent, TKernel* kernel, void* data);

  void Draw() override;
  const char* ClassName() const override { return "TSelectMode"; }

  // Cursor: 0 endless, 1 puzzle.

 protected:
  void ReadEntries() override;
  void Decide() override;
};
