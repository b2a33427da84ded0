#include <tuple>
// Frame, cursors, arrow, effects and the banner texts of the game screen and menus.
#include "art.h"

namespace art {

namespace {

const Col kInk = rgb(40, 24, 60);  // the dark outline shared by every picture

}  // namespace

// Composites src rotated by deg about its centre, with that centre placed at (cx, cy).
void blitRotated(Layer& dst, const Layer& src, float cx, float cy, float deg) {
  float c = std::cos(deg * kPi / 180.0f), s = std::sin(deg * kPi / 180.0f);
  float scx = src.w / 2.0f, scy = src.h / 2.0f;
  float R = std::hypot(scx, scy) + 2;
  for (int y = int(cy - R); y <= int(cy + R); ++y)
    for (int x = int(cx - R); x <= int(cx + R); ++x) {
      if (x < 0 || y < 0 || x >= dst.w || y >= dst.h) continue;
      float dx = x + 0.5f - cx, dy = y + 0.5f - cy;
      float u = c * dx + s * dy + scx - 0.5f, v = -s * dx + c * dy + scy - 0.5f;
      int iu = int(std::floor(u)), iv = int(std::floor(v));
      float fu = u - iu, fv = v - iv;
      float acc[4] = {0, 0, 0, 0};
      for (int j = 0; j < 2; ++j)
        for (int i = 0; i < 2; ++i) {
          int px = iu + i, py = iv + j;
          if (px < 0 || py < 0 || px >= src.w || py >= src.h) continue;
          float wgt = (i ? fu : 1 - fu) * (j ? fv : 1 - fv);
          const float* p = src.at(px, py);
          for (int k = 0; k < 4; ++k) acc[k] += p[k] * wgt;
        }
      if (acc[3] <= 0) continue;
      float* d = dst.at(x, y);
      float ia = 1 - acc[3];
      for (int k = 0; k < 4; ++k) d[k] = acc[k] + d[k] * ia;
    }
}

Layer MakeFrame() {
  // Paint the whole frame around a 192 x 320 well once, then cut it into the nine cells.
  Layer full(224, 352);
  Shape outer = box(0.5f, 0.5f, 223.5f, 351.5f, 14);
  Shape inner = box(16, 16, 208, 336, 3);
  Shape band = subtract(outer, inner);
  Col base = rgb(255, 128, 170);
  fill(full, grow(band, 0), solid(kInk));
  Shape core = subtract(grow(outer, -1.6f), grow(inner, 1.6f));
  // Across the band: a light crest in the middle, deeper toward both edges.
  Paint tube = [=](float x, float y) {
    float d = std::min(std::min(x, 224 - x), std::min(y, 352 - y));  // distance from the outer edge
    float t = clamp01((d - 1.5f) / 13.0f);
    float crest = 1 - std::fabs(t - 0.38f) * 2.2f;
    Col c = mix(darken(base, 0.18f), lighten(base, 0.55f), clamp01(crest));
    return c;
  };
  fill(full, core, tube);
  // Studs: one at the middle of every edge cell, lined up with the block columns and rows.
  auto stud = [&](float cx, float cy) {
    fill(full, circle(cx, cy, 3.2f), solid(darken(base, 0.45f)));
    fill(full, circle(cx, cy, 2.4f), solid(rgb(255, 244, 250)));
    fill(full, circle(cx - 0.7f, cy - 0.7f, 1.0f), solid(rgb(255, 255, 255)));
  };
  for (int i = 1; i <= 5; ++i) {
    stud(32 * i + 16, 8);
    stud(32 * i + 16, 344);
  }
  for (int i = 1; i <= 9; ++i) {
    stud(8, 32 * i + 16);
    stud(216, 32 * i + 16);
  }
  // Corner jewels.
  for (auto [cx, cy] : {std::pair{9.0f, 9.0f}, {215.0f, 9.0f}, {9.0f, 343.0f}, {215.0f, 343.0f}}) {
    Shape j = star(cx, cy, 8.5f, 4.2f, 5, 0);
    fill(full, grow(j, 1.4f), solid(kInk));
    fill(full, j, vgrad(cy - 8, rgb(255, 250, 170), cy + 6, rgb(255, 176, 20)));
    fill(full, circle(cx - 1.5f, cy - 1.5f, 1.4f), solid(rgb(255, 255, 255)));
  }
  Layer L(96, 96);
  const int sx[3] = {0, 96, 192}, sy[3] = {0, 160, 320};
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) {
      if (r == 1 && c == 1) continue;  // the centre cell is never drawn
      copyRect(L, full, sx[c], sy[r], 32, 32, c * 32, r * 32);
    }
  return L;
}

