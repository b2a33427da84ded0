// The drawing component: set-up and settings, the sprite registry, cells, clipping,
// transparency and presentation.
#include <climits>
#include <random>

#include "media/kordraw.h"
#include "platform/resources.h"
#include "platform/window.h"
#include "tests/media/test_kordraw_util.h"

namespace {

using kordraw_test::DrawTest;
using kordraw_test::MakeBmp24;
using kordraw_test::MakeBmp8;
using kordraw_test::Rgb;
using kordraw_test::SolidBmp24;
using kordraw_test::TempDir;

const Rgb kBlack{0, 0, 0};
const Rgb kRed{248, 0, 0};
const Rgb kGreen{0, 248, 0};
const Rgb kBlue{0, 0, 248};
const Rgb kWhite{255, 255, 255};
const Rgb kGrey{128, 128, 128};
const Rgb kYellow{248, 248, 0};

// A 128 x 64 sheet of 8-bit pixels cut into 48 x 32 cells: cells 0..3 are red, green,
// blue and white, the 32-pixel strip at the right is yellow, and pixel (1, 1) of every
// cell is black.
std::vector<uint8_t> SheetBmp() {
  std::vector<Rgb> palette = {kBlack, kRed, kGreen, kBlue, kWhite, kYellow};
  std::vector<uint8_t> idx(128 * 64);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 128; ++x) {
      uint8_t v = x >= 96 ? 5 : static_cast<uint8_t>(1 + (y / 32) * 2 + x / 48);
      if (x < 96 && x % 48 == 1 && y % 32 == 1) v = 0;
      idx[y * 128 + x] = v;
    }
  return MakeBmp8(128, 64, palette, idx);
}

// ---------------------------------------------------------------- set-up and settings

TEST(KorDrawInit, NothingWorksBeforeInitOrWithoutAWindow) {
  TKorDraw draw;
  EXPECT_FALSE(draw.Ready);
  EXPECT_FALSE(draw.Update());
  EXPECT_FALSE(draw.UpdateTmp());
  EXPECT_FALSE(draw.Clear());
  EXPECT_FALSE(draw.Fade(128));
  EXPECT_FALSE(draw.WhiteFade(128));
  EXPECT_FALSE(draw.TextOutA(0, 0, "A"));
  TempDir dir;
  std::string path = dir.Write("a.bmp", SolidBmp24(8, 8, kRed));
  EXPECT_FALSE(draw.CreateSprite("a", path, 0, 0));
  EXPECT_EQ(draw.GetSpriteSurf("a"), nullptr);
  EXPECT_FALSE(draw.Draw(0, 0, "a", 0));

  EXPECT_FALSE(draw.Init(nullptr, 512, 384, false, 16));
  EXPECT_FALSE(draw.Ready);
  EXPECT_FALSE(draw.Update());
  EXPECT_EQ(draw.WorkSurface, nullptr);
}

TEST(KorDrawInit, SizesAreClampedAndOffsetsCentreTheSurface) {
  auto wnd = platform::Window::CreateHeadless(513, 384);
  TKorDraw draw;
  struct Case {
    int w, h, wantW, wantH, offX, offY;
  } cases[] = {{512, 384, 512, 384, 64, 48}, {0, 0, 640, 480, 0, 0},       {700, 481, 640, 480, 0, 0},
               {-5, -1, 640, 480, 0, 0},     {640, 480, 640, 480, 0, 0}, {1, 1, 1, 1, 319, 239},
               {511, 383, 511, 383, 64, 48}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.w << "x" << c.h);
    ASSERT_TRUE(draw.Init(wnd.get(), c.w, c.h, false, 16));
    EXPECT_EQ(draw.SurfaceWidth, c.wantW);
    EXPECT_EQ(draw.SurfaceHeight, c.wantH);
    EXPECT_EQ(draw.WorkSurface->Width(), c.wantW);
    EXPECT_EQ(draw.TmpSurface->Height(), c.wantH);
    EXPECT_EQ(draw.ScreenOffsetX, c.offX);
    EXPECT_EQ(draw.ScreenOffsetY, c.offY);
    EXPECT_EQ(draw.ClipRect.Left, 0);
    EXPECT_EQ(draw.ClipRect.Top, 0);
    EXPECT_EQ(draw.ClipRect.Right, c.wantW);
    EXPECT_EQ(draw.ClipRect.Bottom, c.wantH);
  }
}

