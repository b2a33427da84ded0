#pragma once
// TPuzzleRules: the puzzle game above the well: the stage being played with its time and
// retries, the loading of its blocks, the clear (the well emptied), the dead end (no run
// can be made any more) and the move on to the next stage after a clear.
#include <cstdint>

struct GameData;
class TField;

class TPuzzleRules {
 public:
  // The stage, its time and retries where the game left them (a damaged stage index is
  // kept within the stages).
  void Start(const GameData& data);
  // Puts the stage's blocks into rows 0..9 (a byte outside the letters counts as an empty
  // cell) over a floor of A's in the next row, which is never matched or shown. A stage
  // with no block is cleared at once.
  void Load(const GameData& data, TField& field);
  // No run can be made any more: no letter three times and no three ascending letters
  // among the blocks. Only asked while nothing falls.
  static bool DeadEnd(const TField& field);
  // The stage after a clear: its time and the retries start over; the continue point (and
  // the best stage) move on when the next stage is a new one among the stages played (the
  // built-in ones or a stage set's). True when they did and the save file is due.
  bool Advance(GameData& data);

  int32_t Stage = 0;
  int32_t StageTime = 0;  // ms played on the stage, over every attempt
  int32_t Retries = 0;
  int32_t StageBlocks = 0;  // blocks the stage started with
  bool Emptied = false;     // the well holds no block: the stage is won
};
