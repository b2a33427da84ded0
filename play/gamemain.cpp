// The game screen: construction, the phase machine, the play tick with the endless and
// puzzle rules, the pause menu, the game-over and stage-clear sequences and the results.
#include "play/gamemain.h"

#include <climits>
#include <cstdio>

#include "engine/kernel.h"
#include "engine/random.h"
#include "game/replay_session.h"
#include "media/kormidi.h"
#include "media/korsound.h"
#include "play/blkactor.h"
#include "play/faceactor.h"
#include "play/flashactor.h"
#include "play/overactor.h"
#include "play/scoreactor.h"
#include "play/staractor.h"

const char* const kChainText = "連鎖！";
const char* const kLevelUpText = "レベルアップ！";

namespace {

constexpr int32_t kReadyTime = 1600;
constexpr int32_t kGoTime = 800;

}  // namespace

TGameMainMode::TGameMainMode(TGameMode* parent, TKernel* kernel, void* data)
    : TGameMgrMode(parent, kernel, data) {
  Field.Events = this;
  GameType = GameData->GameType;
  Difficulty = GameData->Difficulty;
  if (!IsEndless()) Puzzle.Start(*GameData);
  Face = new TFaceActor(nullptr, 376.0f, 20.0f, this, 0);
  BlockActors = new TBlkActor(this, 0);
  FlashActors = new TFlashActor(this, 0, &Field.Scroll);
  StarActors = new TStarActor(this, 0);
  ScoreActors = new TScoreActor(this, 0);
  OverActor = nullptr;
}

TGameMainMode::~TGameMainMode() { DeleteActors(); }

void TGameMainMode::DeleteActors() {
  delete Face;
  Face = nullptr;
  delete BlockActors;
  BlockActors = nullptr;
  delete FlashActors;
  FlashActors = nullptr;
  delete StarActors;
  StarActors = nullptr;
  delete ScoreActors;
  ScoreActors = nullptr;
  delete OverActor;
  OverActor = nullptr;
}

// ---------------------------------------------------------------------------------------
// Effects outside the field

void TGameMainMode::PlaySound(const char* key) { Kernel->Sound->Play(key); }

void TGameMainMode::StopSound(const char* key) { Kernel->Sound->Stop(key); }

bool TGameMainMode::IsSoundPlaying(const char* key) { return Kernel->Sound->IsPlaying(key); }

void TGameMainMode::StartMusic() { PlayBgm(-1); }

void TGameMainMode::StopMusic() { Kernel->Midi->Stop(); }

void TGameMainMode::SaveProgress() { WriteSaveData(); }

// ---------------------------------------------------------------------------------------
// What happens in the well

void TGameMainMode::SwapStarted(int32_t, int32_t, int32_t, int32_t) { PlaySound("入れ替え"); }

void TGameMainMode::EraseStarted(int32_t col, int32_t row) {
  PlaySound("消去");
  if (Face) Face->SetExpression(1);
  if (FlashActors)
    FlashActors->Spawn(static_cast<float>(BoardX + kCellSize * col),
                       static_cast<float>(BoardY + kCellSize * row), 0);
}

void TGameMainMode::BlockErased(int32_t col, int32_t row) {
  if (StarActors)
    StarActors->Spawn(static_cast<float>(BoardX + kCellSize * col),
                      static_cast<float>(BoardY + kCellSize * row), 0);
}

void TGameMainMode::BlocksErased(int32_t blocks, int32_t points, int32_t lastCol,
                                 int32_t lastRow) {
  ErasedBlocks += blocks;
  AddScore(points);
  if (IsEndless() && points > 0 && ScoreActors)
    ScoreActors->Spawn(static_cast<float>(BoardX + kCellSize * lastCol),
                       static_cast<float>(BoardY + kCellSize * lastRow), points);
}

void TGameMainMode::EraseEnded() {
  if (IsEndless()) Endless.EraseEnded();
  PlaySound("星");
  if (Face) Face->SetExpression(0);
}

void TGameMainMode::BlocksLanded() { PlaySound("落下"); }

void TGameMainMode::ChainGrew(int32_t chain) {
  if (chain > ChainRecord) ChainRecord = chain;
  if (!Face) return;
  Face->SetBalloon(std::to_string(chain) + kChainText);
  Face->SetExpression(2);
}

