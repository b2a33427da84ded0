#include "screens/title.h"

#include "engine/kernel.h"
#include "media/kordraw.h"
#include "media/kormidi.h"

namespace {
constexpr int32_t kEntries = 3;
const char* const kSong = "OPENING";
}  // namespace

TTitleMode::TTitleMode(TGameMode* parent, TKernel* kernel, void* data)
    : TGameMgrMode(parent, kernel, data) {}

void TTitleMode::Init() {
  Cursor = 0;
  Decided = false;
  StartFadedOut();
}

void TTitleMode::Control() {
  StepCursor(Kernel->Repeat, Cursor, kEntries);
  ReadDecide(Decided);
}

void TTitleMode::Move(int32_t dt) {
  Control();
  switch (Phase) {
    case kMenuFadeIn:
      if (Kernel->FadeIn(2 * dt)) {
        Phase = kMenuChoose;
        // Coming back from the ranking or the options the song is still on: keep it going.
        if (Kernel->Midi && !Kernel->Midi->IsPlay(kSong)) Kernel->Midi->Play(kSong, true);
      }
      break;
    case kMenuChoose:
      if (Decided) {
        GameData->TitleChoice = static_cast<uint8_t>(Cursor);
        Phase = kMenuFadeOut;
      }
      break;
    case kMenuFadeOut:
      if (Kernel->FadeOut(2 * dt)) Phase = kMenuClose;
      break;
    default:
      Kernel->Blackout = true;
      Kernel->FadeLevel = 255;
      Finished = true;
      break;
  }
}

void TTitleMode::Draw() {
  DrawBack();
  if (Kernel->Draw) {
    Kernel->Draw->Draw(80, 20, "サブタイトル", 0);
    Kernel->Draw->Draw(80, 48, "タイトル", 0);
    Kernel->Draw->Draw(129, 344, "コピーライト", 0);
  }
  DrawPushEnter(168, 300);
  DrawCursor(128, 160 + 30 * Cursor);
  DrawText(160, 160, "GAME START", 0, false);
  DrawText(160, 190, "RANKING", 1, false);
  DrawText(160, 220, "OPTION", 2, false);
}

void TTitleMode::Leave() {}
