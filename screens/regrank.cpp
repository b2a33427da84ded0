#include "screens/regrank.h"

#include <algorithm>
#include <cstring>

#include "engine/kernel.h"
#include "game/replay_session.h"
#include "media/kordraw.h"
#include "media/kormidi.h"
#include "platform/keycodes.h"

TRegRankMode::TRegRankMode(TGameMode* parent, TKernel* kernel, void* data)
    : TRankingMode(parent, kernel, data) {
  OffersReplays = false;  // the arrows and X type the name here
}

void TRegRankMode::Init() {
  TRankingMode::Init();
  Entered = false;
  EntryRow = -1;
  std::memset(NameBuf, 0, sizeof NameBuf);
  NameLen = 0;

  const ::GameData& d = *GameData;
  for (int32_t i = 0; i < kRankRows; ++i) {
    // An equal score goes above the stored one.
    if (Scores[i] > d.LastScore) continue;
    for (int32_t j = kRankRows - 1; j > i; --j) {
      Scores[j] = Scores[j - 1];
      Levels[j] = Levels[j - 1];
      BlockCounts[j] = BlockCounts[j - 1];
      Difficulties[j] = Difficulties[j - 1];
      Names[j] = Names[j - 1];
    }
    Scores[i] = d.LastScore;
    Levels[i] = d.LastLevel;
    BlockCounts[i] = d.LastBlocks;
    Difficulties[i] = d.LastDifficulty;
    Names[i].clear();
    Entered = true;
    EntryRow = i;
    break;
  }
  if (Entered && Kernel->Midi) Kernel->Midi->Play("FANFARE", false);
}

// Only Enter leaves: the decide key (Z or SPACE) types into the name.
void TRegRankMode::Control() {
  if (Kernel->Pushed & btEnter) {
    Decided = true;
    PlayDecide();
  }
}

void TRegRankMode::TypeName() {
  if (!(Kernel->Pushed & btAnyKey)) return;
  const char letter = Kernel->GetLetter();
  if (letter != 0 && NameLen < kMaxName) {
    NameBuf[NameLen++] = letter;
    NameBuf[NameLen] = '\0';
    PlaySelect();
  }
  if (Kernel->PushedKey == keycode::Space && NameLen < kMaxName) {
    NameBuf[NameLen++] = ' ';
    NameBuf[NameLen] = '\0';
    PlaySelect();
  }
  if (Kernel->PushedKey == keycode::Backspace && NameLen > 0) {
    NameBuf[--NameLen] = '\0';
    PlaySelect();
  }
}

void TRegRankMode::Choose() {
  if (Entered) TypeName();
  TRankingMode::Choose();
}

void TRegRankMode::Draw() {
  DrawBack();
  DrawText(140, 16, "REGIST RANKING", 0, true);
  DrawEntry(40, 52);
  DrawPushEnter(168, 340);
  DrawMiniLogo();
}

void TRegRankMode::DrawEntry(int32_t x, int32_t y) {
  DrawRankTable(x, y, EntryRow);
  if (EntryRow < 0 || EntryRow >= kRankRows) return;
  const int32_t r = y + 24 + 24 * EntryRow;
  const int32_t f = NameFont(Difficulties[EntryRow]);
  DrawText(x + 280, r, NameBuf, f, false);
  if (Blink(400))
    Kernel->Draw->Draw(x + 280 + TextWidth(NameBuf), r, "FontCurs", f);
}

void TRegRankMode::Leave() {
  if (Entered) {
    Names[EntryRow] = NameBuf;
    for (int32_t i = 0; i < kRankRows; ++i) {
      TRankEntry& r = GameData->Ranking[i];
      r.Score = Scores[i];
      r.Level = Levels[i];
      r.Blocks = BlockCounts[i];
      r.Difficulty = Difficulties[i];
      // Always NUL-terminated within the field; the bytes after the name are zero.
      std::memset(r.Name, 0, sizeof r.Name);
      std::memcpy(r.Name, Names[i].data(), std::min(Names[i].size(), sizeof r.Name - 1));
    }
    // The game's replay moves into the row, the rows below move down.
    if (GameData->Replays)
      GameData->Replays->EnterRanking(EntryRow, RankName(GameData->Ranking[EntryRow]));
  }
  WriteSaveData();
}
