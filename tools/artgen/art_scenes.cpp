// The two backgrounds, the reward picture and the maker's logo animation.
#include "art.h"

namespace art {

Layer paintFace(int expr, int lid);
void blitRotated(Layer& dst, const Layer& src, float cx, float cy, float deg);

namespace {

const Col kInk = rgb(40, 24, 60);

void cloud(Layer& L, float x, float y, float s, Col c, Col shade) {
  Shape body = unite(unite(circle(x, y, 16 * s), circle(x + 20 * s, y - 8 * s, 20 * s)),
                     unite(circle(x + 44 * s, y - 2 * s, 16 * s), box(x - 4 * s, y - 4 * s, x + 56 * s, y + 14 * s, 9 * s)));
  Rect bb{int(x - 24 * s), int(y - 34 * s), int(x + 66 * s), int(y + 20 * s)};
  fill(L, moved(body, 0, 3 * s), solid(shade), bb);
  fill(L, body, vgrad(y - 28 * s, c, y + 14 * s, mix(c, shade, 0.5f)), bb);
}

// Rolling hill: everything below a wavy line.
Shape hill(float base, float amp, float freq, float phase) {
  return [=](float x, float y) {
    float top = base - amp * (0.6f * std::sin(x * freq + phase) + 0.4f * std::sin(x * freq * 2.3f + phase * 1.7f));
    return (top - y) * 0.9f;
  };
}

// A faint field of tumbling letter-block outlines, the motif of the game.
void blockPattern(Layer& L, Col c, float alpha, uint32_t seed, float yMax) {
  uint32_t st = seed;
  for (int row = 0; row < 9; ++row)
    for (int col = 0; col < 10; ++col) {
      float x = col * 56.0f + (row % 2) * 28.0f + rnd(st) * 10 - 5;
      float y = row * 46.0f + 12 + rnd(st) * 8;
      if (y > yMax) continue;
      float a = rnd(st) * 40 - 20;
      float s = 9 + rnd(st) * 5;
      Shape b = rotated(ring(box(x - s, y - s, x + s, y + s, s * 0.35f), 2.2f), x, y, a);
      fill(L, b, solid(withA(c, alpha)), Rect{int(x - 2 * s), int(y - 2 * s), int(x + 2 * s), int(y + 2 * s)});
    }
}

void twinkle(Layer& L, float x, float y, float r, Col c) {
  fill(L, star(x, y, r, r * 0.3f, 4, 0), solid(c), Rect{int(x - r - 2), int(y - r - 2), int(x + r + 2), int(y + r + 2)});
}

}  // namespace

Layer MakeBack(int type) {
  Layer L(512, 384);
  if (type == 0) {
    // Day: blue sky, clouds, a faint block pattern and green hills.
    fill(L, box(-2, -2, 514, 386), vgrad(0, rgb(104, 176, 246), 384, rgb(206, 236, 255)));
    blockPattern(L, rgb(255, 255, 255), 0.13f, 7, 320);
    cloud(L, 20, 300, 1.3f, rgb(255, 255, 255), rgb(206, 224, 248));
    cloud(L, 398, 196, 1.1f, rgb(255, 255, 255), rgb(206, 224, 248));
    cloud(L, 40, 150, 0.7f, rgb(250, 252, 255), rgb(206, 224, 248));
    cloud(L, 330, 300, 0.9f, rgb(255, 255, 255), rgb(206, 224, 248));
    fill(L, hill(338, 10, 0.018f, 1.0f), vgrad(320, rgb(150, 222, 120), 384, rgb(110, 196, 96)));
    fill(L, hill(356, 8, 0.026f, 3.0f), vgrad(340, rgb(118, 206, 96), 384, rgb(84, 176, 80)));
    uint32_t st = 99;
    for (int i = 0; i < 40; ++i) {
      float x = rnd(st) * 512, y = 362 + rnd(st) * 20;
      Col c = hueColor(int(rnd(st) * 8));
      fill(L, circle(x, y, 1.8f), solid(lighten(c, 0.35f)), Rect{int(x - 3), int(y - 3), int(x + 4), int(y + 4)});
      fill(L, circle(x, y, 0.8f), solid(rgb(255, 250, 200)), Rect{int(x - 2), int(y - 2), int(x + 3), int(y + 3)});
    }
  } else {
    // Evening: violet sky, stars, a moon and dark rolling hills with lanterns.
    fill(L, box(-2, -2, 514, 386), vgrad(0, rgb(36, 28, 92), 384, rgb(140, 78, 160)));
    // A soft aurora ribbon.
    for (int k = 0; k < 3; ++k) {
      float yb = 120.0f + k * 26;
      Shape band = [=](float x, float y) {
        float c = yb + 18 * std::sin(x * 0.012f + k * 1.3f);
        return std::fabs(y - c) - 10.0f;
      };
      Col c = k == 1 ? rgb(120, 230, 220) : rgb(170, 140, 255);
      Layer tmp(512, 384);
      glow(tmp, band, c, 14, 0.10f);
      blit(L, tmp, 0, 0);
    }
    blockPattern(L, rgb(200, 180, 255), 0.10f, 11, 330);
    uint32_t st = 5;
    for (int i = 0; i < 90; ++i) {
      float x = rnd(st) * 512, y = rnd(st) * 300;
      float r = rnd(st);
      if (r > 0.85f) twinkle(L, x, y, 3.5f + r * 2, rgb(255, 250, 210));
      else fill(L, circle(x, y, 0.7f + r * 0.8f), solid(rgb(255, 255, 240)), Rect{int(x - 3), int(y - 3), int(x + 4), int(y + 4)});
    }
    // Crescent moon.
    Shape moon = subtract(circle(440, 212, 26), circle(452, 204, 22));
    Layer mg(512, 384);
    glow(mg, circle(440, 212, 26), rgb(255, 240, 190), 18, 0.18f);
    blit(L, mg, 0, 0);
    fill(L, moon, vgrad(186, rgb(255, 252, 220), 238, rgb(255, 220, 140)));
    fill(L, hill(334, 10, 0.02f, 2.0f), vgrad(320, rgb(84, 60, 140), 384, rgb(60, 42, 110)));
    fill(L, hill(354, 8, 0.03f, 0.5f), vgrad(340, rgb(56, 40, 104), 384, rgb(40, 28, 80)));
    for (int i = 0; i < 12; ++i) {
      float x = 20 + i * 42 + rnd(st) * 14, y = 362 + rnd(st) * 14;
      Col c = i % 2 ? rgb(255, 210, 120) : rgb(255, 150, 190);
      Layer g(512, 384);
      glow(g, circle(x, y, 2.2f), c, 5, 0.5f);
      blit(L, g, 0, 0);
      fill(L, circle(x, y, 2.0f), solid(lighten(c, 0.5f)));
    }
  }
  return L;
}

Layer MakeReward() {
  // A bright, airy picture: the credits of the ending scroll over it in black, so it
  // stays light; the figures stand at the sides.
  Layer L(510, 380);
  fill(L, box(-2, -2, 512, 382), vgrad(0, rgb(150, 212, 255), 380, rgb(236, 248, 255)));
  // Sun.
  Layer sg(510, 380);
  glow(sg, circle(66, 62, 30), rgb(255, 240, 160), 26, 0.35f);
  blit(L, sg, 0, 0);
  for (int k = 0; k < 12; ++k) {
    float a = k * kPi / 6 + 0.1f;
    fill(L, segment(66 + std::cos(a) * 38, 62 + std::sin(a) * 38, 66 + std::cos(a) * 52, 62 + std::sin(a) * 52, 5),
         solid(rgb(255, 226, 120)));
  }
  fill(L, grow(circle(66, 62, 30), 2), solid(rgb(255, 190, 70)));
  fill(L, circle(66, 62, 30), rgrad(58, 54, 34, rgb(255, 252, 210), rgb(255, 214, 90)));
  // Face on the sun.
  fill(L, arc(56, 62, 5, 200, 340, 2.4f), solid(rgb(150, 80, 30)));
  fill(L, arc(76, 62, 5, 200, 340, 2.4f), solid(rgb(150, 80, 30)));
  fill(L, arc(66, 68, 8, 20, 160, 2.4f), solid(rgb(150, 80, 30)));
  // Pastel rainbow.
  const Col bands[7] = {rgb(255, 120, 130), rgb(255, 180, 100), rgb(255, 235, 120), rgb(150, 225, 130),
                        rgb(120, 200, 240), rgb(140, 150, 240), rgb(200, 150, 240)};
  for (int i = 0; i < 7; ++i) {
    float r = 236 - i * 12.0f;
    fill(L, intersect(ring(circle(255, 352, r), 12.5f), box(0, 0, 510, 352)), solid(withA(mix(bands[i], rgb(255, 255, 255), 0.35f), 0.85f)));
  }
  cloud(L, 110, 118, 1.4f, rgb(255, 255, 255), rgb(214, 230, 250));
  cloud(L, 350, 86, 1.1f, rgb(255, 255, 255), rgb(214, 230, 250));
  cloud(L, 200, 40, 0.8f, rgb(255, 255, 255), rgb(214, 230, 250));
  cloud(L, 30, 330, 1.2f, rgb(255, 255, 255), rgb(214, 230, 250));
  cloud(L, 410, 300, 1.0f, rgb(255, 255, 255), rgb(214, 230, 250));
  // Meadow.
  fill(L, hill(322, 12, 0.016f, 0.7f), vgrad(300, rgb(170, 232, 140), 380, rgb(120, 206, 104)));
  fill(L, hill(348, 9, 0.024f, 2.4f), vgrad(330, rgb(140, 220, 116), 380, rgb(98, 190, 90)));
  uint32_t st = 42;
  for (int i = 0; i < 70; ++i) {
    float x = rnd(st) * 510, y = 338 + rnd(st) * 40;
    Col c = hueColor(int(rnd(st) * 8));
    for (int p = 0; p < 5; ++p) {
      float a = p * 2 * kPi / 5;
      fill(L, circle(x + std::cos(a) * 2.2f, y + std::sin(a) * 2.2f, 1.6f), solid(lighten(c, 0.3f)),
           Rect{int(x - 6), int(y - 6), int(x + 6), int(y + 6)});
    }
    fill(L, circle(x, y, 1.2f), solid(rgb(255, 240, 120)), Rect{int(x - 3), int(y - 3), int(x + 3), int(y + 3)});
  }
  // A tower of letter blocks on the left spelling the game's name.
  const char* word = "VEXA";
  const float tilt[4] = {4, -3, 5, -2};
  for (int i = 0; i < 4; ++i) {
    Layer b(64, 64);
    fill(b, box(9, 10, 59, 60, 10), solid(withA(kInk, 0.8f)));
    drawBlockCell(b, 0, word[i] - 'A', 6, 6, 50, logoColor(word[i]));
    blitRotated(L, b, 52 + (i % 2) * 6.0f, 332 - (3 - i) * 50.0f, tilt[i]);
  }
  // Balloons.
  auto balloon = [&](float x, float y, Col c) {
    Shape s = ellipse(x, y, 15, 18);
    fill(L, segment(x, y + 18, x + 6, y + 70, 1.2f), solid(rgb(120, 110, 130)));
    fill(L, grow(s, 1.6f), solid(kInk));
    fill(L, s, rgrad(x - 5, y - 7, 22, lighten(c, 0.5f), c));
    fill(L, polygon({x - 4, y + 22, x + 4, y + 22, x, y + 16}), solid(c));
    fill(L, ellipse(x - 6, y - 7, 3.5f, 5.5f), solid(withA(rgb(255, 255, 255), 0.7f)));
  };
  balloon(448, 60, hueColor(0));
  balloon(478, 86, hueColor(4));
  balloon(424, 98, hueColor(2));
  // The girl, cheering on the right.
  {
    Layer body(510, 380);
    Shape dress = polygon({416, 300, 456, 300, 480, 382, 392, 382});
    Shape armL = segment(418, 318, 366, 280, 11);
    Shape armR = segment(454, 318, 500, 282, 11);
    Col skin = rgb(255, 226, 204), dressC = rgb(255, 120, 170);
    const Col line = rgb(70, 34, 46);
    // Balloon strings lead to her right hand.
    for (auto [x, y] : {std::pair{448.0f, 78.0f}, {478.0f, 104.0f}, {424.0f, 116.0f}})
      fill(body, segment(x, y, 500, 280, 1.2f), solid(rgb(120, 110, 130)));
    for (const Shape& a : {armL, armR}) {
      fill(body, grow(a, 1.6f), solid(line));
      fill(body, a, solid(skin));
    }
    for (auto [x, y] : {std::pair{366.0f, 280.0f}, {500.0f, 282.0f}}) {
      fill(body, grow(circle(x, y, 7), 1.6f), solid(line));
      fill(body, circle(x, y, 7), solid(skin));
    }
    fill(body, grow(grow(dress, 3), 1.6f), solid(line));
    fill(body, grow(dress, 3), vgrad(300, lighten(dressC, 0.2f), 380, dressC));
    fill(body, box(414, 318, 458, 324, 2), solid(rgb(255, 255, 255)));
    fill(body, circle(436, 340, 3), solid(rgb(255, 255, 255)));
    fill(body, circle(436, 356, 3), solid(rgb(255, 255, 255)));
    blit(L, body, 0, 0);
    Layer head = paintFace(2, -1);
    blit(L, head, 372, 186);
  }
  // Confetti.
  for (int i = 0; i < 46; ++i) {
    float x = rnd(st) * 510, y = rnd(st) * 300;
    Col c = hueColor(int(rnd(st) * 8));
    float a = rnd(st) * 180;
    if (x > 140 && x < 380 && y > 60) continue;  // keep the middle calm for the credits
    fill(L, rotated(box(x - 3, y - 1.5f, x + 3, y + 1.5f, 0.8f), x, y, a), solid(c), Rect{int(x - 5), int(y - 5), int(x + 6), int(y + 6)});
  }
  return L;
}

Layer MakeMakerLogo() {
  Layer L(272, 512);
  Fonts& F = fonts();
  const std::string name = "KORVANTIUM";
  const float capH = 22, base = 43, textX = 70, tracking = 3.5f;
  float total = textWidth(F.round, name, capH, tracking);
  float xs = total > 192 ? 192 / total : 1.0f;
  for (int f = 0; f < 8; ++f) {
    Layer cell(272, 64);
    // The emblem: a faceted gem that grows in over the first frames.
    float gs = f == 0 ? 0.35f : f == 1 ? 0.75f : f == 2 ? 1.08f : 1.0f;
    float gx = 34, gy = 32;
    auto P = [&](float x, float y) { return std::pair{gx + x * gs, gy + y * gs}; };
    auto poly = [&](std::initializer_list<std::pair<float, float>> pts) {
      std::vector<float> v;
      for (auto [x, y] : pts) {
        auto [px, py] = P(x, y);
        v.push_back(px);
        v.push_back(py);
      }
      return polygon(v);
    };
    Shape gem = poly({{-22, -8}, {-11, -22}, {11, -22}, {22, -8}, {0, 24}});
    Layer glowL(272, 64);
    glow(glowL, gem, rgb(90, 200, 255), 9 * gs, f >= 6 ? 0.5f : 0.3f);
    blit(cell, glowL, 0, 0);
    fill(cell, grow(gem, 1.5f), solid(rgb(220, 240, 255)));
    fill(cell, poly({{-22, -8}, {-11, -22}, {-4, -8}}), solid(rgb(120, 220, 255)));
    fill(cell, poly({{-11, -22}, {11, -22}, {4, -8}, {-4, -8}}), solid(rgb(190, 244, 255)));
    fill(cell, poly({{11, -22}, {22, -8}, {4, -8}}), solid(rgb(90, 170, 250)));
    fill(cell, poly({{-22, -8}, {-4, -8}, {0, 24}}), solid(rgb(70, 130, 240)));
    fill(cell, poly({{-4, -8}, {4, -8}, {0, 24}}), solid(rgb(140, 110, 250)));
    fill(cell, poly({{4, -8}, {22, -8}, {0, 24}}), solid(rgb(100, 70, 220)));
    // The name, revealed from the left with a bright edge.
    float reveal = f < 2 ? -1.0f : f >= 6 ? 1e9f : textX + (f - 1) * 0.25f * total * xs;
    float pen = textX;
    Shape all;
    bool first = true;
    for (char ch : name) {
      const Glyph& g = F.get(F.round, std::string(1, ch));
      float gw = 0;
      Shape s = placeCap(g, pen, base, capH, xs, &gw);
      all = first ? s : unite(all, s);
      first = false;
      pen += gw + tracking * xs;
    }
    if (reveal > 0) {
      Shape shown = intersect(all, box(0, 0, reveal, 64));
      fill(cell, shown, vgrad(base - capH, rgb(255, 255, 255), base, rgb(176, 200, 240)));
      if (f >= 2 && f <= 5) {
        Layer edge(272, 64);
        glow(edge, circle(reveal, 32, 2), rgb(160, 220, 255), 7, 0.6f);
        blit(cell, edge, 0, 0);
        fill(cell, star(reveal, 32, 13, 1.5f, 4, 0), solid(rgb(240, 250, 255)));
      }
    }
    // A glint sweeps over the finished name on frame 6, and a sparkle sits on the gem at the end.
    if (f == 6) {
      Shape band = intersect(all, segment(textX + 120, base + 6, textX + 136, base - capH - 6, 10));
      fill(cell, band, solid(rgb(255, 255, 255)));
      fill(cell, intersect(grow(all, 0.6f), segment(textX + 120, base + 6, textX + 136, base - capH - 6, 14)),
           solid(withA(rgb(180, 230, 255), 0.6f)));
    }
    if (f == 7) {
      fill(cell, star(gx + 13, gy - 17, 8, 1.8f, 4, 0), solid(rgb(255, 255, 255)));
      fill(cell, star(textX + total * xs + 4, base - capH - 1, 5, 1.2f, 4, 0), solid(rgb(220, 240, 255)));
      // A thin line under the name.
      fill(cell, box(textX, base + 7, textX + total * xs, base + 8.5f, 0.7f), lgrad(textX, 0, rgb(90, 200, 255), textX + total * xs, 0, rgb(150, 110, 250)));
    }
    blit(L, cell, 0, f * 64);
  }
  return L;
}

}  // namespace art
