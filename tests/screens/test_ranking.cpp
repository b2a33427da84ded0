// The ranking display and the name entry: where a result goes in the table, name typing,
// what goes back into GameData and the save file, and how the table is drawn.
#include <gtest/gtest.h>

#include <cstring>

#include "screens/ranking.h"
#include "screens/regrank.h"
#include "tests/support/headless_game.h"

namespace vexa_test {
namespace {

using Ranking = HeadlessGame;

// A 24-bit BMP of w x h pixels whose colour (0xRRGGBB) is chosen per cell of cw x ch (cells
// numbered row by row), for sprites whose cells must be told apart on the work surface.
std::vector<uint8_t> CellBmp(int w, int h, int cw, int ch, uint32_t (*colour)(int cell)) {
  std::vector<kordraw_test::Rgb> px;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const uint32_t c = colour((y / ch) * (w / cw) + x / cw);
      px.push_back({static_cast<uint8_t>(c >> 16), static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c)});
    }
  return kordraw_test::MakeBmp24(w, h, px);
}

void SetLast(GameData& d, int32_t score, int32_t level, int32_t blocks, uint8_t difficulty) {
  d.LastScore = score;
  d.LastLevel = level;
  d.LastBlocks = blocks;
  d.LastDifficulty = difficulty;
}

TEST_F(Ranking, DisplayLeavesGameDataAndTheFileAlone) {
  GameData before = Data;
  TRankingMode& r = MakeAndRunTo<TRankingMode>(1);
  EXPECT_EQ(r.Scores[0], 100000);
  EXPECT_EQ(r.Names[9], "LIME");
  Tap(keycode::X);  // no cancel
  EXPECT_EQ(r.Phase, 1);
  Tap(keycode::Z);
  EXPECT_EQ(RunToEnd(), 7);
  EXPECT_FALSE(SaveFileExists());
  EXPECT_EQ(std::memcmp(before.Ranking, Data.Ranking, sizeof Data.Ranking), 0);
}

TEST_F(Ranking, EqualScoreGoesAboveAndTheLastRowDrops) {
  SetLast(Data, 70000, 11, 555, 2);  // row 3's score
  TRegRankMode& m = Make<TRegRankMode>();
  Tick();
  EXPECT_TRUE(m.Entered);
  EXPECT_EQ(m.EntryRow, 3);
  EXPECT_EQ(m.Scores[3], 70000);
  EXPECT_EQ(m.Levels[3], 11);
  EXPECT_EQ(m.BlockCounts[3], 555);
  EXPECT_EQ(m.Difficulties[3], 2);
  EXPECT_EQ(m.Names[3], "");
  EXPECT_EQ(m.Names[4], "FIG");  // the old row 3
  EXPECT_EQ(m.Levels[4], 6);
  EXPECT_EQ(m.Names[9], "SAGE");  // LIME is gone
  EXPECT_EQ(m.Scores[9], 20000);
  EXPECT_EQ(m.Names[2], "ALDER");
  // GameData changes only when the screen is left.
  EXPECT_EQ(Data.Ranking[3].Score, 70000);
  EXPECT_STREQ(Data.Ranking[3].Name, "FIG");
}

TEST_F(Ranking, AllZeroTableTakesAResultOfZeroAtTheTop) {
  for (TRankEntry& r : Data.Ranking) r = TRankEntry{};
  SetLast(Data, 0, 0, 0, 0);
  TRegRankMode& m = Make<TRegRankMode>();
  Tick();
  EXPECT_TRUE(m.Entered);
  EXPECT_EQ(m.EntryRow, 0);
}

TEST_F(Ranking, ResultBelowRowNineIsNotEnteredButTheFileIsStillWritten) {
  SetLast(Data, 9999, 3, 10, 1);
  TRegRankMode& m = MakeAndRunTo<TRegRankMode>(1);
  EXPECT_FALSE(m.Entered);
  EXPECT_EQ(m.EntryRow, -1);
  Tap(keycode::A);
  Tap(keycode::Z);  // the decide key does not leave this screen
  EXPECT_EQ(m.NameLen, 0);
  EXPECT_EQ(m.Phase, 1);
  Tap(keycode::Enter);
  RunToEnd();
  ASSERT_TRUE(SaveFileExists());
  std::vector<uint8_t> b = SaveBytes();
  ASSERT_EQ(b.size(), 308u);
  EXPECT_EQ(std::memcmp(b.data() + 28 + 24 * 9 + 13, "LIME", 5), 0);
  EXPECT_EQ(Data.Ranking[9].Score, 10000);
}

