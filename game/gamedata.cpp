#include "game/gamedata.h"

namespace {
const char* const kDefaultNames[kRankRows] = {"YEW", "MOSS",  "ALDER", "FIG",  "REED",
                                              "OAK", "BIRCH", "IVY",   "SAGE", "LIME"};
}

void SetDefaultRanking(GameData& data) {
  for (int i = 0; i < kRankRows; ++i) {
    TRankEntry& r = data.Ranking[i];
    r = TRankEntry{};
    r.Score = 100000 - 10000 * i;
    r.Level = 9 - i;
    r.Blocks = 1000 - 100 * i;
    r.Difficulty = 0;
    std::strncpy(r.Name, kDefaultNames[i], sizeof r.Name - 1);
  }
}

std::string RankName(const TRankEntry& entry) {
  return std::string(entry.Name, strnlen(entry.Name, sizeof entry.Name));
}
