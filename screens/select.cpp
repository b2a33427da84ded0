#include "screens/select.h"

#include "engine/kernel.h"
#include "media/kordraw.h"

TSelectMode::TSelectMode(TGameMode* parent, TKernel* kernel, void* data)
    : TMenuMode(parent, kernel, data, true) {}

// Left and right pick a side; a press toward the side already chosen still sounds.
void TSelectMode::ReadEntries() { PickOfTwo(Kernel->Pushed, btLeft, btRight); }

void TSelectMode::Decide() { GameData->GameType = static_cast<uint8_t>(Cursor); }

void TSelectMode::Draw() {
  DrawFrame("セレクト見出し", 20, 40);
  Kernel->Draw->Draw(100, 180, "エンドレス", 0);
  Kernel->Draw->Draw(300, 180, "パズル", 0);
  DrawCursor(68 + 200 * Cursor, 196);
}
