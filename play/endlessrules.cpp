// The endless game's level, pace, push-up countdown and letter supply.
#include "play/endlessrules.h"

#include <algorithm>
#include <climits>

#include "play/field.h"

namespace {

// Seconds between automatic push-ups by difficulty and level (the last column holds for
// every higher level).
constexpr int32_t kRiseSeconds[3][20] = {
    {32, 30, 26, 24, 20, 16, 12, 10, 8, 12, 10, 8, 6, 12, 10, 8, 6, 10, 8, 6},
    {24, 22, 20, 16, 14, 12, 10, 8, 6, 10, 8, 6, 4, 10, 8, 6, 4, 8, 6, 4},
    {10, 8, 6, 4, 10, 8, 6, 4, 3, 6, 4, 3, 6, 4, 3, 6, 4, 3, 6, 3},
};

// Difficulty table: letters at start, the bound they grow to, rows filled at start.
constexpr int32_t kStartLetters[3] = {5, 13, 26};
constexpr int32_t kMaxLetters[3] = {10, 26, 26};
constexpr int32_t kStartRows[3] = {4, 5, 7};

constexpr int32_t kMaxLevel = 98;  // shown as 99
constexpr int32_t kErasesPerLevel = 10;

}  // namespace

void TEndlessRules::Start(int32_t difficulty, TField& field) {
  Difficulty = std::clamp(difficulty, 0, 2);
  field.LetterCount = kStartLetters[Difficulty];
  MaxLetters = kMaxLetters[Difficulty];
  LevelCount = 0;
  UpdateRiseInterval();
  LevelCountdown = kErasesPerLevel;
  RiseCountdown = RiseInterval;
}

int32_t TEndlessRules::StartRows() const { return kStartRows[Difficulty]; }

void TEndlessRules::UpdateRiseInterval() {
  RiseInterval = kRiseSeconds[Difficulty][std::clamp(LevelCount, 0, 19)] * 1000;
}

void TEndlessRules::Delay() {
  RiseCountdown = RiseCountdown > INT32_MAX - 200 ? INT32_MAX : RiseCountdown + 200;
}

bool TEndlessRules::LevelUp(TField& field) {
  LevelCount = std::min(LevelCount + 1, kMaxLevel);
  UpdateRiseInterval();
  LevelCountdown = kErasesPerLevel;
  if (LevelCount % 2 == 0) field.LetterCount = std::min(field.LetterCount + 1, MaxLetters);
  return true;
}
