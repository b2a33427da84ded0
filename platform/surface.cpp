#include "platform/surface.h"

#include <SDL.h>

#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace platform {
namespace {

bool FormatUsable(const PixelFormat& f) {
  if (f.BitsPerPixel != 16 && f.BitsPerPixel != 24 && f.BitsPerPixel != 32) return false;
  if (f.RedMask == 0 || f.GreenMask == 0 || f.BlueMask == 0) return false;
  uint64_t limit = (uint64_t{1} << f.BitsPerPixel) - 1;
  return (f.ColorMask() & ~limit) == 0;
}

uint32_t ReadPixel(const uint8_t* p, int bpp) {
  switch (bpp) {
    case 4: {
      uint32_t v;
      std::memcpy(&v, p, 4);
      return v;
    }
    case 3:
      return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16);
    case 2:
      return uint32_t{p[0]} | (uint32_t{p[1]} << 8);
    default:
      return p[0];
  }
}

void WritePixel(uint8_t* p, int bpp, uint32_t v) {
  switch (bpp) {
    case 4:
      std::memcpy(p, &v, 4);
      return;
    case 3:
      p[2] = static_cast<uint8_t>(v >> 16);
      [[fallthrough]];
    case 2:
      p[1] = static_cast<uint8_t>(v >> 8);
      [[fallthrough]];
    default:
      p[0] = static_cast<uint8_t>(v);
  }
}

uint32_t MapChannel(uint8_t c, uint32_t mask) {
  if (mask == 0) return 0;
  int shift = std::countr_zero(mask);
  int bits = std::popcount(mask >> shift);
  uint32_t v = bits >= 8 ? uint32_t{c} << (bits - 8) : uint32_t{c} >> (8 - bits);
  return (v << shift) & mask;
}

uint8_t UnmapChannel(uint32_t value, uint32_t mask) {
  if (mask == 0) return 0;
  int shift = std::countr_zero(mask);
  int bits = std::popcount(mask >> shift);
  uint32_t c = (value & mask) >> shift;
  if (bits >= 8) return static_cast<uint8_t>(c >> (bits - 8));
  // Widen by repeating the channel's bits, so full scale stays full scale.
  uint32_t out = 0;
  int filled = 0;
  while (filled < 8) {
    out = (out << bits) | c;
    filled += bits;
  }
  return static_cast<uint8_t>(out >> (filled - 8));
}

// Colour-keyed copy of one row: zero source pixels leave the destination as it is.
void KeyedRow32(const uint8_t* s, uint8_t* d, int32_t n) {
  int32_t i = 0;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  for (; i + 4 <= n; i += 4) {
    __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i * 4));
    __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i * 4));
    __m128i transparent = _mm_cmpeq_epi32(sv, zero);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i * 4),
                     _mm_or_si128(_mm_and_si128(dv, transparent), sv));
  }
#endif
  for (; i < n; ++i) {
    uint32_t v;
    std::memcpy(&v, s + i * 4, 4);
    if (v != 0) std::memcpy(d + i * 4, &v, 4);
  }
}

void KeyedRow16(const uint8_t* s, uint8_t* d, int32_t n) {
  int32_t i = 0;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  for (; i + 8 <= n; i += 8) {
    __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i * 2));
    __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i * 2));
    __m128i transparent = _mm_cmpeq_epi16(sv, zero);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i * 2),
                     _mm_or_si128(_mm_and_si128(dv, transparent), sv));
  }
#endif
  for (; i < n; ++i) {
    if (s[i * 2] != 0 || s[i * 2 + 1] != 0) {
      d[i * 2] = s[i * 2];
      d[i * 2 + 1] = s[i * 2 + 1];
    }
  }
}

void KeyedRow24(const uint8_t* s, uint8_t* d, int32_t n) {
  for (int32_t i = 0; i < n; ++i, s += 3, d += 3) {
    if (s[0] != 0 || s[1] != 0 || s[2] != 0) {
      d[0] = s[0];
      d[1] = s[1];
      d[2] = s[2];
    }
  }
}

uint32_t Le32(const uint8_t* p) {
  return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}
uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

}  // namespace

