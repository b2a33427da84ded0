#pragma once
// TGameMainMode: the game screen. It owns the well (a TField) and turns what happens there
// into sounds, the face, effect actors and score; it runs the endless or the puzzle rules
// above the well (TEndlessRules, TPuzzleRules), the READY/GO start, the pause menu with
// retire and options, and the game-over and stage-clear sequences. TGameView draws it.
//
// The rules advance only through the play tick. Everything they cause outside the field
// (sounds, music, the face, the effect actors, the save file) goes through a few virtual
// operations of this class, so a test can run the rules without display or sound and
// observe those effects.
#include <cstdint>
#include <string>

#include "game/gamemgr.h"
#include "game/replay.h"
#include "play/endlessrules.h"
#include "play/field.h"
#include "play/gameview.h"
#include "play/puzzlerules.h"

class TFaceActor;
class TBlkActor;
class TFlashActor;
class TStarActor;
class TScoreActor;
class TOverActor;

class TGameMainMode : public TGameMgrMode, public TFieldEvents {
 public:
  TGameMainMode(TGameMode* parent, TKernel* kernel, void* data);
  ~TGameMainMode() override;

  // Mode operations.
  void Draw() override { View.Paint(); }
  void Init() override;
  // Records the tick's buttons (also while the options screen of the pause is open).
  void Update(int32_t dt) override;
  void Move(int32_t dt) override;
  void Leave() override;
  void Control() override;
  const char* ClassName() const override { return "TGameMainMode"; }
  std::string DumpState() const override;

  // A new game: the well filled (endless) or loaded (puzzle), the score and the rules at
  // their start, the board placed, no pause, loss or clear.
  void InitGame();

  // Effects outside the field. The game's own versions reach the kernel's components;
  // tests override them to observe the rules.
  virtual void PlaySound(const char* key);
  virtual void StopSound(const char* key);
  virtual bool IsSoundPlaying(const char* key);
  virtual void StartMusic();  // the music chosen in the options
  virtual void StopMusic();
  virtual void SaveProgress();  // the save file, after the puzzle progress moved on

  // ---- What happens in the well ----
  void SwapStarted(int32_t colA, int32_t rowA, int32_t colB, int32_t rowB) override;
  void EraseStarted(int32_t col, int32_t row) override;
  void BlockErased(int32_t col, int32_t row) override;
  void BlocksErased(int32_t blocks, int32_t points, int32_t lastCol, int32_t lastRow) override;
  void EraseEnded() override;
  void BlocksLanded() override;
  void ChainGrew(int32_t chain) override;
  void StackOverflowed() override;
  void WellEmptied() override;
  // Points scored (none below zero): the high score follows, the next push-up waits.
  void AddScore(int32_t points);
  // The face looks worried while the stack is eight rows high or more.
  void CheckHeight();

  // ---- The screen ----
  // The play tick of phase 2; true when the game was already lost or cleared as it began.
  bool PlayTick(int32_t dt);
  void PauseTick();
  void RetireTick();
  void GameOverTick(int32_t dt);
  void ClearTick(int32_t dt);
  // The game is lost: the stack overflowed, the player retired, or no run can be made.
  void GameOver(TReplayEnd why = TReplayEnd::Overflow);
  void StageClear();

  bool IsEndless() const { return GameType != 1; }

  // ---- State, in declaration order ----
  TField Field;
  TEndlessRules Endless;
  TPuzzleRules Puzzle;
  TGameView View{*this};
  int32_t BoardX = 0;  // the well's top-left corner on the screen
  int32_t BoardY = 0;
  uint8_t GameType = 0;
  uint8_t Difficulty = 0;
  int32_t Score = 0;
  int32_t HiScore = 0;
  int32_t ErasedBlocks = 0;
  int32_t ChainRecord = 0;  // the longest chain of the game
  bool Paused = false;
  int32_t PauseCursor = 0;
  bool RetireConfirm = false;
  int32_t RetireCursor = 0;
  bool Cleared = false;
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
  // Up and down move a menu's cursor over its entries, round at either end.
  void MoveMenuCursor(int32_t& cursor, int32_t entries);
  // One tick of every effect actor group (the face is not among them).
  void UpdateEffects(int32_t dt);
};

// Balloon texts of the face.
extern const char* const kChainText;    // follows the chain step's number
extern const char* const kLevelUpText;
