#include <cstdio>
#include <cstdlib>

#include "art.h"

namespace art {

const Glyph& Fonts::get(FontLib& f, const std::string& text) {
  auto key = std::make_pair(static_cast<const FontLib*>(&f), text);
  auto it = cache.find(key);
  if (it != cache.end()) return *it->second;
  auto g = std::make_unique<Glyph>(f.make(text));
  const Glyph& ref = *g;
  cache[key] = std::move(g);
  return ref;
}

Fonts& fonts() {
  static Fonts* f = [] {
    auto* p = new Fonts;
    auto need = [](FontLib& lib, const std::vector<std::string>& paths) {
      std::string path = findFont(paths);
      if (path.empty() || !lib.open(path)) {
        std::fprintf(stderr, "artgen: font not found: %s\n", paths.front().c_str());
        std::exit(1);
      }
    };
    need(p->bold, {"/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"});
    need(p->cond, {"/usr/share/fonts/truetype/dejavu/DejaVuSansCondensed-Bold.ttf"});
    need(p->round, {"/usr/share/fonts/opentype/urw-base35/URWGothic-Demi.otf"});
    return p;
  }();
  return *f;
}

Col hueColor(int slot) {
  static const Col k[8] = {
      rgb(234, 58, 72),    // red
      rgb(248, 140, 34),   // orange
      rgb(244, 204, 30),   // yellow
      rgb(76, 190, 64),    // green
      rgb(28, 184, 196),   // teal
      rgb(58, 108, 232),   // blue
      rgb(150, 82, 222),   // purple
      rgb(242, 98, 178),   // pink
  };
  return k[((slot % 8) + 8) % 8];
}

Col letterColor(int letter) {
  static const Col k[13] = {
      rgb(232, 48, 62),    // A red
      rgb(246, 206, 24),   // B yellow
      rgb(46, 100, 236),   // C blue
      rgb(44, 172, 64),    // D green
      rgb(150, 76, 226),   // E violet
      rgb(250, 136, 28),   // F orange
      rgb(48, 196, 240),   // G sky
      rgb(250, 132, 186),  // H pink
      rgb(164, 218, 40),   // I lime
      rgb(150, 92, 50),    // J brown
      rgb(150, 158, 176),  // K silver
      rgb(96, 216, 168),   // L mint
      rgb(214, 52, 196),   // M magenta
  };
  int i = ((letter % 13) + 13) % 13;
  return letterStriped(letter) ? darken(k[i], 0.22f) : k[i];
}

FontColors fontColors(int index) {
  switch (index & 3) {
    case 0: return {rgb(255, 176, 184), rgb(236, 42, 76), rgb(70, 16, 36)};     // cherry
    case 1: return {rgb(226, 255, 184), rgb(76, 198, 58), rgb(16, 44, 24)};    // lime
    case 2: return {rgb(255, 248, 150), rgb(255, 150, 16), rgb(76, 32, 16)};   // sunny
    default: return {rgb(176, 236, 255), rgb(40, 118, 238), rgb(16, 24, 76)}; // sky
  }
}

float textWidth(FontLib& f, const std::string& s, float capH, float tracking) {
  float w = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == ' ') {
      w += capH * 0.45f + tracking;
      continue;
    }
    const Glyph& g = fonts().get(f, std::string(1, s[i]));
    float gw = g.inkW() * capH / g.capH();
    w += gw + tracking;
  }
  return w - tracking;
}

void drawHeadingText(Layer& L, FontLib& f, const std::string& s, float x, float baseline, float capH,
                     float tracking, const std::vector<Col>& colors, float outline, float maxW) {
  float total = textWidth(f, s, capH, tracking);
  float xs = (maxW > 0 && total > maxW) ? maxW / total : 1.0f;
  float pen = x;
  int ci = 0;
  std::vector<std::pair<Shape, Col>> letters;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == ' ') {
      pen += (capH * 0.45f + tracking) * xs;
      continue;
    }
    const Glyph& g = fonts().get(f, std::string(1, s[i]));
    float w = 0;
    Shape sh = placeCap(g, pen, baseline, capH, xs, &w);
    letters.push_back({sh, colors[ci % colors.size()]});
    ++ci;
    pen += w + tracking * xs;
  }
  Shape all = letters[0].first;
  for (size_t i = 1; i < letters.size(); ++i) all = unite(all, letters[i].first);
  Rect bb{int(x - outline - 4), int(baseline - capH * 1.3f - outline - 4), int(pen + outline + 6),
          int(baseline + capH * 0.35f + outline + 6)};
  Col line = rgb(40, 24, 60);
  // Drop shadow, dark outline, white rim, then the coloured letters.
  fill(L, moved(grow(all, outline + 0.5f), 1.5f, 2.5f), solid(withA(rgb(30, 16, 50), 0.85f)), bb);
  fill(L, grow(all, outline), solid(line), bb);
  fill(L, grow(all, outline * 0.45f), solid(rgb(255, 255, 255)), bb);
  for (auto& [sh, c] : letters) {
    float top = baseline - capH, bot = baseline;
    fill(L, sh, vgrad(top, lighten(c, 0.45f), bot, darken(c, 0.12f)), bb);
    // Gloss on the upper half.
    fill(L, intersect(grow(sh, -capH * 0.06f), box(0, 0, 4096, top + capH * 0.42f)),
         solid(withA(rgb(255, 255, 255), 0.35f)), bb);
  }
}

void copyRect(Layer& dst, const Layer& src, int sx, int sy, int w, int h, int dx, int dy) {
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const float* s = src.at(sx + x, sy + y);
      float* d = dst.at(dx + x, dy + y);
      for (int k = 0; k < 4; ++k) d[k] = s[k];
    }
}

}  // namespace art
