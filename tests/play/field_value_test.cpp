// A TField on its own: a value that is copied and stepped a tick at a time with the pressed
// buttons, and that tells a listener what happened in it.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/kernel.h"
#include "engine/random.h"
#include "play/field.h"

namespace {

class TRecordingEvents : public TFieldEvents {
 public:
  void SwapStarted(int32_t colA, int32_t rowA, int32_t colB, int32_t rowB) override {
    Log.push_back("swap " + std::to_string(colA) + std::to_string(rowA) + std::to_string(colB) +
                  std::to_string(rowB));
  }
  void RunFound(int32_t kind, int32_t col, int32_t row, int32_t dCol, int32_t dRow,
                int32_t length) override {
    Log.push_back("run " + std::to_string(kind) + " " + std::to_string(col) +
                  std::to_string(row) + " " + std::to_string(dCol) + std::to_string(dRow) + " " +
                  std::to_string(length));
  }
  void EraseStarted(int32_t, int32_t) override { ++EraseStarts; }
  void BlockErased(int32_t, int32_t) override { ++Erased; }
  void BlocksErased(int32_t blocks, int32_t points, int32_t, int32_t) override {
    Log.push_back("erased " + std::to_string(blocks) + " for " + std::to_string(points));
  }
  void EraseEnded() override { Log.push_back("erase ended"); }
  void BlocksLanded() override { Log.push_back("landed"); }
  void ChainGrew(int32_t chain) override { Log.push_back("chain " + std::to_string(chain)); }
  void RowPushedUp() override { Log.push_back("pushed up"); }
  void StackOverflowed() override { Log.push_back("overflow"); }

  std::vector<std::string> Log;
  int EraseStarts = 0;
  int Erased = 0;
};

// A started field with the given bottom rows (the last string is row 9, '.' empty) above a
// next row that makes no run, the cursor on (cursorCol, 9) and its partner to the right.
TField FieldOf(const std::vector<std::string>& rows, int32_t cursorCol) {
  TField f;
  f.Reset();
  f.Started = true;
  f.LetterCount = 5;
  for (size_t i = 0; i < rows.size(); ++i) {
    const int32_t r = kWellRows - static_cast<int32_t>(rows.size()) + static_cast<int32_t>(i);
    for (int32_t c = 0; c < kFieldCols; ++c) {
      const char ch = rows[i][static_cast<size_t>(c)];
      f.Letters[r][c] = static_cast<int16_t>(ch == '.' ? kEmpty : ch - 'A');
    }
  }
  for (int32_t c = 0; c < kFieldCols; ++c) f.Letters[kWellRows][c] = static_cast<int16_t>(c % 2 ? 23 : 25);
  f.CursorCol = cursorCol;
  f.CursorRow = kWellRows - 1;
  f.PartnerCol = cursorCol + 1;
  f.PartnerRow = kWellRows - 1;
  return f;
}

std::string Row(const TField& f, int32_t r) {
  std::string s;
  for (int32_t c = 0; c < kFieldCols; ++c)
    s += f.Letters[r][c] == kEmpty ? '.' : static_cast<char>('A' + f.Letters[r][c]);
  return s;
}

TEST(FieldValue, ACopySteppedWithTheSwapButtonPlaysOnWhileTheOriginalStays) {
  TRecordingEvents events;
  TField original = FieldOf({"AABA.."}, 2);
  original.Events = &events;

  TField copy = original;
  copy.Step(20, btA, btA);
  int ticks = 1;
  while (!copy.AtRest() && ticks < 500) {
    copy.Step(20, 0, 0);
    ++ticks;
  }

  EXPECT_EQ(Row(copy, 9), "...B..");
  EXPECT_EQ(Row(original, 9), "AABA..");
  EXPECT_TRUE(original.AtRest());
  // The swap takes 8 ticks; the blinking starts in the last of them and ends 60 ticks later.
  EXPECT_EQ(ticks, 8 + 60);
  // The copy kept the original's listener.
  const std::vector<std::string> expected = {"swap 2939", "run 0 09 10 3", "erased 3 for 300",
                                             "erase ended"};
  EXPECT_EQ(events.Log, expected);
  EXPECT_EQ(events.Erased, 3);
  EXPECT_EQ(events.EraseStarts, 1 + 2 + 3);  // each cell joining the group restarts it
}

TEST(FieldValue, ARunLandedOnByAFallGrowsTheChainAndAQuietCopyTellsNobody) {
  TRecordingEvents events;
  // Erasing the B's drops the C into the gap of "AB.DD": a run A B C D grows the chain.
  TField f = FieldOf({"..C...", "..BBB.", "AB.DD."}, 1);
  f.Events = &events;
  TField quiet = f;
  quiet.Events = nullptr;
  f.CheckMatches();
  quiet.CheckMatches();
  for (int i = 0; i < 200 && !f.AtRest(); ++i) {
    f.Step(20, 0, 0);
    quiet.Step(20, 0, 0);
  }
  EXPECT_EQ(Row(f, 9), "....D.");
  EXPECT_EQ(Row(f, 9), Row(quiet, 9));
  EXPECT_EQ(f.Chain, quiet.Chain);
  EXPECT_NE(std::find(events.Log.begin(), events.Log.end(), "chain 2"), events.Log.end());
  EXPECT_NE(std::find(events.Log.begin(), events.Log.end(), "landed"), events.Log.end());
}

TEST(FieldValue, TheRaiseButtonPushesUpOnlyARaisableField) {
  vexa::FixRandomSeed(7u);  // the new row's letters
  TRecordingEvents events;
  TField f = FieldOf({"ACEACE"}, 0);
  f.Events = &events;
  TField fixed = f;
  fixed.Raisable = false;

  EXPECT_TRUE(f.Step(20, btB, 0));
  EXPECT_FALSE(fixed.Step(20, btB, 0));
  EXPECT_EQ(fixed.PushTimer, 0);
  for (int i = 0; i < kPushTime / 20; ++i) f.Step(20, 0, 0);
  EXPECT_EQ(Row(f, 8), "ACEACE");
  EXPECT_EQ(Row(f, 9), "ZXZXZX");
  EXPECT_EQ(Row(fixed, 9), "ACEACE");
  EXPECT_EQ(f.CursorRow, 8);  // the cursor rides up with its row
  EXPECT_EQ(events.Log, std::vector<std::string>{"pushed up"});
  vexa::UnfixRandomSeed();
}

}  // namespace
