#include "gfx.h"

namespace art {

Col hsv(float h, float s, float v, float a) {
  h = std::fmod(h, 360.0f);
  if (h < 0) h += 360.0f;
  float c = v * s, x = c * (1 - std::fabs(std::fmod(h / 60.0f, 2.0f) - 1)), m = v - c;
  float r = 0, g = 0, b = 0;
  if (h < 60) { r = c; g = x; }
  else if (h < 120) { r = x; g = c; }
  else if (h < 180) { g = c; b = x; }
  else if (h < 240) { g = x; b = c; }
  else if (h < 300) { r = x; b = c; }
  else { r = c; b = x; }
  return {r + m, g + m, b + m, a};
}

Shape circle(float cx, float cy, float r) {
  return [=](float x, float y) { return std::hypot(x - cx, y - cy) - r; };
}

Shape ellipse(float cx, float cy, float rx, float ry) {
  return [=](float x, float y) {
    float dx = (x - cx) / rx, dy = (y - cy) / ry;
    float k = std::sqrt(dx * dx + dy * dy);
    // First-order distance estimate: value over gradient length.
    float gx = dx / rx, gy = dy / ry;
    float gl = std::sqrt(gx * gx + gy * gy);
    if (k < 1e-6f) return -std::min(rx, ry);
    return (k - 1) * k / std::max(gl, 1e-6f);
  };
}

Shape box(float x0, float y0, float x1, float y1, float radius) {
  float cx = (x0 + x1) / 2, cy = (y0 + y1) / 2, hx = (x1 - x0) / 2, hy = (y1 - y0) / 2;
  radius = std::min(radius, std::min(hx, hy));
  return [=](float x, float y) {
    float qx = std::fabs(x - cx) - hx + radius, qy = std::fabs(y - cy) - hy + radius;
    float ox = std::max(qx, 0.0f), oy = std::max(qy, 0.0f);
    return std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0f) - radius;
  };
}

Shape segment(float ax, float ay, float bx, float by, float width) {
  return [=](float x, float y) {
    float px = x - ax, py = y - ay, vx = bx - ax, vy = by - ay;
    float vv = vx * vx + vy * vy;
    float t = vv > 0 ? clamp01((px * vx + py * vy) / vv) : 0;
    return std::hypot(px - vx * t, py - vy * t) - width / 2;
  };
}

Shape polygon(std::vector<float> v) {
  return [v](float x, float y) {
    size_t n = v.size() / 2;
    float d = 1e9f;
    bool inside = false;
    for (size_t i = 0, j = n - 1; i < n; j = i++) {
      float xi = v[2 * i], yi = v[2 * i + 1], xj = v[2 * j], yj = v[2 * j + 1];
      float ex = xj - xi, ey = yj - yi, wx = x - xi, wy = y - yi;
      float ee = ex * ex + ey * ey;
      float t = ee > 0 ? clamp01((wx * ex + wy * ey) / ee) : 0;
      d = std::min(d, std::hypot(wx - ex * t, wy - ey * t));
      if (((yi > y) != (yj > y)) && (x < (xj - xi) * (y - yi) / (yj - yi) + xi)) inside = !inside;
    }
    return inside ? -d : d;
  };
}

Shape star(float cx, float cy, float ro, float ri, int points, float rotDeg) {
  std::vector<float> v;
  for (int i = 0; i < points * 2; ++i) {
    float a = (rotDeg - 90.0f) * kPi / 180.0f + i * kPi / points;
    float r = (i % 2 == 0) ? ro : ri;
    v.push_back(cx + r * std::cos(a));
    v.push_back(cy + r * std::sin(a));
  }
  return polygon(v);
}

Shape arc(float cx, float cy, float r, float a0Deg, float a1Deg, float width) {
  float a0 = a0Deg * kPi / 180.0f, a1 = a1Deg * kPi / 180.0f;
  float ax = cx + r * std::cos(a0), ay = cy + r * std::sin(a0);
  float bx = cx + r * std::cos(a1), by = cy + r * std::sin(a1);
  return [=](float x, float y) {
    float a = std::atan2(y - cy, x - cx);
    // Is the angle within [a0, a1] (going the positive way)?
    float span = a1 - a0;
    float rel = std::fmod(a - a0, 2 * kPi);
    if (rel < 0) rel += 2 * kPi;
    float d;
    if (rel <= span) d = std::fabs(std::hypot(x - cx, y - cy) - r);
    else d = std::min(std::hypot(x - ax, y - ay), std::hypot(x - bx, y - by));
    return d - width / 2;
  };
}

Shape unite(Shape a, Shape b) { return [=](float x, float y) { return std::min(a(x, y), b(x, y)); }; }
Shape intersect(Shape a, Shape b) { return [=](float x, float y) { return std::max(a(x, y), b(x, y)); }; }
Shape subtract(Shape a, Shape b) { return [=](float x, float y) { return std::max(a(x, y), -b(x, y)); }; }
Shape grow(Shape a, float by) { return [=](float x, float y) { return a(x, y) - by; }; }
Shape ring(Shape a, float width) { return [=](float x, float y) { return std::fabs(a(x, y)) - width / 2; }; }
Shape moved(Shape a, float dx, float dy) { return [=](float x, float y) { return a(x - dx, y - dy); }; }
Shape rotated(Shape a, float cx, float cy, float deg) {
  float c = std::cos(-deg * kPi / 180.0f), s = std::sin(-deg * kPi / 180.0f);
  return [=](float x, float y) {
    float dx = x - cx, dy = y - cy;
    return a(cx + dx * c - dy * s, cy + dx * s + dy * c);
  };
}
Shape scaledAbout(Shape a, float cx, float cy, float sx, float sy) {
  float m = std::min(sx, sy);
  return [=](float x, float y) { return a(cx + (x - cx) / sx, cy + (y - cy) / sy) * m; };
}

