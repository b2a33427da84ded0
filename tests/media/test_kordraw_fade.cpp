// The fades: every channel pulled towards black or white by the level, in each pixel
// format, checked against a channel-by-channel model on buffers of their own and on the
// component's work surface.
#include <bit>
#include <climits>
#include <cstring>
#include <random>

#include "media/kordraw.h"
#include "tests/media/test_kordraw_util.h"

namespace {

struct Format {
  const char* Name;
  int32_t Bits;
  uint32_t R, G, B;
};

const Format kFormats[] = {{"Rgb555", 16, 0x7C00, 0x03E0, 0x001F},
                           {"Rgb565", 16, 0xF800, 0x07E0, 0x001F},
                           {"Rgb888", 24, 0xFF0000, 0xFF00, 0xFF},
                           {"Xrgb8888", 32, 0xFF0000, 0xFF00, 0xFF}};

// One channel moved by the level cut to the channel's width, clamped at 0 and full.
uint32_t ModelChannel(uint32_t v, uint32_t mask, int32_t level, bool white) {
  const int shift = std::countr_zero(mask);
  const int bits = std::popcount(mask);
  const uint32_t full = mask >> shift;
  const uint32_t c = (v & mask) >> shift;
  const uint32_t a = (static_cast<uint32_t>(level) & 0xFF) >> (8 - bits);
  const uint32_t n = white ? std::min(c + a, full) : (c > a ? c - a : 0);
  return n << shift;
}

uint32_t ModelPixel(const Format& f, uint32_t v, int32_t level, bool white) {
  const uint32_t colour = f.R | f.G | f.B;
  return (v & ~colour) | ModelChannel(v, f.R, level, white) | ModelChannel(v, f.G, level, white) |
         ModelChannel(v, f.B, level, white);
}

uint32_t ReadLe(const uint8_t* p, int n) {
  uint32_t v = 0;
  for (int i = 0; i < n; ++i) v |= uint32_t{p[i]} << (8 * i);
  return v;
}

void Classify(TKorDraw& d, const Format& f) { d.ClassifyPixelFormat(f.Bits, f.R, f.G, f.B); }

class FadeFormatTest : public testing::TestWithParam<Format> {};

// Random pixels with padding at the end of every row: the padding, the spare bits and
// everything outside the buffer stay as they were.
TEST_P(FadeFormatTest, MatchesTheChannelModelAtEveryLevel) {
  const Format& f = GetParam();
  TKorDraw draw;
  draw.ClassifyPixelFormat(f.Bits, f.R, f.G, f.B);
  const int bpp = f.Bits / 8, width = 37, height = 5, pitch = width * bpp + 5;
  std::mt19937 rng(static_cast<unsigned>(f.Bits + f.G));
  std::vector<uint8_t> original(static_cast<size_t>(pitch) * height);
  for (auto& b : original) b = static_cast<uint8_t>(rng());
  // Include the extremes of every channel.
  for (int i = 0; i < bpp; ++i) {
    original[i] = 0x00;
    original[bpp + i] = 0xFF;
  }
  const int32_t levels[] = {0, 1, 3, 4, 7, 8, 9, 16, 0x20, 100, 128, 200, 254, 255, 256, 257, 511, -1, -256, INT_MIN, INT_MAX};
  for (bool white : {false, true})
    for (int32_t level : levels) {
      SCOPED_TRACE(testing::Message() << (white ? "white " : "fade ") << level);
      std::vector<uint8_t> buf = original;
      if (white)
        draw.White_Pixel(buf.data(), width, height, pitch, level);
      else
        draw.Fade_Pixel(buf.data(), width, height, pitch, level);
      for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
          const size_t at = static_cast<size_t>(y) * pitch + static_cast<size_t>(x) * bpp;
          ASSERT_EQ(ReadLe(&buf[at], bpp), ModelPixel(f, ReadLe(&original[at], bpp), level, white))
              << x << "," << y;
        }
        for (int i = width * bpp; i < pitch; ++i)
          ASSERT_EQ(buf[static_cast<size_t>(y) * pitch + i], original[static_cast<size_t>(y) * pitch + i]);
      }
    }
}

