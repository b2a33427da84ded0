// Drawing of the game screen: background, resting field, moving blocks, frame, cursors,
// status panel, face and effects, overlays.
#include <algorithm>

#include "engine/kernel.h"
#include "media/kordraw.h"
#include "play/blkactor.h"
#include "play/faceactor.h"
#include "play/flashactor.h"
#include "play/gamemain.h"
#include "play/overactor.h"
#include "play/scoreactor.h"
#include "play/staractor.h"

void TGameMainMode::Draw() {
  if (!Kernel || !Kernel->Draw) return;
  Kernel->Draw->Draw(0, 0, "背景", 0);
  DrawField();
  DrawSwap();
  DrawFalls();
  DrawFrame();
  DrawFieldCursor(kCellSize * Field.PartnerCol, kCellSize * Field.PartnerRow, 1);
  DrawFieldCursor(kCellSize * Field.CursorCol, kCellSize * Field.CursorRow, 0);
  DrawStatus();
  if (Face) Face->Paint();
  if (!Paused) {
    if (BlockActors) BlockActors->Paint();
    if (FlashActors) FlashActors->Paint();
    if (StarActors) StarActors->Paint();
    if (ScoreActors) ScoreActors->Paint();
  }
  DrawOverlays();
  DrawMiniLogo();
}

void TGameMainMode::DrawBlock(int32_t x, int32_t y, int32_t letter) {
  if (!Kernel || !Kernel->Draw) return;
  Kernel->Draw->Draw(BoardX + x,
                     static_cast<int32_t>(static_cast<float>(BoardY + y) - Field.Scroll),
                     "ブロック", letter);
}

void TGameMainMode::DrawField() {
  if (Paused || !Kernel || !Kernel->Draw) return;
  Kernel->Draw->SetClip(BoardX, BoardY, BoardX + kFieldCols * kCellSize,
                        BoardY + kWellRows * kCellSize);
  for (int32_t r = 0; r < kFieldRows; ++r)
    for (int32_t c = 0; c < kFieldCols; ++c)
      if (Field.Letters[r][c] != kEmpty && !(Field.Flags[r][c] & cfHidden))
        DrawBlock(kCellSize * c, kCellSize * r, Field.Letters[r][c]);
  Kernel->Draw->SetClip(-1, -1, -1, -1);
}

// The two swapped letters slide from their old cells to their new ones in 160 ms.
void TGameMainMode::DrawSwap() {
  if (IsOver || Paused || Field.SwapTimer == 0) return;
  const double t = kSwapTime - Field.SwapTimer;
  auto slide = [t](const TSwapCell& from, const TSwapCell& to, int32_t* x, int32_t* y) {
    const double fx = kCellSize * from.Col, fy = kCellSize * from.Row;
    const double tx = kCellSize * to.Col, ty = kCellSize * to.Row;
    *x = static_cast<int32_t>(fx + t * 0.00625 * (tx - fx));
    *y = static_cast<int32_t>(fy + t * 0.00625 * (ty - fy));
  };
  int32_t x = 0, y = 0;
  if (Field.SwapA.Letter != kEmpty) {
    slide(Field.SwapA, Field.SwapB, &x, &y);
    DrawBlock(x, y, Field.SwapA.Letter);
  }
  if (Field.SwapB.Letter != kEmpty) {
    slide(Field.SwapB, Field.SwapA, &x, &y);
    DrawBlock(x, y, Field.SwapB.Letter);
  }
}

void TGameMainMode::DrawFalls() {
  if (Paused) return;
  for (const TFallRecord& f : Field.Falls) {
    if (!f.Active) continue;
    const int32_t col = f.X / kCellSize;
    const int32_t top = static_cast<int32_t>((f.Y + Field.Scroll) / kCellSize);
    if (col < 0 || col >= kFieldCols) continue;
    for (int32_t j = 0; j < f.Length; ++j) {
      const int32_t row = top + j;
      if (row < 0 || row >= kFieldRows) continue;
      const int32_t letter = Field.Letters[row][col];
      if (letter != kEmpty)
        DrawBlock(f.X, static_cast<int32_t>(static_cast<float>(kCellSize * j) + f.Y), letter);
    }
  }
}

void TGameMainMode::DrawFrame() {
  if (!Kernel || !Kernel->Draw) return;
  TKorDraw* draw = Kernel->Draw;
  const int32_t x0 = BoardX - 16, y0 = BoardY - 16;
  const int32_t w = kFieldCols * kCellSize, h = kWellRows * kCellSize;
  draw->Draw(x0, y0, "枠", 0);
  draw->Draw(x0 + w, y0, "枠", 2);
  draw->Draw(x0, y0 + h, "枠", 6);
  draw->Draw(x0 + w, y0 + h, "枠", 8);
  for (int32_t i = 1; i < kFieldCols; ++i) {
    draw->Draw(x0 + 32 * i, y0, "枠", 1);
    draw->Draw(x0 + 32 * i, y0 + h, "枠", 7);
  }
  for (int32_t i = 1; i < kWellRows; ++i) {
    draw->Draw(x0, y0 + 32 * i, "枠", 3);
    draw->Draw(x0 + w, y0 + 32 * i, "枠", 5);
  }
}