Paint solid(Col c) { return [=](float, float) { return c; }; }
Paint vgrad(float y0, Col top, float y1, Col bottom) {
  return [=](float, float y) { return mix(top, bottom, clamp01((y - y0) / (y1 - y0))); };
}
Paint lgrad(float x0, float y0, Col c0, float x1, float y1, Col c1) {
  float dx = x1 - x0, dy = y1 - y0, dd = dx * dx + dy * dy;
  return [=](float x, float y) { return mix(c0, c1, clamp01(((x - x0) * dx + (y - y0) * dy) / dd)); };
}
Paint rgrad(float cx, float cy, float r, Col inner, Col outer) {
  return [=](float x, float y) { return mix(inner, outer, clamp01(std::hypot(x - cx, y - cy) / r)); };
}

void fill(Layer& L, const Shape& s, const Paint& p, Rect bb) {
  bb.x0 = std::max(bb.x0, 0);
  bb.y0 = std::max(bb.y0, 0);
  bb.x1 = std::min(bb.x1, L.w);
  bb.y1 = std::min(bb.y1, L.h);
  for (int y = bb.y0; y < bb.y1; ++y)
    for (int x = bb.x0; x < bb.x1; ++x) {
      float fx = x + 0.5f, fy = y + 0.5f;
      float d = s(fx, fy);
      float cov = clamp01(0.5f - d);
      if (cov <= 0) continue;
      L.over(x, y, p(fx, fy), cov);
    }
}

void fill(Layer& L, const Shape& s, const Paint& p) { fill(L, s, p, Rect{0, 0, L.w, L.h}); }

void glow(Layer& L, const Shape& s, Col c, float radius, float strength) {
  for (int y = 0; y < L.h; ++y)
    for (int x = 0; x < L.w; ++x) {
      float d = s(x + 0.5f, y + 0.5f);
      float a = d <= 0 ? 1.0f : std::exp(-(d * d) / (radius * radius));
      a *= strength;
      if (a > 0.002f) L.over(x, y, c, a);
    }
}

void fillOutlined(Layer& L, const Shape& s, const Paint& p, Col outline, float ow) {
  fill(L, grow(s, ow), outline);
  fill(L, s, p);
}

void blit(Layer& dst, const Layer& src, int dx, int dy) {
  for (int y = 0; y < src.h; ++y)
    for (int x = 0; x < src.w; ++x) {
      int tx = x + dx, ty = y + dy;
      if (tx < 0 || ty < 0 || tx >= dst.w || ty >= dst.h) continue;
      const float* s = src.at(x, y);
      float* d = dst.at(tx, ty);
      float ia = 1 - s[3];
      for (int k = 0; k < 4; ++k) d[k] = s[k] + d[k] * ia;
    }
}

void clipTo(Layer& L, const Shape& s) {
  for (int y = 0; y < L.h; ++y)
    for (int x = 0; x < L.w; ++x) {
      float cov = clamp01(0.5f - s(x + 0.5f, y + 0.5f));
      float* p = L.at(x, y);
      for (int k = 0; k < 4; ++k) p[k] *= cov;
    }
}

uint32_t hash32(uint32_t x) {
  x ^= x >> 16;
  x *= 0x7feb352dU;
  x ^= x >> 15;
  x *= 0x846ca68bU;
  x ^= x >> 16;
  return x;
}

static float lattice(int x, int y, uint32_t seed) {
  return (hash32(uint32_t(x) * 73856093U ^ uint32_t(y) * 19349663U ^ seed * 83492791U) & 0xFFFFFF) /
         float(0xFFFFFF);
}

float vnoise(float x, float y, uint32_t seed) {
  int ix = int(std::floor(x)), iy = int(std::floor(y));
  float fx = x - ix, fy = y - iy;
  float sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
  float a = lattice(ix, iy, seed), b = lattice(ix + 1, iy, seed);
  float c = lattice(ix, iy + 1, seed), d = lattice(ix + 1, iy + 1, seed);
  return (a + (b - a) * sx) + ((c + (d - c) * sx) - (a + (b - a) * sx)) * sy;
}

float fbm(float x, float y, uint32_t seed, int octaves) {
  float sum = 0, amp = 0.5f, norm = 0;
  for (int i = 0; i < octaves; ++i) {
    sum += amp * vnoise(x, y, seed + i * 1013);
    norm += amp;
    x *= 2.03f;
    y *= 2.03f;
    amp *= 0.5f;
  }
  return sum / norm;
}

float rnd(uint32_t& state) {
  state = hash32(state + 0x9e3779b9U);
  return (state & 0xFFFFFF) / float(0x1000000);
}

}  // namespace art
