#include "screens/ranking.h"

#include <limits>

#include "engine/kernel.h"

namespace {
// The level shown, 1-based; a stored level at the top of the range stays as it is.
int32_t ShownLevel(int32_t level) {
  return level < std::numeric_limits<int32_t>::max() ? level + 1 : level;
}
}  // namespace

TRankingMode::TRankingMode(TGameMode* parent, TKernel* kernel, void* data)
    : TMenuMode(parent, kernel, data, false) {}

int32_t TRankingMode::NameFont(uint8_t difficulty) {
  switch (difficulty) {
    case 0: return 1;  // EASY
    case 1: return 2;  // NOMAL
    default: return 0;  // HARD, and anything a damaged save file holds
  }
}

void TRankingMode::Init() {
  TMenuMode::Init();
  for (int i = 0; i < kRankRows; ++i) {
    const TRankEntry& r = GameData->Ranking[i];
    Scores[i] = r.Score;
    Levels[i] = r.Level;
    BlockCounts[i] = r.Blocks;
    Difficulties[i] = r.Difficulty;
    Names[i] = RankName(r);
  }
}

void TRankingMode::Draw() {
  DrawBack();
  DrawText(200, 16, "RANKING", 1, true);
  DrawRankTable(40, 52, -1);
  DrawPushEnter(168, 340);
  DrawMiniLogo();
}

void TRankingMode::DrawRankTable(int32_t x, int32_t y, int32_t highlightRow) {
  DrawText(x + 34, y, "SCORE", 1, false);
  DrawText(x + 140, y, "LV", 2, false);
  DrawText(x + 186, y, "BLOCK", 3, false);
  DrawText(x + 300, y, "NAME", 0, false);
  for (int32_t i = 0; i < kRankRows; ++i) {
    const int32_t r = y + 24 + 24 * i;
    const bool lit = i == highlightRow;
    DrawNumber(x, r + 8, i + 1, lit ? -1 : 0);
    DrawNumber(x + 110, r + 8, Scores[i], lit ? -1 : 1);
    DrawNumber(x + 160, r + 8, ShownLevel(Levels[i]), lit ? -1 : 2);
    DrawNumber(x + 250, r + 8, BlockCounts[i], lit ? -1 : 3);
    if (!Names[i].empty()) DrawText(x + 280, r, Names[i], NameFont(Difficulties[i]), false);
  }
}
