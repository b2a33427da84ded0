// Text output: the gothic font's metrics the game's layouts count on, text drawn in the
// font's colour with a transparent background, and the component without a font.
#include <climits>

#include "media/kordraw.h"
#include "platform/font.h"
#include "tests/media/test_kordraw_util.h"

namespace {

using kordraw_test::DrawTest;
using kordraw_test::Rgb;

TEST(GothicFont, HalfWidthIsEightAndFullWidthSixteenPixels) {
  std::string file = platform::FindGothicFontFile();
  if (file.empty()) GTEST_SKIP() << "no font installed";
  auto font = platform::Font::Open(file, 16);
  ASSERT_NE(font, nullptr) << file;
  int32_t w = 0, h = 0;
  ASSERT_TRUE(font->Measure("12連鎖！", true, w, h));
  EXPECT_EQ(w, 64);
  ASSERT_TRUE(font->Measure("レベルアップ！", true, w, h));
  EXPECT_EQ(w, 112);
  ASSERT_TRUE(font->Measure("SCORE", false, w, h));
  EXPECT_EQ(w, 40);
  EXPECT_GE(h, 16);
}

TEST(GothicFont, OpeningSomethingThatIsNoFontFails) {
  EXPECT_EQ(platform::Font::Open("", 16), nullptr);
  EXPECT_EQ(platform::Font::Open("/nonexistent/font.ttf", 16), nullptr);
  EXPECT_EQ(platform::Font::Open("/etc/passwd", 16), nullptr);
  std::string file = platform::FindGothicFontFile();
  if (!file.empty()) {
    EXPECT_EQ(platform::Font::Open(file, 0), nullptr);
  }
}

class TextTest : public DrawTest {
 protected:
  void SetUp() override {
    DrawTest::SetUp();
    if (platform::FindGothicFontFile().empty()) GTEST_SKIP() << "no font installed";
  }
  // The bounding box of the pixels that are no longer the background colour.
  bool InkBox(uint32_t background, int& l, int& t, int& r, int& b) const {
    l = t = INT_MAX;
    r = b = INT_MIN;
    for (int y = 0; y < Draw.SurfaceHeight; ++y)
      for (int x = 0; x < Draw.SurfaceWidth; ++x)
        if (Px(x, y) != background) {
          l = std::min(l, x), t = std::min(t, y), r = std::max(r, x + 1), b = std::max(b, y + 1);
        }
    return l != INT_MAX;
  }
};

TEST_F(TextTest, TextIsDrawnInTheFontColourInsideItsCell) {
  const Rgb blue{0, 0, 160};
  FillWork(blue);
  Draw.Font().Color = 0xFFFF00;
  ASSERT_TRUE(Draw.TextOutA(100, 50, "12連鎖！"));
  int l, t, r, b;
  ASSERT_TRUE(InkBox(Map(blue), l, t, r, b));
  EXPECT_GE(l, 100);
  EXPECT_LE(r, 100 + 64);
  EXPECT_GE(t, 50);
  EXPECT_LE(b, 50 + 17);
  EXPECT_GT(r - l, 48);  // the text spans most of its cell
  // Fully covered pixels take the font colour exactly.
  int solid = 0;
  for (int y = t; y < b; ++y)
    for (int x = l; x < r; ++x) solid += Px(x, y) == Map(Rgb{255, 255, 0});
  EXPECT_GT(solid, 50);

  // The colour stays until changed; black text is drawn too (not transparent).
  FillWork(Rgb{255, 255, 255});
  Draw.Font().Color = 0x000000;
  ASSERT_TRUE(Draw.TextOutA(0, 0, "A"));
  ASSERT_TRUE(InkBox(Map(Rgb{255, 255, 255}), l, t, r, b));
  EXPECT_LE(r, 9);
  int black = 0;
  for (int y = t; y < b; ++y)
    for (int x = l; x < r; ++x) black += Px(x, y) == 0;
  EXPECT_GT(black, 5);
}

TEST_F(TextTest, TextIsCutAtTheSurfaceEdgesAndIgnoresTheClipRectangle) {
  Draw.SetClip(200, 200, 201, 201);
  Draw.Clear();
  Draw.Font().Color = 0xFFFFFF;
  EXPECT_TRUE(Draw.TextOutA(10, 10, "ABC"));
  int l, t, r, b;
  ASSERT_TRUE(InkBox(0, l, t, r, b));
  EXPECT_LT(l, 30);

  for (auto [x, y] : {std::pair{-20, -8}, {505, 378}, {INT_MIN, INT_MIN}, {INT_MAX, INT_MAX}, {-100000, 5}})
    EXPECT_TRUE(Draw.TextOutA(x, y, "レベルアップ！")) << x << "," << y;
  EXPECT_TRUE(Draw.TextOutA(0, 0, ""));
  EXPECT_TRUE(Draw.TextOutA(0, 0, std::string("\xff\xfe\x80 broken", 10)));
}

TEST_F(DrawTest, WithoutAFontTextFailsAndTheRestWorks) {
  Draw.FontPath = Dir.Path + "/no-such-font.ttf";
  FillWork(Rgb{9, 9, 9});
  EXPECT_FALSE(Draw.TextOutA(0, 0, "ABC"));
  EXPECT_FALSE(Draw.TextOutA(0, 0, "ABC"));
  int inside, outside;
  CountChanged(Map(Rgb{9, 9, 9}), 0, 0, 0, 0, inside, outside);
  EXPECT_EQ(outside, 0);
  EXPECT_TRUE(Draw.Fade(100));
  EXPECT_TRUE(Draw.Clear());
  EXPECT_TRUE(Draw.Update());
}

}  // namespace
