// Drawing benchmark: one frame's drawing work on the 512 x 384 32-bit work surface (the
// full-screen background, 60 colour-keyed 32 x 32 blocks, a fade at a middle level) and,
// for scale, a plain memcpy of the same surface.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "media/kordraw.h"
#include "platform/window.h"
#include "tools/bench/bench.h"

namespace {

void PutLe(std::vector<uint8_t>& out, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// A 24-bit BMP whose pixels come from colour(x, y) as 0xRRGGBB.
template <typename ColourFn>
std::vector<uint8_t> Bmp24(int w, int h, ColourFn colour) {
  const uint32_t row = (static_cast<uint32_t>(w) * 3 + 3) & ~3u;
  std::vector<uint8_t> out = {'B', 'M'};
  PutLe(out, 54 + row * h, 4);
  PutLe(out, 0, 4);
  PutLe(out, 54, 4);
  PutLe(out, 40, 4);
  PutLe(out, static_cast<uint32_t>(w), 4);
  PutLe(out, static_cast<uint32_t>(h), 4);
  PutLe(out, 1, 2);
  PutLe(out, 24, 2);
  for (int i = 0; i < 6; ++i) PutLe(out, 0, 4);
  for (int y = h - 1; y >= 0; --y) {
    for (int x = 0; x < w; ++x) {
      uint32_t c = colour(x, y);
      out.push_back(static_cast<uint8_t>(c));
      out.push_back(static_cast<uint8_t>(c >> 8));
      out.push_back(static_cast<uint8_t>(c >> 16));
    }
    for (uint32_t x = static_cast<uint32_t>(w) * 3; x < row; ++x) out.push_back(0);
  }
  return out;
}

std::string WriteFile(const std::filesystem::path& dir, const char* name, const std::vector<uint8_t>& b) {
  std::filesystem::path p = dir / name;
  std::ofstream f(p, std::ios::binary);
  f.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
  return p.string();
}

}  // namespace

VEXA_BENCH(draw) {
  std::filesystem::path dir = std::filesystem::temp_directory_path() /
                              ("vexa-bench-draw-" + std::to_string(std::rand()));
  std::filesystem::create_directories(dir);
  // The background: a busy picture with no black. The blocks: 8 x 4 cells of 32 x 32 with
  // transparent black corners, as the game's block sets have.
  std::string back = WriteFile(dir, "back.bmp", Bmp24(512, 384, [](int x, int y) {
    return 0x010101u | (static_cast<uint32_t>(x * 255 / 511) << 16) |
           (static_cast<uint32_t>(y * 255 / 383) << 8) | static_cast<uint32_t>((x ^ y) & 0xFF);
  }));
  std::string blocks = WriteFile(dir, "blocks.bmp", Bmp24(256, 128, [](int x, int y) {
    int cx = x % 32, cy = y % 32;
    bool corner = (cx < 3 || cx > 28) && (cy < 3 || cy > 28);
    return corner ? 0u : 0x204080u + static_cast<uint32_t>((x / 32 + y / 32 * 8) * 0x050301);
  }));

  auto wnd = platform::Window::CreateHeadless(513, 384);
  TKorDraw draw;
  if (!draw.Init(wnd.get(), 512, 384, false, 16) ||
      !draw.CreateSprite("back", back, 0, 0) || !draw.CreateSprite("blocks", blocks, 32, 32)) {
    std::printf("draw: set-up failed\n");
    std::filesystem::remove_all(dir);
    return;
  }
  std::filesystem::remove_all(dir);

  auto drawBlocks = [&] {
    for (int i = 0; i < 60; ++i) draw.Draw(16 + (i % 6) * 32, 16 + (i / 6) * 32, "blocks", i % 32);
  };
  const int n = 2000;
  draw.Draw(0, 0, "back", 0);
  double background = bench::MicrosPerCall(n, [&] { draw.Draw(0, 0, "back", 0); });
  double blocks60 = bench::MicrosPerCall(n, drawBlocks);
  double fade = bench::MicrosPerCall(n, [&] { draw.Fade(128); });
  double white = bench::MicrosPerCall(n, [&] { draw.WhiteFade(128); });
  const size_t bytes = static_cast<size_t>(draw.WorkSurface->Pitch()) * draw.WorkSurface->Height();
  std::vector<uint8_t> copy(bytes);
  double memcpyUs = bench::MicrosPerCall(n, [&] {
    std::memcpy(copy.data(), draw.WorkSurface->Pixels(), bytes);
    asm volatile("" : : "r"(copy.data()) : "memory");
  });
  double frame = bench::MicrosPerCall(n, [&] {
    draw.Draw(0, 0, "back", 0);
    drawBlocks();
    draw.Fade(128);
  });
  double present = bench::MicrosPerCall(n, [&] { draw.Update(); });

  std::printf("surface 512 x 384 x 32-bit, %d runs each\n", n);
  std::printf("  background (full surface, keyed)  %8.3f ms\n", background / 1000);
  std::printf("  60 blocks 32 x 32 (keyed)         %8.3f ms\n", blocks60 / 1000);
  std::printf("  Fade(128)                         %8.3f ms   (target < 0.3 ms)\n", fade / 1000);
  std::printf("  WhiteFade(128)                    %8.3f ms\n", white / 1000);
  std::printf("  memcpy of the surface             %8.3f ms   Fade / memcpy = %.2f\n",
              memcpyUs / 1000, fade / memcpyUs);
  std::printf("  whole frame (back+blocks+fade)    %8.3f ms   (target < 1 ms)\n", frame / 1000);
  std::printf("  Update into a headless window     %8.3f ms\n", present / 1000);
}