TEST(KorDrawInit, SettersAndTheShortForm) {
  TKorDraw draw;
  EXPECT_EQ(draw.Width, 640);
  EXPECT_EQ(draw.Height, 480);
  draw.SetWidth(512);
  draw.SetWidth(700);  // above 640: ignored
  EXPECT_EQ(draw.Width, 512);
  draw.SetHeight(481);
  EXPECT_EQ(draw.Height, 480);
  draw.SetHeight(384);
  EXPECT_EQ(draw.Height, 384);
  draw.SetWidth(-3);  // stored; Init turns it into 640
  EXPECT_EQ(draw.Width, -3);
  draw.SetWidth(512);

  TKorFont font;
  font.Color = 0x123456;
  font.Height = 16;
  draw.SetFont(font);
  EXPECT_EQ(draw.Font().Color, 0x123456u);

  auto wnd = platform::Window::CreateHeadless(513, 384);
  ASSERT_TRUE(draw.Init(wnd.get()));
  EXPECT_EQ(draw.SurfaceWidth, 512);
  EXPECT_EQ(draw.SurfaceHeight, 384);
  EXPECT_FALSE(draw.ScreenFull);
  EXPECT_EQ(draw.PixelFormat, sf32bpp);
  EXPECT_EQ(draw.BytesPerPixel, 4);
  EXPECT_EQ(draw.RedMask, 0xFF0000u);
  EXPECT_EQ(draw.GreenMask, 0xFF00u);
  EXPECT_EQ(draw.BlueMask, 0xFFu);
  EXPECT_EQ(draw.ColorMask, 0xFFFFFFu);
  EXPECT_EQ(draw.KeepMask, 0xFF000000u);
}

TEST(KorDrawInit, PixelFormatClassification) {
  TKorDraw draw;
  // In this order: an unknown combination leaves the class as it was (24 bits) but still
  // takes the masks.
  const struct {
    int32_t Bits;
    uint32_t Red, Green, Blue;
    TSurfaceFormat Class;
    uint32_t Keep;
    int32_t Bytes;
  } cases[] = {
      {16, 0x7C00, 0x03E0, 0x001F, sf555, 0xFFFF8000u, 2},
      {16, 0xF800, 0x07E0, 0x001F, sf565, 0xFFFF0000u, 2},
      {24, 0xFF0000, 0xFF00, 0xFF, sf24bpp, 0xFF000000u, 3},
      {16, 0x0F00, 0x00F0, 0x000F, sf24bpp, 0xFFFFF000u, 2},
      {8, 0, 0, 0, sf8bpp, 0xFFFFFFFFu, 1},
  };
  for (const auto& c : cases) {
    draw.ClassifyPixelFormat(c.Bits, c.Red, c.Green, c.Blue);
    EXPECT_EQ(draw.PixelFormat, c.Class) << c.Bits << " " << c.Red;
    EXPECT_EQ(draw.GreenMask, c.Green);
    EXPECT_EQ(draw.ColorMask, c.Red | c.Green | c.Blue);
    EXPECT_EQ(draw.KeepMask, c.Keep) << c.Bits << " " << c.Red;
    EXPECT_EQ(draw.BytesPerPixel, c.Bytes);
  }
}

TEST(KorDrawInit, FullScreenSavesTheWindowRectOnceAndReInitEmptiesTheRegistry) {
  auto wnd = platform::Window::CreateHeadless(513, 384);
  TKorDraw draw;
  TempDir dir;
  ASSERT_TRUE(draw.Init(wnd.get(), 512, 384, false, 16));
  EXPECT_EQ(draw.SavedWindowRect.Right, 0);
  ASSERT_TRUE(draw.CreateSprite("a", dir.Write("a.bmp", SolidBmp24(8, 8, kRed)), 0, 0));

  ASSERT_TRUE(draw.Init(wnd.get(), 512, 384, true, 16));
  EXPECT_TRUE(draw.ScreenFull);
  EXPECT_EQ(draw.SavedWindowRect.Right, 513);
  EXPECT_EQ(draw.SavedWindowRect.Bottom, 384);
  EXPECT_TRUE(draw.Sprites.empty());
  EXPECT_FALSE(draw.Draw(0, 0, "a", 0));

  ASSERT_TRUE(draw.Init(wnd.get(), 512, 384, false, 16));
  EXPECT_FALSE(draw.ScreenFull);
  EXPECT_EQ(draw.SavedWindowRect.Right, 513);  // kept once saved
}

