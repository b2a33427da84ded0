#include "screens/reward.h"

#include <cstdio>

#include "engine/kernel.h"
#include "media/kordraw.h"
#include "media/kormidi.h"
#include "media/korsound.h"
#include "play/staractor.h"

namespace {

constexpr const char* kPieceKey = "ご褒美";
constexpr int32_t kPieceW = 102;
constexpr int32_t kPieceH = 76;
constexpr int32_t kColumns = 5;

}  // namespace

// Reading across the picture, row by row, the places in the order are
//   12 20  4 15 17 / 14 24 18  9 11 / 23 19 13  2 22 / 8 21  5  6  1 / 0  7 10 16  3
// so the picture fills in scattered pieces rather than line by line.
const int32_t TRewardMode::PieceOrder[kPieces][2] = {
    {0, 4}, {4, 3}, {3, 2}, {4, 4}, {2, 0}, {2, 3}, {3, 3}, {1, 4}, {0, 3},
    {3, 1}, {2, 4}, {4, 1}, {0, 0}, {2, 2}, {0, 1}, {3, 0}, {3, 4}, {4, 0},
    {2, 1}, {1, 2}, {1, 0}, {1, 3}, {4, 2}, {0, 2}, {1, 1},
};

TRewardMode::TRewardMode(TGameMode* parent, TKernel* kernel, void* data)
    : TGameMgrMode(parent, kernel, data), Stars(new TStarActor(this, 0)) {}

TRewardMode::~TRewardMode() { delete Stars; }

int32_t TRewardMode::EarnedBefore() const {
  int32_t m = GameData->Stage / 2 - 1;
  if (m < 0) m = 0;
  if (m > kPieces - 1) m = kPieces - 1;
  return m;
}

void TRewardMode::Init() {
  Decided = false;
  Revealed = false;
  StartFadedOut();
}

void TRewardMode::Control() {
  if ((Kernel->Pushed & (btA | btEnter)) && !Decided) Decided = true;
}

void TRewardMode::Move(int32_t dt) {
  Control();
  switch (Phase) {
    case kFadeIn:
      if (Kernel->FadeIn(dt)) {
        Kernel->Midi->Play("FANFARE", false);
        Phase = kShown;
      }
      break;
    case kShown:
      RevealStep(dt);
      if (Stars) Stars->Update(dt);
      if (Decided) {
        Kernel->Midi->Stop();
        Phase = GameData->Stage >= kStageCount && !GameData->StageSet ? kWhiteOut : kFadeOut;
        PlayDecide();
      }
      break;
    case kFadeOut:
      if (Kernel->FadeOut(dt)) {
        Kernel->FadeLevel = 255;
        Finished = true;
      }
      break;
    default:  // kWhiteOut
      // The white stays set, so the ending starts from white.
      if (Kernel->WhiteOut(dt / 4)) {
        Kernel->FadeLevel = 255;
        Finished = true;
      }
      break;
  }
}

void TRewardMode::RevealStep(int32_t) {
  if (Revealed || Elapsed <= kRevealAfter || GameData->StageSet) return;
  const int32_t n = GameData->Stage / 2;
  if (n < 1 || n > kPieces) return;
  const int32_t column = PieceOrder[n - 1][0];
  const int32_t row = PieceOrder[n - 1][1];
  Revealed = true;
  if (Stars) Stars->Spawn(static_cast<float>(kPieceW * column + 32),
                          static_cast<float>(kPieceH * row + 32), 1);
  Kernel->Sound->Play("星");
}

void TRewardMode::DrawPieces() {
  auto piece = [&](int32_t k) {
    const int32_t column = PieceOrder[k][0];
    const int32_t row = PieceOrder[k][1];
    Kernel->Draw->Draw(kPieceW * column + 1, kPieceH * row + 2, kPieceKey, kColumns * row + column);
  };
  const int32_t m = EarnedBefore();
  for (int32_t k = 0; k < m; ++k) piece(k);
  if (Revealed) piece(m);
}

void TRewardMode::Draw() {
  Kernel->Draw->Clear();
  if (GameData->StageSet) {
    DrawText(140, 160, "CONGRATULATION!", 0, true);
    DrawText(256 - TextWidth("ALL STAGES CLEAR!") / 2, 230, "ALL STAGES CLEAR!", 1, false);
    DrawPushEnter(168, 354);
    if (Stars) Stars->Paint();
    return;
  }
  DrawPieces();
  DrawText(140, 160, "CONGRATULATION!", 0, true);
  DrawPushEnter(168, 354);
  if (Stars) Stars->Paint();
}

void TRewardMode::Leave() {
  delete Stars;
  Stars = nullptr;
}

std::string TRewardMode::DumpState() const {
  char buf[96];
  std::snprintf(buf, sizeof buf, " Decided=%d Revealed=%d Stars=%d", Decided ? 1 : 0,
                Revealed ? 1 : 0, Stars ? Stars->Count() : 0);
  return buf;
}
