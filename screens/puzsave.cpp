#include "screens/puzsave.h"

#include "engine/kernel.h"

TPuzSaveMode::TPuzSaveMode(TGameMode* parent, TKernel* kernel, void* data)
    : TMenuMode(parent, kernel, data, false) {}

// Up is YES and down is NO; a press toward the answer already chosen still sounds.
void TPuzSaveMode::ReadEntries() { PickOfTwo(Kernel->Pushed, btUp, btDown); }

void TPuzSaveMode::Draw() {
  DrawFrame("パズル", 8, 8, "TRY AGAIN?", 160, 2);
  DrawCursor(188, 200 + 40 * Cursor);
  DrawText(220, 200, "YES", 1, false);
  DrawText(220, 240, "NO", 0, false);
}

void TPuzSaveMode::Leave() {
  if (Cursor != 0) return;
  GameData->RetryRequest = true;
  GameData->Retries += 1;
}
