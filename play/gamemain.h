#pragma once
// TGameMainMode: the game screen. It holds the well of letter blocks and its rules (swaps,
// runs, erase groups, falls, chains, the push-up of the endless game), the endless and
// puzzle rules, the READY/GO start, the pause menu with retire and options, the game-over
// and stage-clear sequences, and draws all of it.
//
// The rules advance only through the play tick. Everything they cause outside the field
// (sounds, music, the face, the effect actors, the save file) goes through a few virtual
// operations of this class, so a test can run the rules without display or sound and
// observe those effects.
#include <cstdint>
#include <string>

#include "game/gamemgr.h"

class TFaceActor;
class TBlkActor;
class TFlashActor;
class TStarActor;
class TScoreActor;
class TOverActor;

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

class TGameMainMode : public TGameMgrMode {
 public:
  TGameMainMode(TGameMode* parent, TKernel* kernel, void* data);
  ~TGameMainMode() override;

  // Mode operations.
  void Draw() override;
  void Init() override;
  void Move(int32_t dt) override;
  void Leave() override;
  void Control() override;
  const char* ClassName() const override { return "TGameMainMode"; }
  std::string DumpState() const override;

  // Game set-up and drawing operations of this screen.
  virtual void InitGame();
  virtual void FillEndless(int32_t rows);
  virtual void LoadStage();
  virtual void DrawFrame();
  virtual void DrawStatus();
  virtual void DrawEndlessStatus();
  virtual void DrawPuzzleStatus();
  virtual void DrawTime(int32_t x, int32_t y, int32_t ms, int32_t font);
  virtual void DrawBlock(int32_t x, int32_t y, int32_t letter);
  virtual void DrawField();
  virtual void DrawFieldCursor(int32_t x, int32_t y, int32_t kind);

  // Effects outside the field. The game's own versions reach the kernel's components;
  // tests override them to observe the rules.
  virtual void PlaySound(const char* key);
  virtual void StopSound(const char* key);
  virtual bool IsSoundPlaying(const char* key);
  virtual void StartMusic();  // the music chosen in the options
  virtual void StopMusic();
  virtual void SaveProgress();  // the save file, after the puzzle progress moved on

  // ---- The field and its rules ----
  bool CheckMatches();
  bool FindSameRuns();
  bool FindSequenceRuns();
  bool MarkRowRun(int32_t firstCol, int32_t endCol, int32_t row, int32_t kind);
  bool MarkColumnRun(int32_t col, int32_t firstRow, int32_t endRow, int32_t kind);
  int32_t NewGroupId();
  void MergeGroup(int32_t from, int32_t to);
  void StartGroupErase(int32_t group);
  void StartCellErase(int32_t col, int32_t row);
  void SwapCells(int32_t colA, int32_t rowA, int32_t colB, int32_t rowB);
  bool TickSwap(int32_t dt);
  bool TickErase(int32_t dt);
  void RemoveErased();
  int32_t ChainScore(int32_t same, int32_t seq);
  void AddScore(int32_t points);
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

  // ---- Endless rules ----
  void UpdateRiseInterval();
  void TickRise(int32_t dt);
  void CheckLevelUp();
  void CheckHeight();

  // ---- Puzzle rules ----
  void CheckStageClear();
  void CheckStageFailed();
  void AdvanceStage();

  // ---- The screen ----
  // The play tick of phase 2; true when the game was already lost or cleared as it began.
  bool PlayTick(int32_t dt);
  void PauseTick();
  void RetireTick();
  void GameOverTick(int32_t dt);
  void ClearTick(int32_t dt);
  void GameOver();
  void StageClear();
  void DrawSwap();
  void DrawFalls();
  void DrawOverlays();

  bool IsEndless() const { return GameType != 1; }
  // Points of a chain step 1..kMaxChain.
  int32_t& StepScore(int32_t step) { return StepScores[step - 1]; }

  // ---- State, in declaration order ----
  bool Started = false;
  int16_t Letters[kFieldRows][kFieldCols] = {};
  uint16_t Flags[kFieldRows][kFieldCols] = {};
  uint16_t Groups[kFieldRows][kFieldCols] = {};
  int32_t EraseTimers[kFieldRows][kFieldCols] = {};
  int32_t BoardX = 0;
  int32_t BoardY = 0;
  float Scroll = 0;
  int32_t CursorCol = 0;
  int32_t PartnerCol = 0;
  int32_t CursorRow = 0;
  int32_t PartnerRow = 0;
  uint8_t GameType = 0;
  uint8_t Difficulty = 0;
  int32_t Score = 0;
  int32_t HiScore = 0;
  int32_t LevelCount = 0;
  int32_t LevelCountdown = 0;
  int32_t RiseInterval = 0;
  int32_t ErasedBlocks = 0;
  int32_t RiseCountdown = 0;
  int32_t Chain = 0;
  int32_t StepScores[kMaxChain] = {};  // entry n - 1 holds chain step n
  bool Paused = false;
  int32_t PauseCursor = 0;
  bool RetireConfirm = false;
  int32_t RetireCursor = 0;
  int32_t Stage = 0;
  int32_t StageTime = 0;
  bool Cleared = false;
  int32_t Retries = 0;
  int32_t StageBlocks = 0;
  int32_t LetterCount = 0;
  int32_t MaxLetters = 0;
  int32_t SwapTimer = 0;
  TSwapCell SwapA;
  TSwapCell SwapB;
  int32_t Erasing = 0;
  bool Falling = false;
  TFallRecord Falls[kFallRecords];
  int32_t PushTimer = 0;
  bool IsOver = false;
  int32_t ReadyStep = 0;
  int32_t ReadyTimer = 0;
  int32_t ClearTimer = 0;
  TFaceActor* Face = nullptr;
  TBlkActor* BlockActors = nullptr;
  TFlashActor* FlashActors = nullptr;
  TStarActor* StarActors = nullptr;
  TScoreActor* ScoreActors = nullptr;
  TOverActor* OverActor = nullptr;

 private:
  void DeleteActors();
};

// Balloon texts of the face.
extern const char* const kChainText;    // follows the chain step's number
extern const char* const kLevelUpText;
