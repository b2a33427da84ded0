#pragma once
// Turning painted layers into the game's bitmap format: a palette of at most 255
// colours plus black for "transparent", written as an uncompressed bottom-up 8-bit BMP.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "gfx.h"

namespace art {

struct Indexed {
  int w = 0, h = 0;
  std::vector<uint8_t> idx;           // row-major, top row first
  std::array<uint8_t, 768> pal{};     // 256 RGB entries; entry 0 is black (transparent)
  void rgbAt(int x, int y, uint8_t& r, uint8_t& g, uint8_t& b) const {
    int i = idx[size_t(y) * w + x];
    r = pal[3 * i];
    g = pal[3 * i + 1];
    b = pal[3 * i + 2];
  }
  bool transparent(int x, int y) const {
    uint8_t r, g, b;
    rgbAt(x, y, r, g, b);
    return r == 0 && g == 0 && b == 0;
  }
};

// Pixels with alpha below one half become black (transparent); every other pixel gets a
// palette colour with each channel at least 16, so that no real colour turns
// transparent, not even after conversion to a 16-bit surface.
Indexed quantize(const Layer& L, bool dither);

bool writeBmp8(const std::string& path, const Indexed& im);
bool writeBmp24(const std::string& path, int w, int h, const std::vector<uint8_t>& rgb);

}  // namespace art
