#include "screens/menu.h"

#include "engine/kernel.h"
#include "media/kordraw.h"

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

void TMenuMode::Cancel() { GameData->BackRequest = true; }

void TMenuMode::PickOfTwo(uint16_t pushed, uint16_t toFirst, uint16_t toSecond) {
  if (pushed & toFirst) {
    Cursor = 0;
    PlaySelect();
  }
  if (pushed & toSecond) {
    Cursor = 1;
    PlaySelect();
  }
}

void TMenuMode::DrawEntries(int32_t cursorX, int32_t textX, int32_t top, int32_t step,
                            std::initializer_list<TEntry> entries) {
  DrawCursor(cursorX, top + step * Cursor);
  int32_t y = top;
  for (const TEntry& e : entries) {
    DrawText(textX, y, e.Text, e.Font, false);
    y += step;
  }
}

void TMenuMode::DrawFrame(const char* heading, int32_t x, int32_t y, const char* title,
                          int32_t titleX, int32_t titleFont) {
  DrawBack();
  Kernel->Draw->Draw(x, y, heading, 0);
  if (title) DrawText(titleX, 120, title, titleFont, true);
  DrawPushEnter(168, 300);
  DrawMiniLogo();
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
