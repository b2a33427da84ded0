// The game screen: construction, the phase machine, the play tick with the endless and
// puzzle rules, the pause menu, the game-over and stage-clear sequences and the results.
#include "play/gamemain.h"

#include <algorithm>
#include <climits>
#include <cstdio>

#include "engine/kernel.h"
#include "engine/random.h"
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

constexpr int32_t kReadyTime = 1600;
constexpr int32_t kGoTime = 800;
constexpr int32_t kMaxLevel = 98;  // shown as 99

int32_t Saturate(int64_t v) {
  if (v > INT32_MAX) return INT32_MAX;
  if (v < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(v);
}

}  // namespace

TGameMainMode::TGameMainMode(TGameMode* parent, TKernel* kernel, void* data)
    : TGameMgrMode(parent, kernel, data) {
  Field.Events = this;
  if (GameData) {
    GameType = GameData->GameType;
    Difficulty = GameData->Difficulty;
    if (!IsEndless()) {
      // A damaged save file may have left any stage index: keep it within the stages.
      Stage = ClampStage(GameData->Stage);
      StageTime = GameData->StageTime;
      Retries = GameData->Retries;
    }
  }
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

void TGameMainMode::PlaySound(const char* key) {
  if (Kernel && Kernel->Sound) Kernel->Sound->Play(key);
}

void TGameMainMode::StopSound(const char* key) {
  if (Kernel && Kernel->Sound) Kernel->Sound->Stop(key);
}

bool TGameMainMode::IsSoundPlaying(const char* key) {
  return Kernel && Kernel->Sound && Kernel->Sound->IsPlaying(key);
}

void TGameMainMode::StartMusic() { PlayBgm(-1); }

void TGameMainMode::StopMusic() {
  if (Kernel && Kernel->Midi) Kernel->Midi->Stop();
}

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
  if (IsEndless()) LevelCountdown -= 1;
  PlaySound("星");
  if (Face) Face->SetExpression(0);
}

void TGameMainMode::BlocksLanded() { PlaySound("落下"); }

void TGameMainMode::ChainGrew(int32_t chain) {
  if (!Face) return;
  Face->SetBalloon(std::to_string(chain) + kChainText);
  Face->SetExpression(2);
}

void TGameMainMode::StackOverflowed() { GameOver(); }

void TGameMainMode::AddScore(int32_t points) {
  if (points < 0) return;
  Score = Saturate(int64_t{Score} + points);
  RiseCountdown = Saturate(int64_t{RiseCountdown} + 200);
  if (Score > HiScore) HiScore = Score;
}

// ---------------------------------------------------------------------------------------
// Life of the screen

void TGameMainMode::Init() {
  vexa::SeedRandomFromClock();
  InitGame();
  if (Kernel) {
    Kernel->Blackout = false;
    Kernel->FadeLevel = 255;
  }
  TGameMode::Init();
  Field.Started = true;
}