// ---------------------------------------------------------------- presentation

TEST_F(DrawTest, UpdatePresentsTheWorkSurfaceAndUpdateTmpCopiesIt) {
  FillWork(kGrey);
  Draw.WorkSurface->SetPixel(5, 7, Map(kRed));
  ASSERT_TRUE(Draw.Update());
  ASSERT_EQ(Wnd->LastFrameWidth(), 512);
  ASSERT_EQ(Wnd->LastFrameHeight(), 384);
  EXPECT_EQ(Wnd->LastFrame()[7 * 512 + 5], 0xF80000u);
  EXPECT_EQ(Wnd->LastFrame()[0], 0x808080u);

  ASSERT_TRUE(Draw.UpdateTmp());
  EXPECT_EQ(Draw.TmpSurface->GetPixel(5, 7), Map(kRed));
  EXPECT_EQ(Draw.TmpSurface->GetPixel(511, 383), Map(kGrey));

  ASSERT_TRUE(Draw.Clear());
  EXPECT_EQ(Px(5, 7), 0u);
  Draw.ReleaseAll();
  EXPECT_FALSE(Draw.Update());
  EXPECT_FALSE(Draw.Clear());
}

class Draw565Test : public DrawTest {
  platform::PixelFormat WorkFormat() const override { return platform::PixelFormat::Rgb565(); }
};

TEST_F(Draw565Test, UpdateWidensA16BitSurfaceToXrgb) {
  EXPECT_EQ(Draw.PixelFormat, sf565);
  FillWork(kWhite);
  Draw.WorkSurface->SetPixel(1, 0, Map(Rgb{0x80, 0x40, 0x08}));
  ASSERT_TRUE(Draw.Update());
  EXPECT_EQ(Wnd->LastFrame()[0], 0xFFFFFFu);
  EXPECT_EQ(Wnd->LastFrame()[1], 0x844108u);  // 5- and 6-bit channels widened
}

// ---------------------------------------------------------------- the registry

TEST_F(DrawTest, CellsAreCountedFromTheBitmapAndCellSizes) {
  std::string sheet = Dir.Write("sheet.bmp", SheetBmp());
  ASSERT_TRUE(Draw.CreateSprite("cells", sheet, 48, 32));
  TSpriteSurf* s = Draw.GetSpriteSurf("cells");
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->Columns, 2);  // the right 32 pixels make no column
  EXPECT_EQ(s->CellCount, 4);
  EXPECT_EQ(s->Surface->Width(), 128);

  ASSERT_TRUE(Draw.CreateSprite("whole", sheet, 0, 0));
  s = Draw.GetSpriteSurf("whole");
  EXPECT_EQ(s->CellWidth, 128);
  EXPECT_EQ(s->CellHeight, 64);
  EXPECT_EQ(s->CellCount, 1);

  ASSERT_TRUE(Draw.CreateSprite("rows", sheet, 0, 20));  // 64 / 20: three rows, 4 px left over
  EXPECT_EQ(Draw.GetSpriteSurf("rows")->CellCount, 3);

  // A bitmap smaller than one cell has no cell at all.
  ASSERT_TRUE(Draw.CreateSprite("big", sheet, 200, 32));
  EXPECT_EQ(Draw.GetSpriteSurf("big")->CellCount, 0);
  FillWork(kGrey);
  EXPECT_FALSE(Draw.Draw(0, 0, "big", 0));
  EXPECT_EQ(Px(0, 0), Map(kGrey));

  EXPECT_EQ(Draw.Sprites.size(), 4u);
  EXPECT_EQ(Draw.Sprites[0]->Key, "cells");
  EXPECT_EQ(Draw.Sprites[3]->Key, "big");
}