TEST_F(Ranking, TypingKeepsEightCapitalsAndSpacesWithBackspace) {
  SetLast(Data, 1000000, 0, 0, 0);
  TRegRankMode& m = Make<TRegRankMode>();
  Tap(keycode::A);  // during the fade-in: not typed
  RunToPhase(1);
  EXPECT_EQ(m.NameLen, 0);
  Tap(keycode::Backspace);  // on an empty name: nothing
  EXPECT_EQ(m.NameLen, 0);
  Tap(keycode::Z);  // types Z, does not leave
  EXPECT_EQ(m.Phase, 1);
  Tap(keycode::Space);
  Tap(keycode::A);
  Tap(keycode::B);
  EXPECT_STREQ(m.NameBuf, "Z AB");
  Tap(keycode::Backspace);
  EXPECT_STREQ(m.NameBuf, "Z A");
  for (int i = 0; i < 7; ++i) Tap(keycode::C);
  EXPECT_STREQ(m.NameBuf, "Z ACCCCC");
  EXPECT_EQ(m.NameLen, 8);
  Tap(keycode::Space);  // a ninth character of either kind is ignored
  Tap(keycode::A);
  EXPECT_STREQ(m.NameBuf, "Z ACCCCC");
  Tap(keycode::Up);  // keys that are neither letter, space nor backspace type nothing
  Tap(keycode::Enter);
  EXPECT_EQ(m.Phase, 2);
  EXPECT_STREQ(m.NameBuf, "Z ACCCCC");
  Tap(keycode::A);  // typing ends with the decision
  EXPECT_STREQ(m.NameBuf, "Z ACCCCC");
  RunToEnd();
  EXPECT_STREQ(Data.Ranking[0].Name, "Z ACCCCC");
  EXPECT_EQ(Data.Ranking[0].Score, 1000000);
  EXPECT_STREQ(Data.Ranking[1].Name, "YEW");
  std::vector<uint8_t> b = SaveBytes();
  ASSERT_EQ(b.size(), 308u);
  EXPECT_EQ(std::memcmp(b.data() + 28 + 13, "Z ACCCCC\0\0\0", 11), 0);
  EXPECT_EQ(std::memcmp(b.data() + 28 + 24 + 13, "YEW", 4), 0);
}

TEST_F(Ranking, SpaceAsDecideKeyTypesASpace) {
  Data.ControlType = 1;
  Root->ApplyKeyConfig();
  SetLast(Data, 1000000, 0, 0, 0);
  TRegRankMode& m = MakeAndRunTo<TRegRankMode>(1);
  Tap(keycode::Space);
  EXPECT_STREQ(m.NameBuf, " ");
  EXPECT_EQ(m.Phase, 1);
}

TEST_F(Ranking, EmptyNameIsStoredEmptyAndDamagedNamesComeBackTerminated) {
  std::memset(Data.Ranking[4].Name, 'Q', sizeof Data.Ranking[4].Name);  // no NUL
  SetLast(Data, 95000, 1, 2, 1);
  TRegRankMode& m = MakeAndRunTo<TRegRankMode>(1);
  EXPECT_EQ(m.EntryRow, 1);
  EXPECT_EQ(m.Names[5], std::string(11, 'Q'));
  Tap(keycode::Enter);
  RunToEnd();
  EXPECT_STREQ(Data.Ranking[1].Name, "");
  EXPECT_EQ(Data.Ranking[1].Difficulty, 1);
  EXPECT_EQ(Data.Ranking[5].Name[10], '\0');
  EXPECT_EQ(RankName(Data.Ranking[5]), std::string(10, 'Q'));
}

TEST(RankingFonts, NameFontFollowsTheLevelColours) {
  EXPECT_EQ(TRankingMode::NameFont(0), 1);
  EXPECT_EQ(TRankingMode::NameFont(1), 2);
  EXPECT_EQ(TRankingMode::NameFont(2), 0);
  EXPECT_EQ(TRankingMode::NameFont(3), 0);
  EXPECT_EQ(TRankingMode::NameFont(255), 0);
}

// The table drawn on a real work surface with sprites whose colours tell the fonts apart.
class RankingDraw : public HeadlessGame {
 protected:
  bool WithDraw() const override { return true; }
  void SetUp() override {
    HeadlessGame::SetUp();
    for (int f = 0; f < 4; ++f) {
      Sprite("Font" + std::to_string(f), CellBmp(96, 168, 24, 24, kFontColour[f]), 24);
      Sprite("Num" + std::to_string(f), CellBmp(80, 32, 16, 16, kNumColour[f]), 16);
    }
    Sprite("FontCurs", CellBmp(96, 24, 24, 24, [](int cell) -> uint32_t {
             return 0x101010u * static_cast<uint32_t>(cell + 1) + 0x0000C0u;
           }), 24);
  }
  // Registers a bitmap written into the folder under key, in square cells of the size.
  void Sprite(const std::string& key, const std::vector<uint8_t>& bmp, int cell) {
    ASSERT_TRUE(DrawC.CreateSprite(key, Dir.Write(key + ".bmp", bmp), cell, cell));
  }
  uint32_t Px(int x, int y) const { return DrawC.WorkSurface->GetPixel(x, y); }
  uint32_t Rgb(uint32_t c) const { return DrawC.WorkSurface->MapRgb(c >> 16, (c >> 8) & 0xFF, c & 0xFF); }

