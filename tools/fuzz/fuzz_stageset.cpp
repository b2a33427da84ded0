// libFuzzer target: any bytes as a stage set file, and as a set's progress file. A set that
// is refused gives a message; one that is taken stays within the bounds a set may have and
// reads back unchanged from its own text. A progress file is read or refused, and what it
// gives stays within the set's stages.
#include <cstddef>
#include <cstdint>
#include <string>

#include "game/stage_set.h"
#include "game/stage_set_play.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  int32_t continueStage = -1, reached = -1;
  if (TStageSetPlay::ParseProgress(text, 7, continueStage, reached) &&
      (continueStage < 0 || reached >= 7 || continueStage > reached))
    __builtin_trap();
  TStageSet set;
  std::string error;
  if (!ParseStageSet(text, set, error)) {
    if (error.empty() || error.find('\n') != std::string::npos) __builtin_trap();
    return 0;
  }
  if (set.Stages.size() > TStageSet::kMaxStages || set.Name.size() > TStageSet::kMaxName ||
      set.Author.size() > TStageSet::kMaxAuthor)
    __builtin_trap();
  for (const TStageSet::Stage& stage : set.Stages)
    for (uint8_t cell : stage)
      if (cell > TStageSet::kEmptyCell) __builtin_trap();
  const std::string written = WriteStageSet(set);
  TStageSet again;
  if (!ParseStageSet(written, again, error)) __builtin_trap();
  if (again.Name != set.Name || again.Author != set.Author || again.Stages != set.Stages ||
      WriteStageSet(again) != written)
    __builtin_trap();
  return 0;
}