TEST_F(DrawTest, ReRegistrationKeepsReloadsOrRemoves) {
  std::string a = Dir.Write("a.bmp", SolidBmp24(32, 16, kRed));
  std::string b = Dir.Write("b.bmp", SolidBmp24(64, 16, kBlue));
  ASSERT_TRUE(Draw.CreateSprite("first", a, 0, 0));
  ASSERT_TRUE(Draw.CreateSprite("k", a, 0, 0));
  ASSERT_TRUE(Draw.CreateSprite("last", b, 0, 0));

  // Same resource name: nothing is reloaded (the file is even gone), cell sizes ignored.
  std::filesystem::remove(a);
  EXPECT_TRUE(Draw.CreateSprite("k", a, 8, 8));
  EXPECT_EQ(Draw.GetSpriteSurf("k")->CellWidth, 32);

  // Another resource name: reloaded with the new cell sizes, in the same place.
  EXPECT_TRUE(Draw.CreateSprite("k", b, 16, 16));
  TSpriteSurf* k = Draw.GetSpriteSurf("k");
  EXPECT_EQ(k->ResName, b);
  EXPECT_EQ(k->CellCount, 4);
  EXPECT_EQ(Draw.Sprites[1]->Key, "k");
  FillWork(kBlack);
  EXPECT_TRUE(Draw.Draw(0, 0, "k", 3));
  EXPECT_EQ(Px(0, 0), Map(kBlue));

  // A reload that fails takes the key away; the others stay, in order.
  EXPECT_FALSE(Draw.CreateSprite("k", Dir.Path + "/missing.bmp", 0, 0));
  EXPECT_EQ(Draw.GetSpriteSurf("k"), nullptr);
  ASSERT_EQ(Draw.Sprites.size(), 2u);
  EXPECT_EQ(Draw.Sprites[0]->Key, "first");
  EXPECT_EQ(Draw.Sprites[1]->Key, "last");

  // Keys compare exactly.
  EXPECT_EQ(Draw.GetSpriteSurf("First"), nullptr);
  EXPECT_TRUE(Draw.DeleteSprite("first"));
  EXPECT_FALSE(Draw.DeleteSprite("first"));
  EXPECT_FALSE(Draw.Draw(0, 0, "first", 0));
  EXPECT_EQ(Draw.Sprites.size(), 1u);
}

TEST_F(DrawTest, EmbeddedBitmapsLoadByName) {
  int bitmaps = 0;
  for (int i = 0; i < platform::kEmbeddedResourceCount && bitmaps < 3; ++i) {
    const platform::EmbeddedResource& r = platform::kEmbeddedResources[i];
    if (std::string(r.Type) != "BITMAP") continue;
    ++bitmaps;
    EXPECT_TRUE(Draw.CreateSprite(r.Name, r.Name, 0, 0)) << r.Name;
    EXPECT_TRUE(Draw.Draw(0, 0, r.Name, 0)) << r.Name;
  }
  if (bitmaps == 0) GTEST_SKIP() << "no bitmap resources built in";
}

TEST_F(DrawTest, BadBitmapsAreRefusedAndLeaveNoKey) {
  std::vector<uint8_t> good = SolidBmp24(16, 16, kRed);
  std::vector<std::pair<std::string, std::string>> bad = {
      {"missing", Dir.Path + "/nothing-here.bmp"},
      {"empty name", ""},
      {"folder", Dir.Path},
      {"empty file", Dir.Write("empty.bmp", {})},
      {"text", Dir.Write("text.bmp", std::vector<uint8_t>{'h', 'e', 'l', 'l', 'o', '\n'})},
  };
  for (size_t cut : {size_t{2}, size_t{14}, size_t{30}, size_t{54}, good.size() / 2, good.size() - 1}) {
    std::vector<uint8_t> t(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(cut));
    bad.push_back({"truncated " + std::to_string(cut), Dir.Write("cut" + std::to_string(cut) + ".bmp", t)});
  }
  // A header that asks for a huge bitmap from a few bytes.
  std::vector<uint8_t> huge = good;
  huge[18] = 0xFF, huge[19] = 0xFF, huge[20] = 0xFF, huge[21] = 0x0F;
  bad.push_back({"huge", Dir.Write("huge.bmp", huge)});
  std::vector<uint8_t> negativeWidth = good;
  negativeWidth[21] = 0x80;
  bad.push_back({"negative width", Dir.Write("negw.bmp", negativeWidth)});

  for (const auto& [what, path] : bad) {
    EXPECT_FALSE(Draw.CreateSprite("bad", path, 0, 0)) << what;
    EXPECT_EQ(Draw.GetSpriteSurf("bad"), nullptr) << what;
  }
  EXPECT_TRUE(Draw.Sprites.empty());
  EXPECT_TRUE(Draw.CreateSprite("good", Dir.Write("good.bmp", good), 0, 0));
}

