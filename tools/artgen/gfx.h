#pragma once
// A small painter for the art generator: float RGBA layers, shapes given as signed
// distance functions (negative inside, in pixels), anti-aliased filling by distance,
// gradients, glows and value noise. Everything the game shows is drawn with these.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

namespace art {

constexpr float kPi = 3.14159265358979f;

struct Col {
  float r = 0, g = 0, b = 0, a = 1;
};

inline Col rgb(int r, int g, int b, float a = 1.0f) { return {r / 255.0f, g / 255.0f, b / 255.0f, a}; }
inline Col mix(const Col& p, const Col& q, float t) {
  return {p.r + (q.r - p.r) * t, p.g + (q.g - p.g) * t, p.b + (q.b - p.b) * t, p.a + (q.a - p.a) * t};
}
inline Col withA(Col c, float a) { c.a = a; return c; }
inline Col lighten(const Col& c, float t) { return mix(c, Col{1, 1, 1, c.a}, t); }
inline Col darken(const Col& c, float t) { return mix(c, Col{0, 0, 0, c.a}, t); }
inline float clamp01(float v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }
inline float smooth(float e0, float e1, float x) {
  float t = clamp01((x - e0) / (e1 - e0));
  return t * t * (3 - 2 * t);
}
// Colour from hue (0..360), saturation and value, all floats.
Col hsv(float h, float s, float v, float a = 1.0f);

// A picture being painted: premultiplied RGBA floats.
struct Layer {
  int w = 0, h = 0;
  std::vector<float> px;
  Layer() = default;
  Layer(int width, int height) : w(width), h(height), px(size_t(width) * height * 4, 0.0f) {}
  float* at(int x, int y) { return &px[(size_t(y) * w + x) * 4]; }
  const float* at(int x, int y) const { return &px[(size_t(y) * w + x) * 4]; }
  // Composites straight colour c with coverage a over the pixel.
  void over(int x, int y, const Col& c, float a) {
    if (x < 0 || y < 0 || x >= w || y >= h || a <= 0) return;
    float* p = at(x, y);
    float ca = c.a * a;
    p[0] = c.r * ca + p[0] * (1 - ca);
    p[1] = c.g * ca + p[1] * (1 - ca);
    p[2] = c.b * ca + p[2] * (1 - ca);
    p[3] = ca + p[3] * (1 - ca);
  }
  Col get(int x, int y) const {
    if (x < 0 || y < 0 || x >= w || y >= h) return {0, 0, 0, 0};
    const float* p = at(x, y);
    if (p[3] <= 1e-6f) return {0, 0, 0, 0};
    return {p[0] / p[3], p[1] / p[3], p[2] / p[3], p[3]};
  }
};

struct Rect {
  int x0, y0, x1, y1;  // x1, y1 exclusive
};

using Shape = std::function<float(float, float)>;
using Paint = std::function<Col(float, float)>;

// --- Shapes (signed distance, pixels) -------------------------------------------------
Shape circle(float cx, float cy, float r);
Shape ellipse(float cx, float cy, float rx, float ry);
Shape box(float x0, float y0, float x1, float y1, float radius = 0);
Shape segment(float ax, float ay, float bx, float by, float width);  // capsule
Shape polygon(std::vector<float> xy);
Shape star(float cx, float cy, float rOuter, float rInner, int points, float rotDeg);
Shape arc(float cx, float cy, float r, float a0Deg, float a1Deg, float width);  // round caps
Shape unite(Shape a, Shape b);
Shape intersect(Shape a, Shape b);
Shape subtract(Shape a, Shape b);
Shape grow(Shape a, float by);          // offset outward (negative: shrink)
Shape ring(Shape a, float width);       // a band of the given width centred on the edge
Shape moved(Shape a, float dx, float dy);
Shape rotated(Shape a, float cx, float cy, float deg);
Shape scaledAbout(Shape a, float cx, float cy, float sx, float sy);

// --- Paints --------------------------------------------------------------------------
Paint solid(Col c);
Paint vgrad(float y0, Col top, float y1, Col bottom);
Paint lgrad(float x0, float y0, Col c0, float x1, float y1, Col c1);
Paint rgrad(float cx, float cy, float r, Col inner, Col outer);

// --- Painting ------------------------------------------------------------------------
// Fills the shape with the paint, coverage from the distance (one-pixel soft edge).
void fill(Layer& L, const Shape& s, const Paint& p, Rect bb);
void fill(Layer& L, const Shape& s, const Paint& p);
inline void fill(Layer& L, const Shape& s, Col c) { fill(L, s, solid(c)); }
// A soft halo: alpha = strength * falloff of the outside distance over radius.
void glow(Layer& L, const Shape& s, Col c, float radius, float strength);
// Fills and outlines in one go: outline of width ow outside the shape.
void fillOutlined(Layer& L, const Shape& s, const Paint& p, Col outline, float ow);
// Composites src over dst at offset.
void blit(Layer& dst, const Layer& src, int dx, int dy);
// Multiplies the alpha of every pixel inside the shape's complement by 0 (cuts away).
void clipTo(Layer& L, const Shape& s);

// --- Noise ---------------------------------------------------------------------------
float vnoise(float x, float y, uint32_t seed);          // value noise 0..1
float fbm(float x, float y, uint32_t seed, int octaves);  // 0..1
uint32_t hash32(uint32_t x);
float rnd(uint32_t& state);  // 0..1, a tiny deterministic generator

}  // namespace art