std::unique_ptr<Surface> Surface::Create(int32_t width, int32_t height, const PixelFormat& format) {
  if (width <= 0 || height <= 0 || width > kMaxSurfaceSide || height > kMaxSurfaceSide) return nullptr;
  if (int64_t{width} * height > kMaxSurfacePixels) return nullptr;
  if (!FormatUsable(format)) return nullptr;
  std::unique_ptr<Surface> s(new Surface());
  s->W = width;
  s->H = height;
  s->Fmt = format;
  s->RowPitch = (width * format.BytesPerPixel() + 3) & ~3;
  s->Data.assign(static_cast<size_t>(s->RowPitch) * height, 0);
  return s;
}

uint32_t Surface::GetPixel(int32_t x, int32_t y) const {
  if (x < 0 || y < 0 || x >= W || y >= H) return 0;
  return ReadPixel(Row(y) + static_cast<size_t>(x) * Fmt.BytesPerPixel(), Fmt.BytesPerPixel());
}

void Surface::SetPixel(int32_t x, int32_t y, uint32_t value) {
  if (x < 0 || y < 0 || x >= W || y >= H) return;
  WritePixel(Row(y) + static_cast<size_t>(x) * Fmt.BytesPerPixel(), Fmt.BytesPerPixel(), value);
}

void Surface::Fill(uint32_t value) {
  const int bpp = Fmt.BytesPerPixel();
  if (value == 0) {
    std::memset(Data.data(), 0, Data.size());
    return;
  }
  for (int32_t y = 0; y < H; ++y) {
    uint8_t* row = Row(y);
    for (int32_t x = 0; x < W; ++x) WritePixel(row + static_cast<size_t>(x) * bpp, bpp, value);
  }
}

uint32_t Surface::MapRgb(uint8_t r, uint8_t g, uint8_t b) const {
  return MapChannel(r, Fmt.RedMask) | MapChannel(g, Fmt.GreenMask) | MapChannel(b, Fmt.BlueMask);
}

void Surface::GetRgb(uint32_t value, uint8_t& r, uint8_t& g, uint8_t& b) const {
  r = UnmapChannel(value, Fmt.RedMask);
  g = UnmapChannel(value, Fmt.GreenMask);
  b = UnmapChannel(value, Fmt.BlueMask);
}

bool Blit(const Surface& src, const PixelRect& r, Surface& dst, int32_t dstX, int32_t dstY,
          bool colorKey) {
  const int bpp = src.Format().BytesPerPixel();
  if (bpp != dst.Format().BytesPerPixel()) return false;
  if (r.Left < 0 || r.Top < 0 || r.Right > src.Width() || r.Bottom > src.Height()) return false;
  if (r.Left >= r.Right || r.Top >= r.Bottom) return false;
  const int32_t w = r.Right - r.Left;
  const int32_t h = r.Bottom - r.Top;
  if (dstX < 0 || dstY < 0 || int64_t{dstX} + w > dst.Width() || int64_t{dstY} + h > dst.Height())
    return false;
  // The same surface as source and destination would need an overlap-aware copy; the
  // drawing component never asks for one.
  if (&src == &dst) return false;
  for (int32_t row = 0; row < h; ++row) {
    const uint8_t* s = src.Row(r.Top + row) + static_cast<size_t>(r.Left) * bpp;
    uint8_t* d = dst.Row(dstY + row) + static_cast<size_t>(dstX) * bpp;
    if (!colorKey) {
      std::memcpy(d, s, static_cast<size_t>(w) * bpp);
    } else if (bpp == 4) {
      KeyedRow32(s, d, w);
    } else if (bpp == 2) {
      KeyedRow16(s, d, w);
    } else {
      KeyedRow24(s, d, w);
    }
  }
  return true;
}

void ConvertToXrgb8888(const Surface& src, std::vector<uint32_t>& out) {
  const int32_t w = src.Width();
  const int32_t h = src.Height();
  out.resize(static_cast<size_t>(w) * h);
  const PixelFormat& f = src.Format();
  if (f == PixelFormat::Xrgb8888()) {
    for (int32_t y = 0; y < h; ++y) {
      const uint8_t* s = src.Row(y);
      uint32_t* d = &out[static_cast<size_t>(y) * w];
      std::memcpy(d, s, static_cast<size_t>(w) * 4);
      for (int32_t x = 0; x < w; ++x) d[x] &= 0x00FFFFFF;
    }
    return;
  }
  const int bpp = f.BytesPerPixel();
  for (int32_t y = 0; y < h; ++y) {
    const uint8_t* s = src.Row(y);
    uint32_t* d = &out[static_cast<size_t>(y) * w];
    for (int32_t x = 0; x < w; ++x) {
      uint8_t r, g, b;
      src.GetRgb(ReadPixel(s + static_cast<size_t>(x) * bpp, bpp), r, g, b);
      d[x] = (uint32_t{r} << 16) | (uint32_t{g} << 8) | b;
    }
  }
}

