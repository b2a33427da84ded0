#include "screens/title.h"

#include "engine/kernel.h"
#include "media/kordraw.h"
#include "media/kormidi.h"

namespace {
constexpr int32_t kEntries = 3;
const char* const kSong = "OPENING";
}  // namespace

TTitleMode::TTitleMode(TGameMode* parent, TKernel* kernel, void* data)
    : TMenuMode(parent, kernel, data, false) {}

void TTitleMode::ReadEntries() { StepCursor(Kernel->Repeat, Cursor, kEntries); }

// Coming back from the ranking or the options the song is still on: keep it going.
void TTitleMode::Shown() {
  if (!Kernel->Midi->IsPlay(kSong)) Kernel->Midi->Play(kSong, true);
}

void TTitleMode::Decide() { GameData->TitleChoice = static_cast<uint8_t>(Cursor); }

void TTitleMode::Draw() {
  DrawBack();
  Kernel->Draw->Draw(80, 20, "サブタイトル", 0);
  Kernel->Draw->Draw(80, 48, "タイトル", 0);
  Kernel->Draw->Draw(129, 344, "コピーライト", 0);
  DrawPushEnter(168, 300);
  DrawEntries(128, 160, 160, 30, {{"GAME START", 0}, {"RANKING", 1}, {"OPTION", 2}});
}
