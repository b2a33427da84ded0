#pragma once
// TWorkshopMode: the puzzle workshop, where a player makes puzzle stages. It shows a 6 x 10
// well with a cursor, the checks that keep the stage a fair puzzle in words under it, and a
// stage set on the right (its name and its stages, up to 50).
//
// Prove runs the puzzle solver on a worker thread with a time budget; the screen keeps
// running and shows the solver's progress. A solution found can be stepped through in the
// well, forward and back. Try plays the stage through the real game screen and comes back
// to the well as it was; nothing of it is saved.
//
//   arrows            move the cursor            A..Z          place that letter
//   DELETE, BACKSPACE clear the cell             button A      place the current letter
//   button B          clear the cell             A held + UP / DOWN   step the letter
//   SHIFT + arrows    shift the cursor's column (up, down) or row (left, right), round
//   CTRL + arrows     shift the whole well, round                    F4  clear the well
//   ENTER             prove (again: stop; after a solution: show it)  F5  try the stage
//   PAGE UP / DOWN    the stage before / after   SHIFT + PAGE UP / DOWN   move the stage
//   F6 new stage      F7 copy the stage          F8            delete the stage
//   F2 type the set's name (ENTER ends)          F3 save the set         F9 load a set
//   ESC               leave (twice when the set has changes not saved)
//   mouse: left button places the current letter, right button clears, the wheel steps
//   the current letter; a click on a stage number in the list opens that stage.
// With a solution shown: LEFT / RIGHT step back and forward, HOME to the start; ENTER,
// button B or ESC go back to editing, and so does any change of the well.
#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "game/gamemgr.h"
#include "game/stage_set.h"
#include "play/solver.h"

// The workshop's phases, the values Phase runs through.
enum TWorkshopPhase : int32_t {
  kWsFadeIn = 0,
  kWsEdit = 1,      // editing (a proof may run meanwhile)
  kWsProving = 2,   // editing is open; a proof runs
  kWsSolution = 3,  // a solution is shown step by step
  kWsTrying = 4,    // the game screen plays the stage as a child
  kWsFadeOut = 5,
  kWsClose = 6,
};

// One proof on its worker thread. The worker writes Report and then sets Done; the screen
// reads Report only once it sees Done. Nodes and Depth are its progress.
struct TProofJob {
  std::array<uint8_t, 60> Cells{};
  std::atomic<bool> Cancel{false};
  std::atomic<bool> Done{false};
  std::atomic<int64_t> Nodes{0};
  std::atomic<int32_t> Depth{0};
  TSolveReport Report;
  std::thread Worker;
};

class TWorkshopMode : public TGameMgrMode {
 public:
  using TCells = std::array<uint8_t, 60>;
  static constexpr int32_t kBudgetMs = 10000;
  static constexpr int32_t kWellX = 16;  // the well's top-left corner on the screen
  static constexpr int32_t kWellY = 16;
  static constexpr int32_t kListX = 264;  // the stage list's first number
  static constexpr int32_t kListY = 192;
  static constexpr int32_t kListStepX = 50;
  static constexpr int32_t kListStepY = 16;

  TWorkshopMode(TGameMode* parent, TKernel* kernel, void* data);
  ~TWorkshopMode() override;

  void Init() override;
  void Update(int32_t dt) override;
  void Move(int32_t dt) override;
  void Draw() override;
  const char* ClassName() const override { return "TWorkshopMode"; }
  std::string DumpState() const override;

  // ---- Editing (each cancels a running proof and forgets a finished one) ----
  TCells& Cells() { return Set.Stages[Current]; }
  const TCells& Cells() const { return Set.Stages[Current]; }
  void Place(int32_t col, int32_t row, uint8_t letter);  // kEmpty clears
  // Moves the column's cells by rows (positive: down), round the well's height.
  void ShiftColumn(int32_t col, int32_t rows);
  void ShiftRow(int32_t row, int32_t cols);
  void ShiftWell(int32_t cols, int32_t rows);
  // Moves the cells of a width x height region at (col0, row0) by (cols, rows), wrapping
  // round within the region.
  void ShiftCells(int32_t col0, int32_t width, int32_t row0, int32_t height, int32_t cols,
                  int32_t rows);
  void ClearWell();
  void StepLetter(int32_t by);

  // ---- The set ----
  void AddStage(bool copy);
  void DeleteStage();
  void MoveStage(int32_t by);
  void OpenStage(int32_t index);
  bool SaveSet();
  // Loads the set after the one last loaded in the stages folder (round); false when none.
  bool LoadNextSet();
  std::string SetPath() const;

  // ---- Proof ----
  void StartProof();
  void CancelProof();
  // Takes a finished proof's report; the jobs cancelled earlier are joined once done.
  void PollProof();
  void ShowStep(size_t step);

  // ---- Try ----
  void StartTry();
  void EndTry();

  // ---- State ----
  TStageSet Set;
  size_t Current = 0;  // the stage in the well
  int32_t CursorCol = 2;
  int32_t CursorRow = 5;
  uint8_t Letter = 0;  // the current letter, placed by button A and the mouse
  bool Changed = false;    // the set has changes not saved
  bool LeaveAsked = false; // ESC once over changes not saved
  bool NameEntry = false;
  std::string NameBefore;  // the name as it was when its entry began
  std::string Message;     // the last thing done, told in words
  int32_t LoadedFile = -1; // the file of the stages folder last loaded
  std::vector<std::string> Checks;

  // The proof of the stage in the well: running, or its last answer.
  std::unique_ptr<TProofJob> Job;
  std::vector<std::unique_ptr<TProofJob>> Cancelled;
  bool HaveReport = false;
  TSolveReport Report;
  size_t Step = 0;
  TField Shown;  // the well after Step swaps of the solution

 private:
  void Edited();
  void ReadKeys();
  void ReadMouse();
  void ReadNameEntry();
  // Drawing (workshop_view.cpp).
  void DrawWell();
  void DrawPanel();
  // Text in the small outlined TrueType font; with a width, wrapped at spaces to fit it.
  void DrawSmall(int32_t x, int32_t y, const std::string& text, uint32_t colour,
                 int32_t width = 0);

  ::GameData Saved;  // the game data as it was before a try
};
