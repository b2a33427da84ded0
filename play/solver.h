#pragma once
// TPuzzleSolver: proves a puzzle stage solvable (with the fewest swaps it can find) or
// unsolvable, by playing the stage's well (TField) tick by tick with the game's own rules.
//
// The move model, what "no solution" is proved against:
//   The player makes a swap (cursor cell and its right or lower neighbour, as the well allows
//   it: no locked cell, no swap while a swap is under way, a vertical swap needs two blocks)
//   at a decision point of the well:
//   - the well at rest (nothing swaps, falls or blinks, and no block hangs over an empty
//     cell), and
//   - while it moves, the tick in which something changed the board: a swap ended, a run was
//     marked, blinking blocks were taken away, a falling group landed.
//   Between two decision points the well runs on untouched. Every swap is tried at every
//   decision point of every well reached; wells met again (the same letters, flags, groups,
//   blink timers, swap and falls) are explored once, from the fewest swaps they were reached
//   with. A well in which some letter can never vanish again (fewer than three of it and no
//   three consecutive letters present with it) is not explored further: it can never be
//   emptied. Nothing else is cut, so Unsolvable means: no sequence of swaps made at those
//   decision points empties the well. A swap made at a tick between two decision points is
//   outside the model; so is the time the cursor needs to reach a cell.
//
// The search: first layered beams over wells at rest (each layer keeps the most promising
// wells reached with one more swap, judged first by the well at the swap's first decision
// point, then by the well at rest after its whole chain), which find a solution early but
// never decide that there is none; then a complete best-first branch and bound over the
// model above: wells with fewer blocks and more letters next to a partner first, and once a
// solution is known only wells that could still lead to a shorter one. When that search ends
// within the budget the answer is proved: Unsolvable, or the solution is the shortest in the
// model (TSolveReport::Shortest). Well identity is a 64-bit hash of the state above.
//
// A solver holds no state between calls and touches nothing global (a puzzle well never
// draws a random letter: no push-up, no new row), so any number may run on worker threads.
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "play/field.h"

// One swap of a solution: the cell (Col, Row) and its neighbour to the right ('R') or below
// ('D'), made as the cursor standing on (Col, Row) and stepping onto the neighbour.
// Wait: the ticks the well runs after the previous swap was made (or from the start) before
// this swap is made; -1 means "once the well is at rest".
struct TSwap {
  int32_t Col = 0;
  int32_t Row = 0;
  char Dir = 'R';
  int32_t Wait = -1;

  int32_t OtherCol() const { return Dir == 'R' ? Col + 1 : Col; }
  int32_t OtherRow() const { return Dir == 'D' ? Row + 1 : Row; }
  bool operator==(const TSwap& o) const {
    return Col == o.Col && Row == o.Row && Dir == o.Dir && Wait == o.Wait;
  }
};

enum class TProof { Solvable, Unsolvable, Undecided };

struct TSolveLimits {
  int32_t TimeBudgetMs = 10000;  // Undecided when it runs out before any answer
  int32_t Dt = 20;               // the tick the stage is played with (ms)
  int64_t MaxWells = 2000000;    // wells kept at most (about 150 MB); the search stops there
  int64_t MaxNodes = 0;          // wells played through at most (0: no limit), for a search
                                 // that ends the same way on any machine
  bool Shortest = true;          // after a first solution, search on for a shorter one
  bool QuietShortcut = true;     // work out swaps that change nothing else without ticking
};

struct TSolveReport {
  TProof Result = TProof::Undecided;
  std::vector<TSwap> Solution;  // the shortest found, in swaps (Solvable only)
  bool Shortest = false;        // no shorter solution exists in the model (Solvable only)
  int64_t Nodes = 0;            // wells played through
  double Seconds = 0;
  double FirstSeconds = 0;      // when the first solution was found
  int32_t FirstSwaps = 0;       // its length
};

// The well of a stage as the puzzle game sets it up (cells: 60 bytes, rows 0..9 top to bottom,
// 6 columns, 0..25 a letter, 26 empty; anything else empty) over a floor of A's, started, no
// push-up, nobody listening.
TField StageField(const uint8_t* cells);

class TPuzzleSolver {
 public:
  // Returns early (Undecided, or Solvable with Shortest false) when *cancel becomes true or
  // the budget runs out; calls progress now and then (from the solving thread) with the
  // wells played so far and the swap count of the well being explored.
  TSolveReport Solve(const uint8_t* cells, const TSolveLimits& limits,
                     const std::atomic<bool>* cancel = nullptr,
                     const std::function<void(int64_t nodes, int32_t depth)>& progress = {});
};

// The well after the first `count` swaps of a solution have been made (each after its wait)
// and the well has come to rest again. A refused swap is skipped.
TField PlaySolutionPrefix(const uint8_t* cells, const std::vector<TSwap>& solution, size_t count,
                          int32_t dt);

// What keeps a well from being a fair puzzle stage, as short sentences for the player (empty:
// none): no block at all; a run already standing; a block with an empty cell below it; a
// letter that can never vanish (already unsolvable).
std::vector<std::string> CheckStage(const uint8_t* cells);
