#include "image.h"

#include <algorithm>
#include <cstdio>
#include <cmath>
#include <tuple>
#include <unordered_map>

namespace art {

namespace {

struct Entry {
  int r, g, b;
  uint32_t n;
};

struct Box {
  std::vector<Entry> e;
  uint64_t count = 0;
  int lo[3] = {255, 255, 255}, hi[3] = {0, 0, 0};
  void measure() {
    count = 0;
    for (int k = 0; k < 3; ++k) { lo[k] = 255; hi[k] = 0; }
    for (const Entry& x : e) {
      count += x.n;
      int c[3] = {x.r, x.g, x.b};
      for (int k = 0; k < 3; ++k) { lo[k] = std::min(lo[k], c[k]); hi[k] = std::max(hi[k], c[k]); }
    }
  }
  int axis() const {
    // Perceptual weights: green matters most, blue least.
    float w[3] = {1.0f, 1.2f, 0.8f};
    int best = 0;
    float bv = -1;
    for (int k = 0; k < 3; ++k) {
      float v = (hi[k] - lo[k]) * w[k];
      if (v > bv) { bv = v; best = k; }
    }
    return best;
  }
  float score() const {
    float w[3] = {1.0f, 1.2f, 0.8f};
    float m = 0;
    for (int k = 0; k < 3; ++k) m = std::max(m, (hi[k] - lo[k]) * w[k]);
    return e.size() < 2 ? -1.0f : m * std::sqrt(float(count));
  }
};

inline int dist2(int r1, int g1, int b1, int r2, int g2, int b2) {
  int dr = r1 - r2, dg = g1 - g2, db = b1 - b2;
  return 3 * dr * dr + 4 * dg * dg + 2 * db * db;
}

uint8_t to8(float v) { return uint8_t(std::lround(clamp01(v) * 255.0f)); }

}  // namespace

Indexed quantize(const Layer& L, bool dither) {
  Indexed out;
  out.w = L.w;
  out.h = L.h;
  out.idx.assign(size_t(L.w) * L.h, 0);
  // Straight 8-bit colours of the opaque pixels.
  std::vector<int> rgb(size_t(L.w) * L.h * 3, 0);
  std::vector<uint8_t> opaque(size_t(L.w) * L.h, 0);
  std::unordered_map<uint32_t, uint32_t> hist;
  for (int y = 0; y < L.h; ++y)
    for (int x = 0; x < L.w; ++x) {
      Col c = L.get(x, y);
      size_t i = size_t(y) * L.w + x;
      if (c.a < 0.5f) continue;
      opaque[i] = 1;
      int r = std::max<int>(16, to8(c.r)), g = std::max<int>(16, to8(c.g)), b = std::max<int>(16, to8(c.b));
      rgb[3 * i] = r;
      rgb[3 * i + 1] = g;
      rgb[3 * i + 2] = b;
      hist[uint32_t(r) << 16 | uint32_t(g) << 8 | uint32_t(b)]++;
    }
  std::vector<std::array<int, 3>> pal;
  std::vector<Entry> all;
  for (auto& kv : hist) all.push_back({int(kv.first >> 16), int((kv.first >> 8) & 255), int(kv.first & 255), kv.second});
  std::sort(all.begin(), all.end(), [](const Entry& a, const Entry& b) {
    return std::tie(a.r, a.g, a.b) < std::tie(b.r, b.g, b.b);
  });
  if (all.size() <= 255) {
    for (const Entry& e : all) pal.push_back({e.r, e.g, e.b});
  } else {
    std::vector<Box> boxes(1);
    boxes[0].e = all;
    boxes[0].measure();
    while (boxes.size() < 255) {
      int bi = -1;
      float bs = 0;
      for (size_t i = 0; i < boxes.size(); ++i)
        if (boxes[i].score() > bs) { bs = boxes[i].score(); bi = int(i); }
      if (bi < 0) break;
      Box& b = boxes[bi];
      int ax = b.axis();
      std::sort(b.e.begin(), b.e.end(), [ax](const Entry& p, const Entry& q) {
        int a = ax == 0 ? p.r : ax == 1 ? p.g : p.b, c = ax == 0 ? q.r : ax == 1 ? q.g : q.b;
        return a < c;
      });
      uint64_t half = b.count / 2, acc = 0;
      size_t cut = 1;
      for (size_t i = 0; i < b.e.size() - 1; ++i) {
        acc += b.e[i].n;
        cut = i + 1;
        if (acc >= half) break;
      }
      Box nb;
      nb.e.assign(b.e.begin() + cut, b.e.end());
      b.e.resize(cut);
      b.measure();
      nb.measure();
      boxes.push_back(std::move(nb));
    }
    for (Box& b : boxes) {
      double s[3] = {0, 0, 0};
      for (const Entry& e : b.e) { s[0] += double(e.r) * e.n; s[1] += double(e.g) * e.n; s[2] += double(e.b) * e.n; }
      pal.push_back({int(std::lround(s[0] / b.count)), int(std::lround(s[1] / b.count)), int(std::lround(s[2] / b.count))});
    }
    // A few rounds of k-means over the distinct colours.
    for (int it = 0; it < 6; ++it) {
      std::vector<double> acc(pal.size() * 4, 0.0);
      for (const Entry& e : all) {
        int best = 0, bd = 1 << 30;
        for (size_t k = 0; k < pal.size(); ++k) {
          int d = dist2(e.r, e.g, e.b, pal[k][0], pal[k][1], pal[k][2]);
          if (d < bd) { bd = d; best = int(k); }
        }
        acc[4 * best] += double(e.r) * e.n;
        acc[4 * best + 1] += double(e.g) * e.n;
        acc[4 * best + 2] += double(e.b) * e.n;
        acc[4 * best + 3] += e.n;
      }
      for (size_t k = 0; k < pal.size(); ++k)
        if (acc[4 * k + 3] > 0)
          for (int c = 0; c < 3; ++c) pal[k][c] = int(std::lround(acc[4 * k + c] / acc[4 * k + 3]));
    }
  }
  for (auto& p : pal)
    for (int c = 0; c < 3; ++c) p[c] = std::max(16, std::min(255, p[c]));
  out.pal.fill(0);
  for (size_t k = 0; k < pal.size(); ++k)
    for (int c = 0; c < 3; ++c) out.pal[3 * (k + 1) + c] = uint8_t(pal[k][c]);
  std::unordered_map<uint32_t, uint8_t> cache;
  auto nearest = [&](int r, int g, int b) -> uint8_t {
    r = std::max(0, std::min(255, r));
    g = std::max(0, std::min(255, g));
    b = std::max(0, std::min(255, b));
    uint32_t key = uint32_t(r) << 16 | uint32_t(g) << 8 | uint32_t(b);
    auto it = cache.find(key);
    if (it != cache.end()) return it->second;
    int best = 0, bd = 1 << 30;
    for (size_t k = 0; k < pal.size(); ++k) {
      int d = dist2(r, g, b, pal[k][0], pal[k][1], pal[k][2]);
      if (d < bd) { bd = d; best = int(k); }
    }
    cache[key] = uint8_t(best + 1);
    return uint8_t(best + 1);
  };
  if (!dither) {
    for (size_t i = 0; i < opaque.size(); ++i)
      if (opaque[i]) out.idx[i] = nearest(rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]);
    return out;
  }
  // Floyd-Steinberg, serpentine, among opaque pixels only; the error is damped a little
  // so flat areas stay calm.
  std::vector<float> err(size_t(L.w + 2) * 2 * 3, 0.0f);
  auto E = [&](int row, int x) { return &err[(size_t(row & 1) * (L.w + 2) + (x + 1)) * 3]; };
  for (int y = 0; y < L.h; ++y) {
    std::fill(err.begin() + size_t((y + 1) & 1) * (L.w + 2) * 3, err.begin() + size_t(((y + 1) & 1) + 1) * (L.w + 2) * 3, 0.0f);
    bool ltr = (y % 2) == 0;
    for (int k = 0; k < L.w; ++k) {
      int x = ltr ? k : L.w - 1 - k;
      size_t i = size_t(y) * L.w + x;
      if (!opaque[i]) continue;
      float* e = E(y, x);
      float want[3];
      for (int c = 0; c < 3; ++c) want[c] = rgb[3 * i + c] + e[c];
      uint8_t q = nearest(int(std::lround(want[0])), int(std::lround(want[1])), int(std::lround(want[2])));
      out.idx[i] = q;
      float d[3];
      for (int c = 0; c < 3; ++c) d[c] = (want[c] - out.pal[3 * q + c]) * 0.85f;
      int dx = ltr ? 1 : -1;
      auto add = [&](int row, int xx, float f) {
        if (xx < 0 || xx >= L.w) return;
        float* t = E(row, xx);
        for (int c = 0; c < 3; ++c) t[c] += d[c] * f;
      };
      add(y, x + dx, 7.0f / 16);
      add(y + 1, x - dx, 3.0f / 16);
      add(y + 1, x, 5.0f / 16);
      add(y + 1, x + dx, 1.0f / 16);
    }
  }
  return out;
}

