#pragma once
// TEndlessRules: the endless game above the well: the level and its pace (the seconds
// between automatic push-ups), the countdown to the next push-up and the letter supply,
// which grows every second level up to the difficulty's bound.
#include <cstdint>

#include "play/field.h"

class TEndlessRules {
 public:
  // A new game at a difficulty (0 EASY, 1 NORMAL, 2 HARD; anything higher plays as HARD):
  // the well's letter supply at its start, level 1, ten erases to the next level and the
  // countdown at the level's pace.
  void Start(int32_t difficulty, TField& field);
  // The rows a new well is filled with.
  int32_t StartRows() const;

  // The countdown of one tick. It stands while anything blinks or falls; when it runs out
  // the well starts a push-up and the countdown starts over.
  void TickRise(TField& field, int32_t dt) {
    if (field.Erasing || field.Falling) return;
    RiseCountdown -= dt;
    if (RiseCountdown < 0) {
      field.StartPushUp();
      RiseCountdown = RiseInterval;
    }
  }
  // The player pushed the well up: the countdown starts over.
  void Raised() { RiseCountdown = RiseInterval; }
  // Points were scored: the next push-up comes 200 ms later.
  void Delay();
  // An erase ended: one step nearer the next level.
  void EraseEnded() { LevelCountdown -= 1; }
  // Moves on a level when the erases for it are done (every second level adds a letter to
  // the well's supply). True when it did.
  bool CheckLevelUp(TField& field) { return LevelCountdown <= 0 && LevelUp(field); }
  // The pace of the current level.
  void UpdateRiseInterval();

  int32_t Difficulty = 0;  // 0..2
  int32_t LevelCount = 0;  // the level shown minus one
  int32_t LevelCountdown = 0;
  int32_t RiseInterval = 0;  // ms
  int32_t RiseCountdown = 0;
  int32_t MaxLetters = 0;

 private:
  bool LevelUp(TField& field);
};