  static uint32_t (*const kFontColour[4])(int);
  static uint32_t (*const kNumColour[4])(int);
};

uint32_t (*const RankingDraw::kFontColour[4])(int) = {
    [](int) -> uint32_t { return 0xFF0000; }, [](int) -> uint32_t { return 0x00FF00; },
    [](int) -> uint32_t { return 0x0000FF; }, [](int) -> uint32_t { return 0xFFFF00; }};
uint32_t (*const RankingDraw::kNumColour[4])(int) = {
    [](int) -> uint32_t { return 0x800000; }, [](int) -> uint32_t { return 0x008000; },
    [](int) -> uint32_t { return 0x000080; }, [](int) -> uint32_t { return 0x808000; }};

TEST_F(RankingDraw, NamesInTheirDifficultyColourAndUnknownOnesInFontZero) {
  Data.Ranking[0].Difficulty = 0;
  Data.Ranking[1].Difficulty = 1;
  Data.Ranking[2].Difficulty = 2;
  Data.Ranking[3].Difficulty = 200;  // damaged
  std::strcpy(Data.Ranking[4].Name, "a\xff?");  // characters outside the font step over
  TRankingMode& r = Make<TRankingMode>();
  r.Init();
  DrawC.Clear();
  r.DrawRankTable(40, 52, -1);
  const int nameX = 40 + 280 + 4, row0 = 52 + 24 + 4;
  EXPECT_EQ(Px(nameX, row0), Rgb(0x00FF00));
  EXPECT_EQ(Px(nameX, row0 + 24), Rgb(0x0000FF));
  EXPECT_EQ(Px(nameX, row0 + 48), Rgb(0xFF0000));
  EXPECT_EQ(Px(nameX, row0 + 72), Rgb(0xFF0000));
  // Row 4: two unknown characters are skipped, "?" is drawn 36 pixels in.
  EXPECT_EQ(Px(nameX, row0 + 96), 0u);
  EXPECT_EQ(Px(nameX + 36, row0 + 96), Rgb(0x00FF00));
  // Headings: SCORE font 1, LV font 2, BLOCK font 3, NAME font 0.
  EXPECT_EQ(Px(40 + 34 + 4, 56), Rgb(0x00FF00));
  EXPECT_EQ(Px(40 + 140 + 4, 56), Rgb(0x0000FF));
  EXPECT_EQ(Px(40 + 186 + 4, 56), Rgb(0xFFFF00));
  EXPECT_EQ(Px(40 + 300 + 4, 56), Rgb(0xFF0000));
  // Numbers right-aligned on their column, 8 pixels below the name line, fonts 0..3.
  const int numY = 52 + 24 + 8 + 4;
  EXPECT_EQ(Px(40 + 4, numY), Rgb(0x800000));
  EXPECT_EQ(Px(150 + 4, numY), Rgb(0x008000));
  EXPECT_EQ(Px(150 - 14 * 5 + 4, numY), Rgb(0x008000));  // 100000: six digits
  EXPECT_EQ(Px(150 - 14 * 6 + 4, numY), 0u);
  EXPECT_EQ(Px(200 + 4, numY), Rgb(0x000080));
  EXPECT_EQ(Px(290 + 4, numY), Rgb(0x808000));
  // Row 9's rank is "10": two digits.
  EXPECT_EQ(Px(40 - 14 + 4, numY + 24 * 9), Rgb(0x800000));
}

TEST_F(RankingDraw, HighlightedRowCyclesAndTheCursorFollowsTheTypedName) {
  SetLast(Data, 75000, 0, 0, 1);  // row 3, NOMAL: font 2
  TRegRankMode& m = MakeAndRunTo<TRegRankMode>(1);
  Tap(keycode::A);
  Tap(keycode::B);
  m.Elapsed = 802;  // shown phase of Blink(400); cycling colour (Elapsed mod 3) 1
  DrawC.Clear();
  m.DrawEntry(40, 52);
  const int r = 52 + 24 + 24 * 3;
  EXPECT_EQ(Px(40 + 4, r + 8 + 4), Rgb(0x008000));         // rank in the cycling colour
  EXPECT_EQ(Px(290 + 4, r + 8 + 4), Rgb(0x008000));        // blocks too
  EXPECT_EQ(Px(40 + 4, r + 24 + 8 + 4), Rgb(0x800000));    // next row's rank: font 0
  EXPECT_EQ(Px(320 + 4, r + 4), Rgb(0x0000FF));            // "AB" in font 2
  EXPECT_EQ(Px(320 + 36 + 14, r + 4), Rgb(0x303030 + 0xC0));  // cursor cell 2 after 36 px
  m.Elapsed = 401;  // hidden phase: no cursor; cycling colour 2
  DrawC.Clear();
  m.DrawEntry(40, 52);
  EXPECT_EQ(Px(320 + 36 + 14, r + 4), 0u);
  EXPECT_EQ(Px(40 + 4, r + 8 + 4), Rgb(0x000080));
}

}  // namespace
}  // namespace vexa_test