void TGameMainMode::StackOverflowed() { GameOver(TReplayEnd::Overflow); }

// The clear itself waits for the next play tick, which looks at the rules before the well.
void TGameMainMode::WellEmptied() { Puzzle.Emptied = true; }

void TGameMainMode::AddScore(int32_t points) {
  if (points < 0) return;
  Score = points > INT32_MAX - Score ? INT32_MAX : Score + points;  // saturates
  Endless.Delay();
  if (Score > HiScore) HiScore = Score;
}

void TGameMainMode::CheckHeight() {
  const int32_t height = Field.Height();
  if (!Face) return;
  if (height >= 8 && Face->GetExpression() == 0) Face->SetExpression(3);
  if (height < 8 && Face->GetExpression() == 3) Face->SetExpression(0);
}

// ---------------------------------------------------------------------------------------
// Life of the screen

void TGameMainMode::Init() {
  vexa::SeedRandomFromClock();
  if (TReplaySession* replays = GameData->Replays) {
    if (replays->IsWatching()) {
      // The watched game's draws, and its first tick's buttons in place of the ones the
      // kernel has just read; the later ticks' come from the replay too.
      const TReplay& r = replays->Watched();
      vexa::SeedRandom(r.Seed);
      Face->BlinkWait = r.BlinkWait;
      Kernel->Buttons = r.HeldBefore;
      Kernel->RepeatWait = r.RepeatWait;
      Kernel->SetButtons(replays->NextButtons(), r.TickMs);
      Kernel->ButtonSource = replays;
    }
    replays->StartRecording(*GameData, vexa::LastSeed(), Face->BlinkWait, Kernel->OldButtons,
                            Kernel->RepeatWaitBefore);
    replays->RecordTick(Kernel->Buttons);
  }
  InitGame();
  Kernel->Blackout = false;
  Kernel->FadeLevel = 255;
  TGameMode::Init();
  Field.Started = true;
}

void TGameMainMode::Update(int32_t dt) {
  if (Initialized && GameData->Replays) GameData->Replays->RecordTick(Kernel->Buttons);
  TGameMgrMode::Update(dt);
}

void TGameMainMode::Move(int32_t dt) {
  switch (Phase) {
    case 0:
      if (Kernel->FadeIn(dt)) {
        ReadyStep = 0;
        ReadyTimer = kReadyTime;
        PlaySound("レディーゴー");
        Phase = 1;
      }
      break;
    case 1:
      ReadyTimer -= dt;
      if (ReadyTimer <= 0) {
        ReadyStep += 1;
        ReadyTimer = kGoTime;
        if (ReadyStep == 1) StartMusic();  // the music starts with GO
        if (ReadyStep >= 2) Phase = 2;
      }
      break;
    case 2:
      if (PlayTick(dt)) Phase = IsOver ? 4 : 5;
      break;
    case 4:
      GameOverTick(dt);
      break;
    case 5:
      ClearTick(dt);
      break;
    case 6:
      if (Kernel->FadeOut(dt)) Phase = 7;
      break;
    case 7:
      Kernel->Blackout = true;
      Kernel->FadeLevel = 255;
      Finished = true;
      break;
    case 8:
      if (Kernel->FadeOut(dt)) {
        Paused = false;
        CreateScreenChild(TScreenId::Config);
        Phase = 9;
      }
      break;
    case 9:
      // Back from the options screen.
      Kernel->Blackout = false;
      if (Kernel->FadeIn(dt)) {
        StartMusic();
        Phase = 2;
      }
      break;
    default:
      break;
  }
}

inline void TGameMainMode::UpdateEffects(int32_t dt) {
  if (BlockActors) BlockActors->Update(dt);
  if (FlashActors) FlashActors->Update(dt);
  if (StarActors) StarActors->Update(dt);
  if (ScoreActors) ScoreActors->Update(dt);
}

