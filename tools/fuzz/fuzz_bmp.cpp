// libFuzzer target: a BMP file through the bitmap decoder in each of the four surface
// formats, then what decoded is registered as a sprite and its cells are drawn around the
// edges of a work surface. Not part of the CMake build; build by hand, e.g.
//
//   cd /work/main && ninja -C build-draw      # for generated/embedded_resources.cpp
//   clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -I. $(pkg-config --cflags sdl2) \
//     tools/fuzz/fuzz_bmp.cpp media/kordraw.cpp platform/*.cpp \
//     build-draw/generated/embedded_resources.cpp \
//     $(pkg-config --libs sdl2 SDL2_ttf fluidsynth fontconfig) -lpthread -o /tmp/fuzz_bmp
//   mkdir -p /tmp/bmp-corpus && cp resources/BITMAP/ARROW.bmp resources/BITMAP/BLOCK1.bmp /tmp/bmp-corpus
//   /tmp/fuzz_bmp -max_total_time=60 -max_len=200000 /tmp/bmp-corpus
#include <cstddef>
#include <cstdint>
#include <memory>

#include "media/kordraw.h"
#include "platform/surface.h"
#include "platform/window.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static std::unique_ptr<platform::Window> wnd = platform::Window::CreateHeadless(513, 384);
  static const platform::PixelFormat formats[] = {
      platform::PixelFormat::Rgb555(), platform::PixelFormat::Rgb565(),
      platform::PixelFormat::Rgb888(), platform::PixelFormat::Xrgb8888()};
  static TKorDraw draws[4];
  static bool ready = [] {
    for (int i = 0; i < 4; ++i) {
      draws[i].WorkFormat = formats[i];
      if (!draws[i].Init(wnd.get(), nullptr, 64, 48, false, 16)) return false;
    }
    return true;
  }();
  if (!ready || size == 0) return 0;

  // Cell sizes from the last two bytes, negative ones and 0 included.
  const int32_t cellW = static_cast<int8_t>(data[size - 1]) % 40;
  const int32_t cellH = size > 1 ? static_cast<int8_t>(data[size - 2]) % 40 : 0;
  for (int i = 0; i < 4; ++i) {
    std::unique_ptr<platform::Surface> bitmap = platform::LoadBmp(data, size, formats[i]);
    if (!bitmap) continue;
    TKorDraw& draw = draws[i];
    auto sprite = std::make_unique<TSpriteSurf>();
    sprite->Key = "fuzz";
    sprite->CellWidth = cellW == 0 ? bitmap->Width() : cellW;
    sprite->CellHeight = cellH == 0 ? bitmap->Height() : cellH;
    sprite->Columns = bitmap->Width() / sprite->CellWidth;
    sprite->CellCount = sprite->Columns * (bitmap->Height() / sprite->CellHeight);
    sprite->Surface = std::move(bitmap);
    TSpriteSurf* s = sprite.get();
    draw.Sprites.push_back(std::move(sprite));
    for (int cell : {0, 1, s->CellCount - 1, s->CellCount})
      for (int pos : {-40, -1, 0, 30, 63, 100}) draw.Draw(pos, pos / 2, s, cell);
    draw.Fade(data[0]);
    draw.DeleteSprite("fuzz");
  }
  return 0;
}
