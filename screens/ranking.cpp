#include "screens/ranking.h"

#include <cstdio>
#include <limits>

#include "engine/kernel.h"
#include "game/replay_keeper.h"
#include "game/replay_session.h"
#include "media/kordraw.h"
#include "media/kormidi.h"
#include "platform/keycodes.h"

namespace {
// The level shown, 1-based; a stored level at the top of the range stays as it is.
int32_t ShownLevel(int32_t level) {
  return level < std::numeric_limits<int32_t>::max() ? level + 1 : level;
}
}  // namespace

TRankingMode::TRankingMode(TGameMode* parent, TKernel* kernel, void* data)
    : TMenuMode(parent, kernel, data, false) {}

// Closed while a replay plays (the window shut): the kernel keeps no pointer into it.
TRankingMode::~TRankingMode() {
  if (Kernel->Overlay == &Marks) Kernel->Overlay = nullptr;
}

int32_t TRankingMode::NameFont(uint8_t difficulty) {
  switch (difficulty) {
    case 0: return 1;  // EASY
    case 1: return 2;  // NOMAL
    default: return 0;  // HARD, and anything a damaged save file holds
  }
}

void TRankingMode::Init() {
  TMenuMode::Init();
  for (int i = 0; i < kRankRows; ++i) {
    const TRankEntry& r = GameData->Ranking[i];
    Scores[i] = r.Score;
    Levels[i] = r.Level;
    BlockCounts[i] = r.Blocks;
    Difficulties[i] = r.Difficulty;
    Names[i] = RankName(r);
  }
  ReplayRow = -1;
  TReplaySession* replays = GameData->Replays;
  TReplayKeeper* keeper = replays ? replays->GetKeeper() : nullptr;
  for (int i = 0; i < kRankRows; ++i) {
    HasReplay[i] = OffersReplays && keeper && keeper->HasRankingReplay(i, GameData->Ranking[i]);
    if (HasReplay[i] && ReplayRow < 0) ReplayRow = i;
  }
}

void TRankingMode::ReadEntries() {
  if (ReplayRow < 0 || Phase != kMenuChoose) return;
  const uint16_t pushed = Kernel->Pushed;
  const int32_t step = (pushed & btDown) ? 1 : (pushed & btUp) ? -1 : 0;
  if (step != 0) {
    int32_t row = ReplayRow;
    do row = (row + step + kRankRows) % kRankRows;
    while (!HasReplay[row]);
    if (row != ReplayRow) PlaySelect();
    ReplayRow = row;
  }
  if (pushed & btB) StartReplay();
}

void TRankingMode::StartReplay() {
  TReplaySession* replays = GameData->Replays;
  TReplay replay;
  std::string error;
  if (!LoadReplayFile(replays->GetKeeper()->RankingPath(ReplayRow), replay, error) ||
      !TReplaySession::CanPlay(replay, error)) {
    std::fprintf(stderr, "vexa: the replay of row %d cannot be played: %s\n", ReplayRow + 1,
                 error.c_str());
    HasReplay[ReplayRow] = false;
    PlayCancel();
    return;
  }
  PlayDecide();
  Saved = *GameData;
  Marks.Name = replay.Name;
  replays->Watch(std::move(replay));
  replays->SetUpGame(*GameData);
  Kernel->Overlay = &Marks;
  Kernel->Midi->Stop();
  Replaying = true;
  CreateScreenChild(TScreenId::GameMain);
}

void TRankingMode::EndReplay() {
  Replaying = false;
  DeleteChild();
  GameData->Replays->StopWatching();
  // Everything the replayed game wrote (its result, its settings) was the recorded player's.
  *GameData = Saved;
  Kernel->ButtonSource = nullptr;
  Kernel->Overlay = nullptr;
  Kernel->Blackout = false;
  Kernel->FadeLevel = 255;
  Phase = kMenuFadeIn;
}

void TRankingMode::Update(int32_t dt) {
  if (Replaying) {
    Marks.Ended = GameData->Replays->WatchEnded();
    if (!Child || Kernel->PushedKey == keycode::Escape) EndReplay();
  }
  TMenuMode::Update(dt);
}

void TRankingMode::Draw() {
  DrawBack();
  DrawText(200, 16, "RANKING", 1, true);
  // The row whose replay B plays has its numbers lit; every row with a replay has a star.
  DrawRankTable(40, 52, ReplayRow);
  for (int32_t i = 0; i < kRankRows; ++i)
    if (HasReplay[i] && (i != ReplayRow || Blink(300)))
      Kernel->Draw->Draw(478, 52 + 24 + 24 * i + 2, "星", 0);
  if (ReplayRow >= 0) DrawText(40, 316, GameData->ControlType == 1 ? "V REPLAY" : "X REPLAY", 2, false);
  DrawPushEnter(168, 340);
  DrawMiniLogo();
}

void TRankingMode::DrawRankTable(int32_t x, int32_t y, int32_t highlightRow) {
  DrawText(x + 34, y, "SCORE", 1, false);
  DrawText(x + 140, y, "LV", 2, false);
  DrawText(x + 186, y, "BLOCK", 3, false);
  DrawText(x + 300, y, "NAME", 0, false);
  for (int32_t i = 0; i < kRankRows; ++i) {
    const int32_t r = y + 24 + 24 * i;
    const bool lit = i == highlightRow;
    DrawNumber(x, r + 8, i + 1, lit ? -1 : 0);
    DrawNumber(x + 110, r + 8, Scores[i], lit ? -1 : 1);
    DrawNumber(x + 160, r + 8, ShownLevel(Levels[i]), lit ? -1 : 2);
    DrawNumber(x + 250, r + 8, BlockCounts[i], lit ? -1 : 3);
    if (!Names[i].empty()) DrawText(x + 280, r, Names[i], NameFont(Difficulties[i]), false);
  }
}
