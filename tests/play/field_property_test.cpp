// Random play on random fields: thousands of swaps, raises and ticks at both frame
// intervals must keep the field's bookkeeping consistent.
#include <random>
#include <sstream>

#include "tests/play/play_fixture.h"

namespace {

class FieldPropertyTest : public PlayTest {
 protected:
  int Letters() const {
    int n = 0;
    for (int r = 0; r < kFieldRows; ++r)
      for (int c = 0; c < kFieldCols; ++c) n += game->Field.Letters[r][c] != kEmpty ? 1 : 0;
    return n;
  }

  std::string Dump() const {
    std::ostringstream os;
    for (int r = 0; r < kFieldRows; ++r) {
      os << Row(r) << "  ";
      for (int c = 0; c < kFieldCols; ++c)
        os << std::hex << game->Field.Flags[r][c] << std::dec << ' ';
      os << '\n';
    }
    for (const TFallRecord& f : game->Field.Falls)
      if (f.Active) os << "fall x=" << f.X << " y=" << f.Y << " len=" << f.Length << '\n';
    os << "scroll=" << game->Field.Scroll << " swap=" << game->Field.SwapTimer << '\n';
    return os.str();
  }

  // Checks every invariant of the field; returns a description of the first broken one.
  std::string Broken() const {
    const TGameMainMode& g = *game;
    int fallingPerCol[kFieldCols] = {};
    int swapping = 0;
    for (int r = 0; r < kFieldRows; ++r) {
      for (int c = 0; c < kFieldCols; ++c) {
        const int l = g.Field.Letters[r][c];
        const uint16_t f = g.Field.Flags[r][c];
        if (l < 0 || l > kEmpty) return "letter out of range";
        if (r == kWellRows && (f & (cfErasing | cfFalling))) return "next row erasing/falling";
        if (f & cfErasing) {
          if (!(f & cfLocked)) return "erasing cell not locked";
          if (g.Field.Groups[r][c] == 0) return "erasing cell without a group";
          if (g.Field.EraseTimers[r][c] < 0 || g.Field.EraseTimers[r][c] > kEraseTime)
            return "erase timer";
          if (l == kEmpty) return "erasing empty cell";
          if (!(f & (cfSameRun | cfSeqRun))) return "erasing cell without a run flag";
        } else if (g.Field.Groups[r][c] != 0) {
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
          if (r == 0 || !(g.Field.Flags[r - 1][c] & cfFalling)) return "orphan reservation";
        }
      }
    }
    int recordLength[kFieldCols] = {};
    for (const TFallRecord& f : g.Field.Falls) {
      if (!f.Active) continue;
      if (f.X % kCellSize != 0 || f.X < 0 || f.X >= kFieldCols * kCellSize) return "record x";
      recordLength[f.X / kCellSize] += f.Length;
    }
    for (int c = 0; c < kFieldCols; ++c)
      if (recordLength[c] != fallingPerCol[c]) return "falling cells differ from records";
    if (g.Field.SwapTimer > 0) {
      if (swapping != 2) return "swap cells";
      if (!(g.Field.Flags[g.Field.SwapA.Row][g.Field.SwapA.Col] & cfSwapping)) return "swap A";
      if (!(g.Field.Flags[g.Field.SwapB.Row][g.Field.SwapB.Col] & cfSwapping)) return "swap B";
    } else if (swapping != 0) {
      return "swapping cells without a swap";
    }
    if (g.Field.Chain < 0 || g.Field.Chain > kMaxChain) return "chain";
    if (g.Field.CursorRow < 0 || g.Field.CursorRow > 9 || g.Field.PartnerRow < 0 ||
        g.Field.PartnerRow > 9)
      return "cursor row";
    const TField& field = g.Field;
    if (std::abs(field.CursorRow - field.PartnerRow) +
            std::abs(field.CursorCol - field.PartnerCol) != 1)
      return "partner not a neighbour";
    return std::string();
  }

