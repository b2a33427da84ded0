#pragma once
// TPuzSaveMode: "TRY AGAIN?" after a failed puzzle stage. YES asks the manager to replay
// the stage (and counts the retry); NO returns to the title. There is no cancel.
#include <cstdint>

#include "screens/menu.h"

class TPuzSaveMode : public TMenuMode {
 public:
  TPuzSaveMode(TGameMode* parent, TKernel* kernel, void* data);

  void Draw() override;
  void Leave() override;
  const char* ClassName() const override { return "TPuzSaveMode"; }

  // Cursor: 0 YES, 1 NO.

 protected:
  void ReadEntries() override;
};
