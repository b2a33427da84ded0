// The bitmap font: capital letters, "?" and "!" in 24 x 24 cells, digits in 16 x 16
// cells, the colon and the name-entry cursor, each in the four text colours.
#include "art.h"

namespace art {

namespace {

// Pen advances of the glyphs (letters, '?', '!').
int advanceOf(int i) {
  if (i == 8) return 14;                      // I
  if (i == 12 || i == 13 || i == 22) return 20;  // M N W
  return 18;
}

// Paints one outlined glyph shape in a font colour: a small dark shadow, a near-black
// outline that separates the letters from any background (green hills, blocks, the
// black reward screen), the gradient fill and a sheen on the upper strokes.
void paintGlyph(Layer& L, const Shape& g, float top, float bottom, const FontColors& c, float ow, Rect bb) {
  fill(L, moved(grow(g, ow - 0.3f), 0.6f, 0.5f), solid(c.line), bb);
  fill(L, grow(g, ow), solid(c.line), bb);
  fill(L, g, vgrad(top, c.top, bottom, c.bottom), bb);
  fill(L, intersect(grow(g, -1.0f), box(0, 0, 4096, top + (bottom - top) * 0.3f)),
       solid(withA(rgb(255, 255, 255), 0.45f)), bb);
}

}  // namespace

Layer MakeFont(int color) {
  Layer L(96, 168);
  Fonts& F = fonts();
  FontColors c = fontColors(color);
  // The letters stand on row 20.5 of the cell, the same line as the digits drawn 8 pixels
  // lower in a table row, and their ink ends with row 21: a text drawn at y 354 whose wave
  // lifts it 8 pixels down still ends on the screen's last row.
  const float capH = 15.0f, baseline = 20.5f, ow = 1.5f;
  for (int i = 0; i < 28; ++i) {
    float cx = float((i % 4) * 24), cy = float((i / 4) * 24);
    std::string ch = i < 26 ? std::string(1, char('A' + i)) : (i == 26 ? "?" : "!");
    const Glyph& g = F.get(F.bold, ch);
    float adv = float(advanceOf(i));
    // The ink, outline and shadow included, keeps two pixels of the advance free, so
    // letters never touch and the last one of a word ends two pixels before its advance.
    float left = ow + 0.3f, right = adv - 2.0f - ow - 0.6f;
    float maxW = right - left;
    float w = g.inkW() * capH / g.capH();
    float xs = w > maxW ? maxW / w : 1.0f;
    w *= xs;
    float x = cx + left + std::max(0.0f, (maxW - w) / 2);
    Shape s = placeCap(g, x, cy + baseline, capH, xs);
    Rect bb{int(cx), int(cy), int(cx + 24), int(cy + 22)};
    paintGlyph(L, s, cy + baseline - capH, cy + baseline, c, ow, bb);
  }
  return L;
}

Layer MakeFontCursor() {
  Layer L(96, 24);
  for (int i = 0; i < 4; ++i) {
    FontColors c = fontColors(i);
    float cx = float(i * 24);
    // An underscore block the width of a letter, with a small caret above it.
    Shape bar = box(cx + 2.5f, 16.5f, cx + 15.5f, 20.5f, 1.5f);
    Shape caret = polygon({cx + 5.5f, 6.0f, cx + 12.5f, 6.0f, cx + 9.0f, 11.0f});
    bar = moved(bar, 0, -0.5f);
    Rect bb{int(cx), 0, int(cx + 24), 24};
    paintGlyph(L, unite(bar, caret), 6.0f, 21.0f, c, 1.5f, bb);
  }
  return L;
}

Layer MakeNumbers(int color) {
  Layer L(80, 32);
  Fonts& F = fonts();
  FontColors c = fontColors(color);
  // Digits stand on row 12.5: drawn 8 pixels below a line of letters, they share its
  // baseline.
  const float capH = 11.0f, baseline = 12.5f, ow = 1.3f;
  for (int d = 0; d < 10; ++d) {
    float cx = float((d % 5) * 16), cy = float((d / 5) * 16);
    const Glyph& g = F.get(F.bold, std::string(1, char('0' + d)));
    // Digits sit on a 14-pixel pitch: keep the ink inside it with room for the outline.
    float maxW = 10.5f;
    float w = g.inkW() * capH / g.capH();
    float xs = w > maxW ? maxW / w : 1.0f;
    if (d == 1) xs = 1.0f;
    w = g.inkW() * capH / g.capH() * xs;
    float x = cx + (13.0f - w) / 2;
    Shape s = placeCap(g, x, cy + baseline, capH, xs);
    Rect bb{int(cx), int(cy), int(cx + 16), int(cy + 16)};
    paintGlyph(L, s, cy + baseline - capH, cy + baseline, c, ow, bb);
  }
  return L;
}

Layer MakeColon() {
  Layer L(64, 16);
  for (int i = 0; i < 4; ++i) {
    FontColors c = fontColors(i);
    float cx = float(i * 16);
    // Two round dots near the left of the cell: the next digit starts 8 pixels in.
    Shape dots = unite(circle(cx + 4.0f, 6.0f, 1.9f), circle(cx + 4.0f, 11.6f, 1.9f));
    Rect bb{int(cx), 0, int(cx + 16), 16};
    paintGlyph(L, dots, 4.0f, 13.5f, c, 1.3f, bb);
  }
  return L;
}

}  // namespace art