TEST_P(FadeFormatTest, FullLevelGivesBlackOrWhiteAndZeroAnd256ChangeNothing) {
  const Format& f = GetParam();
  TKorDraw draw;
  Classify(draw, f);
  const int bpp = f.Bits / 8;
  std::vector<uint8_t> original(64 * bpp);
  std::mt19937 rng(5);
  for (auto& b : original) b = static_cast<uint8_t>(rng() | 1);
  const uint32_t colour = f.R | f.G | f.B;

  for (int32_t level : {0, 256, 512}) {
    std::vector<uint8_t> buf = original;
    draw.Fade_Pixel(buf.data(), 64, 1, 64 * bpp, level);
    EXPECT_EQ(buf, original) << level;
    draw.White_Pixel(buf.data(), 64, 1, 64 * bpp, level);
    EXPECT_EQ(buf, original) << level;
  }
  std::vector<uint8_t> dark = original, light = original;
  draw.Fade_Pixel(dark.data(), 64, 1, 64 * bpp, 255);
  draw.White_Pixel(light.data(), 64, 1, 64 * bpp, 255);
  for (int i = 0; i < 64; ++i) {
    const uint32_t v = ReadLe(&original[i * bpp], bpp);
    EXPECT_EQ(ReadLe(&dark[i * bpp], bpp), v & ~colour);
    EXPECT_EQ(ReadLe(&light[i * bpp], bpp), (v & ~colour) | colour);
  }
}

INSTANTIATE_TEST_SUITE_P(Formats, FadeFormatTest, testing::ValuesIn(kFormats),
                         [](const testing::TestParamInfo<Format>& i) { return std::string(i.param.Name); });

TEST(Fade, TwentyFourBitExample) {
  TKorDraw draw;
  Classify(draw, kFormats[2]);
  uint8_t px[3] = {0xF0, 0x10, 0x80};  // blue, green, red: (0x80, 0x10, 0xF0)
  draw.Fade_Pixel(px, 1, 1, 3, 0x20);
  EXPECT_EQ(px[2], 0x60);
  EXPECT_EQ(px[1], 0x00);
  EXPECT_EQ(px[0], 0xD0);
  uint8_t wx[3] = {0xF0, 0x10, 0x80};
  draw.White_Pixel(wx, 1, 1, 3, 0x20);
  EXPECT_EQ(wx[2], 0xA0);
  EXPECT_EQ(wx[1], 0x30);
  EXPECT_EQ(wx[0], 0xFF);
}

TEST(Fade, SixteenBitStepsFollowTheChannelWidths) {
  TKorDraw d555;
  Classify(d555, kFormats[0]);
  const uint16_t mid555 = (10 << 10) | (10 << 5) | 10;
  for (int level = 0; level < 8; ++level) {
    uint16_t v = mid555;
    d555.Fade_Pixel(reinterpret_cast<uint8_t*>(&v), 1, 1, 2, level);
    EXPECT_EQ(v, mid555) << level;
  }
  uint16_t v = mid555;
  d555.Fade_Pixel(reinterpret_cast<uint8_t*>(&v), 1, 1, 2, 8);
  EXPECT_EQ(v, (9 << 10) | (9 << 5) | 9);

  TKorDraw d565;
  Classify(d565, kFormats[1]);
  const uint16_t mid565 = (10 << 11) | (10 << 5) | 10;
  v = mid565;
  d565.Fade_Pixel(reinterpret_cast<uint8_t*>(&v), 1, 1, 2, 4);
  EXPECT_EQ(v, (10 << 11) | (9 << 5) | 10);
  v = mid565;
  d565.White_Pixel(reinterpret_cast<uint8_t*>(&v), 1, 1, 2, 4);
  EXPECT_EQ(v, (10 << 11) | (11 << 5) | 10);
}

