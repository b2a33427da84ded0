// Random play on random wells: thousands of swaps, raises and ticks at both frame
// intervals must keep the well's bookkeeping consistent.
#include <random>
#include <sstream>

#include "tests/play/field_fixture.h"

namespace {

using namespace field_test;

// Counts the blocks a well takes away and notes an overflow.
class TCounter : public TFieldEvents {
 public:
  void BlocksErased(int32_t blocks, int32_t, int32_t, int32_t) override { Erased += blocks; }
  void StackOverflowed() override { Overflowed = true; }
  int Erased = 0;
  bool Overflowed = false;
};

int Blocks(const TField& f) {
  int n = 0;
  for (int r = 0; r < kFieldRows; ++r)
    for (int c = 0; c < kFieldCols; ++c) n += f.Letters[r][c] != kEmpty ? 1 : 0;
  return n;
}

std::string Dump(const TField& f) {
  std::ostringstream os;
  for (int r = 0; r < kFieldRows; ++r) {
    os << Row(f, r) << "  ";
    for (int c = 0; c < kFieldCols; ++c) os << std::hex << f.Flags[r][c] << std::dec << ' ';
    os << '\n';
  }
  for (const TFallRecord& rec : f.Falls)
    if (rec.Active) os << "fall x=" << rec.X << " y=" << rec.Y << " len=" << rec.Length << '\n';
  os << "scroll=" << f.Scroll << " swap=" << f.SwapTimer << '\n';
  return os.str();
}

// Checks every invariant of the field; returns a description of the first broken one.
std::string Broken(const TField& well) {
  int fallingPerCol[kFieldCols] = {};
  int swapping = 0;
  for (int r = 0; r < kFieldRows; ++r) {
    for (int c = 0; c < kFieldCols; ++c) {
      const int l = well.Letters[r][c];
      const uint16_t f = well.Flags[r][c];
      if (l < 0 || l > kEmpty) return "letter out of range";
      if (r == kWellRows && (f & (cfErasing | cfFalling))) return "next row erasing/falling";
      if (f & cfErasing) {
        if (!(f & cfLocked)) return "erasing cell not locked";
        if (well.Groups[r][c] == 0) return "erasing cell without a group";
        if (well.EraseTimers[r][c] < 0 || well.EraseTimers[r][c] > kEraseTime)
          return "erase timer";
        if (l == kEmpty) return "erasing empty cell";
        if (!(f & (cfSameRun | cfSeqRun))) return "erasing cell without a run flag";
      } else if (well.Groups[r][c] != 0) {
        return "group on a cell that does not erase";
      }
      if (f & cfFalling) {
        if ((f & (cfHidden | cfLocked)) != (cfHidden | cfLocked)) return "falling cell flags";
        if (l == kEmpty) return "falling empty cell";
        if (f & cfErasing) return "falling and erasing";
        ++fallingPerCol[c];
      }
      if (f & cfSwapping) {
        ++swapping;
        if (!(f & cfLocked)) return "swapping cell not locked";
      }
      if (l == kEmpty && (f & cfLocked) && !(f & cfSwapping)) {
        // A reserved empty cell lies right below a falling group.
        if (r == 0 || !(well.Flags[r - 1][c] & cfFalling)) return "orphan reservation";
      }
    }
  }
  int recordLength[kFieldCols] = {};
  for (const TFallRecord& f : well.Falls) {
    if (!f.Active) continue;
    if (f.X % kCellSize != 0 || f.X < 0 || f.X >= kFieldCols * kCellSize) return "record x";
    recordLength[f.X / kCellSize] += f.Length;
  }
  for (int c = 0; c < kFieldCols; ++c)
    if (recordLength[c] != fallingPerCol[c]) return "falling cells differ from records";
  if (well.SwapTimer > 0) {
    if (swapping != 2) return "swap cells";
    if (!(well.Flags[well.SwapA.Row][well.SwapA.Col] & cfSwapping)) return "swap A";
    if (!(well.Flags[well.SwapB.Row][well.SwapB.Col] & cfSwapping)) return "swap B";
  } else if (swapping != 0) {
    return "swapping cells without a swap";
  }
  if (well.Chain < 0 || well.Chain > kMaxChain) return "chain";
  if (well.CursorRow < 0 || well.CursorRow > 9 || well.PartnerRow < 0 ||
      well.PartnerRow > 9)
    return "cursor row";
  if (std::abs(well.CursorRow - well.PartnerRow) +
          std::abs(well.CursorCol - well.PartnerCol) != 1)
    return "partner not a neighbour";
  return std::string();
}

// A random well of up to nine rows (a cell in four empty) at a random difficulty's supply,
// its runs blinking at once.
TField RandomWell(std::mt19937& rng) {
  static const int32_t kLetters[3] = {5, 13, 26};
  TField f;
  f.Reset();
  f.Started = true;
  f.LetterCount = kLetters[rng() % 3];
  const int height = static_cast<int>(rng() % 9);
  std::uniform_int_distribution<int> letter(0, f.LetterCount - 1);
  for (int r = 0; r < kFieldRows; ++r) {
    for (int c = 0; c < kFieldCols; ++c) {
      const bool filled = r == kWellRows || (r >= kWellRows - height && rng() % 4 != 0);
      f.Letters[r][c] = static_cast<int16_t>(filled ? letter(rng) : kEmpty);
    }
  }
  f.CheckMatches();
  return f;
}

// Random buttons on random wells, a new well after each overflow: after every tick the
// blocks are those of the tick before, less the ones taken, plus a new row after a push-up,
// and every invariant holds.
void PlayRandomly(int dt, uint32_t seed, int steps) {
  std::mt19937 rng(seed);
  TCounter counter;
  TField f = RandomWell(rng);
  f.Events = &counter;
  for (int step = 0; step < steps; ++step) {
    if (counter.Overflowed) {
      f = RandomWell(rng);
      f.Events = &counter;
      counter.Overflowed = false;
    }
    uint16_t pushed = 0;
    const uint32_t roll = rng() % 100;
    if (roll < 30) pushed |= static_cast<uint16_t>(1u << (rng() % 4));  // a direction
    if (roll >= 20 && roll < 60) pushed |= btA;
    if (roll >= 98) pushed |= btB;
    const int before = Blocks(f);
    const int erasedBefore = counter.Erased;
    const bool pushing = f.PushTimer > 0;
    f.Step(dt, pushed, pushed & 0x0F);
    const bool risen = pushing && f.PushTimer == 0 && !counter.Overflowed;
    const int expected = before - (counter.Erased - erasedBefore) + (risen ? kFieldCols : 0);
    ASSERT_EQ(expected, Blocks(f)) << "step " << step << " dt " << dt << " seed " << seed << "\n"
                                   << Dump(f);
    ASSERT_EQ("", Broken(f)) << "step " << step << " dt " << dt << " seed " << seed << "\n"
                             << Dump(f);
  }
}

TEST(FieldProperty, RandomPlayKeepsTheWellConsistentAt20ms) {
  for (uint32_t seed = 1; seed <= 16; ++seed) PlayRandomly(20, seed, 6000);
}

TEST(FieldProperty, RandomPlayKeepsTheWellConsistentAt40ms) {
  for (uint32_t seed = 101; seed <= 116; ++seed) PlayRandomly(40, seed, 5000);
}

TEST(FieldProperty, DISABLED_LongRandomPlay) {
  for (uint32_t seed = 1000; seed <= 1400; ++seed) PlayRandomly(seed % 2 ? 20 : 40, seed, 20000);
}

TEST(FieldProperty, LeftAloneTheWellSettles) {
  std::mt19937 rng(7);
  for (int round = 0; round < 40; ++round) {
    TField f = RandomWell(rng);
    for (int i = 0; i < 3000 && (i < 2 || f.Falling || f.Erasing || f.Chain != 0); ++i)
      f.Step(20, 0, 0);
    ASSERT_FALSE(f.Falling);
    ASSERT_EQ(0, f.Chain);
    ASSERT_EQ("", Broken(f));
    // Nothing floats and nothing is left locked.
    for (int r = 0; r < kWellRows; ++r)
      for (int c = 0; c < kFieldCols; ++c) {
        ASSERT_EQ(0, f.Flags[r][c]) << Dump(f);
        if (f.Letters[r][c] != kEmpty) {
          ASSERT_NE(kEmpty, f.Letters[r + 1][c]) << Dump(f);
        }
      }
  }
}

}  // namespace