Layer MakeCursor() {
  Layer L(160, 40);
  for (int cell = 0; cell < 4; ++cell) {
    float ox = float(cell * 40);
    bool partner = cell >= 2, dim = cell % 2 == 1;
    if (!partner) {
      // The cursor: a thick rounded ring around the block, white and pale yellow in turn.
      Shape r = ring(box(ox + 3, 3, ox + 37, 37, 6), 3.6f);
      Col c = dim ? rgb(255, 236, 120) : rgb(255, 255, 255);
      fill(L, grow(r, 1.3f), solid(kInk));
      fill(L, r, solid(c));
      // Corner knobs make it read as a grabber.
      for (auto [cx, cy] : {std::pair{3.0f, 3.0f}, {37.0f, 3.0f}, {3.0f, 37.0f}, {37.0f, 37.0f}}) {
        Shape k = circle(ox + cx, cy, dim ? 3.4f : 3.0f);
        fill(L, grow(k, 1.3f), solid(kInk));
        fill(L, k, solid(dim ? rgb(255, 176, 40) : rgb(255, 120, 170)));
      }
    } else {
      // The partner mark: four corner brackets in aqua.
      Col c = dim ? rgb(120, 200, 255) : rgb(120, 255, 230);
      Shape b;
      bool first = true;
      auto addSeg = [&](float ax, float ay, float bx, float by) {
        Shape s = segment(ox + ax, ay, ox + bx, by, 3.2f);
        b = first ? s : unite(b, s);
        first = false;
      };
      float a = 5, e = 35, l = 11;
      addSeg(a, a, a + l, a); addSeg(a, a, a, a + l);
      addSeg(e, a, e - l, a); addSeg(e, a, e, a + l);
      addSeg(a, e, a + l, e); addSeg(a, e, a, e - l);
      addSeg(e, e, e - l, e); addSeg(e, e, e, e - l);
      fill(L, grow(b, 1.3f), solid(kInk));
      fill(L, b, solid(c));
    }
  }
  return L;
}

Layer MakeArrow() {
  Layer L(48, 128);
  for (int f = 0; f < 4; ++f) {
    float oy = float(f * 32);
    Shape a = grow(polygon({9, oy + 15.5f, 24, oy + 15.5f, 24, oy + 10, 37, oy + 20, 24, oy + 30, 24, oy + 24.5f, 9,
                            oy + 24.5f}),
                   1.8f);
    Rect bb{0, int(oy), 48, int(oy + 32)};
    fill(L, moved(grow(a, 1.6f), 1.0f, 1.5f), solid(withA(kInk, 0.9f)), bb);
    fill(L, grow(a, 1.6f), solid(kInk), bb);
    fill(L, a, vgrad(oy + 9, rgb(255, 250, 170), oy + 31, rgb(255, 150, 30)), bb);
    // A glint that runs along the arrow from frame to frame.
    float gx = 12 + f * 7.5f;
    fill(L, intersect(grow(a, -1.2f), segment(gx - 3, oy + 31, gx + 5, oy + 9, 3.0f)),
         solid(withA(rgb(255, 255, 255), 0.8f)), bb);
    fill(L, intersect(grow(a, -1.5f), box(0, oy, 48, oy + 17.5f)), solid(withA(rgb(255, 255, 255), 0.3f)), bb);
  }
  return L;
}

Layer MakeFlash() {
  Layer L(128, 64);
  for (int f = 0; f < 8; ++f) {
    float ox = float((f % 4) * 32), oy = float((f / 4) * 32);
    float cx = ox + 16, cy = oy + 16;
    float t = f / 7.0f;
    Rect bb{int(ox), int(oy), int(ox + 32), int(oy + 32)};
    // An expanding ring...
    float r = 3 + 12.5f * t;
    float w = 4.5f * (1 - t) + 1.0f;
    if (f > 0) fill(L, ring(circle(cx, cy, r), w), solid(mix(rgb(255, 255, 255), rgb(255, 236, 140), t)), bb);
    // ...and four long and four short rays that grow, then thin out.
    float len = 5 + 10 * std::sin(t * kPi * 0.9f);
    float rw = 2.6f * (1 - t) + 0.8f;
    for (int k = 0; k < 8; ++k) {
      float ang = k * kPi / 4 + kPi / 8 * (f % 2);
      float l = (k % 2 == 0) ? len : len * 0.55f;
      float r0 = 2 + 6 * t;
      fill(L,
           segment(cx + std::cos(ang) * r0, cy + std::sin(ang) * r0, cx + std::cos(ang) * (r0 + l),
                   cy + std::sin(ang) * (r0 + l), rw),
           solid(rgb(255, 255, 255)), bb);
    }
    if (f < 3) fill(L, star(cx, cy, 7.0f - 2 * f, 2.2f, 4, 45.0f * f), solid(rgb(255, 255, 240)), bb);
  }
  return L;
}

