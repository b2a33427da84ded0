// Drawing of the puzzle workshop: the well with its cursor, the checks under it, and the
// panel on the right with the current letter, the set, the stage list and the proof.
#include <cstdio>

#include "engine/kernel.h"
#include "media/kordraw.h"
#include "play/gameview.h"
#include "screens/workshop.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kGreen = 0x80FF80;
constexpr uint32_t kYellow = 0xFFE060;
constexpr uint32_t kRed = 0xFF8080;

// A swap of a solution in words: "swap C3 and D3" (columns A..F from the left, rows 1..10
// from the top).
std::string SwapText(const TSwap& s) {
  char text[64];
  std::snprintf(text, sizeof text, "swap %c%d and %c%d", 'A' + s.Col, s.Row + 1,
                'A' + s.Col + (s.Dir == 'R' ? 1 : 0), s.Row + 1 + (s.Dir == 'D' ? 1 : 0));
  return text;
}

}  // namespace

void TWorkshopMode::Draw() {
  if (Phase == kWsTrying) return;
  Kernel->Draw->Draw(0, 0, "背景", 0);
  DrawWell();
  DrawPanel();
}

void TWorkshopMode::DrawSmall(int32_t x, int32_t y, const std::string& text, uint32_t colour,
                              int32_t width) {
  TKorDraw* draw = Kernel->Draw;
  const TKorFont saved = draw->Font();
  TKorFont font = saved;
  font.Height = 13;
  font.Bold = true;
  font.Color = colour;
  font.Outline = 1;
  font.OutlineColor = 0x202040;
  draw->SetFont(font);
  // Words go on while the line fits the width, then a new line starts 15 pixels lower.
  std::string line, word;
  auto fits = [&](const std::string& t) {
    int32_t w = 0, h = 0;
    return width <= 0 || !draw->TextExtent(t, w, h) || w <= width;
  };
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && text[i] != ' ') {
      word += text[i];
      continue;
    }
    const std::string longer = line.empty() ? word : line + " " + word;
    if (!line.empty() && !fits(longer)) {
      draw->TextOutA(x, y, line);
      y += 15;
      line = word;
    } else {
      line = longer;
    }
    word.clear();
  }
  if (!line.empty()) draw->TextOutA(x, y, line);
  draw->SetFont(saved);
}

void TWorkshopMode::DrawWell() {
  TKorDraw* draw = Kernel->Draw;
  const bool stepping = Phase == kWsSolution && HaveReport;
  for (int32_t r = 0; r < kWellRows; ++r) {
    for (int32_t c = 0; c < kFieldCols; ++c) {
      const int32_t letter = stepping ? Shown.Letters[r][c]
                                      : Cells()[static_cast<size_t>(kFieldCols * r + c)];
      if (letter >= 0 && letter < 26)
        draw->Draw(kWellX + kCellSize * c, kWellY + kCellSize * r, "ブロック", letter);
    }
  }
  TGameView::DrawWellFrame(draw, kWellX, kWellY);
  if (stepping) {
    // The next swap's two cells are marked with the cursor and its partner.
    if (Step < Report.Solution.size()) {
      const TSwap& s = Report.Solution[Step];
      const int32_t pc = s.Col + (s.Dir == 'R' ? 1 : 0), pr = s.Row + (s.Dir == 'D' ? 1 : 0);
      draw->Draw(kWellX + kCellSize * pc - 4, kWellY + kCellSize * pr - 4, "カーソル",
                 Blink(320) ? 2 : 3);
      draw->Draw(kWellX + kCellSize * s.Col - 4, kWellY + kCellSize * s.Row - 4, "カーソル",
                 Blink(320) ? 0 : 1);
    }
  } else {
    draw->Draw(kWellX + kCellSize * CursorCol - 4, kWellY + kCellSize * CursorRow - 4, "カーソル",
               Blink(320) ? 0 : 1);
  }
  // The checks, under the well.
  if (Checks.empty()) {
    DrawSmall(8, 354, "The stage follows the puzzle rules.", kGreen);
  } else {
    std::string all;
    for (const std::string& check : Checks) all += (all.empty() ? "" : " ") + check;
    DrawSmall(8, 354, all, kRed, 500);
  }
}

