#pragma once
// Text as shapes: a string is rasterised large with SDL2_ttf, turned into a signed
// distance field, and then placed, scaled and rotated like any other shape.
#include <string>
#include <vector>

#include "gfx.h"

namespace art {

struct Glyph {
  int W = 0, H = 0;
  std::vector<float> d;           // signed distance in grid pixels, negative inside
  float x0 = 0, y0 = 0, x1 = 0, y1 = 0;  // ink box in grid pixels
  float baseline = 0, capTop = 0;  // grid y of the baseline and of the capital height
  float advance = 0;              // pen advance in grid pixels
  float sample(float u, float v) const;  // bilinear, grid pixels
  float inkW() const { return x1 - x0; }
  float inkH() const { return y1 - y0; }
  float capH() const { return baseline - capTop; }
};

class FontLib {
 public:
  // Opens a font file at a large rendering size; false when the file cannot be opened.
  bool open(const std::string& path, int px = 160);
  ~FontLib();
  Glyph make(const std::string& utf8) const;

 private:
  void* font_ = nullptr;
  int px_ = 0;
};

// Maps the glyph so its capital box (cap top to baseline) spans capH pixels with the
// baseline at by, the ink's left edge at x; xs squeezes or widens horizontally.
// Returns the shape; *outW receives the placed ink width.
Shape placeCap(const Glyph& g, float x, float by, float capH, float xs = 1.0f, float* outW = nullptr);
// Maps the glyph's ink box onto the rectangle exactly.
Shape placeBox(const Glyph& g, float x, float y, float w, float h);

// Finds an installed font file by trying the usual Debian paths.
std::string findFont(const std::vector<std::string>& candidates);

}  // namespace art