namespace {
void put16(std::vector<uint8_t>& v, uint32_t x) { v.push_back(uint8_t(x)); v.push_back(uint8_t(x >> 8)); }
void put32(std::vector<uint8_t>& v, uint32_t x) { put16(v, x & 0xFFFF); put16(v, x >> 16); }

bool writeFile(const std::string& path, const std::vector<uint8_t>& data) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(data.data(), 1, data.size(), f) == data.size();
  return std::fclose(f) == 0 && ok;
}

void header(std::vector<uint8_t>& v, int w, int h, int bpp, uint32_t paletteBytes, uint32_t imageBytes) {
  v.push_back('B');
  v.push_back('M');
  put32(v, 14 + 40 + paletteBytes + imageBytes);
  put32(v, 0);
  put32(v, 14 + 40 + paletteBytes);
  put32(v, 40);
  put32(v, uint32_t(w));
  put32(v, uint32_t(h));  // positive: bottom-up rows
  put16(v, 1);
  put16(v, uint16_t(bpp));
  put32(v, 0);  // BI_RGB
  put32(v, imageBytes);
  put32(v, 2835);
  put32(v, 2835);
  put32(v, bpp == 8 ? 256 : 0);
  put32(v, 0);
}
}  // namespace

bool writeBmp8(const std::string& path, const Indexed& im) {
  uint32_t stride = (uint32_t(im.w) + 3) & ~3u;
  std::vector<uint8_t> v;
  header(v, im.w, im.h, 8, 1024, stride * im.h);
  for (int i = 0; i < 256; ++i) {
    v.push_back(im.pal[3 * i + 2]);
    v.push_back(im.pal[3 * i + 1]);
    v.push_back(im.pal[3 * i]);
    v.push_back(0);
  }
  for (int y = im.h - 1; y >= 0; --y) {
    for (int x = 0; x < im.w; ++x) v.push_back(im.idx[size_t(y) * im.w + x]);
    for (uint32_t p = im.w; p < stride; ++p) v.push_back(0);
  }
  return writeFile(path, v);
}

bool writeBmp24(const std::string& path, int w, int h, const std::vector<uint8_t>& rgb) {
  uint32_t stride = (uint32_t(w) * 3 + 3) & ~3u;
  std::vector<uint8_t> v;
  header(v, w, h, 24, 0, stride * h);
  for (int y = h - 1; y >= 0; --y) {
    for (int x = 0; x < w; ++x) {
      const uint8_t* p = &rgb[(size_t(y) * w + x) * 3];
      v.push_back(p[2]);
      v.push_back(p[1]);
      v.push_back(p[0]);
    }
    for (uint32_t p = uint32_t(w) * 3; p < stride; ++p) v.push_back(0);
  }
  return writeFile(path, v);
}

}  // namespace art
