#include "screens/logo.h"

#include "engine/kernel.h"
#include "media/kordraw.h"
#include "media/korsound.h"

namespace {
const char* const kLogoKey = "KORVANTIUM";
const char* const kJingleKey = "ロゴ";
constexpr int32_t kPause = 1600;       // each of the three pauses, ms
constexpr int32_t kFrameTime = 120;    // one logo cell, ms
constexpr int32_t kLastFrame = 7;
}  // namespace

TLogoMode::TLogoMode(TGameMode* parent, TKernel* kernel, void* data)
    : TGameMgrMode(parent, kernel, data) {}

void TLogoMode::Init() {
  Kernel->Draw->CreateSprite(kLogoKey, "KORLOGO", 272, 64);
  Kernel->Sound->CreateBuffer(kJingleKey, "LOGO");
  Skipped = false;
  Work = kPause;
  StartFadedOut();
}

void TLogoMode::Control() {
  if (!(Kernel->Pushed & (btA | btEnter)) || Skipped) return;
  Skipped = true;
  if (Phase <= kShown) {
    Work = 0;
    Phase = kFadeOut;
    Kernel->Sound->Stop(kJingleKey);
  }
}

void TLogoMode::Move(int32_t dt) {
  Control();
  switch (Phase) {
    case kDarkPause:  // then the jingle starts with the fade-in
      Work -= dt;
      if (Work < 0) {
        Kernel->Sound->Play(kJingleKey);
        Work = kPause;
        Phase = kFadeIn;
      }
      break;
    case kFadeIn:
      if (Kernel->FadeIn(2 * dt)) {
        Frame = 0;
        Phase = kShown;
      }
      break;
    case kShown:
      // The animation runs once through its cells and holds on the last one.
      if (Elapsed % kFrameTime == 0 && Frame < kLastFrame) ++Frame;
      Work -= dt;
      if (Work < 0) Phase = kFadeOut;
      break;
    case kFadeOut:
      if (Kernel->FadeOut(2 * dt)) {
        Kernel->Blackout = true;
        Phase = kBlackPause;
        Work = kPause;
      }
      break;
    case kBlackPause:
      Work -= dt;
      if (Work < 0) Phase = kDone;
      break;
    default:  // kDone
      Kernel->FadeLevel = 255;
      Finished = true;
      break;
  }
}

// The screen is cleared under every cell: black is the transparent colour, so a cell drawn
// over the last frame would leave the earlier cells' sparkles standing.
void TLogoMode::Draw() {
  Kernel->Draw->Clear();
  Kernel->Draw->Draw(120, 160, kLogoKey, Frame);
}

void TLogoMode::Leave() {
  Kernel->Draw->DeleteSprite(kLogoKey);
}