Layer MakeStar() {
  Layer L(64, 16);
  for (int f = 0; f < 4; ++f) {
    float cx = f * 16 + 8.0f, cy = 8.3f;
    Shape s = star(cx, cy, 6.6f, 3.0f, 5, f * 18.0f);
    Rect bb{f * 16, 0, f * 16 + 16, 16};
    fill(L, grow(s, 1.1f), solid(rgb(150, 70, 10)), bb);
    fill(L, s, rgrad(cx - 1, cy - 1, 7, f == 1 ? rgb(255, 255, 255) : rgb(255, 255, 200), rgb(255, 190, 20)), bb);
    fill(L, circle(cx - 1.2f, cy - 1.2f, 1.2f), solid(rgb(255, 255, 255)), bb);
  }
  return L;
}

Layer MakeBalloon() {
  Layer L(128, 128);
  // The body spans nearly the full width (the longest text, 112 pixels, starts 8 pixels
  // in) and centres on row 88, the middle of the 16-pixel text line at row 80.
  Shape body = box(2, 58, 126, 120, 18);
  Shape tail = polygon({52, 62, 74, 62, 62, 30});
  Shape all = unite(body, tail);
  fill(L, moved(grow(all, 1.6f), 1.5f, 2.5f), solid(withA(rgb(60, 40, 90), 0.9f)));
  fill(L, grow(all, 1.8f), solid(kInk));
  fill(L, all, vgrad(30, rgb(255, 255, 255), 120, rgb(255, 246, 214)));
  // Soft shine on the upper left and two small sparkles.
  fill(L, segment(16, 66, 36, 63, 3.0f), solid(rgb(255, 255, 255)));
  fill(L, star(113, 68, 4.5f, 1.6f, 4, 0), solid(rgb(255, 196, 60)));
  fill(L, star(12, 109, 3.2f, 1.2f, 4, 0), solid(rgb(255, 150, 190)));
  return L;
}

Layer MakeReady() {
  Layer L(176, 56);
  Fonts& F = fonts();
  std::vector<Col> c = {rgb(90, 220, 90), rgb(70, 200, 240), rgb(255, 200, 40), rgb(255, 120, 170), rgb(170, 120, 255)};
  float w = textWidth(F.bold, "READY", 38, 2);
  float x = std::max(6.0f, (176 - std::min(w, 162.0f)) / 2);
  drawHeadingText(L, F.bold, "READY", x, 45, 38, 2, c, 2.6f, 162);
  return L;
}

Layer MakeGo() {
  Layer L(136, 72);
  Fonts& F = fonts();
  std::vector<Col> c = {rgb(255, 90, 70), rgb(255, 160, 30), rgb(255, 220, 40)};
  float w = textWidth(F.bold, "GO!", 54, 3);
  drawHeadingText(L, F.bold, "GO!", (136 - std::min(w, 124.0f)) / 2, 62, 54, 3, c, 3.0f, 124);
  return L;
}

Layer MakeGameOver() {
  // The picture is drawn 164 pixels left of the well's centre line; the words stand on
  // two lines within the well's 192 pixels, so the status panel on the left and the face
  // on the right stay in view.
  Layer L(324, 90);
  Fonts& F = fonts();
  std::vector<Col> c = {rgb(120, 130, 255), rgb(150, 110, 240), rgb(110, 150, 255), rgb(170, 120, 250)};
  const float centre = 164, capH = 33, mw = 176;
  for (auto [word, baseline] : {std::pair{"GAME", 39.0f}, {"OVER", 84.0f}}) {
    float w = std::min(textWidth(F.bold, word, capH, 2), mw);
    drawHeadingText(L, F.bold, word, centre - w / 2, baseline, capH, 2, c, 2.8f, mw);
  }
  // Two tear-drop accents, over the well's side borders.
  for (auto [x, y] : {std::pair{62.0f, 50.0f}, {266.0f, 50.0f}}) {
    Shape d = unite(circle(x, y + 6, 5), polygon({x - 4.3f, y + 3.5f, x + 4.3f, y + 3.5f, x, y - 6}));
    fill(L, grow(d, 1.6f), solid(kInk));
    fill(L, d, vgrad(y - 6, rgb(210, 240, 255), y + 11, rgb(80, 170, 255)));
  }
  return L;
}

