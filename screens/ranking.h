#pragma once
// TRankingMode: shows the endless game's table of the ten best results. It works on its own
// copy of GameData.Ranking, so leaving it changes nothing.
#include <cstdint>
#include <string>

#include "screens/menu.h"

class TRankingMode : public TMenuMode {
 public:
  TRankingMode(TGameMode* parent, TKernel* kernel, void* data);

  void Draw() override;
  void Init() override;
  const char* ClassName() const override { return "TRankingMode"; }

  // Draws the headings on line y and the ten rows below them; the numbers of row
  // highlightRow (-1 for none) cycle their colours.
  void DrawRankTable(int32_t x, int32_t y, int32_t highlightRow);

  // The text font a name is drawn in: the colour its difficulty has on the level screen,
  // font 0 for a difficulty no game makes.
  static int32_t NameFont(uint8_t difficulty);

  int32_t Scores[kRankRows] = {};
  int32_t Levels[kRankRows] = {};  // 0-based
  int32_t BlockCounts[kRankRows] = {};
  uint8_t Difficulties[kRankRows] = {};
  std::string Names[kRankRows];
};
