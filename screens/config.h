#pragma once
// TConfigMode: the OPTION screen. The player picks the block set, the back picture, the
// background music and the key assignment; the sample blocks, the screen's own background
// and the music follow the selection at once, but the choice reaches GameData, the game's
// sprites, the keys and the save file only when the screen is left with decide.
#include <cstdint>

#include "screens/menu.h"

class TConfigMode : public TMenuMode {
 public:
  // The rows, top to bottom.
  enum : int32_t { kItemBlock = 0, kItemBack = 1, kItemBgm = 2, kItemControl = 3, kItemCount = 4 };

  TConfigMode(TGameMode* parent, TKernel* kernel, void* data);
  ~TConfigMode() override;

  void Draw() override;
  void Init() override;
  void Leave() override;
  const char* ClassName() const override { return "TConfigMode"; }
  std::string DumpState() const override;

  // Shows the working value of the selected row: sample blocks, sample background or music.
  void PreviewItem();
  // Stores the working values in GameData and puts them in force (sprites, music, keys).
  void ApplyOptions();

  int32_t& Item = Cursor;  // the selected row
  int32_t Values[kItemCount] = {};
  int32_t Counts[kItemCount] = {};

 protected:
  void ReadEntries() override;
  // Decide and cancel in the same tick fade out as one choice: the options are applied.
  void Choose() override;
};
