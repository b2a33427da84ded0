// libFuzzer target: any bytes as a replay file. A replay that is refused gives a message;
// one that is taken stays within the bounds a replay may have and reads back unchanged from
// its own text.
#include <cstddef>
#include <cstdint>
#include <string>

#include "game/replay.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  TReplay replay;
  std::string error;
  if (!ParseReplay(text, replay, error)) {
    if (error.empty()) __builtin_trap();
    return 0;
  }
  if (replay.Buttons.size() > TReplay::kMaxTicks) __builtin_trap();
  TReplay again;
  if (!ParseReplay(WriteReplay(replay), again, error)) __builtin_trap();
  if (again.Buttons != replay.Buttons || again.Seed != replay.Seed || again.Score != replay.Score ||
      again.StageData != replay.StageData)
    __builtin_trap();
  return 0;
}
