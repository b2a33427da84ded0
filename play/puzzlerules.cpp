// The puzzle game's stage, its loading, clear, dead end and advance.
#include "play/puzzlerules.h"

#include "game/gamedata.h"
#include "play/field.h"

void TPuzzleRules::Start(const GameData& data) {
  Stage = ClampStage(data.Stage);
  StageTime = data.StageTime;
  Retries = data.Retries;
}

void TPuzzleRules::Load(const GameData& data, TField& field) {
  StageBlocks = 0;
  const int32_t base = 60 * ClampStage(Stage);
  for (int32_t r = 0; r < kWellRows; ++r) {
    for (int32_t c = 0; c < kFieldCols; ++c) {
      int32_t v = static_cast<int8_t>(data.PuzzleData[base + kFieldCols * r + c]);
      if (v < 0 || v > kEmpty) v = kEmpty;
      field.Letters[r][c] = static_cast<int16_t>(v);
      if (v != kEmpty) StageBlocks += 1;
    }
  }
  for (int32_t c = 0; c < kFieldCols; ++c) field.Letters[kWellRows][c] = 0;
  Emptied = StageBlocks == 0;
}

bool TPuzzleRules::DeadEnd(const TField& field) {
  int32_t counts[26] = {};
  for (int32_t r = 0; r < kWellRows; ++r)
    for (int32_t c = 0; c < kFieldCols; ++c)
      if (field.Letters[r][c] >= 0 && field.Letters[r][c] < 26) counts[field.Letters[r][c]] += 1;
  for (int32_t n = 0; n < 26; ++n)
    if (counts[n] >= 3) return false;
  for (int32_t n = 0; n + 2 < 26; ++n)
    if (counts[n] > 0 && counts[n + 1] > 0 && counts[n + 2] > 0) return false;
  return true;
}

bool TPuzzleRules::Advance(GameData& data) {
  Stage += 1;
  data.Retries = 0;
  StageTime = 0;
  if (data.ContinueStage >= Stage || Stage >= data.StageCount) return false;
  data.ContinueStage = Stage;
  if (Stage > data.MaxStage) data.MaxStage = Stage;
  return true;
}