TEST_F(DrawTest, DamagedBitmapsNeverBreakDrawing) {
  std::vector<uint8_t> base = SheetBmp();
  std::mt19937 rng(1234);
  int loaded = 0;
  for (int round = 0; round < 150; ++round) {
    std::vector<uint8_t> bytes = base;
    int flips = 1 + static_cast<int>(rng() % 6);
    for (int i = 0; i < flips; ++i) {
      // Mostly the headers and palette, where damage matters.
      size_t at = rng() % 3 ? rng() % 1100 : rng() % bytes.size();
      bytes[at] = static_cast<uint8_t>(rng());
    }
    if (rng() % 4 == 0) bytes.resize(rng() % bytes.size());
    std::string path = Dir.Write("fuzz.bmp", bytes);
    Draw.DeleteSprite("f");
    if (!Draw.CreateSprite("f", path, 48, 32)) {
      EXPECT_EQ(Draw.GetSpriteSurf("f"), nullptr);
      continue;
    }
    ++loaded;
    TSpriteSurf* s = Draw.GetSpriteSurf("f");
    for (int cell = -1; cell <= s->CellCount; ++cell) Draw.Draw(500, 370, s, cell);
  }
  EXPECT_GT(loaded, 0);
}

// ---------------------------------------------------------------- drawing cells

TEST_F(DrawTest, CellsAreCutRowByRowAndBlackIsTransparent) {
  ASSERT_TRUE(Draw.CreateSprite("s", Dir.Write("s.bmp", SheetBmp()), 48, 32));
  const Rgb colours[4] = {kRed, kGreen, kBlue, kWhite};
  for (int cell = 0; cell < 4; ++cell) {
    SCOPED_TRACE(cell);
    FillWork(kGrey);
    ASSERT_TRUE(Draw.Draw(100, 50, "s", cell));
    int inside, outside;
    CountChanged(Map(kGrey), 100, 50, 148, 82, inside, outside);
    EXPECT_EQ(outside, 0);
    EXPECT_EQ(inside, 48 * 32 - 1);
    EXPECT_EQ(Px(100, 50), Map(colours[cell]));
    EXPECT_EQ(Px(147, 81), Map(colours[cell]));
    EXPECT_EQ(Px(101, 51), Map(kGrey));  // the black pixel let the background through
  }
  FillWork(kGrey);
  EXPECT_FALSE(Draw.Draw(0, 0, "s", 4));  // == CellCount
  EXPECT_FALSE(Draw.Draw(0, 0, "s", -1));
  EXPECT_FALSE(Draw.Draw(0, 0, "nobody", 0));
  EXPECT_FALSE(Draw.Draw(0, 0, static_cast<TSpriteSurf*>(nullptr), 0));
  int inside, outside;
  CountChanged(Map(kGrey), 0, 0, 0, 0, inside, outside);
  EXPECT_EQ(outside, 0);
}

TEST_F(DrawTest, TransparencyGoesByColourNotPaletteIndex) {
  // Palette entry 0 is white here; entry 1 is black.
  std::vector<uint8_t> idx = {0, 1, 2, 1};
  ASSERT_TRUE(Draw.CreateSprite("p", Dir.Write("p.bmp", MakeBmp8(4, 1, {kWhite, kBlack, kRed}, idx)), 0, 0));
  FillWork(kGrey);
  ASSERT_TRUE(Draw.Draw(0, 0, "p", 0));
  EXPECT_EQ(Px(0, 0), Map(kWhite));
  EXPECT_EQ(Px(1, 0), Map(kGrey));
  EXPECT_EQ(Px(2, 0), Map(kRed));
  EXPECT_EQ(Px(3, 0), Map(kGrey));
}

