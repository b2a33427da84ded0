#include "screens/replay_marks.h"

#include "game/gamemgr.h"

namespace {

constexpr int32_t kMarkX = 380;
constexpr int32_t kMarkY = 244;
constexpr int32_t kLine = 26;
constexpr int32_t kBlinkFrames = 20;

}  // namespace

void TReplayMarks::DrawOverlay() {
  TGameMgrMode& g = Painter;
  Frames += 1;
  if (!Paused || Frames / kBlinkFrames % 2 == 0) g.DrawText(kMarkX, kMarkY, "REPLAY", 0, false);
  if (!Name.empty()) g.DrawText(kMarkX, kMarkY + kLine, Name, 3, false);
  const int32_t y = kMarkY + 2 * kLine;
  if (Ended) {
    g.DrawText(kMarkX, y, "END", 2, false);
  } else if (Paused) {
    g.DrawText(kMarkX, y, "PAUSE", 2, false);
  } else if (SpeedHalves == 1) {
    g.DrawText(kMarkX, y, "HALF", 2, false);
  } else {
    // The digits are smaller than the letters: they stand on the letters' base line.
    g.DrawText(kMarkX, y, "X", 2, false);
    g.DrawNumberLeft(kMarkX + 22, y + 6, SpeedHalves / 2, 2);
  }
}
