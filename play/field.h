#pragma once
// TField: the well of letter blocks and its rules: the cursor, swaps, runs and erase groups,
// falls and chains, the push-up and the filling of a new well.
//
// A field knows nothing of drawing, sounds, actors or the game around it. What others react
// to leaves it through TFieldEvents. It is a plain value: a copy is an independent well that
// can be stepped a tick at a time with the pressed buttons, headless (a copy keeps the
// listener of its original; set Events to nullptr for a quiet copy).
#include <cstdint>

// Field size: 6 columns, rows 0..9 visible, row 10 the hidden next row below the well.
constexpr int32_t kFieldCols = 6;
constexpr int32_t kFieldRows = 11;
constexpr int32_t kWellRows = 10;
constexpr int32_t kCellSize = 32;
// A cell holds a letter 0..25 (A..Z) or this value for an empty cell.
constexpr int16_t kEmpty = 26;
constexpr int32_t kFallRecords = 18;
constexpr int32_t kMaxChain = 64;
constexpr int32_t kMaxGroupId = 59;
constexpr int32_t kEraseTime = 1200;
constexpr int32_t kSwapTime = 160;
constexpr int32_t kPushTime = 640;

// Cell flag bits.
enum : uint16_t {
  cfHidden = 0x01,    // not drawn by the resting-field drawing
  cfLocked = 0x02,    // cannot be swapped and does not start a fall
  cfErasing = 0x04,   // belongs to an erase group and blinks
  cfFalling = 0x08,   // belongs to a falling group
  cfSameRun = 0x10,   // marked by a run of equal letters
  cfSeqRun = 0x20,    // marked by an ascending run
  cfSwapping = 0x40,  // one of the two cells of the swap in progress
};

// Kinds of run.
enum : int32_t {
  rkSame = 0,      // equal letters
  rkSequence = 1,  // each letter one above the one before
};

// One falling group: a vertical stack of blocks in one column. Its cells stay in the field
// arrays; the record carries the position in pixels from the field's top-left corner.
struct TFallRecord {
  bool Active = false;
  int32_t Length = 0;
  int32_t X = 0;
  float Y = 0;
  float Speed = 0;  // pixels per second, downwards
};

// One cell of the swap in progress, with the letter it held before the swap.
struct TSwapCell {
  int16_t Letter = 0;
  int32_t Col = 0;
  int32_t Row = 0;
};

// What happens in a field that others may react to. Every operation does nothing by default.
class TFieldEvents {
 public:
  virtual ~TFieldEvents() = default;
  // Two cells began to change places.
  virtual void SwapStarted(int32_t /*colA*/, int32_t /*rowA*/, int32_t /*colB*/,
                           int32_t /*rowB*/) {}
  // A run of `length` cells from (col, row) in the direction (dCol, dRow) was marked.
  virtual void RunFound(int32_t /*kind*/, int32_t /*col*/, int32_t /*row*/, int32_t /*dCol*/,
                        int32_t /*dRow*/, int32_t /*length*/) {}
  // A cell of an erase group (re)started its blinking; once for every cell of the group
  // each time a run joins it.
  virtual void EraseStarted(int32_t /*col*/, int32_t /*row*/) {}
  // A block that had blinked out was taken from the well.
  virtual void BlockErased(int32_t /*col*/, int32_t /*row*/) {}
  // The blocks whose blinking ended this tick are gone: their number, the points of the
  // chain step and the last cell taken (row by row from the top left).
  virtual void BlocksErased(int32_t /*blocks*/, int32_t /*points*/, int32_t /*lastCol*/,
                            int32_t /*lastRow*/) {}
  // The erase that just ended has been settled (the chain may have ended with it).
  virtual void EraseEnded() {}
  // A falling group came to rest on a block.
  virtual void BlocksLanded() {}
  // The blocks that landed made new runs: the chain went up to `chain`.
  virtual void ChainGrew(int32_t /*chain*/) {}
  // A push-up ended with every row one higher and a new row below.
  virtual void RowPushedUp() {}
  // A push-up ended with a block in the top row: the stack overflowed (the rows stay).
  virtual void StackOverflowed() {}
  // The tick took the last blocks from the well: no cell of rows 0..9 holds one any more.
  virtual void WellEmptied() {}
};

class TField {
 public:
  // Empties the well and sets everything at rest: no falls, swap, push-up or chain, the
  // cursor on (2, 5) with its partner on (3, 5). The letter supply and step scores stay.
  void Reset();
  // Fills the lowest `rows` rows and the next row with random letters from the supply and
  // repairs every run among them (the game's random generator, row by row).
  void Fill(int32_t rows);

