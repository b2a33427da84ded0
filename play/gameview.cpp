// Drawing of the game screen.
#include "play/gameview.h"

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

void TGameView::Paint() {
  const TField& field = Game.Field;
  Game.Kernel->Draw->Draw(0, 0, "背景", 0);
  if (!Game.Paused) {
    DrawField();
    DrawSwap();
    DrawFalls();
  }
  DrawFrame();
  DrawFieldCursor(field.PartnerCol, field.PartnerRow, 1);
  DrawFieldCursor(field.CursorCol, field.CursorRow, 0);
  if (Game.IsEndless())
    DrawEndlessStatus();
  else
    DrawPuzzleStatus();
  Game.Face->Paint();
  if (!Game.Paused) {
    Game.BlockActors->Paint();
    Game.FlashActors->Paint();
    Game.StarActors->Paint();
    Game.ScoreActors->Paint();
  }
  DrawOverlays();
  Game.DrawMiniLogo();
}

void TGameView::DrawBlock(int32_t x, int32_t y, int32_t letter) {
  Game.Kernel->Draw->Draw(
      Game.BoardX + x,
      static_cast<int32_t>(static_cast<float>(Game.BoardY + y) - Game.Field.Scroll), "ブロック",
      letter);
}

void TGameView::DrawField() {
  TKorDraw* draw = Game.Kernel->Draw;
  const TField& field = Game.Field;
  draw->SetClip(Game.BoardX, Game.BoardY, Game.BoardX + kFieldCols * kCellSize,
                Game.BoardY + kWellRows * kCellSize);
  for (int32_t r = 0; r < kFieldRows; ++r)
    for (int32_t c = 0; c < kFieldCols; ++c)
      if (field.Letters[r][c] != kEmpty && !(field.Flags[r][c] & cfHidden))
        DrawBlock(kCellSize * c, kCellSize * r, field.Letters[r][c]);
  draw->SetClip(-1, -1, -1, -1);
}

// The two swapped letters slide from their old cells to their new ones in 160 ms.
void TGameView::DrawSwap() {
  const TField& field = Game.Field;
  if (Game.IsOver || field.SwapTimer == 0) return;
  const double t = kSwapTime - field.SwapTimer;
  auto slide = [&](const TSwapCell& from, const TSwapCell& to) {
    if (from.Letter == kEmpty) return;
    const double fx = kCellSize * from.Col, fy = kCellSize * from.Row;
    const double tx = kCellSize * to.Col, ty = kCellSize * to.Row;
    DrawBlock(static_cast<int32_t>(fx + t * 0.00625 * (tx - fx)),
              static_cast<int32_t>(fy + t * 0.00625 * (ty - fy)), from.Letter);
  };
  slide(field.SwapA, field.SwapB);
  slide(field.SwapB, field.SwapA);
}

void TGameView::DrawFalls() {
  const TField& field = Game.Field;
  for (const TFallRecord& f : field.Falls) {
    if (!f.Active) continue;
    const int32_t col = f.X / kCellSize;
    const int32_t top = static_cast<int32_t>((f.Y + field.Scroll) / kCellSize);
    if (col < 0 || col >= kFieldCols) continue;
    for (int32_t j = 0; j < f.Length; ++j) {
      const int32_t row = top + j;
      if (row < 0 || row >= kFieldRows) continue;
      const int32_t letter = field.Letters[row][col];
      if (letter != kEmpty)
        DrawBlock(f.X, static_cast<int32_t>(static_cast<float>(kCellSize * j) + f.Y), letter);
    }
  }
}

void TGameView::DrawFrame() { DrawWellFrame(Game.Kernel->Draw, Game.BoardX, Game.BoardY); }