void TGameMainMode::DrawFieldCursor(int32_t x, int32_t y, int32_t kind) {
  if (IsOver || Cleared || Paused || !Kernel || !Kernel->Draw) return;
  const int32_t cell = (Blink(320) ? 0 : 1) + 2 * kind;
  Kernel->Draw->SetClip(0, BoardY, -1, -1);  // clipped only at the top of the well
  Kernel->Draw->Draw(BoardX + x - 4,
                     static_cast<int32_t>(static_cast<float>(BoardY + y) - Field.Scroll - 4.0f),
                     "カーソル", cell);
  Kernel->Draw->SetClip(-1, -1, -1, -1);
}

void TGameMainMode::DrawStatus() {
  if (IsEndless())
    DrawEndlessStatus();
  else
    DrawPuzzleStatus();
}

void TGameMainMode::DrawEndlessStatus() {
  if (!Kernel || !Kernel->Draw) return;
  Kernel->Draw->Draw(8, 8, "エンドレス", 0);
  DrawText(8, 80, "HISCORE", 3, false);
  DrawNumber(108, 112, HiScore, 3);
  DrawText(8, 140, "SCORE", 1, false);
  DrawNumber(108, 172, Score, 1);
  DrawText(8, 200, "LEVEL", 2, false);
  DrawNumber(108, 232, LevelCount + 1, 2);
  DrawText(8, 260, "BLOCK", 0, false);
  DrawNumber(108, 292, ErasedBlocks, 0);
}

void TGameMainMode::DrawPuzzleStatus() {
  if (!Kernel || !Kernel->Draw) return;
  Kernel->Draw->Draw(8, 8, "パズル", 0);
  DrawText(8, 80, "STAGE", 0, false);
  DrawNumber(108, 112, Stage + 1, 0);
  DrawText(8, 140, "BLOCK", 1, false);
  DrawNumber(108, 172, std::max(StageBlocks - ErasedBlocks, 0), 1);
  DrawText(8, 200, "TIME", 2, false);
  DrawTime(108, 232, StageTime, 2);
  DrawText(8, 260, "RETRY", 3, false);
  DrawNumber(108, 292, Retries, 3);
}

// hh:mm:ss, each digit on its own, right to left from x.
void TGameMainMode::DrawTime(int32_t x, int32_t y, int32_t ms, int32_t font) {
  if (!Kernel || !Kernel->Draw) return;
  if (ms < 0) ms = 0;
  const int32_t s = ms / 1000 % 60;
  const int32_t m = ms / 60000 % 60;
  const int32_t h = ms / 3600000;
  const int32_t colon = std::clamp(font, 0, 3);
  DrawNumber(x, y, s % 10, font);
  DrawNumber(x - 16, y, s / 10, font);
  Kernel->Draw->Draw(x - 24, y, "Colon", colon);
  DrawNumber(x - 40, y, m % 10, font);
  DrawNumber(x - 56, y, m / 10, font);
  Kernel->Draw->Draw(x - 64, y, "Colon", colon);
  DrawNumber(x - 80, y, h % 10, font);
  DrawNumber(x - 96, y, (h / 10) % 10, font);
}

void TGameMainMode::DrawOverlays() {
  if (!Kernel || !Kernel->Draw) return;
  TKorDraw* draw = Kernel->Draw;
  if (Paused && !RetireConfirm) {
    DrawText(200, 160, "PAUSE", 0, true);
    DrawText(200, 220, "CANCEL", 1, false);
    DrawText(200, 250, "RETIRE", 2, false);
    DrawText(200, 280, "OPTION", 3, false);
    DrawCursor(168, 220 + 30 * PauseCursor);
    DrawPushEnter(168, 320);
  }
  if (RetireConfirm) {
    DrawText(200, 160, "RETIRE?", 2, true);
    DrawText(200, 220, "YES", 0, false);
    DrawText(200, 250, "NO", 1, false);
    DrawCursor(168, 220 + 30 * RetireCursor);
    DrawPushEnter(168, 320);
  }
  if (IsOver) {
    if (OverActor) OverActor->Paint();
    DrawPushEnter(168, 320);
  }
  if (Cleared) {
    // The eleven characters start stacked at the centre and spread to 36 pixels apart.
    const int32_t s = std::min(ClearTimer / 10, 36);
    for (int32_t i = 0; i < 11; ++i) draw->Draw(238 + (i - 5) * s, 140, "ステージクリア", i);
    DrawPushEnter(168, 320);
  }
  if (ReadyStep == 0)
    draw->Draw(168, 140, "ＲＥＡＤＹ", 0);
  else if (ReadyStep == 1)
    draw->Draw(188, 132, "ＧＯ", 0);
}