// Clipping against the edges of the clip rectangle, in the Part's arithmetic.
TEST_F(DrawTest, ClipEdgesTouchingAndHalfAcross) {
  ASSERT_TRUE(Draw.CreateSprite("s", Dir.Write("s.bmp", SheetBmp()), 48, 32));
  Draw.SetClip(100, 100, 300, 200);
  const uint32_t grey = Map(kGrey);
  // Draws a cell at (x, y) on a grey surface: the count of pixels it changed, all of which
  // must lie in the rectangle l, t, r, b.
  const auto drawnIn = [&](int x, int y, int cell, int l, int t, int r, int b) {
    FillWork(kGrey);
    EXPECT_TRUE(Draw.Draw(x, y, "s", cell));
    int inside, outside;
    CountChanged(grey, l, t, r, b, inside, outside);
    EXPECT_EQ(outside, 0) << x << "," << y;
    return inside;
  };

  // Touching from each side counts as outside: true, nothing drawn.
  const int touching[4][2] = {{52, 120}, {300, 120}, {150, 68}, {150, 200}};
  for (const auto& p : touching) drawnIn(p[0], p[1], 0, 0, 0, 0, 0);

  // Half across the left edge: the right half of the cell, placed at clip.left.
  EXPECT_EQ(drawnIn(76, 120, 3, 100, 120, 124, 152), 24 * 32);
  EXPECT_EQ(Px(100, 120), Map(kWhite));

  // Across the top-left corner, showing the black pixel's neighbourhood of cell 1.
  EXPECT_EQ(drawnIn(99, 99, 1, 100, 100, 147, 131), 47 * 31 - 1);
  EXPECT_EQ(Px(100, 100), grey);  // cell pixel (1, 1) is black
  EXPECT_EQ(Px(101, 100), Map(kGreen));

  // Across the bottom-right corner.
  EXPECT_EQ(drawnIn(280, 190, 2, 280, 190, 300, 200), 20 * 10 - 1);

  // -1 everywhere restores the whole surface.
  Draw.SetClip(-1, -1, -1, -1);
  EXPECT_EQ(Draw.ClipRect.Right, 512);
  EXPECT_EQ(Draw.ClipRect.Bottom, 384);
  EXPECT_EQ(drawnIn(-47, -31, 0, 0, 0, 1, 1), 1);
  EXPECT_EQ(drawnIn(511, 383, 0, 511, 383, 512, 384), 1);
}

// Every position and clip rectangle inside a small surface: the drawn pixels are exactly
// those of the cell inside the clip rectangle, minus its black ones.
class DrawSmallTest : public DrawTest {
 protected:
  int SurfaceW() const override { return 64; }
  int SurfaceH() const override { return 48; }
};

Rgb SweepColour(int x, int y) {
  if (x % 10 == 3 && y % 6 == 2) return kBlack;
  return Rgb{static_cast<uint8_t>(8 + x * 8), static_cast<uint8_t>(8 + y * 16), 200};
}