void TGameMainMode::Move(int32_t dt) {
  switch (Phase) {
    case 0:
      if (!Kernel || Kernel->FadeIn(dt)) {
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
      if (!Kernel || Kernel->FadeOut(dt)) Phase = 7;
      break;
    case 7:
      if (Kernel) {
        Kernel->Blackout = true;
        Kernel->FadeLevel = 255;
      }
      Finished = true;
      break;
    case 8:
      if (!Kernel || Kernel->FadeOut(dt)) {
        Paused = false;
        CreateScreenChild(TScreenId::Config);
        Phase = 9;
      }
      break;
    case 9:
      // Back from the options screen.
      if (Kernel) Kernel->Blackout = false;
      if (!Kernel || Kernel->FadeIn(dt)) {
        StartMusic();
        Phase = 2;
      }
      break;
    default:
      break;
  }
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
    TickRise(dt);
    CheckLevelUp();
    CheckHeight();
  } else {
    CheckStageClear();
    CheckStageFailed();
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
  if (BlockActors) BlockActors->Update(dt);
  if (FlashActors) FlashActors->Update(dt);
  if (StarActors) StarActors->Update(dt);
  if (ScoreActors) ScoreActors->Update(dt);
  StageTime += dt;
  return result;
}

void TGameMainMode::Control() {
  if (!Kernel) return;
  const uint16_t pushed = Kernel->Pushed;
  Field.Raisable = IsEndless();
  if (Field.Control(pushed, Kernel->Repeat)) RiseCountdown = RiseInterval;
  if ((pushed & btEnter) && !IsOver && !Cleared) {  // an ended game has no pause
    Paused = true;
    PauseCursor = 0;
    PlaySound("ポーズ");
  }
}

void TGameMainMode::PauseTick() {
  if (!Kernel) return;
  const uint16_t pushed = Kernel->Pushed;
  if (pushed & btUp) {
    PauseCursor -= 1;
    if (PauseCursor < 0) PauseCursor = 2;
    PlaySelect();
  }
  if (pushed & btDown) {
    PauseCursor += 1;
    if (PauseCursor > 2) PauseCursor = 0;
    PlaySelect();
  }
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
  if (!Kernel) return;
  const uint16_t pushed = Kernel->Pushed;
  if (pushed & btUp) {
    RetireCursor -= 1;
    if (RetireCursor < 0) RetireCursor = 1;
    PlaySelect();
  }
  if (pushed & btDown) {
    RetireCursor += 1;
    if (RetireCursor > 1) RetireCursor = 0;
    PlaySelect();
  }
  if (pushed & (btA | btEnter)) {
    if (RetireCursor == 0) {  // YES: lost as if the field had overflowed
      GameOver();
      RetireConfirm = false;
      Paused = false;
    } else {  // NO: back to the pause menu, its cursor still on RETIRE
      PlayCancel();
      RetireConfirm = false;
    }
  }
}

void TGameMainMode::GameOver() {
  // Once per game, and never after a clear: an emptied well is won, whatever comes next.
  if (IsOver || Cleared) return;
  IsOver = true;
  OverActor = new TOverActor(nullptr, 92.0f, -90.0f, this, 0);
  PlaySound("ゲームオーバー");
  StopMusic();
  if (Face) Face->SetExpression(4);
}

void TGameMainMode::StageClear() {
  Cleared = true;
  ClearTimer = 0;
  PlaySound("ステージクリア");
  StopMusic();
  if (Face) Face->SetExpression(2);
}

void TGameMainMode::GameOverTick(int32_t dt) {
  const uint16_t pushed = Kernel ? Kernel->Pushed : 0;
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
  if (BlockActors) BlockActors->Update(dt);
  if (FlashActors) FlashActors->Update(dt);
  if (StarActors) StarActors->Update(dt);
  if (ScoreActors) ScoreActors->Update(dt);
  if (leave) Phase = 6;
}

void TGameMainMode::ClearTick(int32_t dt) {
  const uint16_t pushed = Kernel ? Kernel->Pushed : 0;
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
  if (GameData) {
    if (Cleared) AdvanceStage();
    GameData->LastScore = Score;
    GameData->LastLevel = LevelCount;
    GameData->LastBlocks = ErasedBlocks;
    GameData->LastDifficulty = Difficulty;
    GameData->StageFailed = IsOver;
    if (!IsEndless()) {
      GameData->Stage = Stage;
      GameData->StageTime = StageTime;
    }
  }
  DeleteActors();
}

// ---------------------------------------------------------------------------------------
// A new game

void TGameMainMode::FillEndless(int32_t rows) { Field.Fill(rows); }

void TGameMainMode::InitGame() {
  const int32_t d = std::min<int32_t>(Difficulty, 2);
  Field.LetterCount = kStartLetters[d];
  MaxLetters = kMaxLetters[d];
  Field.Reset();
  if (IsEndless())
    FillEndless(kStartRows[d]);
  else
    LoadStage();
  Field.Chain = 0;  // the runs the fill repaired were flagged, not played

  Score = 0;
  AddScore(0);
  ErasedBlocks = 0;
  HiScore = GameData ? GameData->Ranking[0].Score : 0;
  LevelCount = 0;
  UpdateRiseInterval();
  LevelCountdown = 10;
  RiseCountdown = RiseInterval;

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
// Endless rules

void TGameMainMode::UpdateRiseInterval() {
  const int32_t d = std::min<int32_t>(Difficulty, 2);
  const int32_t level = std::clamp(LevelCount, 0, 19);
  RiseInterval = kRiseSeconds[d][level] * 1000;
}

void TGameMainMode::TickRise(int32_t dt) {
  if (Field.Erasing || Field.Falling)
    return;  // the countdown stands while anything blinks or falls
  RiseCountdown -= dt;
  if (RiseCountdown < 0) {
    Field.StartPushUp();
    RiseCountdown = RiseInterval;
  }
}

void TGameMainMode::CheckLevelUp() {
  if (LevelCountdown > 0) return;
  LevelCount += 1;
  if (LevelCount > kMaxLevel) LevelCount = kMaxLevel;
  UpdateRiseInterval();
  LevelCountdown = 10;
  if (LevelCount % 2 == 0) Field.LetterCount = std::min(Field.LetterCount + 1, MaxLetters);
  if (Face) Face->SetBalloon(kLevelUpText);
}

void TGameMainMode::CheckHeight() {
  const int32_t height = Field.Height();
  if (!Face) return;
  if (height >= 8 && Face->GetExpression() == 0) Face->SetExpression(3);
  if (height < 8 && Face->GetExpression() == 3) Face->SetExpression(0);
}

// ---------------------------------------------------------------------------------------
// Puzzle rules

void TGameMainMode::LoadStage() {
  StageBlocks = 0;
  const int32_t base = 60 * ClampStage(Stage);
  for (int32_t r = 0; r < kWellRows; ++r) {
    for (int32_t c = 0; c < kFieldCols; ++c) {
      int32_t v = GameData ? static_cast<int8_t>(GameData->PuzzleData[base + 6 * r + c]) : kEmpty;
      // A byte outside the letters (damaged data) is taken as an empty cell.
      if (v < 0 || v > kEmpty) v = kEmpty;
      Field.Letters[r][c] = static_cast<int16_t>(v);
      if (v != kEmpty) StageBlocks += 1;
    }
  }
  // A floor of A's below the well: blocks in row 9 rest on it; it is never matched or shown.
  for (int32_t c = 0; c < kFieldCols; ++c) Field.Letters[kWellRows][c] = 0;
}

void TGameMainMode::CheckStageClear() {
  for (int32_t r = 0; r < kWellRows; ++r)
    for (int32_t c = 0; c < kFieldCols; ++c)
      if (Field.Letters[r][c] != kEmpty) return;
  if (!Cleared) StageClear();
}

void TGameMainMode::CheckStageFailed() {
  if (Field.Falling) return;
  int32_t counts[26] = {};
  for (int32_t r = 0; r < kWellRows; ++r)
    for (int32_t c = 0; c < kFieldCols; ++c)
      if (Field.Letters[r][c] >= 0 && Field.Letters[r][c] < 26) counts[Field.Letters[r][c]] += 1;
  for (int32_t n = 0; n < 26; ++n)
    if (counts[n] >= 3) return;
  for (int32_t n = 0; n + 2 < 26; ++n)
    if (counts[n] > 0 && counts[n + 1] > 0 && counts[n + 2] > 0) return;
  if (!Cleared) GameOver();
}

void TGameMainMode::AdvanceStage() {
  Stage += 1;
  GameData->Retries = 0;
  StageTime = 0;
  if (GameData->ContinueStage < Stage && Stage < kStageCount) {
    GameData->ContinueStage = Stage;
    if (Stage > GameData->MaxStage) GameData->MaxStage = Stage;
    SaveProgress();
  }
}

// ---------------------------------------------------------------------------------------
// The replay runner's view of the game

std::string TGameMainMode::DumpState() const {
  char head[320];
  std::snprintf(head, sizeof head,
                " Score=%d HiScore=%d LevelCount=%d ErasedBlocks=%d Chain=%d IsOver=%d Cleared=%d"
                " Paused=%d CursorCol=%d CursorRow=%d Stage=%d StageTime=%d Retries=%d field=",
                Score, HiScore, LevelCount, ErasedBlocks, Field.Chain, IsOver ? 1 : 0,
                Cleared ? 1 : 0, Paused ? 1 : 0, Field.CursorCol, Field.CursorRow, Stage, StageTime,
                Retries);
  std::string out = head;
  for (int32_t r = 0; r < kWellRows; ++r) {
    for (int32_t c = 0; c < kFieldCols; ++c) {
      const int32_t l = Field.Letters[r][c];
      out += l == kEmpty ? '.' : (l >= 0 && l < 26 ? static_cast<char>('A' + l) : '?');
    }
  }
  return out;
}