bool TGameMainMode::PlayTick(int32_t dt) {
  if (Paused) {
    if (RetireConfirm)
      RetireTick();
    else
      PauseTick();
    return false;
  }
  const bool result = IsOver || Cleared;
  Control();
  if (IsEndless()) {
    Endless.TickRise(Field, dt);
    if (Endless.CheckLevelUp(Field) && Face) Face->SetBalloon(kLevelUpText);
    CheckHeight();
  } else {
    if (Puzzle.Emptied && !Cleared) StageClear();
    if (!Field.Falling && TPuzzleRules::DeadEnd(Field)) GameOver(TReplayEnd::Failed);
  }
  Field.Frames = Frames;
  Field.Tick(dt);
  // A pause asked for in the very tick that ended the game is dropped: no menu stands over
  // GAME OVER or STAGE CLEAR, and RETIRE can never turn a cleared stage into a loss.
  if (Paused && (IsOver || Cleared)) {
    Paused = false;
    StopSound("ポーズ");
  }
  if (Face) Face->Update(dt);
  UpdateEffects(dt);
  Puzzle.StageTime += dt;
  return result;
}

void TGameMainMode::Control() {
  const uint16_t pushed = Kernel->Pushed;
  Field.Raisable = IsEndless();
  if (Field.Control(pushed, Kernel->Repeat)) Endless.Raised();
  if ((pushed & btEnter) && !IsOver && !Cleared) {  // an ended game has no pause
    Paused = true;
    PauseCursor = 0;
    PlaySound("ポーズ");
  }
}

void TGameMainMode::MoveMenuCursor(int32_t& cursor, int32_t entries) {
  const uint16_t pushed = Kernel->Pushed;
  if (pushed & btUp) {
    cursor = cursor > 0 ? cursor - 1 : entries - 1;
    PlaySelect();
  }
  if (pushed & btDown) {
    cursor = cursor < entries - 1 ? cursor + 1 : 0;
    PlaySelect();
  }
}

void TGameMainMode::PauseTick() {
  const uint16_t pushed = Kernel->Pushed;
  MoveMenuCursor(PauseCursor, 3);
  if (pushed & (btA | btEnter)) {
    switch (PauseCursor) {
      case 0:  // CANCEL
        Paused = false;
        PlaySound("ポーズ");
        break;
      case 1:  // RETIRE
        RetireConfirm = true;
        RetireCursor = 1;
        PlayDecide();
        break;
      case 2:  // OPTION
        Phase = 8;
        PlaySound("決定");
        break;
      default:
        break;
    }
  }
}

void TGameMainMode::RetireTick() {
  const uint16_t pushed = Kernel->Pushed;
  MoveMenuCursor(RetireCursor, 2);
  if (pushed & (btA | btEnter)) {
    if (RetireCursor == 0) {  // YES: lost as if the field had overflowed
      GameOver(TReplayEnd::Retired);
      RetireConfirm = false;
      Paused = false;
    } else {  // NO: back to the pause menu, its cursor still on RETIRE
      PlayCancel();
      RetireConfirm = false;
    }
  }
}

void TGameMainMode::GameOver(TReplayEnd why) {
  // Once per game, and never after a clear: an emptied well is won, whatever comes next.
  if (IsOver || Cleared) return;
  IsOver = true;
  if (GameData->Replays)
    GameData->Replays->EndGame(Score, Endless.LevelCount, ErasedBlocks, ChainRecord, why);
  OverActor = new TOverActor(nullptr, 92.0f, -90.0f, this, 0);
  PlaySound("ゲームオーバー");
  StopMusic();
  if (Face) Face->SetExpression(4);
}

void TGameMainMode::StageClear() {
  Cleared = true;
  if (GameData->Replays)
    GameData->Replays->EndGame(Score, Endless.LevelCount, ErasedBlocks, ChainRecord,
                               TReplayEnd::Cleared);
  ClearTimer = 0;
  PlaySound("ステージクリア");
  StopMusic();
  if (Face) Face->SetExpression(2);
}