TEST_F(DrawSmallTest, ClippedCellsMatchAReferenceEverywhere) {
  std::vector<Rgb> px(20 * 12);
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 20; ++x) px[y * 20 + x] = SweepColour(x, y);
  ASSERT_TRUE(Draw.CreateSprite("s", Dir.Write("s.bmp", MakeBmp24(20, 12, px)), 10, 6));
  const uint32_t sentinel = Map(Rgb{0, 0, 40});
  std::mt19937 rng(99);
  for (int round = 0; round < 1500; ++round) {
    int l = static_cast<int>(rng() % 65), t = static_cast<int>(rng() % 49);
    int r = l + static_cast<int>(rng() % (65 - l)), b = t + static_cast<int>(rng() % (49 - t));
    int x = static_cast<int>(rng() % 90) - 15, y = static_cast<int>(rng() % 70) - 10;
    int cell = static_cast<int>(rng() % 4);
    Draw.SetClip(l, t, r, b);
    Draw.WorkSurface->Fill(sentinel);
    ASSERT_TRUE(Draw.Draw(x, y, "s", cell));
    const int sx = (cell % 2) * 10, sy = (cell / 2) * 6;
    for (int py = 0; py < 48; ++py)
      for (int pxx = 0; pxx < 64; ++pxx) {
        uint32_t want = sentinel;
        if (pxx >= l && pxx < r && py >= t && py < b && pxx >= x && pxx < x + 10 && py >= y && py < y + 6) {
          Rgb c = SweepColour(sx + pxx - x, sy + py - y);
          if (c.R || c.G || c.B) want = Map(c);
        }
        ASSERT_EQ(Px(pxx, py), want) << "round " << round << " at " << pxx << "," << py << " clip "
                                     << l << "," << t << "," << r << "," << b << " pos " << x
                                     << "," << y << " cell " << cell;
      }
  }
}

// Clip rectangles and positions that make no sense never write outside the part of the
// surface that both the clip rectangle and the cell cover.
TEST_F(DrawSmallTest, NonsenseClipsAndPositionsStayInside) {
  ASSERT_TRUE(Draw.CreateSprite("s", Dir.Write("s.bmp", SolidBmp24(20, 12, kWhite)), 10, 6));
  const uint32_t sentinel = Map(Rgb{0, 0, 40});
  std::mt19937 rng(7);
  const int extremes[] = {INT_MIN, INT_MIN + 1, -1000000, -11, -1, 0, 1, 63, 64, 65, 1000000, INT_MAX - 1, INT_MAX};
  auto pick = [&]() {
    return rng() % 3 == 0 ? extremes[rng() % std::size(extremes)] : static_cast<int>(rng() % 200) - 70;
  };
  for (int round = 0; round < 3000; ++round) {
    int l = pick(), t = pick(), r = pick(), b = pick(), x = pick(), y = pick();
    Draw.SetClip(l, t, r, b);
    Draw.WorkSurface->Fill(sentinel);
    Draw.Draw(x, y, "s", static_cast<int>(rng() % 4));
    const TKorRect& c = Draw.ClipRect;
    for (int py = 0; py < 48; ++py)
      for (int pxx = 0; pxx < 64; ++pxx) {
        if (Px(pxx, py) == sentinel) continue;
        bool allowed = pxx >= c.Left && pxx < c.Right && py >= c.Top && py < c.Bottom &&
                       int64_t{pxx} >= x && int64_t{pxx} < int64_t{x} + 10 && int64_t{py} >= y &&
                       int64_t{py} < int64_t{y} + 6;
        ASSERT_TRUE(allowed) << pxx << "," << py << " clip " << l << "," << t << "," << r << ","
                             << b << " pos " << x << "," << y;
      }
  }
}

TEST_F(DrawTest, ClipBeyondTheSurfaceRefusesRatherThanWritingOutside) {
  ASSERT_TRUE(Draw.CreateSprite("s", Dir.Write("s.bmp", SolidBmp24(32, 32, kWhite)), 0, 0));
  Draw.SetClip(0, 0, 1000, 1000);
  FillWork(kGrey);
  EXPECT_FALSE(Draw.Draw(500, 370, "s", 0));  // would reach past the surface
  EXPECT_TRUE(Draw.Draw(480, 352, "s", 0));   // just fits
  int inside, outside;
  CountChanged(Map(kGrey), 480, 352, 512, 384, inside, outside);
  EXPECT_EQ(inside, 32 * 32);
  EXPECT_EQ(outside, 0);
}

