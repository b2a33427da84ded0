#pragma once
// TRegRankMode: the name entry after every endless game. The last game's result goes into
// the table when it reaches it (at or above an equal score), the fanfare plays and the
// player types a name of up to eight capitals and spaces; Enter leaves. The table goes back
// into GameData and the save file is written every time the screen is left.
#include <cstdint>

#include "screens/ranking.h"

class TRegRankMode : public TRankingMode {
 public:
  static constexpr int32_t kMaxName = 8;

  TRegRankMode(TGameMode* parent, TKernel* kernel, void* data);

  void Draw() override;
  void Init() override;
  void Leave() override;
  void Control() override;
  const char* ClassName() const override { return "TRegRankMode"; }

  // The table with the new row's name being typed and its blinking cursor.
  void DrawEntry(int32_t x, int32_t y);
  // Takes the key that went down this tick: a letter or a space is appended (up to eight
  // characters), backspace removes the last one.
  void TypeName();

  bool Entered = false;   // the last game's result is in the table
  int32_t EntryRow = 0;   // its row, -1 when it did not qualify
  char NameBuf[kMaxName + 1] = {};
  int32_t NameLen = 0;

 protected:
  // While the player can choose, the key of this tick is typed first, then Enter is taken.
  void Choose() override;
};