TEST(Fade, FourthByteOfThirtyTwoBitPixelsIsKept) {
  TKorDraw draw;
  Classify(draw, kFormats[3]);
  uint32_t px[5] = {0xAB123456, 0xFFFFFFFF, 0x01000000, 0x80808080, 0x7F000001};
  uint32_t orig[5];
  std::memcpy(orig, px, sizeof px);
  draw.Fade_Pixel(reinterpret_cast<uint8_t*>(px), 5, 1, 20, 0x40);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(px[i] >> 24, orig[i] >> 24);
  EXPECT_EQ(px[0] & 0xFFFFFF, 0x000016u);
  draw.White_Pixel(reinterpret_cast<uint8_t*>(px), 5, 1, 20, 0xFF);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(px[i], (orig[i] & 0xFF000000) | 0xFFFFFF);
}

TEST(Fade, PalettisedPixelsAndBadBuffersAreLeftAlone) {
  TKorDraw draw;
  draw.ClassifyPixelFormat(8, 0, 0, 0);
  std::vector<uint8_t> buf = {1, 2, 3, 4, 5, 6, 7, 8};
  draw.Fade_Pixel(buf.data(), 8, 1, 8, 255);
  draw.White_Pixel(buf.data(), 8, 1, 8, 255);
  EXPECT_EQ(buf, (std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 7, 8}));

  TKorDraw d32;
  Classify(d32, kFormats[3]);
  d32.Fade_Pixel(nullptr, 10, 10, 40, 255);
  d32.Fade_Pixel(buf.data(), 2, 1, 7, 255);  // pitch shorter than a row: refused
  d32.Fade_Pixel(buf.data(), -2, 1, 8, 255);
  d32.Fade_Pixel(buf.data(), 2, 0, 8, 255);
  EXPECT_EQ(buf, (std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 7, 8}));
}

// The component's own fades over its work surface, in each format the surface can have.
class FadeSurfaceTest : public kordraw_test::DrawTest, public testing::WithParamInterface<Format> {
 protected:
  platform::PixelFormat WorkFormat() const override {
    return platform::PixelFormat{GetParam().Bits, GetParam().R, GetParam().G, GetParam().B};
  }
};

TEST_P(FadeSurfaceTest, FadeAndWhiteFadeWorkOnTheWorkSurface) {
  const Format& f = GetParam();
  EXPECT_EQ(Draw.PixelFormat, f.Bits == 32   ? sf32bpp
                              : f.Bits == 24 ? sf24bpp
                              : f.G == 0x3E0 ? sf555
                                             : sf565);
  std::mt19937 rng(11);
  platform::Surface& s = *Draw.WorkSurface;
  const uint32_t colour = f.R | f.G | f.B;
  for (int y = 0; y < s.Height(); ++y)
    for (int x = 0; x < s.Width(); ++x) s.SetPixel(x, y, rng() & colour);
  std::vector<uint8_t> before(s.Pixels(), s.Pixels() + static_cast<size_t>(s.Pitch()) * s.Height());
  auto old = [&](int x, int y) {
    return ReadLe(&before[static_cast<size_t>(y) * s.Pitch() + static_cast<size_t>(x) * (f.Bits / 8)], f.Bits / 8);
  };

  ASSERT_TRUE(Draw.Fade(0x55));
  for (int y = 0; y < s.Height(); y += 7)
    for (int x = 0; x < s.Width(); x += 3) ASSERT_EQ(s.GetPixel(x, y), ModelPixel(f, old(x, y), 0x55, false));
  std::memcpy(s.Pixels(), before.data(), before.size());
  ASSERT_TRUE(Draw.WhiteFade(0x55));
  for (int y = 0; y < s.Height(); y += 7)
    for (int x = 0; x < s.Width(); x += 3) ASSERT_EQ(s.GetPixel(x, y), ModelPixel(f, old(x, y), 0x55, true));
  ASSERT_TRUE(Draw.Fade(255));
  EXPECT_EQ(s.GetPixel(511, 383), 0u);
  Draw.ReleaseAll();
  EXPECT_FALSE(Draw.Fade(10));
  EXPECT_FALSE(Draw.WhiteFade(10));
}

INSTANTIATE_TEST_SUITE_P(Formats, FadeSurfaceTest, testing::ValuesIn(kFormats),
                         [](const testing::TestParamInfo<Format>& i) { return std::string(i.param.Name); });

}  // namespace
