// The shipped pictures: every bitmap the game registers is embedded, loads, has exactly
// the size and cell grid the screens draw it with, and keeps to the transparency rule
// (only pure black is see-through; no real colour is so dark that a 16-bit surface
// would turn it transparent).
#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "platform/resources.h"

namespace {

// A bitmap as the screens draw it: its resource name, its size and its cell grid.
struct ExpectedBitmap {
  const char* Name;
  int Width, Height;
  int CellWidth, CellHeight;  // the grid the game cuts it into
};

const ExpectedBitmap kBitmaps[] = {
    {"BACK1", 512, 384, 512, 384},     {"BACK2", 512, 384, 512, 384},
    {"TITLE", 350, 100, 350, 100},     {"TITLE2", 229, 44, 229, 44},
    {"COPYRIGHT", 272, 32, 272, 32},   {"MINILOGO", 136, 40, 136, 40},
    {"FRAME", 96, 96, 32, 32},         {"CURSOR", 160, 40, 40, 40},
    {"GAMEOVER", 324, 90, 324, 90},    {"CLEAR", 396, 86, 36, 86},
    {"READY", 176, 56, 176, 56},       {"GO", 136, 72, 136, 72},
    {"ARROW", 48, 128, 48, 32},        {"BALLOON", 128, 128, 128, 128},
    {"FONT0", 96, 168, 24, 24},        {"FONT1", 96, 168, 24, 24},
    {"FONT2", 96, 168, 24, 24},        {"FONT3", 96, 168, 24, 24},
    {"FONT_CURS", 96, 24, 24, 24},     {"NUM0", 80, 32, 16, 16},
    {"NUM1", 80, 32, 16, 16},          {"NUM2", 80, 32, 16, 16},
    {"NUM3", 80, 32, 16, 16},          {"COLON", 64, 16, 16, 16},
    {"SELECT", 474, 72, 474, 72},      {"ENDLESS", 128, 54, 128, 54},
    {"PUZZLE", 128, 54, 128, 54},      {"FACE00", 128, 128, 128, 128},
    {"FACE01", 72, 270, 72, 54},       {"FACE02", 54, 60, 54, 20},
    {"FLASH", 128, 64, 32, 32},        {"STAR", 64, 16, 16, 16},
    {"REWARD", 510, 380, 102, 76},     {"KORLOGO", 272, 512, 272, 64},
    {"BLOCK1", 128, 224, 32, 32},      {"BLOCK2", 128, 224, 32, 32},
    {"BLOCK3", 128, 224, 32, 32},      {"BLOCK4", 128, 224, 32, 32},
    {"BLOCK5", 128, 224, 32, 32},
};

struct SurfaceDeleter {
  void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
using Surface = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

// Loads an embedded bitmap the way the game does and converts it to 32-bit RGB.
Surface LoadBitmap(const std::string& name) {
  platform::ResourceView view;
  if (!platform::FindResource("BITMAP", name, view)) return nullptr;
  SDL_RWops* rw = SDL_RWFromConstMem(view.Data, static_cast<int>(view.Size));
  Surface raw(SDL_LoadBMP_RW(rw, 1));
  if (!raw) return nullptr;
  return Surface(SDL_ConvertSurfaceFormat(raw.get(), SDL_PIXELFORMAT_XRGB8888, 0));
}

uint32_t Pixel(const SDL_Surface* s, int x, int y) {
  return static_cast<const uint32_t*>(s->pixels)[y * (s->pitch / 4) + x] & 0xFFFFFFu;
}

bool Transparent(const SDL_Surface* s, int x, int y) { return Pixel(s, x, y) == 0; }

// Counts see-through pixels in a rectangle.
int CountTransparent(const SDL_Surface* s, int x0, int y0, int w, int h) {
  int n = 0;
  for (int y = y0; y < y0 + h; ++y)
    for (int x = x0; x < x0 + w; ++x) n += Transparent(s, x, y) ? 1 : 0;
  return n;
}

TEST(AssetBitmaps, EveryBitmapIsEmbeddedWithItsExactSizeAndGrid) {
  for (const ExpectedBitmap& bitmap : kBitmaps) {
    SCOPED_TRACE(bitmap.Name);
    platform::ResourceView view;
    ASSERT_TRUE(platform::FindResource("BITMAP", bitmap.Name, view));
    SDL_RWops* rw = SDL_RWFromConstMem(view.Data, static_cast<int>(view.Size));
    Surface raw(SDL_LoadBMP_RW(rw, 1));
    ASSERT_TRUE(raw) << SDL_GetError();
    EXPECT_EQ(raw->w, bitmap.Width);
    EXPECT_EQ(raw->h, bitmap.Height);
    // The game's own formats: 8 bits with a palette, or 24 bits.
    int bpp = raw->format->BitsPerPixel;
    EXPECT_TRUE(bpp == 8 || bpp == 24) << bpp;
    // The grid divides the picture exactly, so no cell is cut short.
    EXPECT_EQ(raw->w % bitmap.CellWidth, 0);
    EXPECT_EQ(raw->h % bitmap.CellHeight, 0);
  }
}

TEST(AssetBitmaps, NoRealColourTurnsTransparentOnA16BitSurface) {
  // A colour whose channels all fall below one 5-bit step becomes the all-zero pixel
  // on a 16-bit surface and would vanish; only pure black may be transparent.
  for (const ExpectedBitmap& bitmap : kBitmaps) {
    SCOPED_TRACE(bitmap.Name);
    Surface s = LoadBitmap(bitmap.Name);
    ASSERT_TRUE(s);
    int bad = 0;
    for (int y = 0; y < s->h; ++y)
      for (int x = 0; x < s->w; ++x) {
        uint32_t p = Pixel(s.get(), x, y);
        uint32_t r = p >> 16, g = (p >> 8) & 255, b = p & 255;
        if (p != 0 && r < 8 && g < 8 && b < 8) ++bad;
      }
    EXPECT_EQ(bad, 0);
  }
}

TEST(AssetBitmaps, FullScreenPicturesAndFaceCellsHaveNoHoles) {
  // Backgrounds and the reward picture cover the screen; the expression and eyelid
  // cells must hide the features under them completely.
  for (const char* name : {"BACK1", "BACK2", "REWARD", "FACE01", "FACE02"}) {
    SCOPED_TRACE(name);
    Surface s = LoadBitmap(name);
    ASSERT_TRUE(s);
    EXPECT_EQ(CountTransparent(s.get(), 0, 0, s->w, s->h), 0);
  }
}

TEST(AssetBitmaps, EveryLetterAndDigitCellHasAPicture) {
  struct Set {
    const char* Name;
    int CellW, CellH, Count;
  };
  const Set sets[] = {{"BLOCK1", 32, 32, 26}, {"BLOCK2", 32, 32, 26}, {"BLOCK3", 32, 32, 26},
                      {"BLOCK4", 32, 32, 26}, {"BLOCK5", 32, 32, 26}, {"FONT0", 24, 24, 28},
                      {"FONT1", 24, 24, 28},  {"FONT2", 24, 24, 28},  {"FONT3", 24, 24, 28},
                      {"NUM0", 16, 16, 10},   {"NUM1", 16, 16, 10},   {"NUM2", 16, 16, 10},
                      {"NUM3", 16, 16, 10},   {"FONT_CURS", 24, 24, 4}, {"COLON", 16, 16, 4},
                      {"FLASH", 32, 32, 8},   {"STAR", 16, 16, 4},    {"CURSOR", 40, 40, 4},
                      {"ARROW", 48, 32, 4},   {"KORLOGO", 272, 64, 8}};
  for (const Set& set : sets) {
    Surface s = LoadBitmap(set.Name);
    ASSERT_TRUE(s) << set.Name;
    int cols = s->w / set.CellW;
    for (int c = 0; c < set.Count; ++c) {
      int x0 = (c % cols) * set.CellW, y0 = (c / cols) * set.CellH;
      EXPECT_LT(CountTransparent(s.get(), x0, y0, set.CellW, set.CellH), set.CellW * set.CellH)
          << set.Name << " cell " << c << " is empty";
    }
  }
}

TEST(AssetBitmaps, NoTwoLetterBlocksLookTheSame) {
  for (const char* name : {"BLOCK1", "BLOCK2", "BLOCK3", "BLOCK4", "BLOCK5"}) {
    Surface s = LoadBitmap(name);
    ASSERT_TRUE(s) << name;
    for (int a = 0; a < 26; ++a)
      for (int b = a + 1; b < 26; ++b) {
        int diff = 0;
        for (int y = 0; y < 32; ++y)
          for (int x = 0; x < 32; ++x)
            diff += Pixel(s.get(), (a % 4) * 32 + x, (a / 4) * 32 + y) !=
                    Pixel(s.get(), (b % 4) * 32 + x, (b / 4) * 32 + y);
        EXPECT_GT(diff, 40) << name << ": letters " << char('A' + a) << " and " << char('A' + b);
      }
  }
}

TEST(AssetBitmaps, EveryLetterBlockHasAColourOfItsOwn) {
  // Any of the 26 letters can meet in one well, so equal colours must mean equal letters.
  // A block's colour is the mean of its rim, the band between the cell's edge and the
  // letter; every two letters' rims differ clearly.
  for (const char* name : {"BLOCK1", "BLOCK2", "BLOCK3", "BLOCK4", "BLOCK5"}) {
    Surface s = LoadBitmap(name);
    ASSERT_TRUE(s) << name;
    double mean[26][3] = {};
    for (int l = 0; l < 26; ++l) {
      int n = 0;
      for (int y = 2; y < 30; ++y)
        for (int x = 2; x < 30; ++x) {
          if (x >= 5 && x < 27 && y >= 5 && y < 27) continue;
          uint32_t p = Pixel(s.get(), (l % 4) * 32 + x, (l / 4) * 32 + y);
          mean[l][0] += p >> 16, mean[l][1] += (p >> 8) & 255, mean[l][2] += p & 255, ++n;
        }
      for (double& c : mean[l]) c /= n;
    }
    for (int a = 0; a < 26; ++a)
      for (int b = a + 1; b < 26; ++b) {
        double d = std::hypot(mean[a][0] - mean[b][0], mean[a][1] - mean[b][1], mean[a][2] - mean[b][2]);
        EXPECT_GT(d, 8.0) << name << ": letters " << char('A' + a) << " and " << char('A' + b);
      }
  }
}

TEST(AssetBitmaps, FontGlyphsStayWithinTheirAdvance) {
  // Letters are placed 18 pixels apart (I 14, M N W 20); a glyph's ink may touch the
  // next one's outline but not run into its letter.
  for (const char* name : {"FONT0", "FONT1", "FONT2", "FONT3"}) {
    Surface s = LoadBitmap(name);
    ASSERT_TRUE(s) << name;
    for (int i = 0; i < 28; ++i) {
      int advance = i == 8 ? 14 : (i == 12 || i == 13 || i == 22) ? 20 : 18;
      int x0 = (i % 4) * 24, y0 = (i / 4) * 24;
      int right = -1;
      for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 24; ++x)
          if (!Transparent(s.get(), x0 + x, y0 + y)) right = std::max(right, x);
      EXPECT_LE(right, advance + 2) << name << " glyph " << i;
      // A waving text dips 8 pixels; drawn at y 354 its cells must end by row 21.
      EXPECT_EQ(CountTransparent(s.get(), x0, y0 + 22, 24, 2), 48) << name << " glyph " << i;
    }
  }
}

TEST(AssetBitmaps, GameOverAndStageClearLeaveTheStatusPanelInView) {
  // GAME OVER is drawn at x 92 and the eleven STAGE CLEAR cells end 36 pixels apart from
  // x 58; the status panel reaches x 124 and the well's frame starts at x 144.
  Surface over = LoadBitmap("GAMEOVER");
  ASSERT_TRUE(over);
  EXPECT_EQ(CountTransparent(over.get(), 0, 0, 144 - 92, over->h), (144 - 92) * over->h);
  Surface clear = LoadBitmap("CLEAR");
  ASSERT_TRUE(clear);
  EXPECT_EQ(CountTransparent(clear.get(), 0, 0, 72, clear->h), 72 * clear->h);
}

TEST(AssetBitmaps, FrameLeavesTheWellUncovered) {
  // The frame cells straddle the well's edge: only their outer half is frame.
  Surface s = LoadBitmap("FRAME");
  ASSERT_TRUE(s);
  EXPECT_EQ(CountTransparent(s.get(), 32, 20, 32, 12), 32 * 12);  // top edge: lower rows
  EXPECT_EQ(CountTransparent(s.get(), 20, 32, 12, 32), 12 * 32);  // left edge: right columns
  EXPECT_EQ(CountTransparent(s.get(), 64, 32, 12, 32), 12 * 32);  // right edge: left columns
  EXPECT_EQ(CountTransparent(s.get(), 32, 64, 32, 12), 32 * 12);  // bottom edge: upper rows
  EXPECT_LT(CountTransparent(s.get(), 32, 0, 32, 12), 32 * 12);   // and the border is there
}

TEST(AssetBitmaps, BalloonHoldsTheTextLineAndMiniLogoClearsTheFrame) {
  // The balloon text is drawn 80 pixels into the balloon, 16 pixels high, up to 112
  // pixels wide from 8 pixels in: that whole band must be balloon.
  Surface balloon = LoadBitmap("BALLOON");
  ASSERT_TRUE(balloon);
  EXPECT_EQ(CountTransparent(balloon.get(), 6, 78, 116, 20), 0);
  // The small logo sits at x 360, over the well frame's right border (to x 368).
  Surface mini = LoadBitmap("MINILOGO");
  ASSERT_TRUE(mini);
  EXPECT_EQ(CountTransparent(mini.get(), 0, 0, 10, mini->h), 10 * mini->h);
}

}  // namespace
