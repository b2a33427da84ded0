#pragma once
// Helpers for the drawing component's tests: small BMP files made in memory and written
// to a temporary folder, and a component set up on a headless window.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "media/kordraw.h"
#include "platform/window.h"

namespace kordraw_test {

struct Rgb {
  uint8_t R = 0, G = 0, B = 0;
};

inline void PutLe(std::vector<uint8_t>& out, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

inline std::vector<uint8_t> BmpHeaders(int w, int h, int bits, int paletteEntries,
                                       uint32_t pixelBytes) {
  std::vector<uint8_t> out;
  const uint32_t offset = 14 + 40 + 4u * paletteEntries;
  out.push_back('B');
  out.push_back('M');
  PutLe(out, offset + pixelBytes, 4);
  PutLe(out, 0, 4);
  PutLe(out, offset, 4);
  PutLe(out, 40, 4);
  PutLe(out, static_cast<uint32_t>(w), 4);
  PutLe(out, static_cast<uint32_t>(h), 4);
  PutLe(out, 1, 2);
  PutLe(out, static_cast<uint32_t>(bits), 2);
  PutLe(out, 0, 4);  // uncompressed
  PutLe(out, pixelBytes, 4);
  PutLe(out, 2835, 4);
  PutLe(out, 2835, 4);
  PutLe(out, static_cast<uint32_t>(paletteEntries), 4);
  PutLe(out, 0, 4);
  return out;
}

// An 8-bit palettised bottom-up BMP; index holds w x h palette indexes, top row first.
inline std::vector<uint8_t> MakeBmp8(int w, int h, const std::vector<Rgb>& palette,
                                     const std::vector<uint8_t>& index) {
  const uint32_t row = (static_cast<uint32_t>(w) + 3) & ~3u;
  std::vector<uint8_t> out = BmpHeaders(w, h, 8, static_cast<int>(palette.size()), row * h);
  for (const Rgb& c : palette) {
    out.push_back(c.B);
    out.push_back(c.G);
    out.push_back(c.R);
    out.push_back(0);
  }
  for (int y = h - 1; y >= 0; --y) {
    for (int x = 0; x < w; ++x) out.push_back(index[static_cast<size_t>(y) * w + x]);
    for (uint32_t x = static_cast<uint32_t>(w); x < row; ++x) out.push_back(0);
  }
  return out;
}

// A 24-bit bottom-up BMP; pixels holds w x h colours, top row first.
inline std::vector<uint8_t> MakeBmp24(int w, int h, const std::vector<Rgb>& pixels) {
  const uint32_t row = (static_cast<uint32_t>(w) * 3 + 3) & ~3u;
  std::vector<uint8_t> out = BmpHeaders(w, h, 24, 0, row * h);
  for (int y = h - 1; y >= 0; --y) {
    for (int x = 0; x < w; ++x) {
      const Rgb& c = pixels[static_cast<size_t>(y) * w + x];
      out.push_back(c.B);
      out.push_back(c.G);
      out.push_back(c.R);
    }
    for (uint32_t x = static_cast<uint32_t>(w) * 3; x < row; ++x) out.push_back(0);
  }
  return out;
}

// A 24-bit BMP of a single colour.
inline std::vector<uint8_t> SolidBmp24(int w, int h, Rgb c) {
  return MakeBmp24(w, h, std::vector<Rgb>(static_cast<size_t>(w) * h, c));
}

// A temporary folder, removed with everything in it at the end of the test.
class TempDir {
 public:
  TempDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "vexa-draw-XXXXXX").string();
    std::vector<char> buf(tmpl.begin(), tmpl.end());
    buf.push_back('\0');
    if (mkdtemp(buf.data())) Path = buf.data();
  }
  ~TempDir() {
    std::error_code ec;
    if (!Path.empty()) std::filesystem::remove_all(Path, ec);
  }
  std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) const {
    std::string p = Path + "/" + name;
    std::ofstream f(p, std::ios::binary);
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return p;
  }
  std::string Path;
};

// A component on a headless 513 x 384 window, by default with a 512 x 384 XRGB work
// surface; derived fixtures pick another format or size.
class DrawTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Wnd = platform::Window::CreateHeadless(513, 384);
    Draw.WorkFormat = WorkFormat();
    ASSERT_TRUE(Draw.Init(Wnd.get(), SurfaceW(), SurfaceH(), false, 16));
  }
  virtual platform::PixelFormat WorkFormat() const { return platform::PixelFormat::Xrgb8888(); }
  virtual int SurfaceW() const { return 512; }
  virtual int SurfaceH() const { return 384; }
  uint32_t Px(int x, int y) const { return Draw.WorkSurface->GetPixel(x, y); }
  uint32_t Map(Rgb c) const { return Draw.WorkSurface->MapRgb(c.R, c.G, c.B); }
  // Fills the work surface with one colour, so that untouched pixels can be told apart.
  void FillWork(Rgb c) { Draw.WorkSurface->Fill(Map(c)); }
  // Pixels of the work surface that differ from value, counted inside and outside a
  // rectangle (right and bottom exclusive).
  void CountChanged(uint32_t value, int l, int t, int r, int b, int& inside, int& outside) const {
    inside = outside = 0;
    for (int y = 0; y < Draw.SurfaceHeight; ++y)
      for (int x = 0; x < Draw.SurfaceWidth; ++x)
        if (Px(x, y) != value) ++((x >= l && x < r && y >= t && y < b) ? inside : outside);
  }

  std::unique_ptr<platform::Window> Wnd;
  TKorDraw Draw;
  TempDir Dir;
};

}  // namespace kordraw_test
