#pragma once
// Input makers of the replay runner. Each one looks at the running game and answers the key
// to tap next, so long games are played through the same keyboard path as a player's:
// - the cursor steps that bring the cursor onto a pair of cells and swap it;
// - an automatic player for the game screen that looks for swaps which complete runs;
// - seeded random keys for any screen.
#include <cstdint>

#include <random>
#include <vector>

class TGameMainMode;
class TMainForm;

namespace replay {

// The game screen while it runs as the deepest mode, or nullptr.
TGameMainMode* RunningGame(const TMainForm& form);

// The game screen takes play input now (its play phase, neither paused, lost nor cleared).
bool InPlay(const TGameMainMode& g);

// The field is at rest and the game waits for the player: in play, lost or cleared. (A
// puzzle well that has just been emptied is cleared on the next tick, so it is not settled.)
bool Settled(const TGameMainMode& g);

// The swap and raise keys of the options' CONTROL choice.
uint8_t SwapKey(const TMainForm& form);
uint8_t RaiseKey(const TMainForm& form);

// The next key that brings the cursor onto (col, row) with its partner, in direction dir
// ('R': the right neighbour, 'D': the one below), and then swaps them. done is set when the
// returned key is the swap itself. 0 while the pair cannot be swapped yet.
uint8_t KeyTowardSwap(const TGameMainMode& g, int32_t col, int32_t row, char dir, uint8_t swapKey,
                      bool& done);

// Plays the game screen: swaps that complete runs first (the nearest with the most blocks),
// then raises a low stack in the endless game, then moves a block from a tall column down
// into a lower neighbour. Deterministic for a given seed and game.
struct Board;

class AutoPlayer {
 public:
  // One move of a plan: the block Letter at (Col, Row) is carried along its row to column
  // Target one swap at a time, or (Vertical) swapped with the block below it.
  struct Step {
    int32_t Row = 0;
    int32_t Col = 0;
    int16_t Letter = 0;
    int32_t Target = 0;
    bool Vertical = false;
  };

  explicit AutoPlayer(uint32_t seed) : Rng(seed) {}
  uint8_t NextKey(const TGameMainMode& g, uint8_t swapKey, uint8_t raiseKey);

 private:
  void MakePlan(const TGameMainMode& g, const Board& board);

  std::mt19937 Rng;  // its own generator: the game's draws stay as they are
  // The plan is kept until it is carried out or the field no longer fits it, so that the
  // player does not undo one half-made run for the next.
  std::vector<Step> Plan;
  bool Raise = false;
  bool WasPushing = false;
};

// Random taps over every key the game reads (cursor, decide, cancel, pause, letters for the
// name entry), about one tap every other tick.
class RandomKeys {
 public:
  explicit RandomKeys(uint32_t seed) : Rng(seed) {}
  uint8_t NextKey();

 private:
  std::mt19937 Rng;  // its own generator: the game's draws stay as they are
};

}  // namespace replay