bool CheckBmpHeader(const uint8_t* data, size_t size) {
  if (!data || size < 26 || data[0] != 'B' || data[1] != 'M') return false;
  const uint32_t offset = Le32(data + 10);
  const uint32_t headerSize = Le32(data + 14);
  int64_t width, height;
  uint32_t bits, compression = 0;
  if (headerSize == 12) {
    width = Le16(data + 18);
    height = Le16(data + 20);
    bits = Le16(data + 24);
  } else if (headerSize >= 40 && headerSize <= 1024) {
    if (size < 14 + 40) return false;
    width = static_cast<int32_t>(Le32(data + 18));
    height = static_cast<int32_t>(Le32(data + 22));
    bits = Le16(data + 28);
    compression = Le32(data + 30);
  } else {
    return false;
  }
  if (height < 0) height = -height;  // a top-down bitmap
  if (width <= 0 || height <= 0 || width > kMaxSurfaceSide || height > kMaxSurfaceSide) return false;
  if (width * height > kMaxSurfacePixels) return false;
  if (uint64_t{offset} < 14 + uint64_t{headerSize} || offset >= size) return false;
  switch (bits) {
    case 1: case 4: case 8: case 16: case 24: case 32:
      break;
    default:
      return false;
  }
  switch (compression) {
    case 0:  // uncompressed
    case 3:  // uncompressed with bit fields
      break;
    case 1:  // run-length encoded, 8 bits
      return bits == 8;
    case 2:  // run-length encoded, 4 bits
      return bits == 4;
    default:
      return false;
  }
  if (compression == 3 && bits != 16 && bits != 32) return false;
  const uint64_t rowBytes = ((static_cast<uint64_t>(width) * bits + 31) / 32) * 4;
  return uint64_t{offset} + rowBytes * static_cast<uint64_t>(height) <= size;
}

std::unique_ptr<Surface> LoadBmp(const uint8_t* data, size_t size, const PixelFormat& format) {
  if (!FormatUsable(format) || !CheckBmpHeader(data, size)) return nullptr;
  if (size > static_cast<size_t>(INT32_MAX)) return nullptr;
  Uint32 sdlFormat = SDL_MasksToPixelFormatEnum(format.BitsPerPixel, format.RedMask,
                                                format.GreenMask, format.BlueMask, 0);
  if (sdlFormat == SDL_PIXELFORMAT_UNKNOWN) return nullptr;
  SDL_RWops* rw = SDL_RWFromConstMem(data, static_cast<int>(size));
  if (!rw) return nullptr;
  SDL_Surface* loaded = SDL_LoadBMP_RW(rw, 1);
  if (!loaded) return nullptr;
  SDL_Surface* converted = SDL_ConvertSurfaceFormat(loaded, sdlFormat, 0);
  SDL_FreeSurface(loaded);
  if (!converted) return nullptr;

  std::unique_ptr<Surface> out = Surface::Create(converted->w, converted->h, format);
  if (out && SDL_LockSurface(converted) == 0) {
    const int bpp = format.BytesPerPixel();
    const uint32_t keep = format.ColorMask();
    const auto* base = static_cast<const uint8_t*>(converted->pixels);
    for (int32_t y = 0; y < out->Height(); ++y) {
      const uint8_t* s = base + static_cast<size_t>(y) * converted->pitch;
      uint8_t* d = out->Row(y);
      for (int32_t x = 0; x < out->Width(); ++x) {
        const size_t at = static_cast<size_t>(x) * bpp;
        WritePixel(d + at, bpp, ReadPixel(s + at, bpp) & keep);
      }
    }
    SDL_UnlockSurface(converted);
  } else {
    out.reset();
  }
  SDL_FreeSurface(converted);
  return out;
}

}  // namespace platform