void TGameMainMode::GameOverTick(int32_t dt) {
  const uint16_t pushed = Kernel->Pushed;
  const bool leave =
      (pushed & btEnter) || ((pushed & btA) && !IsSoundPlaying("ゲームオーバー"));
  if (leave) {
    StopSound("ゲームオーバー");
    PlaySound("決定");
  }
  // One block crumbles per tick, from the top left; row 0 stays.
  const int32_t lastRow = IsEndless() ? kWellRows : kWellRows - 1;
  bool crumbled = false;
  for (int32_t r = 1; r <= lastRow && !crumbled; ++r) {
    for (int32_t c = 0; c < kFieldCols && !crumbled; ++c) {
      if (Field.Letters[r][c] == kEmpty) continue;
      if (BlockActors)
        BlockActors->Spawn(static_cast<float>(BoardX + kCellSize * c),
                           static_cast<float>(BoardY + kCellSize * r), Field.Letters[r][c]);
      Field.Letters[r][c] = kEmpty;
      crumbled = true;
    }
  }
  if (OverActor) OverActor->Update(dt);
  UpdateEffects(dt);
  if (leave) Phase = 6;
}

void TGameMainMode::ClearTick(int32_t dt) {
  const uint16_t pushed = Kernel->Pushed;
  const bool leave = (pushed & (btA | btEnter)) != 0;
  if (leave) {
    StopSound("ステージクリア");
    PlaySound("決定");
  }
  ClearTimer += dt;
  if (ClearTimer < 1000) {
    // Three draws, in this order.
    const int32_t kind = vexa::Random(3);
    const int32_t y = 32 + vexa::Random(352);
    const int32_t x = 32 + vexa::Random(480);
    if (StarActors) StarActors->Spawn(static_cast<float>(x), static_cast<float>(y), kind);
  }
  Field.Frames = Frames;
  Field.TickSwap(dt);
  Field.TickErase(dt);
  Field.TickFalls(dt);
  Field.TickPushUp(dt);
  if (StarActors) StarActors->Update(dt);
  if (leave) Phase = 6;
}

void TGameMainMode::Leave() {
  if (Cleared && Puzzle.Advance(*GameData)) SaveProgress();
  GameData->LastScore = Score;
  GameData->LastLevel = Endless.LevelCount;
  GameData->LastBlocks = ErasedBlocks;
  GameData->LastDifficulty = Difficulty;
  GameData->StageFailed = IsOver;
  if (!IsEndless()) {
    GameData->Stage = Puzzle.Stage;
    GameData->StageTime = Puzzle.StageTime;
  }
  if (TReplaySession* replays = GameData->Replays) {
    replays->KeepGame();
    if (Kernel->ButtonSource == replays) Kernel->ButtonSource = nullptr;
  }
  DeleteActors();
}

// ---------------------------------------------------------------------------------------
// A new game

void TGameMainMode::InitGame() {
  Endless.Start(Difficulty, Field);
  Field.Reset();
  if (IsEndless())
    Field.Fill(Endless.StartRows());
  else
    Puzzle.Load(*GameData, Field);
  Field.Chain = 0;  // the runs the fill repaired were flagged, not played

  Score = 0;
  ErasedBlocks = 0;
  ChainRecord = 0;
  HiScore = GameData->Ranking[0].Score;
  BoardX = 160;
  BoardY = 32;
  IsOver = false;
  Paused = false;
  PauseCursor = 0;
  RetireConfirm = false;
  RetireCursor = 0;
  Cleared = false;
  ClearTimer = 0;
}

// ---------------------------------------------------------------------------------------
// The replay runner's view of the game

std::string TGameMainMode::DumpState() const {
  char head[320];
  std::snprintf(head, sizeof head,
                " Score=%d HiScore=%d LevelCount=%d ErasedBlocks=%d Chain=%d IsOver=%d Cleared=%d"
                " Paused=%d CursorCol=%d CursorRow=%d Stage=%d StageTime=%d Retries=%d field=",
                Score, HiScore, Endless.LevelCount, ErasedBlocks, Field.Chain, IsOver ? 1 : 0,
                Cleared ? 1 : 0, Paused ? 1 : 0, Field.CursorCol, Field.CursorRow, Puzzle.Stage,
                Puzzle.StageTime, Puzzle.Retries);
  std::string out = head;
  for (int32_t r = 0; r < kWellRows; ++r) {
    for (int32_t c = 0; c < kFieldCols; ++c) {
      const int32_t l = Field.Letters[r][c];
      out += l == kEmpty ? '.' : (l >= 0 && l < 26 ? static_cast<char>('A' + l) : '?');
    }
  }
  return out;
}
