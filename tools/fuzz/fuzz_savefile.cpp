// libFuzzer target: any bytes as the save file, decoded into GameData and encoded again;
// every field a screen later uses must stay readable without going out of bounds.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "game/savefile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Half the inputs get the right header, so the fields behind it are reached.
  std::vector<uint8_t> bytes(data, data + size);
  if (size > 0 && (data[0] & 1) && bytes.size() >= 13) std::memcpy(bytes.data(), savefile::kHeader, 13);
  GameData d;
  SetDefaultRanking(d);
  if (savefile::Decode(bytes.data(), bytes.size(), d)) {
    for (const TRankEntry& r : d.Ranking) {
      std::string name = RankName(r);
      if (name.size() > sizeof r.Name) __builtin_trap();
    }
    if (ClampStage(d.ContinueStage) < 0 || ClampStage(d.MaxStage) >= kStageCount) __builtin_trap();
    uint8_t image[savefile::kSize];
    savefile::Encode(d, image);
  }
  return 0;
}
