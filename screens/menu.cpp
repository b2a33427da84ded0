#include "screens/menu.h"

#include "engine/kernel.h"

TMenuMode::TMenuMode(TGameMode* parent, TKernel* kernel, void* data, bool withCancel)
    : TGameMgrMode(parent, kernel, data), WithCancel(withCancel) {}

void TMenuMode::Init() {
  Cursor = 0;
  Decided = false;
  Cancelled = false;
  StartFadedOut();
}

void TMenuMode::Control() {
  ReadEntries();
  if (Kernel->Pushed & (btA | btEnter)) {
    Decided = true;
    PlayDecide();
  }
  if (WithCancel && (Kernel->Pushed & btB)) {
    Cancelled = true;
    PlayCancel();
  }
}

void TMenuMode::Move(int32_t dt) {
  Control();
  switch (Phase) {
    case kMenuFadeIn:
      if (Kernel->FadeIn(2 * dt)) {
        Phase = kMenuChoose;
        Shown();
      }
      break;
    case kMenuChoose:
      Choose();
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

void TMenuMode::Choose() {
  if (Cancelled) {
    Cancel();
    LeaveMenu();
  }
  if (Decided) {
    Decide();
    LeaveMenu();
  }
}

void TMenuMode::StepCursor(uint16_t buttons, int32_t& cursor, int32_t count) {
  if (buttons & btUp) {
    if (--cursor < 0) cursor = count - 1;
    PlaySelect();
  }
  if (buttons & btDown) {
    if (++cursor >= count) cursor = 0;
    PlaySelect();
  }
}
