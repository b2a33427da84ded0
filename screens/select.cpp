#include "screens/select.h"

#include "engine/kernel.h"
#include "media/kordraw.h"

TSelectMode::TSelectMode(TGameMode* parent, TKernel* kernel, void* data)
    : TGameMgrMode(parent, kernel, data) {}

void TSelectMode::Init() {
  Cursor = 0;
  Decided = false;
  Cancelled = false;
  StartFadedOut();
}

void TSelectMode::Control() {
  const uint16_t pushed = Kernel->Pushed;
  if (pushed & btLeft) {
    Cursor = 0;
    PlaySelect();
  }
  if (pushed & btRight) {
    Cursor = 1;
    PlaySelect();
  }
  ReadDecide(Decided);
  ReadCancel(Cancelled);
}

void TSelectMode::Move(int32_t dt) {
  Control();
  if (MenuPhase(dt)) {
    // Cancel and decide in the same tick step over the fade-out: the screen ends at once.
    if (Cancelled) {
      GameData->BackRequest = true;
      LeaveMenu();
    }
    if (Decided) {
      GameData->GameType = static_cast<uint8_t>(Cursor);
      LeaveMenu();
    }
  }
}

void TSelectMode::Draw() {
  DrawBack();
  if (Kernel->Draw) Kernel->Draw->Draw(20, 40, "セレクト見出し", 0);
  DrawPushEnter(168, 300);
  DrawMiniLogo();
  if (Kernel->Draw) {
    Kernel->Draw->Draw(100, 180, "エンドレス", 0);
    Kernel->Draw->Draw(300, 180, "パズル", 0);
  }
  DrawCursor(68 + 200 * Cursor, 196);
}

void TSelectMode::Leave() {}
