// A TField on its own: a value that is copied and stepped a tick at a time with the pressed
// buttons, and that tells a listener what happened in it.
#include <cstring>

#include "tests/play/field_fixture.h"

namespace {

using namespace field_test;

bool SameWell(const TField& a, const TField& b) {
  if (std::memcmp(a.Letters, b.Letters, sizeof a.Letters) != 0 ||
      std::memcmp(a.Flags, b.Flags, sizeof a.Flags) != 0 ||
      std::memcmp(a.Groups, b.Groups, sizeof a.Groups) != 0 ||
      std::memcmp(a.EraseTimers, b.EraseTimers, sizeof a.EraseTimers) != 0)
    return false;
  for (int i = 0; i < kFallRecords; ++i)
    if (a.Falls[i].Active != b.Falls[i].Active || a.Falls[i].Y != b.Falls[i].Y) return false;
  return a.Chain == b.Chain && a.SwapTimer == b.SwapTimer && a.Scroll == b.Scroll &&
         a.CursorCol == b.CursorCol && a.CursorRow == b.CursorRow && a.Frames == b.Frames;
}

TEST(FieldValue, ACopyTakenMidFallAndMidEraseStepsLikeItsOriginal) {
  // BBB blinks while C and D fall; later the fallen letters make runs of their own.
  TField original = Well({"C.....", "D.....", "......", "..BBB.", "ABCDE.", "CDEAB."});
  original.CheckMatches();
  original.CheckAllFalls();
  Steps(original, 10);
  ASSERT_TRUE(original.Falling);
  ASSERT_TRUE(original.Erasing);

  TField copy = original;
  const uint16_t buttons[] = {0, btRight, btA, 0, btUp, btA, 0, btLeft};
  for (int i = 0; i < 400; ++i) {
    const uint16_t b = buttons[i % 8];
    original.Step(20, b & btA, b & ~btA);
    copy.Step(20, b & btA, b & ~btA);
    ASSERT_TRUE(SameWell(original, copy)) << "tick " << i;
  }

  // Stepping the copy alone leaves the original where it was.
  const TField kept = original;
  copy.Step(20, btA, 0);
  Steps(copy, 100);
  EXPECT_TRUE(SameWell(original, kept));
  EXPECT_FALSE(SameWell(original, copy));
}

TEST(FieldValue, ACopyKeepsTheListenerAndAQuietCopyTellsNobody) {
  TRecorder events;
  // Erasing the B's drops the C into the gap of "AB.DD": a run A B C D grows the chain.
  TField f = Well({"..C...", "..BBB.", "AB.DD."});
  f.Events = &events;
  TField told = f;
  TField quiet = f;
  quiet.Events = nullptr;
  told.CheckMatches();
  quiet.CheckMatches();
  Settle(told);
  Settle(quiet);
  EXPECT_EQ("....D.", Row(told, 9));
  EXPECT_TRUE(SameWell(told, quiet));
  EXPECT_EQ(1, events.Count("chain 2"));
  EXPECT_EQ(1, events.Count("landed"));
}

TEST(FieldValue, TheTickThatTakesTheLastBlocksTellsTheWellIsEmpty) {
  TRecorder events;
  TField f = Well({"AAA...", "BBBCDE"}, "AAAAAA");
  f.Events = &events;
  f.CheckMatches();  // AAA and BBB blink; C D E is a run too
  Steps(f, 60);
  EXPECT_EQ(0, events.Count("emptied"));
  f.Step(20, 0, 0);
  EXPECT_EQ("......", Row(f, 9));
  ASSERT_FALSE(events.Log.empty());
  EXPECT_EQ("emptied", events.Log.back());  // after the erase has ended
  Steps(f, 5);
  EXPECT_EQ(1, events.Count("emptied"));  // once: later ticks take nothing

  // Blocks left anywhere in the well: no word.
  TRecorder left;
  TField g = Well({"Z.....", "......", "AAA..."});
  g.Events = &left;
  g.CheckMatches();
  Settle(g);
  EXPECT_EQ(0, left.Count("emptied"));
}

}  // namespace