void TGameView::DrawWellFrame(TKorDraw* draw, int32_t boardX, int32_t boardY) {
  const int32_t x0 = boardX - 16, y0 = boardY - 16;
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

void TGameView::DrawFieldCursor(int32_t col, int32_t row, int32_t kind) {
  if (Game.IsOver || Game.Cleared || Game.Paused) return;
  TKorDraw* draw = Game.Kernel->Draw;
  const int32_t cell = (Game.Blink(320) ? 0 : 1) + 2 * kind;
  draw->SetClip(0, Game.BoardY, -1, -1);  // clipped only at the top of the well
  draw->Draw(Game.BoardX + kCellSize * col - 4,
             static_cast<int32_t>(static_cast<float>(Game.BoardY + kCellSize * row) -
                                  Game.Field.Scroll - 4.0f),
             "カーソル", cell);
  draw->SetClip(-1, -1, -1, -1);
}

void TGameView::DrawEndlessStatus() {
  const TEndlessRules& endless = Game.Endless;
  Game.Kernel->Draw->Draw(8, 8, "エンドレス", 0);
  Game.DrawText(8, 80, "HISCORE", 3, false);
  Game.DrawNumber(108, 112, Game.HiScore, 3);
  Game.DrawText(8, 140, "SCORE", 1, false);
  Game.DrawNumber(108, 172, Game.Score, 1);
  Game.DrawText(8, 200, "LEVEL", 2, false);
  Game.DrawNumber(108, 232, endless.LevelCount + 1, 2);
  Game.DrawText(8, 260, "BLOCK", 0, false);
  Game.DrawNumber(108, 292, Game.ErasedBlocks, 0);
}

void TGameView::DrawPuzzleStatus() {
  const TPuzzleRules& puzzle = Game.Puzzle;
  Game.Kernel->Draw->Draw(8, 8, "パズル", 0);
  Game.DrawText(8, 80, "STAGE", 0, false);
  Game.DrawNumber(108, 112, puzzle.Stage + 1, 0);
  Game.DrawText(8, 140, "BLOCK", 1, false);
  Game.DrawNumber(108, 172, std::max(puzzle.StageBlocks - Game.ErasedBlocks, 0), 1);
  Game.DrawText(8, 200, "TIME", 2, false);
  DrawTime(108, 232, puzzle.StageTime, 2);
  Game.DrawText(8, 260, "RETRY", 3, false);
  Game.DrawNumber(108, 292, puzzle.Retries, 3);
}

void TGameView::DrawTime(int32_t x, int32_t y, int32_t ms, int32_t font) {
  if (ms < 0) ms = 0;
  const int32_t s = ms / 1000 % 60;
  const int32_t m = ms / 60000 % 60;
  const int32_t h = ms / 3600000;
  const int32_t colon = std::clamp(font, 0, 3);
  Game.DrawNumber(x, y, s % 10, font);
  Game.DrawNumber(x - 16, y, s / 10, font);
  Game.Kernel->Draw->Draw(x - 24, y, "Colon", colon);
  Game.DrawNumber(x - 40, y, m % 10, font);
  Game.DrawNumber(x - 56, y, m / 10, font);
  Game.Kernel->Draw->Draw(x - 64, y, "Colon", colon);
  Game.DrawNumber(x - 80, y, h % 10, font);
  Game.DrawNumber(x - 96, y, (h / 10) % 10, font);
}

void TGameView::DrawMenu(const char* const* lines, int32_t count, int32_t titleFont,
                         int32_t firstFont, int32_t cursor) {
  Game.DrawText(200, 160, lines[0], titleFont, true);
  for (int32_t i = 1; i < count; ++i)
    Game.DrawText(200, 190 + 30 * i, lines[i], firstFont + i - 1, false);
  Game.DrawCursor(168, 220 + 30 * cursor);
  Game.DrawPushEnter(168, 320);
}

void TGameView::DrawOverlays() {
  TKorDraw* draw = Game.Kernel->Draw;
  if (Game.Paused && !Game.RetireConfirm) {
    static const char* const kPause[] = {"PAUSE", "CANCEL", "RETIRE", "OPTION"};
    DrawMenu(kPause, 4, 0, 1, Game.PauseCursor);
  }
  if (Game.RetireConfirm) {
    static const char* const kRetire[] = {"RETIRE?", "YES", "NO"};
    DrawMenu(kRetire, 3, 2, 0, Game.RetireCursor);
  }
  if (Game.IsOver) {
    if (Game.OverActor) Game.OverActor->Paint();
    Game.DrawPushEnter(168, 320);
  }
  if (Game.Cleared) {
    // The eleven characters start stacked at the centre and spread to 36 pixels apart.
    const int32_t s = std::min(Game.ClearTimer / 10, 36);
    for (int32_t i = 0; i < 11; ++i) draw->Draw(238 + (i - 5) * s, 140, "ステージクリア", i);
    Game.DrawPushEnter(168, 320);
  }
  if (Game.ReadyStep == 0)
    draw->Draw(168, 140, "ＲＥＡＤＹ", 0);
  else if (Game.ReadyStep == 1)
    draw->Draw(188, 132, "ＧＯ", 0);
}
