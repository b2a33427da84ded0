#include "text.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include <cstdio>
#include <limits>

namespace art {

namespace {

// Squared Euclidean distance transform of one line (Felzenszwalb and Huttenlocher).
void edt1d(const float* f, float* d, int n, std::vector<int>& v, std::vector<float>& z) {
  v.resize(n);
  z.resize(n + 1);
  int k = 0;
  v[0] = 0;
  z[0] = -std::numeric_limits<float>::infinity();
  z[1] = std::numeric_limits<float>::infinity();
  for (int q = 1; q < n; ++q) {
    auto inter = [&](int p) { return ((f[q] + float(q) * q) - (f[p] + float(p) * p)) / (2.0f * q - 2.0f * p); };
    float s = inter(v[k]);
    while (s <= z[k]) {
      --k;
      s = inter(v[k]);
    }
    ++k;
    v[k] = q;
    z[k] = s;
    z[k + 1] = std::numeric_limits<float>::infinity();
  }
  k = 0;
  for (int q = 0; q < n; ++q) {
    while (z[k + 1] < q) ++k;
    float dq = float(q - v[k]);
    d[q] = dq * dq + f[v[k]];
  }
}

// Distance (not squared) from every cell to the nearest cell where seed is true.
std::vector<float> edt(const std::vector<uint8_t>& seed, int W, int H) {
  const float INF = 1e20f;
  std::vector<float> g(size_t(W) * H);
  for (size_t i = 0; i < g.size(); ++i) g[i] = seed[i] ? 0.0f : INF;
  std::vector<float> f(std::max(W, H)), d(std::max(W, H));
  std::vector<int> v;
  std::vector<float> z;
  for (int x = 0; x < W; ++x) {
    for (int y = 0; y < H; ++y) f[y] = g[size_t(y) * W + x];
    edt1d(f.data(), d.data(), H, v, z);
    for (int y = 0; y < H; ++y) g[size_t(y) * W + x] = d[y];
  }
  for (int y = 0; y < H; ++y) {
    for (int x = 0; x < W; ++x) f[x] = g[size_t(y) * W + x];
    edt1d(f.data(), d.data(), W, v, z);
    for (int x = 0; x < W; ++x) g[size_t(y) * W + x] = std::sqrt(d[x]);
  }
  return g;
}

}  // namespace

float Glyph::sample(float u, float v) const {
  // Outside the grid: distance to the grid plus the border value.
  float cu = std::min(std::max(u, 0.0f), float(W - 1)), cv = std::min(std::max(v, 0.0f), float(H - 1));
  float extra = std::hypot(u - cu, v - cv);
  int ix = std::min(int(cu), W - 2), iy = std::min(int(cv), H - 2);
  float fx = cu - ix, fy = cv - iy;
  const float* r0 = &d[size_t(iy) * W + ix];
  const float* r1 = r0 + W;
  float a = r0[0] + (r0[1] - r0[0]) * fx;
  float b = r1[0] + (r1[1] - r1[0]) * fx;
  return a + (b - a) * fy + extra;
}

bool FontLib::open(const std::string& path, int px) {
  if (!TTF_WasInit() && TTF_Init() != 0) return false;
  font_ = TTF_OpenFont(path.c_str(), px);
  px_ = px;
  return font_ != nullptr;
}

FontLib::~FontLib() {
  if (font_) TTF_CloseFont(static_cast<TTF_Font*>(font_));
}

Glyph FontLib::make(const std::string& utf8) const {
  Glyph g;
  TTF_Font* font = static_cast<TTF_Font*>(font_);
  SDL_Color white{255, 255, 255, 255};
  SDL_Surface* s0 = TTF_RenderUTF8_Blended(font, utf8.c_str(), white);
  if (!s0) {
    std::fprintf(stderr, "artgen: cannot render '%s'\n", utf8.c_str());
    return g;
  }
  SDL_Surface* s = SDL_ConvertSurfaceFormat(s0, SDL_PIXELFORMAT_ARGB8888, 0);
  SDL_FreeSurface(s0);
  const int pad = px_ / 4;
  g.W = s->w + 2 * pad;
  g.H = s->h + 2 * pad;
  std::vector<uint8_t> in(size_t(g.W) * g.H, 0), out(size_t(g.W) * g.H, 1);
  float minx = 1e9f, miny = 1e9f, maxx = -1e9f, maxy = -1e9f;
  SDL_LockSurface(s);
  for (int y = 0; y < s->h; ++y) {
    const uint32_t* row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(s->pixels) + y * s->pitch);
    for (int x = 0; x < s->w; ++x) {
      uint8_t a = uint8_t(row[x] >> 24);
      if (a >= 128) {
        size_t i = size_t(y + pad) * g.W + (x + pad);
        in[i] = 1;
        out[i] = 0;
        minx = std::min(minx, float(x + pad));
        maxx = std::max(maxx, float(x + pad + 1));
        miny = std::min(miny, float(y + pad));
        maxy = std::max(maxy, float(y + pad + 1));
      }
    }
  }
  SDL_UnlockSurface(s);
  std::vector<float> dOut = edt(in, g.W, g.H), dIn = edt(out, g.W, g.H);
  g.d.resize(in.size());
  for (size_t i = 0; i < in.size(); ++i) g.d[i] = in[i] ? -(dIn[i] - 0.5f) : (dOut[i] - 0.5f);
  g.x0 = minx;
  g.y0 = miny;
  g.x1 = maxx;
  g.y1 = maxy;
  g.baseline = float(pad + TTF_FontAscent(font));
  int minx2, maxx2, miny2, maxy2, adv;
  if (TTF_GlyphMetrics(font, 'H', &minx2, &maxx2, &miny2, &maxy2, &adv) == 0) g.capTop = g.baseline - float(maxy2);
  else g.capTop = g.y0;
  g.advance = float(s->w);
  SDL_FreeSurface(s);
  return g;
}

Shape placeCap(const Glyph& g, float x, float by, float capH, float xs, float* outW) {
  float sc = capH / g.capH();
  float sx = sc * xs;
  if (outW) *outW = g.inkW() * sx;
  const Glyph* gp = &g;
  float m = std::min(sc, sx);
  return [=](float px, float py) {
    float u = gp->x0 + (px - x) / sx;
    float v = gp->baseline + (py - by) / sc;
    return gp->sample(u, v) * m;
  };
}

Shape placeBox(const Glyph& g, float x, float y, float w, float h) {
  float sx = w / g.inkW(), sy = h / g.inkH();
  const Glyph* gp = &g;
  float m = std::min(sx, sy);
  return [=](float px, float py) {
    return gp->sample(gp->x0 + (px - x) / sx, gp->y0 + (py - y) / sy) * m;
  };
}

std::string findFont(const std::vector<std::string>& candidates) {
  for (const std::string& c : candidates) {
    if (FILE* f = std::fopen(c.c_str(), "rb")) {
      std::fclose(f);
      return c;
    }
  }
  return {};
}

}  // namespace art
