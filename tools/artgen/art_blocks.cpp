// The five block sets: 26 letter blocks each, in the same letter colours.
#include "art.h"

namespace art {

namespace {

Shape letterShape(int letter, float ox, float oy, float size, float capH, float maxW) {
  Fonts& F = fonts();
  std::string ch(1, char('A' + letter));
  const Glyph& g = F.get(F.bold, ch);
  float s = size / 32.0f;
  capH *= s;
  maxW *= s;
  float w = g.inkW() * capH / g.capH();
  float xs = w > maxW ? maxW / w : 1.0f;
  w *= xs;
  float baseline = oy + size / 2 + capH / 2;
  return placeCap(g, ox + size / 2 - w / 2, baseline, capH, xs);
}

// A small five-pointed star used on the spare cells.
Shape starShape(float ox, float oy, float size) {
  return star(ox + size / 2, oy + size / 2 + size * 0.02f, size * 0.3f, size * 0.13f, 5, 0);
}

// Diagonal stripes over a block's face, the second cue of the letters N to Z: bands
// 2.6 pixels wide every 7 pixels (at 32-pixel size), rising to the right.
void stripes(Layer& L, const Shape& face, Rect bb, float k, Col c) {
  const float period = 7.0f * k, half = 1.3f * k;
  Shape band = [=](float x, float y) {
    float u = (x + y) * 0.70710678f;
    float m = std::fmod(u, period);
    if (m < 0) m += period;
    return std::fabs(m - period / 2) - half;
  };
  fill(L, intersect(face, band), solid(c), bb);
}

void glossy(Layer& L, int letter, float ox, float oy, float S, Col base, bool st) {
  float k = S / 32.0f;
  Rect bb{int(ox), int(oy), int(ox + S + 1), int(oy + S + 1)};
  Shape body = box(ox + 0.5f * k, oy + 0.5f * k, ox + S - 0.5f * k, oy + S - 0.5f * k, 7 * k);
  Shape inner = grow(body, -1.4f * k);
  fill(L, body, solid(darken(base, 0.55f)), bb);
  fill(L, inner, vgrad(oy, lighten(base, 0.3f), oy + S, darken(base, 0.18f)), bb);
  if (st) stripes(L, inner, bb, k, withA(darken(base, 0.45f), 0.5f));
  // A lighter rim on the lower half gives the gel its depth.
  fill(L, intersect(ring(grow(inner, -1.2f * k), 1.2f * k), box(ox, oy + S * 0.55f, ox + S, oy + S)),
       solid(withA(lighten(base, 0.45f), 0.6f)), bb);
  // Gloss cap.
  Shape gloss = intersect(grow(inner, -1.0f * k), ellipse(ox + S / 2, oy + 4 * k, S * 0.5f, 10 * k));
  fill(L, gloss, vgrad(oy, withA(rgb(255, 255, 255), 0.75f), oy + 13 * k, withA(rgb(255, 255, 255), 0.15f)), bb);
  if (letter < 0) return;
  Shape g = letter < 26 ? letterShape(letter, ox, oy, S, 18, 23) : starShape(ox, oy, S);
  fill(L, moved(grow(g, 1.6f * k), 0.6f * k, 1.2f * k), solid(darken(base, 0.62f)), bb);
  fill(L, grow(g, 1.4f * k), solid(darken(base, 0.55f)), bb);
  fill(L, g, vgrad(oy + 7 * k, rgb(255, 255, 255), oy + 25 * k, lighten(base, 0.72f)), bb);
}

void pastel(Layer& L, int letter, float ox, float oy, float S, Col base, bool st) {
  float k = S / 32.0f;
  Rect bb{int(ox), int(oy), int(ox + S + 1), int(oy + S + 1)};
  Shape body = box(ox + 0.5f * k, oy + 0.5f * k, ox + S - 0.5f * k, oy + S - 0.5f * k, 8 * k);
  Col face = mix(base, rgb(255, 255, 255), 0.62f);
  Col edge = mix(base, rgb(255, 255, 255), 0.12f);
  fill(L, body, solid(edge), bb);
  fill(L, grow(body, -2.2f * k), solid(face), bb);
  // Flat lower band: a second, slightly deeper tint.
  fill(L, intersect(grow(body, -2.2f * k), box(ox, oy + S * 0.62f, ox + S, oy + S)),
       solid(mix(base, rgb(255, 255, 255), 0.5f)), bb);
  if (st) stripes(L, grow(body, -2.2f * k), bb, k, withA(base, 0.55f));
  if (letter < 0) return;
  Shape g = letter < 26 ? letterShape(letter, ox, oy, S, 18, 22) : starShape(ox, oy, S);
  fill(L, g, solid(darken(mix(base, rgb(40, 30, 80), 0.15f), 0.35f)), bb);
}

void neon(Layer& L, int letter, float ox, float oy, float S, Col base, bool st) {
  float k = S / 32.0f;
  Rect bb{int(ox), int(oy), int(ox + S + 1), int(oy + S + 1)};
  Shape body = box(ox + 0.5f * k, oy + 0.5f * k, ox + S - 0.5f * k, oy + S - 0.5f * k, 6 * k);
  Col lit = lighten(hsv(0, 0, 1), 0);
  (void)lit;
  Col tube = lighten(base, 0.2f);
  fill(L, body, vgrad(oy, rgb(44, 38, 66), oy + S, rgb(22, 20, 34)), bb);
  if (st) stripes(L, grow(body, -4.0f * k), bb, k, withA(base, 0.5f));
  Shape rim = ring(grow(body, -3.0f * k), 1.7f * k);
  // Glow of the rim tube, kept inside the block.
  Layer gl(L.w, L.h);
  for (int y = bb.y0; y < std::min(bb.y1, L.h); ++y)
    for (int x = bb.x0; x < std::min(bb.x1, L.w); ++x) {
      float d = rim(x + 0.5f, y + 0.5f);
      float a = d <= 0 ? 0 : 0.55f * std::exp(-(d * d) / (2.6f * k * 2.6f * k));
      if (body(x + 0.5f, y + 0.5f) > -0.5f) a = 0;
      gl.over(x, y, base, a);
    }
  blit(L, gl, 0, 0);
  fill(L, rim, solid(tube), bb);
  fill(L, ring(grow(body, -3.0f * k), 0.6f * k), solid(lighten(base, 0.7f)), bb);
  if (letter < 0) return;
  Shape g = letter < 26 ? letterShape(letter, ox, oy, S, 16.5f, 20) : starShape(ox, oy, S);
  Layer lg(L.w, L.h);
  for (int y = bb.y0; y < std::min(bb.y1, L.h); ++y)
    for (int x = bb.x0; x < std::min(bb.x1, L.w); ++x) {
      float d = g(x + 0.5f, y + 0.5f);
      float a = d <= 0 ? 0 : 0.7f * std::exp(-(d * d) / (2.2f * k * 2.2f * k));
      if (rim(x + 0.5f, y + 0.5f) < 0.5f) a = 0;
      lg.over(x, y, base, a);
    }
  blit(L, lg, 0, 0);
  // A dark edge keeps the lit letter apart from its own glow, whatever the colour.
  fill(L, grow(g, 1.2f * k), solid(rgb(22, 18, 34)), bb);
  fill(L, g, solid(lighten(base, 0.45f)), bb);
  fill(L, grow(g, -1.0f * k), solid(lighten(base, 0.85f)), bb);
}

void wood(Layer& L, int letter, float ox, float oy, float S, Col base, int seed, bool st) {
  float k = S / 32.0f;
  // Light paints would sink into the pale wood: deepen them, the lighter the more, so
  // a colour and its deeper shade stay apart.
  float lum = 0.3f * base.r + 0.59f * base.g + 0.11f * base.b;
  if (lum > 0.45f) base = darken(base, 0.4f * (lum - 0.45f));
  Rect bb{int(ox), int(oy), int(ox + S + 1), int(oy + S + 1)};
  Shape body = box(ox + 0.5f * k, oy + 0.5f * k, ox + S - 0.5f * k, oy + S - 0.5f * k, 3.5f * k);
  Col light = rgb(236, 200, 146), dark = rgb(200, 146, 88);
  Paint grain = [=](float x, float y) {
    float u = (x - ox) / k, v = (y - oy) / k;
    float n = fbm(u * 0.08f, v * 0.02f + seed * 3.1f, 77 + seed, 3);
    float rings = 0.5f + 0.5f * std::sin((v * 0.55f + n * 9.0f + seed) * 1.0f);
    float t = 0.25f + 0.5f * rings * rings + 0.25f * fbm(u * 0.6f, v * 0.12f, 91 + seed, 2) - 0.1f;
    Col c = mix(light, dark, clamp01(t));
    // Bevel: light top-left, shadowed bottom-right.
    float e = std::min(std::min(u, v), 32 - std::max(u, v));
    (void)e;
    if (u < 2.5f || v < 2.5f) c = lighten(c, 0.28f);
    if (u > 29.5f || v > 29.5f) c = darken(c, 0.2f);
    return c;
  };
  fill(L, body, solid(rgb(112, 66, 30)), bb);
  fill(L, grow(body, -1.0f * k), grain, bb);
  // Painted coloured border, like a toy alphabet block.
  Shape band = ring(box(ox + 3.6f * k, oy + 3.6f * k, ox + S - 3.6f * k, oy + S - 3.6f * k, 2.5f * k), 1.7f * k);
  fill(L, band, solid(darken(base, 0.05f)), bb);
  if (st) stripes(L, box(ox + 5.3f * k, oy + 5.3f * k, ox + S - 5.3f * k, oy + S - 5.3f * k, 1.5f * k), bb, k,
                  withA(base, 0.45f));
  if (letter < 0) return;
  Shape g = letter < 26 ? letterShape(letter, ox, oy, S, 17.5f, 21) : starShape(ox, oy, S * 0.9f);
  if (letter >= 26) g = moved(g, S * 0.05f, S * 0.05f);
  // Carved and painted: a light lip above, a dark rim around the paint.
  fill(L, moved(grow(g, 1.2f * k), -0.6f * k, -0.6f * k), solid(rgb(255, 240, 214)), bb);
  fill(L, grow(g, 1.1f * k), solid(darken(base, 0.6f)), bb);
  fill(L, g, vgrad(oy + 8 * k, lighten(base, 0.15f), oy + 24 * k, darken(base, 0.1f)), bb);
}

void stone(Layer& L, int letter, float ox, float oy, float S, Col base, int seed, bool st) {
  float k = S / 32.0f;
  Rect bb{int(ox), int(oy), int(ox + S + 1), int(oy + S + 1)};
  Shape body = box(ox + 0.5f * k, oy + 0.5f * k, ox + S - 0.5f * k, oy + S - 0.5f * k, 2.5f * k);
  Col rock = mix(rgb(150, 148, 156), base, 0.4f);
  Paint granite = [=](float x, float y) {
    float u = (x - ox) / k, v = (y - oy) / k;
    float n = fbm(u * 0.25f + seed * 7.0f, v * 0.25f, 311, 3);
    float sp = vnoise(u * 1.3f + seed * 11.0f, v * 1.3f, 517);
    Col c = mix(lighten(rock, 0.18f), darken(rock, 0.12f), n);
    if (sp > 0.82f) c = darken(c, 0.14f);
    if (sp < 0.1f) c = lighten(c, 0.16f);
    // Chiselled bevel: lit top and left faces, shaded bottom and right faces.
    float top = v, left = u, bottom = 32 - v, right = 32 - u;
    float m = std::min(std::min(top, left), std::min(bottom, right));
    if (m < 3.2f) {
      if (m == top || m == left) c = lighten(c, 0.35f);
      else c = darken(c, 0.3f);
    }
    return c;
  };
  fill(L, body, solid(rgb(58, 56, 64)), bb);
  fill(L, grow(body, -1.0f * k), granite, bb);
  if (st) stripes(L, grow(body, -3.5f * k), bb, k, withA(darken(base, 0.15f), 0.65f));
  if (letter < 0) return;
  Shape g = letter < 26 ? letterShape(letter, ox, oy, S, 18, 22) : starShape(ox, oy, S);
  // Carved groove, then the inlay of coloured enamel.
  fill(L, moved(grow(g, 1.5f * k), 0.5f * k, 0.8f * k), solid(rgb(236, 234, 240)), bb);
  fill(L, grow(g, 1.5f * k), solid(rgb(44, 40, 52)), bb);
  fill(L, g, vgrad(oy + 7 * k, lighten(base, 0.3f), oy + 25 * k, darken(base, 0.08f)), bb);
  fill(L, intersect(grow(g, -1.2f * k), box(ox, oy, ox + S, oy + S * 0.42f)),
       solid(withA(rgb(255, 255, 255), 0.35f)), bb);
}

}  // namespace

void drawBlockCell(Layer& L, int set, int letter, float ox, float oy, float size) {
  // Letters 0..25; 26 a plain block, 27 a star block (spare cells).
  Col base = letter < 26 ? letterColor(letter) : (letter == 26 ? rgb(150, 150, 170) : rgb(244, 196, 40));
  bool st = letterStriped(letter);
  int l = letter == 26 ? -1 : letter;
  switch (set) {
    case 0: glossy(L, l, ox, oy, size, base, st); break;
    case 1: pastel(L, l, ox, oy, size, base, st); break;
    case 2: neon(L, l, ox, oy, size, base, st); break;
    case 3: wood(L, l, ox, oy, size, base, letter, st); break;
    default: stone(L, l, ox, oy, size, base, letter, st); break;
  }
}

void drawBlockCell(Layer& L, int set, int letter, float ox, float oy, float size, Col paint) {
  switch (set) {
    case 0: glossy(L, letter, ox, oy, size, paint, false); break;
    case 1: pastel(L, letter, ox, oy, size, paint, false); break;
    case 2: neon(L, letter, ox, oy, size, paint, false); break;
    case 3: wood(L, letter, ox, oy, size, paint, letter, false); break;
    default: stone(L, letter, ox, oy, size, paint, letter, false); break;
  }
}

Layer MakeBlocks(int set) {
  Layer L(128, 224);
  for (int i = 0; i < 28; ++i) drawBlockCell(L, set, i, float((i % 4) * 32), float((i / 4) * 32));
  return L;
}

}  // namespace art
