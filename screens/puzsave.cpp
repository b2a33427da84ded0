#include "screens/puzsave.h"

#include "engine/kernel.h"

TPuzSaveMode::TPuzSaveMode(TGameMode* parent, TKernel* kernel, void* data)
    : TMenuMode(parent, kernel, data, false) {}

// Up is YES and down is NO; a press toward the answer already chosen still sounds.
void TPuzSaveMode::ReadEntries() { PickOfTwo(Kernel->Pushed, btUp, btDown); }

void TPuzSaveMode::Draw() {
  DrawFrame("パズル", 8, 8, "TRY AGAIN?", 160, 2);
  DrawEntries(188, 220, 200, 40, {{"YES", 1}, {"NO", 0}});
}

void TPuzSaveMode::Leave() {
  if (Cursor != 0) return;
  GameData->RetryRequest = true;
  GameData->Retries += 1;
}
