#include "screens/puzsave.h"

#include "engine/kernel.h"
#include "media/kordraw.h"

TPuzSaveMode::TPuzSaveMode(TGameMode* parent, TKernel* kernel, void* data)
    : TMenuMode(parent, kernel, data, false) {}

// Up is YES and down is NO; a press toward the answer already chosen still sounds.
void TPuzSaveMode::ReadEntries() {
  const uint16_t pushed = Kernel->Pushed;
  if (pushed & btUp) {
    Cursor = 0;
    PlaySelect();
  }
  if (pushed & btDown) {
    Cursor = 1;
    PlaySelect();
  }
}

void TPuzSaveMode::Draw() {
  DrawBack();
  Kernel->Draw->Draw(8, 8, "パズル", 0);
  DrawText(160, 120, "TRY AGAIN?", 2, true);
  DrawPushEnter(168, 300);
  DrawMiniLogo();
  DrawCursor(188, 200 + 40 * Cursor);
  DrawText(220, 200, "YES", 1, false);
  DrawText(220, 240, "NO", 0, false);
}

void TPuzSaveMode::Leave() {
  if (Cursor != 0) return;
  GameData->RetryRequest = true;
  GameData->Retries += 1;
}
