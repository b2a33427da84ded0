#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>

#include "engine/sjis.h"
#include "platform/font.h"
#include "platform/i18n.h"
#include "screens/creditactor.h"
#include "screens/ending.h"
#include "tests/support/headless_game.h"

namespace {

using namespace vexa_test;

TEST(CreditLayout, LinesAreCentredAtHalfTheFontHeightPerByte) {
  // Ten full-width characters are 20 bytes: at 14 pixels the line starts 70 pixels left of
  // the centre.
  const char* text = "ＰＲＯＤＵＣＥＤ　ＢＹ";
  ASSERT_EQ(vexa::SjisLength(text), 22);
  EXPECT_EQ(TCreditActor::TextLeft(222.0f, "ＰＬＡＮＮＥＲ　ＡＢ"), 222 - 70);
  EXPECT_EQ(TCreditActor::TextLeft(222.0f, text), 222 - 77);
  EXPECT_EQ(TCreditActor::TextLeft(222.0f, "おしまい", 24), 222 - 48);
  EXPECT_EQ(TCreditActor::TextLeft(256.0f, "AB", 16), 256 - 8);
  // Truncated toward zero.
  EXPECT_EQ(TCreditActor::TextLeft(10.9f, "A"), 7);
  EXPECT_EQ(TCreditActor::TextLeft(1.2f, "A"), -2);
}

TEST(CreditLayout, TheRollHoldsTheHeadingsInTheirSlots) {
  const char* const* lines = TEndingMode::CreditLines.data();
  EXPECT_STREQ(lines[4], "Ｖｅｘａ　スタッフ");
  EXPECT_STREQ(lines[13], "ＰＬＡＮＮＥＲ");
  EXPECT_STREQ(lines[23], "ＰＲＯＧＲＡＭＭＥＲ");
  EXPECT_STREQ(lines[33], "ＣＨＡＲＡＣＴＥＲ　ＤＥＳＩＧＮＥＲ");
  EXPECT_STREQ(lines[43], "ＧＲＡＰＨＩＣ　ＤＥＳＩＧＮＥＲ");
  EXPECT_STREQ(lines[54], "ＭＵＳＩＣ　ＣＯＭＰＯＳＥＲ");
  EXPECT_STREQ(lines[55], "ＳＯＵＮＤ　ＣＯＭＰＯＳＥＲ");
  EXPECT_STREQ(lines[65], "ＰＲＯＤＵＣＥＤ　ＢＹ");
  EXPECT_STREQ(lines[83], "おしまい");
  const int kFilled[] = {4, 13, 14, 23, 24, 33, 34, 43, 44, 45, 54, 55, 56, 65, 66, 83};
  int filled = 0;
  for (int i = 0; i < TEndingMode::kCreditSlots; ++i) {
    if (!lines[i]) continue;
    ++filled;
    EXPECT_NE(std::find(std::begin(kFilled), std::end(kFilled), i), std::end(kFilled)) << i;
    const std::string s = lines[i];
    // Full-width characters only (three UTF-8 bytes, two in the game's measure), and
    // narrow enough for the credits' column.
    EXPECT_EQ(vexa::SjisLength(s) * 3, static_cast<int>(s.size()) * 2) << i;
    EXPECT_LE(vexa::SjisLength(s) * TCreditActor::kOwnTextHeight / 2, TCreditActor::kColumnWidth)
        << i;
  }
  EXPECT_EQ(filled, 16);
}

struct EndingScreen : DrawnGame {
  void SetUp() override {
    DrawnGame::SetUp();
    WriteSolidBitmap("REWARD", 510, 380, Rgb{200, 220, 240});
    // The reward screen left the fade at full white.
    Kernel->FadeWhite = true;
    Kernel->FadeLevel = 255;
  }
  TEndingMode* Open() { return &MakeChild<TEndingMode>(); }
};

TEST_F(EndingScreen, BuildsTheLinesBelowTheScreenAndFadesInFromWhite) {
  TEndingMode* e = Open();
  Tick();
  EXPECT_STREQ(e->ClassName(), "TEndingMode");
  ASSERT_NE(e->Credits, nullptr);
  ASSERT_EQ(e->Credits->Count(), 16);
  auto* first = static_cast<TCreditActor*>(e->Credits->Get(0));
  auto* last = static_cast<TCreditActor*>(e->Credits->Get(15));
  EXPECT_FLOAT_EQ(first->X, TEndingMode::kCreditColumnX);
  EXPECT_FLOAT_EQ(first->Y, 384.0f + 80.0f);  // not moved during the fade-in
  EXPECT_EQ(first->Kind, 0);
  EXPECT_STREQ(first->Text, TEndingMode::CreditLines[4]);
  EXPECT_FLOAT_EQ(last->Y, 384.0f + 1660.0f);
  EXPECT_EQ(last->Kind, TCreditActor::LastLine);
  EXPECT_TRUE(Kernel->FadeWhite);
  EXPECT_EQ(Kernel->FadeLevel, 250);
  Ticks(49);
  EXPECT_EQ(e->Phase, 0);
  Tick();
  EXPECT_EQ(e->Phase, 1);  // 51 ticks of 5 levels
  EXPECT_EQ(Kernel->FadeLevel, 0);
  ASSERT_NE(DrawC.GetSpriteSurf("エンディング"), nullptr);
  EXPECT_EQ(DrawC.GetSpriteSurf("エンディング")->CellCount, 1);
  // The whole picture at (1, 2) (the program's own picture, or the file when it has none);
  // the first credit line is still below the screen.
  TSpriteSurf* pic = DrawC.GetSpriteSurf("エンディング");
  int compared = 0;
  for (int y = 0; y < 380; y += 5)
    for (int x = 0; x < 510; x += 5) {
      const uint32_t p = pic->Surface->GetPixel(x, y);
      if (p == 0) continue;  // transparent
      ASSERT_EQ(Px(x + 1, y + 2), p) << x << "," << y;
      ++compared;
    }
  EXPECT_GT(compared, 1000);
  EXPECT_EQ(Px(0, 0), 0u);
}

TEST_F(EndingScreen, TheRollEndsWithTheClosingLineRestingInTheMiddle) {
  TEndingMode* e = Open();
  Ticks(51);
  ASSERT_EQ(e->Phase, 1);
  auto* last = static_cast<TCreditActor*>(e->Credits->Get(15));
  // (2044 - 192) / 64 = 28.9 s: 1447 frames of 20 ms bring it to the middle.
  Ticks(1440);
  EXPECT_GT(last->Y, 192.0f);
  Ticks(10);
  EXPECT_LE(last->Y, 192.0f);
  EXPECT_GT(last->Y, 192.0f - 64.0f * 0.02f - 0.01f);
  const float rest = last->Y;
  EXPECT_EQ(e->Credits->Count(), 1);  // every other line has scrolled away
  Ticks(500);
  EXPECT_FLOAT_EQ(last->Y, rest);
  EXPECT_EQ(e->Credits->Count(), 1);
  EXPECT_EQ(e->Phase, 1);
}

TEST_F(EndingScreen, OnlyEnterEndsItAndTheSpriteIsRemoved) {
  TEndingMode* e = Open();
  Ticks(60);
  ASSERT_EQ(e->Phase, 1);
  Tap(keycode::Z);
  Tap(keycode::Space);
  Tap(keycode::X);
  EXPECT_FALSE(e->EndRequest);
  EXPECT_EQ(e->Phase, 1);
  // Enter long before the closing line has stopped.
  Tap(keycode::Enter);
  EXPECT_TRUE(e->EndRequest);
  EXPECT_EQ(e->Phase, 2);
  EXPECT_FALSE(Kernel->FadeWhite);  // the fade-out is to black
  const int n = RunUntilGone();
  EXPECT_GE(n, 10);
  EXPECT_LE(n, 14);
  EXPECT_EQ(Root->Child, nullptr);
  EXPECT_FALSE(Kernel->FadeWhite);
  EXPECT_EQ(Kernel->FadeLevel, 255);
  EXPECT_EQ(DrawC.GetSpriteSurf("エンディング"), nullptr);
}

TEST_F(EndingScreen, EnterDuringTheFadeInIsTakenWhenTheRollStarts) {
  TEndingMode* e = Open();
  Tap(keycode::Enter);
  EXPECT_TRUE(e->EndRequest);
  EXPECT_EQ(e->Phase, 0);
  Ticks(48);
  EXPECT_EQ(e->Phase, 0);
  Tick();
  EXPECT_EQ(e->Phase, 1);
  Tick();
  EXPECT_EQ(e->Phase, 2);
}

// The ending picture's letter blocks end at x = 85 and its figure begins at x = 358 (its
// raised hand); the credits, outline included, stay between them in either language, light
// letters in a dark outline.
TEST_F(EndingScreen, TheCreditsRollBetweenTheLetterBlocksAndTheFigure) {
  if (platform::FindGothicFontFile().empty()) GTEST_SKIP() << "no font installed";
  struct CLocaleAfterwards {
    ~CLocaleAfterwards() { platform::InitTranslations("C"); }
  } restore;
  for (const char* language : {"C", "en"}) {
    SCOPED_TRACE(language);
    platform::InitTranslations(language);
    TEndingMode* e = Open();
    Ticks(51);
    ASSERT_EQ(e->Phase, 1);
    TSpriteSurf* pic = DrawC.GetSpriteSurf("エンディング");
    ASSERT_NE(pic, nullptr);
    int left = 512, right = -1, light = 0, dark = 0;
    for (int frame = 0; frame < 1500; frame += 8) {
      Ticks(8);
      for (int y = 2; y < 382; ++y)
        for (int x = 1; x < 511; ++x) {
          const uint32_t p = Px(x, y);
          if (p == pic->Surface->GetPixel(x - 1, y - 2)) continue;
          left = std::min(left, x);
          right = std::max(right, x);
          uint8_t r, g, b;
          DrawC.WorkSurface->GetRgb(p, r, g, b);
          if (r > 240 && g > 240 && b > 240) ++light;
          if (r < 48 && g < 48 && b < 48) ++dark;
        }
    }
    EXPECT_GE(left, 86);
    EXPECT_LT(right, 358);
    EXPECT_GT(light, 2000);
    EXPECT_GT(dark, 2000);
    e->Leave();
    Root->Child = nullptr;
    delete e;
  }
}

TEST_F(EndingScreen, ALineBelowTheScreenOrWithoutTextDrawsNothing) {
  DrawC.Clear();
  TCreditActor group(Root.get(), 0);
  TActor* a = group.Spawn(256.0f, 400.0f, 0);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->Spawn(0, 0, 0), nullptr);  // a line spawns nothing
  EXPECT_FLOAT_EQ(a->VY, -64.0f);
  static_cast<TCreditActor*>(a)->Text = "ＡＢＣ";
  group.Paint();  // below the screen
  TActor* b = group.Spawn(256.0f, 100.0f, 0);  // no text
  group.Paint();
  (void)b;
  for (int y = 0; y < 384; y += 7)
    for (int x = 0; x < 512; x += 7) ASSERT_EQ(Px(x, y), 0u);
}

}  // namespace