  // The buttons of one tick: the cursor moves with the repeating directions, A swaps the
  // cursor's cell with its partner, B asks for a push-up when Raisable. True when B did.
  bool Control(uint16_t pushed, uint16_t repeat);
  // The rules of one tick after the buttons: new falls, the push-up, the falls, the swap and
  // the blinking, in this order; then the frame count moves on. Only an erase can empty the
  // well (falls stay inside it and a push-up brings a full row), so the well is looked at
  // for WellEmptied only in a tick that took blocks away.
  void Tick(int32_t dt);
  // One whole tick: Control then Tick.
  bool Step(int32_t dt, uint16_t pushed, uint16_t repeat) {
    const bool raised = Control(pushed, repeat);
    Tick(dt);
    return raised;
  }

  // Nothing moves: no swap, push-up, fall or blinking block.
  bool AtRest() const;
  // Rows holding a block, counted from the bottom of the well (0 for an empty well).
  int32_t Height() const;

  // ---- The rules ----
  bool CheckMatches();
  bool FindSameRuns() { return FindRuns(rkSame); }
  bool FindSequenceRuns() { return FindRuns(rkSequence); }
  // Runs of one kind along every row (left to right), then every column (top to bottom).
  bool FindRuns(int32_t kind);
  // Runs of one kind along the `count` cells from (col, row) in the direction (dCol, dRow).
  bool ScanLine(int32_t col, int32_t row, int32_t dCol, int32_t dRow, int32_t count,
                int32_t kind);
  // Joins the `length` cells from (col, row) in the direction (dCol, dRow) to an erase group.
  // False when they all blink already.
  bool MarkRun(int32_t col, int32_t row, int32_t dCol, int32_t dRow, int32_t length,
               int32_t kind);
  int32_t NewGroupId();
  void MergeGroup(int32_t from, int32_t to);
  void StartGroupErase(int32_t group);
  void StartCellErase(int32_t col, int32_t row);
  void SwapCells(int32_t colA, int32_t rowA, int32_t colB, int32_t rowB);
  bool TickSwap(int32_t dt);
  bool TickErase(int32_t dt);
  void RemoveErased();
  int32_t ChainScore(int32_t same, int32_t seq);
  bool StartFall(int32_t col, int32_t row);
  void StartFallGroup(int32_t col, int32_t top, int32_t length);
  void SortFalls();
  void CheckAllFalls();
  bool TickFalls(int32_t dt);
  void MoveFall(TFallRecord& rec, int32_t dt);
  void ShiftColumnDown(int32_t col, int32_t top, int32_t bottom);
  void LandFall(TFallRecord& rec);
  void StartPushUp();
  bool TickPushUp(int32_t dt);
  bool CheckTopRow();
  void RepairNewRow();
  // The smallest letter below LetterCount that is none of the excluded values
  // (LetterCount itself when all are excluded).
  int32_t SmallestFreeLetter(const int32_t* excluded, int32_t count) const;
  // The top row of a falling group from its position and the scroll of a push-up.
  int32_t FallTopRow(const TFallRecord& rec) const;
  // Points of a chain step 1..kMaxChain.
  int32_t& StepScore(int32_t step) { return StepScores[step - 1]; }

  // ---- State ----
  TFieldEvents* Events = nullptr;  // not owned; nullptr: nobody listens
  bool Started = false;  // before the game starts, runs are only flagged: no groups, no erase
  bool Raisable = true;  // the player may ask for a push-up
  int32_t Frames = 0;    // ticks so far; blinking cells show on even ones
  int16_t Letters[kFieldRows][kFieldCols] = {};
  uint16_t Flags[kFieldRows][kFieldCols] = {};
  uint16_t Groups[kFieldRows][kFieldCols] = {};
  int32_t EraseTimers[kFieldRows][kFieldCols] = {};
  float Scroll = 0;  // pixels of the push-up in progress
  int32_t CursorCol = 0;
  int32_t PartnerCol = 0;
  int32_t CursorRow = 0;
  int32_t PartnerRow = 0;
  int32_t Chain = 0;
  int32_t StepScores[kMaxChain] = {};  // entry n - 1 holds chain step n
  int32_t LetterCount = 0;             // new letters are drawn from 0..LetterCount - 1
  int32_t SwapTimer = 0;
  TSwapCell SwapA;
  TSwapCell SwapB;
  int32_t Erasing = 0;
  bool Falling = false;
  TFallRecord Falls[kFallRecords];
  int32_t PushTimer = 0;
};