Layer MakeClear() {
  // Eleven cells that spread from the well's centre to 36 pixels apart. "STAGE" over
  // "CLEAR" fills the middle five, which end up inside the well; the cells either side
  // of them hold a star each (ending over the well's borders), and the outer four stay
  // empty, so the banner never covers the status panel or the face.
  Layer L(396, 86);
  Fonts& F = fonts();
  const char* top = "STAGE";
  const char* bottom = "CLEAR";
  for (int i = 3; i < 8; ++i) {
    Layer cell(36, 86);
    for (auto [ch, baseline, slot] : {std::tuple{top[i - 3], 39.0f, i - 3}, {bottom[i - 3], 81.0f, i + 1}}) {
      std::string t(1, ch);
      float w = std::min(textWidth(F.bold, t, 33, 0), 30.0f);
      drawHeadingText(cell, F.bold, t, 18 - w / 2, baseline, 33, 0, {hueColor(slot * 3 % 8)}, 2.4f, 30);
    }
    blit(L, cell, i * 36, 0);
  }
  for (int i : {2, 8}) {
    float ox = float(i * 36);
    Shape st = star(ox + 18, 44, 12, 5.0f, 5, 0);
    fill(L, moved(grow(st, 2.0f), 1.5f, 2.5f), solid(withA(kInk, 0.85f)));
    fill(L, grow(st, 2.0f), solid(kInk));
    fill(L, st, vgrad(32, rgb(255, 255, 190), 56, rgb(255, 170, 20)));
  }
  return L;
}

Layer MakeSelect() {
  Layer L(474, 72);
  Fonts& F = fonts();
  std::vector<Col> c;
  for (int i = 0; i < 10; ++i) c.push_back(hueColor((i * 3) % 8));
  float w = textWidth(F.bold, "SELECT MODE", 46, 3);
  float mw = 440;
  drawHeadingText(L, F.bold, "SELECT MODE", (474 - std::min(w, mw)) / 2, 58, 46, 3, c, 3.0f, mw);
  return L;
}

Layer MakeBadge(bool puzzle) {
  Layer L(128, 54);
  Fonts& F = fonts();
  Col a = puzzle ? rgb(40, 200, 200) : rgb(255, 150, 60);
  Col b = puzzle ? rgb(50, 110, 230) : rgb(240, 70, 140);
  Shape body = box(3, 3, 125, 50, 14);
  fill(L, moved(grow(body, 1.5f), 1.5f, 2.0f), solid(withA(kInk, 0.85f)));
  fill(L, grow(body, 1.6f), solid(kInk));
  fill(L, body, solid(rgb(255, 255, 255)));
  Shape in = grow(body, -2.6f);
  fill(L, in, lgrad(0, 3, a, 0, 50, b));
  fill(L, intersect(grow(in, -1.5f), box(0, 0, 128, 22)), solid(withA(rgb(255, 255, 255), 0.3f)));
  // Little pattern of the game type: a tiny field of blocks or a puzzle piece row.
  const std::string text = puzzle ? "PUZZLE" : "ENDLESS";
  float capH = 17;
  float w = textWidth(F.bold, text, capH, 1);
  float mw = 104;
  float xs = w > mw ? mw / w : 1;
  float x = 64 - std::min(w, mw) / 2;
  float pen = x;
  Shape all;
  bool first = true;
  for (char ch : text) {
    const Glyph& g = F.get(F.bold, std::string(1, ch));
    float gw = 0;
    Shape s = placeCap(g, pen, 36, capH, xs, &gw);
    all = first ? s : unite(all, s);
    first = false;
    pen += gw + 1 * xs;
  }
  fill(L, moved(grow(all, 1.8f), 1, 1.5f), solid(darken(b, 0.55f)));
  fill(L, grow(all, 1.8f), solid(darken(b, 0.5f)));
  fill(L, all, vgrad(19, rgb(255, 255, 255), 36, rgb(255, 240, 200)));
  // Sparkles in the corners.
  fill(L, star(15, 15, 4.5f, 1.6f, 4, 0), solid(rgb(255, 255, 255)));
  fill(L, star(114, 40, 3.5f, 1.3f, 4, 0), solid(rgb(255, 255, 220)));
  return L;
}