void TWorkshopMode::DrawPanel() {
  TKorDraw* draw = Kernel->Draw;
  DrawText(240, 6, "WORKSHOP", 1, false);
  // The current letter, as the block it places.
  draw->Draw(470, 4, "ブロック", Letter);
  DrawSmall(240, 36, "Set: " + Set.Name + (NameEntry && Blink(250) ? "_" : "") +
                         (Changed ? "  (not saved)" : ""),
            NameEntry ? kYellow : kWhite);
  DrawText(240, 56, "STAGE", 0, false);
  DrawNumberLeft(340, 60, static_cast<int32_t>(Current) + 1, 0);
  char count[32];
  std::snprintf(count, sizeof count, "of %zu", Set.Stages.size());
  DrawSmall(386, 60, count, kWhite);

  // The proof.
  char line[96];
  if (Job) {
    // The mark that it runs: dots that grow and start over.
    static const char* const kDots[] = {".", "..", "...", "....", "....."};
    DrawText(240, 84, "PROVING", 2, false);
    DrawSmall(376, 92, kDots[AnimFrame(200, 5)], kWhite);
    std::snprintf(line, sizeof line, "%lld wells played, depth %d",
                  static_cast<long long>(Job->Nodes.load(std::memory_order_relaxed)),
                  Job->Depth.load(std::memory_order_relaxed));
    DrawSmall(240, 112, line, kWhite);
    DrawSmall(240, 128, "ENTER stops; editing goes on.", kWhite);
  } else if (HaveReport) {
    switch (Report.Result) {
      case TProof::Solvable: {
        const int32_t swaps = static_cast<int32_t>(Report.Solution.size());
        DrawText(240, 84, "SOLVABLE IN", 1, false);
        DrawNumberLeft(240, 112, swaps, 1);
        DrawText(240 + 14 * (swaps >= 10 ? 2 : 1) + 10, 108, swaps == 1 ? "SWAP" : "SWAPS", 1, false);
        std::snprintf(line, sizeof line,
                      Report.Shortest ? "The shortest, found in %.2f s."
                                      : "Found in %.2f s; a shorter may exist.",
                      Report.Seconds);
        DrawSmall(240, 134, line, kGreen);
        if (Phase == kWsSolution) {
          if (Step < Report.Solution.size())
            std::snprintf(line, sizeof line, "Next (%zu of %zu): %s", Step + 1,
                          Report.Solution.size(), SwapText(Report.Solution[Step]).c_str());
          else
            std::snprintf(line, sizeof line, "All %zu made: the well is empty.",
                          Report.Solution.size());
          DrawSmall(240, 150, line, kWhite);
        } else {
          DrawSmall(240, 150, "ENTER shows the solution step by step.", kWhite);
        }
        break;
      }
      case TProof::Unsolvable:
        DrawText(240, 84, "NO SOLUTION", 3, false);
        DrawSmall(240, 112, "Proved: no swaps empty this well.", kRed);
        break;
      case TProof::Undecided:
        DrawText(240, 84, "NOT DECIDED", 0, false);
        std::snprintf(line, sizeof line, "The %d s budget ran out (%lld wells).", kBudgetMs / 1000,
                      static_cast<long long>(Report.Nodes));
        DrawSmall(240, 112, line, kYellow);
        break;
    }
  } else {
    DrawSmall(240, 92, "ENTER proves the stage, F5 tries it.", kWhite);
  }
  if (!Message.empty()) DrawSmall(240, 162, Message, kYellow, 268);

  // The set's stages, five to a row; the one in the well cycles its colours.
  for (size_t i = 0; i < Set.Stages.size(); ++i) {
    const int32_t x = kListX + kListStepX * static_cast<int32_t>(i % 5);
    const int32_t y = kListY + kListStepY * static_cast<int32_t>(i / 5);
    DrawNumberLeft(x, y, static_cast<int32_t>(i) + 1, i == Current ? -1 : 3);
    if (i == Current) draw->Draw(x - 16, y, "星", 0);
  }
}
