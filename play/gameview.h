#pragma once
// TGameView: the painter of the game screen. Each frame it draws, in this order, the
// background, the resting blocks, the swap and the falls, the well's frame, the two
// cursors, the status panel, the face and the effect actors, the overlays (pause, retire,
// GAME OVER, STAGE CLEAR, READY and GO) and the small logo. It only reads the screen.
#include <cstdint>

class TGameMainMode;
class TKorDraw;

class TGameView {
 public:
  explicit TGameView(TGameMainMode& game) : Game(game) {}
  void Paint();
  // The well's frame around a well whose top-left corner is at (boardX, boardY); also the
  // workshop's.
  static void DrawWellFrame(TKorDraw* draw, int32_t boardX, int32_t boardY);

 private:
  // A block at (x, y) from the well's top-left corner, raised by the push-up in progress.
  void DrawBlock(int32_t x, int32_t y, int32_t letter);
  void DrawField();
  void DrawSwap();
  void DrawFalls();
  void DrawFrame();
  // kind 0: the cursor, 1: its partner.
  void DrawFieldCursor(int32_t col, int32_t row, int32_t kind);
  void DrawEndlessStatus();
  void DrawPuzzleStatus();
  // hh:mm:ss, each digit on its own, right to left from x.
  void DrawTime(int32_t x, int32_t y, int32_t ms, int32_t font);
  // A menu over the well: its waving title (lines[0]) in titleFont, the entries below it in
  // fonts firstFont, firstFont + 1, ..., the cursor on entry `cursor` and PUSH ENTER.
  void DrawMenu(const char* const* lines, int32_t count, int32_t titleFont, int32_t firstFont,
                int32_t cursor);
  void DrawOverlays();

  TGameMainMode& Game;
};