Layer MakeSubtitle() {
  Layer L(229, 44);
  Fonts& F = fonts();
  // A ribbon banner across the top part (the title's blocks overlap its lower part).
  Shape rib = box(10, 4, 219, 30, 6);
  Shape tailL = polygon({2, 9, 16, 9, 16, 33, 2, 33, 8, 21});
  Shape tailR = polygon({227, 9, 213, 9, 213, 33, 227, 33, 221, 21});
  for (const Shape& t : {tailL, tailR}) {
    fill(L, grow(t, 1.4f), solid(kInk));
    fill(L, t, solid(rgb(200, 60, 120)));
  }
  fill(L, moved(grow(rib, 1.4f), 1, 2), solid(withA(kInk, 0.8f)));
  fill(L, grow(rib, 1.4f), solid(kInk));
  fill(L, rib, vgrad(4, rgb(255, 140, 190), 30, rgb(236, 70, 140)));
  fill(L, box(14, 6.5f, 215, 8.5f, 1), solid(withA(rgb(255, 255, 255), 0.45f)));
  const std::string text = "LETTER BLOCK PUZZLE";
  float capH = 12.5f;
  float w = textWidth(F.bold, text, capH, 1.2f);
  float mw = 186;
  float xs = w > mw ? mw / w : 1;
  float pen = 114.5f - std::min(w, mw) / 2;
  Shape all;
  bool first = true;
  for (char ch : text) {
    if (ch == ' ') {
      pen += (capH * 0.45f + 1.2f) * xs;
      continue;
    }
    const Glyph& g = F.get(F.bold, std::string(1, ch));
    float gw = 0;
    Shape s = placeCap(g, pen, 23.5f, capH, xs, &gw);
    all = first ? s : unite(all, s);
    first = false;
    pen += gw + 1.2f * xs;
  }
  fill(L, grow(all, 1.3f), solid(rgb(120, 20, 70)));
  fill(L, all, solid(rgb(255, 255, 255)));
  return L;
}

Layer MakeCopyright() {
  Layer L(272, 32);
  Fonts& F = fonts();
  const Glyph& g = F.get(F.bold, "\xC2\xA9 2025 KORVANTIUM");
  float capH = 11;
  float w = g.inkW() * capH / g.capH();
  float xs = w > 250 ? 250 / w : 1;
  w *= xs;
  Shape s = placeCap(g, 136 - w / 2, 21, capH, xs);
  fill(L, moved(grow(s, 1.6f), 1, 1.5f), solid(kInk));
  fill(L, grow(s, 1.6f), solid(kInk));
  fill(L, s, vgrad(9, rgb(255, 255, 255), 21, rgb(220, 230, 255)));
  return L;
}

Layer MakeTitle() {
  Layer L(350, 100);
  const char* word = "VEXA";
  const float angles[4] = {-8, 5, -4, 7};
  const float dy[4] = {2, -2, 3, -1};
  for (int i = 0; i < 4; ++i) {
    Layer b(96, 96);
    // A shadow plate behind each block, then the glossy letter block itself.
    fill(b, box(12, 14, 90, 92, 14), solid(withA(kInk, 0.9f)));
    drawBlockCell(b, 0, word[i] - 'A', 9, 9, 76, logoColor(word[i]));
    blitRotated(L, b, 54 + i * 82.0f, 50 + dy[i], angles[i]);
  }
  // Sparkles around the word.
  for (auto [x, y, r] : {std::tuple{12.0f, 14.0f, 7.0f}, {338.0f, 84.0f, 8.0f}, {176.0f, 93.0f, 4.5f},
                         {340.0f, 12.0f, 4.5f}}) {
    Shape s = star(x, y, r, r * 0.36f, 4, 0);
    fill(L, grow(s, 1.3f), solid(kInk));
    fill(L, s, solid(rgb(255, 250, 200)));
  }
  return L;
}

Layer MakeMiniLogo() {
  Layer L(136, 40);
  const char* word = "VEXA";
  const float angles[4] = {-8, 5, -4, 7};
  for (int i = 0; i < 4; ++i) {
    Layer b(40, 40);
    fill(b, box(5, 6, 36, 37, 6), solid(withA(kInk, 0.9f)));
    drawBlockCell(b, 0, word[i] - 'A', 4, 4, 30, logoColor(word[i]));
    blitRotated(L, b, 34 + i * 30.0f, 20, angles[i]);
  }
  return L;
}

}  // namespace art
