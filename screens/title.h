#pragma once
// TTitleMode: the title screen with its three-entry menu (GAME START, RANKING, OPTION) and
// the opening music. The chosen entry goes to GameData.TitleChoice.
#include <cstdint>

#include "screens/menu.h"

class TTitleMode : public TMenuMode {
 public:
  TTitleMode(TGameMode* parent, TKernel* kernel, void* data);

  void Draw() override;
  const char* ClassName() const override { return "TTitleMode"; }

  // Cursor: 0 GAME START, 1 RANKING, 2 OPTION.

 protected:
  void ReadEntries() override;
  void Shown() override;
  void Decide() override;
};