  void RandomField(std::mt19937& rng) {
    TGameMainMode& g = *game;
    const int height = static_cast<int>(rng() % 9);
    std::uniform_int_distribution<int> letter(0, g.Field.LetterCount - 1);
    for (int r = 0; r < kFieldRows; ++r) {
      for (int c = 0; c < kFieldCols; ++c) {
        const bool filled = r == kWellRows || (r >= kWellRows - height && rng() % 4 != 0);
        g.Field.Letters[r][c] = static_cast<int16_t>(filled ? letter(rng) : kEmpty);
      }
    }
    ClearMotion(g.Field);
    g.Field.PushTimer = 0;
    g.Field.Scroll = 0;
    g.Field.CheckMatches();  // runs present at the start blink at once
  }

  void Run(int dt, uint32_t seed, int steps) {
    std::mt19937 rng(seed);
    TRecordingGameMain* game_ = &Start(0, static_cast<uint8_t>(seed % 3));
    RandomField(rng);
    int games = 1;
    for (int step = 0; step < steps; ++step) {
      if (game_->IsOver) {
        game_ = &Start(0, static_cast<uint8_t>(rng() % 3));
        RandomField(rng);
        ++games;
      }
      uint16_t pushed = 0;
      const uint32_t roll = rng() % 100;
      if (roll < 30) pushed |= static_cast<uint16_t>(1u << (rng() % 4));  // a direction
      if (roll >= 20 && roll < 60) pushed |= btA;
      if (roll >= 98) pushed |= btB;
      TRecordingGameMain& g = *game_;
      const int before = Letters();
      const int erasedBefore = g.ErasedBlocks;
      const bool pushing = g.Field.PushTimer > 0;
      Tick(dt, pushed);
      const bool risen = pushing && g.Field.PushTimer == 0 && !g.IsOver;
      const int expected = before - (g.ErasedBlocks - erasedBefore) + (risen ? kFieldCols : 0);
      ASSERT_EQ(expected, Letters()) << "step " << step << " dt " << dt << " seed " << seed
                                     << "\n" << Dump();
      const std::string broken = Broken();
      ASSERT_EQ("", broken) << "step " << step << " dt " << dt << " seed " << seed << "\n"
                            << Dump();
    }
    EXPECT_GE(games, 1);
  }
};

TEST_F(FieldPropertyTest, RandomPlayKeepsTheFieldConsistentAt20ms) {
  for (uint32_t seed = 1; seed <= 16; ++seed) Run(20, seed, 6000);
}

TEST_F(FieldPropertyTest, RandomPlayKeepsTheFieldConsistentAt40ms) {
  for (uint32_t seed = 101; seed <= 116; ++seed) Run(40, seed, 5000);
}

TEST_F(FieldPropertyTest, DISABLED_LongRandomPlay) {
  for (uint32_t seed = 1000; seed <= 1400; ++seed) Run(seed % 2 ? 20 : 40, seed, 20000);
}

TEST_F(FieldPropertyTest, LeftAloneTheFieldSettles) {
  std::mt19937 rng(7);
  for (int round = 0; round < 40; ++round) {
    TGameMainMode& g = Start(0, static_cast<uint8_t>(round % 3));
    RandomField(rng);
    g.Endless.RiseCountdown = 1 << 30;
    const TField& field = g.Field;
    for (int i = 0; i < 3000 && (i < 2 || field.Falling || field.Erasing || field.Chain != 0); ++i)
      Tick();
    ASSERT_FALSE(g.Field.Falling);
    ASSERT_EQ(0, g.Field.Chain);
    ASSERT_EQ("", Broken());
    // Nothing floats and nothing is left locked.
    for (int r = 0; r < kWellRows; ++r)
      for (int c = 0; c < kFieldCols; ++c) {
        ASSERT_EQ(0, g.Field.Flags[r][c]) << Dump();
        if (g.Field.Letters[r][c] != kEmpty) {
          ASSERT_NE(kEmpty, g.Field.Letters[r + 1][c]) << Dump();
        }
      }
  }
}

}  // namespace
