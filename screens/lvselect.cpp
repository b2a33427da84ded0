#include "screens/lvselect.h"

#include "engine/kernel.h"
#include "media/kormidi.h"

namespace {
constexpr int32_t kEntries = 3;
}

TLvSelectMode::TLvSelectMode(TGameMode* parent, TKernel* kernel, void* data)
    : TMenuMode(parent, kernel, data, true) {}

// The cursor moves on fresh presses only: holding a direction does not run through the list.
void TLvSelectMode::ReadEntries() { StepCursor(Kernel->Pushed, Cursor, kEntries); }

// The game screen starts its own music.
void TLvSelectMode::Decide() {
  Kernel->Midi->Stop();
}

void TLvSelectMode::Draw() {
  DrawFrame("エンドレス", 8, 8, "SELECT LEVEL", 140, 3);
  // Each level keeps its colour wherever it is shown (the ranking names too).
  DrawEntries(168, 200, 160, 40, {{"EASY", 1}, {"NOMAL", 2}, {"HARD", 0}});
}

void TLvSelectMode::Leave() { GameData->Difficulty = static_cast<uint8_t>(Cursor); }