TEST_F(DrawTest, OddCellSizesDrawNothingOutside) {
  std::string path = Dir.Write("s.bmp", SolidBmp24(40, 30, kWhite));
  const int sizes[][2] = {{-10, -10}, {-10, 10}, {10, -10}, {-1, -1}, {INT_MIN, INT_MIN}, {41, 0}, {1, 1}};
  for (const auto& sz : sizes) {
    SCOPED_TRACE(testing::Message() << sz[0] << "x" << sz[1]);
    Draw.DeleteSprite("s");
    ASSERT_TRUE(Draw.CreateSprite("s", path, sz[0], sz[1]));
    TSpriteSurf* s = Draw.GetSpriteSurf("s");
    FillWork(kGrey);
    for (int cell : {-1, 0, 1, 5, s->CellCount - 1, s->CellCount, INT_MAX})
      for (int pos : {INT_MIN, -20, 0, 100, 500, INT_MAX}) Draw.Draw(pos, pos, s, cell);
    if (sz[0] == 1 && sz[1] == 1) {
      EXPECT_EQ(s->CellCount, 1200);
      continue;
    }
    int inside, outside;
    CountChanged(Map(kGrey), 0, 0, 0, 0, inside, outside);
    EXPECT_EQ(outside, 0);
  }
}

TEST_F(DrawTest, HugeCoordinatesAreOutside) {
  ASSERT_TRUE(Draw.CreateSprite("s", Dir.Write("s.bmp", SheetBmp()), 48, 32));
  FillWork(kGrey);
  EXPECT_TRUE(Draw.Draw(INT_MAX, INT_MAX, "s", 0));
  EXPECT_TRUE(Draw.Draw(INT_MIN, INT_MIN, "s", 0));
  EXPECT_TRUE(Draw.Draw(INT_MAX - 10, 0, "s", 0));
  EXPECT_TRUE(Draw.Draw(0, INT_MIN + 5, "s", 0));
  int inside, outside;
  CountChanged(Map(kGrey), 0, 0, 0, 0, inside, outside);
  EXPECT_EQ(outside, 0);
}

// ---------------------------------------------------------------- every pixel format

class DrawFormatTest : public DrawTest, public testing::WithParamInterface<platform::PixelFormat> {
 protected:
  platform::PixelFormat WorkFormat() const override { return GetParam(); }
};

TEST_P(DrawFormatTest, SpritesConvertAndKeyInEveryFormat) {
  // Pure black is transparent everywhere; in the 16-bit formats near-blacks below one
  // channel step are too, and a channel at one step is not.
  std::vector<Rgb> px = {kRed, kBlack, Rgb{7, 3, 7}, Rgb{8, 0, 0}, Rgb{0, 0, 1}, kWhite};
  ASSERT_TRUE(Draw.CreateSprite("p", Dir.Write("p.bmp", MakeBmp24(6, 1, px)), 0, 0));
  FillWork(kGrey);
  ASSERT_TRUE(Draw.Draw(10, 10, "p", 0));
  const bool sixteen = GetParam().BitsPerPixel == 16;
  EXPECT_EQ(Px(10, 10), Map(kRed));
  EXPECT_EQ(Px(11, 10), Map(kGrey));
  EXPECT_EQ(Px(12, 10), sixteen ? Map(kGrey) : Map(px[2]));
  EXPECT_EQ(Px(13, 10), Map(px[3]));
  EXPECT_NE(Px(13, 10), Map(kGrey));
  EXPECT_EQ(Px(14, 10), sixteen ? Map(kGrey) : Map(px[4]));
  EXPECT_EQ(Px(15, 10), Map(kWhite));
  EXPECT_EQ(Px(16, 10), Map(kGrey));
  // A spare byte or bit of a loaded sprite is 0, so white is exactly the colour mask.
  EXPECT_EQ(Draw.GetSpriteSurf("p")->Surface->GetPixel(5, 0), GetParam().ColorMask());
}

INSTANTIATE_TEST_SUITE_P(Formats, DrawFormatTest,
                         testing::Values(platform::PixelFormat::Rgb555(), platform::PixelFormat::Rgb565(),
                                         platform::PixelFormat::Rgb888(), platform::PixelFormat::Xrgb8888()),
                         [](const testing::TestParamInfo<platform::PixelFormat>& i) {
                           return i.param.BitsPerPixel == 16
                                      ? (i.param.GreenMask == 0x3E0 ? std::string("Rgb555") : "Rgb565")
                                      : "Bits" + std::to_string(i.param.BitsPerPixel);
                         });

}  // namespace
