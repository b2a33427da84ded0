#pragma once
// TContSelectMode: the puzzle start screen, NEW GAME / CONTINUE / SELECT STAGE with a stage
// number that runs over the stages reached so far. The choice goes to GameData.Stage (with
// the stage time and retry count reset) when the screen is left; cancel asks to go back to
// the game type and changes nothing.
#include <cstdint>

#include "screens/menu.h"

class TContSelectMode : public TMenuMode {
 public:
  TContSelectMode(TGameMode* parent, TKernel* kernel, void* data);

  void Draw() override;
  void Init() override;
  void Leave() override;
  const char* ClassName() const override { return "TContSelectMode"; }

  // The highest stage index SELECT STAGE offers: MaxStage, kept within the stages that
  // exist (a damaged save file may hold any number there).
  int32_t LastSelectable() const;
  // A stage index kept within the stages being played (the built-in ones or a set's).
  int32_t StageWithin(int32_t stage) const;

  // Cursor: 0 NEW GAME, 1 CONTINUE, 2 SELECT STAGE.
  int32_t SelStage = 0;  // 0-based stage index shown at SELECT STAGE

 protected:
  void ReadEntries() override;
  void Decide() override;
};
