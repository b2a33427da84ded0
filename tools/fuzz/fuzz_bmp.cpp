// libFuzzer target: a BMP file registered as a sprite through TKorDraw::CreateSprite by its
// path, in each of the four work-surface formats, with cell sizes taken from the input's
// last two bytes (0 and negative sizes included); every registered sprite then has its
// first, last and out-of-range cells drawn across the edges of the work surface, and the
// surface is faded. Built by scripts/fuzz.sh (CMake option VEXA_FUZZ, clang).
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "media/kordraw.h"
#include "platform/surface.h"
#include "platform/window.h"
#include "tools/fuzz/fuzz_input_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static std::unique_ptr<platform::Window> wnd = platform::Window::CreateHeadless(513, 384);
  static const platform::PixelFormat formats[] = {
      platform::PixelFormat::Rgb555(), platform::PixelFormat::Rgb565(),
      platform::PixelFormat::Rgb888(), platform::PixelFormat::Xrgb8888()};
  static TKorDraw draws[4];
  static bool ready = [] {
    for (int i = 0; i < 4; ++i) {
      draws[i].WorkFormat = formats[i];
      if (!draws[i].Init(wnd.get(), 64, 48, false, 16)) return false;
    }
    return true;
  }();
  if (!ready || size == 0) return 0;
  const std::string path = fuzz::WriteInput(data, size);
  if (path.empty()) return 0;

  const int32_t cellW = static_cast<int8_t>(data[size - 1]) % 40;
  const int32_t cellH = size > 1 ? static_cast<int8_t>(data[size - 2]) % 40 : 0;
  for (TKorDraw& draw : draws) {
    if (!draw.CreateSprite("fuzz", path, cellW, cellH)) {
      // A bitmap that does not load leaves no entry behind.
      if (draw.GetSpriteSurf("fuzz")) __builtin_trap();
      continue;
    }
    TSpriteSurf* s = draw.GetSpriteSurf("fuzz");
    if (!s || !s->Surface) __builtin_trap();
    for (int cell : {0, 1, s->CellCount - 1, s->CellCount, -1})
      for (int pos : {-40, -1, 0, 30, 63, 100}) draw.Draw(pos, pos / 2, s, cell);
    draw.Fade(data[0]);
    draw.WhiteFade(data[size / 2]);
    if (!draw.DeleteSprite("fuzz")) __builtin_trap();
  }
  return 0;
}
