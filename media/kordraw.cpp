#include "media/kordraw.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>

#include "platform/font.h"
#include "platform/resources.h"
#include "platform/window.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr int32_t kMaxWidth = 640;
constexpr int32_t kMaxHeight = 480;

// The answer platform::Blit gives for these rectangles, without copying a pixel.
bool BlitAccepts(const platform::Surface& src, const platform::PixelRect& r,
                 const platform::Surface& dst, int32_t dstX, int32_t dstY) {
  if (src.Format().BytesPerPixel() != dst.Format().BytesPerPixel()) return false;
  if (r.Left < 0 || r.Top < 0 || r.Right > src.Width() || r.Bottom > src.Height()) return false;
  if (r.Left >= r.Right || r.Top >= r.Bottom) return false;
  if (dstX < 0 || dstY < 0 || int64_t{dstX} + (r.Right - r.Left) > dst.Width() ||
      int64_t{dstY} + (r.Bottom - r.Top) > dst.Height())
    return false;
  return &src != &dst;
}

bool FitsInt32(int64_t v) {
  return v >= std::numeric_limits<int32_t>::min() && v <= std::numeric_limits<int32_t>::max();
}

bool IsByteMask(uint32_t m) {
  return m == 0xFFu || m == 0xFF00u || m == 0xFF0000u || m == 0xFF000000u;
}

uint32_t ReadLe(const uint8_t* p, int32_t bpp) {
  uint32_t v = 0;
  for (int32_t i = 0; i < bpp; ++i) v |= uint32_t{p[i]} << (8 * i);
  return v;
}

void WriteLe(uint8_t* p, int32_t bpp, uint32_t v) {
  for (int32_t i = 0; i < bpp; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

// Saturating per-byte fade of rows of 4-byte pixels whose channels are whole bytes: the
// same result as the per-channel arithmetic, with the addends laid out as one word.
void ByteRows32(uint8_t* pixels, int32_t width, int32_t height, int32_t pitch, uint32_t addend,
                bool white) {
  uint8_t add[4];
  for (int i = 0; i < 4; ++i) add[i] = static_cast<uint8_t>(addend >> (8 * i));
  const size_t rowBytes = static_cast<size_t>(width) * 4;
  for (int32_t y = 0; y < height; ++y) {
    uint8_t* p = pixels + static_cast<size_t>(y) * pitch;
    size_t i = 0;
#if defined(__SSE2__)
    const __m128i a = _mm_set1_epi32(static_cast<int>(addend));
    for (; i + 16 <= rowBytes; i += 16) {
      __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
      v = white ? _mm_adds_epu8(v, a) : _mm_subs_epu8(v, a);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(p + i), v);
    }
#endif
    for (; i < rowBytes; ++i) {
      const int v = p[i];
      const int d = add[i & 3];
      p[i] = static_cast<uint8_t>(white ? std::min(v + d, 255) : std::max(v - d, 0));
    }
  }
}

}  // namespace

TKorDraw::TKorDraw() = default;

TKorDraw::~TKorDraw() { ReleaseAll(); }

bool TKorDraw::Init(platform::Window* wnd) {
  return Init(wnd, Width, Height, FullScreen, ColorDepth == cd24bpp ? 24 : 16);
}

bool TKorDraw::Init(platform::Window* wnd, int32_t width, int32_t height, bool fullScreen,
                    int32_t /*depth*/) {
  ReleaseAll();
  Wnd = wnd;
  if (width < 1 || width > kMaxWidth) width = kMaxWidth;
  if (height < 1 || height > kMaxHeight) height = kMaxHeight;
  SurfaceWidth = width;
  SurfaceHeight = height;
  ScreenOffsetX = (kMaxWidth - SurfaceWidth) >> 1;
  ScreenOffsetY = (kMaxHeight - SurfaceHeight) >> 1;
  ScreenFull = fullScreen;
  SetClip(-1, -1, -1, -1);

  if (!Wnd) {
    ReleaseAll();
    return false;
  }
  if (fullScreen && SavedWindowRect.Right == 0)
    SavedWindowRect = TKorRect{0, 0, Wnd->ClientWidth(), Wnd->ClientHeight()};
  // Leaving full screen puts the window back at its own size.
  if (!Wnd->SetFullScreen(fullScreen)) {
    ReleaseAll();
    return false;
  }
  WorkSurface = platform::Surface::Create(SurfaceWidth, SurfaceHeight, WorkFormat);
  TmpSurface = platform::Surface::Create(SurfaceWidth, SurfaceHeight, WorkFormat);
  if (!WorkSurface || !TmpSurface) {
    ReleaseAll();
    return false;
  }
  const platform::PixelFormat& f = WorkSurface->Format();
  ClassifyPixelFormat(f.BitsPerPixel, f.RedMask, f.GreenMask, f.BlueMask);
  Ready = true;
  return true;
}

void TKorDraw::ClassifyPixelFormat(int32_t bits, uint32_t red, uint32_t green, uint32_t blue) {
  if (bits == 8)
    PixelFormat = sf8bpp;
  else if (bits == 16 && green == 0x03E0)
    PixelFormat = sf555;
  else if (bits == 16 && green == 0x07E0)
    PixelFormat = sf565;
  else if (bits == 24)
    PixelFormat = sf24bpp;
  else if (bits == 32)
    PixelFormat = sf32bpp;
  RedMask = red;
  GreenMask = green;
  BlueMask = blue;
  ColorMask = red | green | blue;
  KeepMask = ~ColorMask;
  BytesPerPixel = bits / 8;
}

void TKorDraw::ReleaseAll() {
  for (auto& s : Sprites) s->Surface.reset();
  TmpSurface.reset();
  WorkSurface.reset();
  Ready = false;
  Sprites.clear();
}

TSpriteSurf* TKorDraw::GetSpriteSurf(const std::string& key) {
  for (auto& s : Sprites)
    if (s->Key == key) return s.get();
  return nullptr;
}

void TKorDraw::RemoveSprite(TSpriteSurf* sprite) {
  for (auto it = Sprites.begin(); it != Sprites.end(); ++it) {
    if (it->get() == sprite) {
      (*it)->Surface.reset();
      Sprites.erase(it);
      return;
    }
  }
}

bool TKorDraw::CreateSprite(const std::string& key, const std::string& resName, int32_t cellWidth,
                            int32_t cellHeight) {
  TSpriteSurf* entry = GetSpriteSurf(key);
  if (entry) {
    if (entry->ResName == resName) return true;
    entry->Surface.reset();
    entry->ResName = resName;
  } else {
    auto made = std::make_unique<TSpriteSurf>();
    made->Key = key;
    made->ResName = resName;
    entry = made.get();
    Sprites.push_back(std::move(made));
  }
  if (CreateSprite(entry, cellWidth, cellHeight)) return true;
  RemoveSprite(entry);
  return false;
}

bool TKorDraw::CreateSprite(TSpriteSurf* sprite, int32_t cellWidth, int32_t cellHeight) {
  if (!Ready || !sprite || !WorkSurface) return false;
  std::vector<uint8_t> bytes;
  if (!platform::LoadResourceOrFile("BITMAP", sprite->ResName, bytes)) return false;
  std::unique_ptr<platform::Surface> bitmap =
      platform::LoadBmp(bytes.data(), bytes.size(), WorkSurface->Format());
  if (!bitmap) return false;
  const int32_t width = bitmap->Width();
  const int32_t height = bitmap->Height();
  if (cellWidth == 0) cellWidth = width;
  if (cellHeight == 0) cellHeight = height;
  sprite->CellWidth = cellWidth;
  sprite->CellHeight = cellHeight;
  // Both sizes are at most 16384 (the surface limit), so the products stay small.
  sprite->Columns = width / cellWidth;
  sprite->CellCount = sprite->Columns * (height / cellHeight);
  sprite->Surface = std::move(bitmap);
  return true;
}

bool TKorDraw::DeleteSprite(const std::string& key) {
  TSpriteSurf* entry = GetSpriteSurf(key);
  if (!entry) return false;
  RemoveSprite(entry);
  return true;
}

bool TKorDraw::Draw(int32_t x, int32_t y, const std::string& key, int32_t cell) {
  TSpriteSurf* entry = GetSpriteSurf(key);
  if (!entry) return false;
  return Draw(x, y, entry, cell);
}

bool TKorDraw::Draw(int32_t x, int32_t y, TSpriteSurf* sprite, int32_t cell) {
  if (!Ready || !sprite || cell < 0 || cell >= sprite->CellCount) return false;
  if (!sprite->Surface || !WorkSurface || sprite->Columns == 0) return false;
  // 64-bit arithmetic: coordinates near the int32 limits must not wrap around.
  const int64_t w = sprite->CellWidth;
  const int64_t h = sprite->CellHeight;
  const int64_t sx = int64_t{cell % sprite->Columns} * w;
  const int64_t sy = int64_t{cell / sprite->Columns} * h;
  const TKorRect& clip = ClipRect;
  if (x + w <= clip.Left || x >= clip.Right || y + h <= clip.Top || y >= clip.Bottom) return true;
  // An empty or inverted clip rectangle shows nothing: every cell falls outside it, also
  // one that straddles it.
  if (clip.Right <= clip.Left || clip.Bottom <= clip.Top) return true;
  const int64_t left = sx + std::max<int64_t>(int64_t{clip.Left} - x, 0);
  const int64_t right = sx + std::min<int64_t>(w, int64_t{clip.Right} - x);
  const int64_t top = sy + std::max<int64_t>(int64_t{clip.Top} - y, 0);
  const int64_t bottom = sy + std::min<int64_t>(h, int64_t{clip.Bottom} - y);
  const int32_t dx = std::max(x, clip.Left);
  const int32_t dy = std::max(y, clip.Top);
  if (!FitsInt32(left) || !FitsInt32(right) || !FitsInt32(top) || !FitsInt32(bottom)) return false;
  // The blit refuses a rectangle that does not lie wholly inside either surface, as a
  // blitter without a clipper does.
  platform::PixelRect src{static_cast<int32_t>(left), static_cast<int32_t>(top),
                          static_cast<int32_t>(right), static_cast<int32_t>(bottom)};
  if (!Drawing) return BlitAccepts(*sprite->Surface, src, *WorkSurface, dx, dy);
  return platform::Blit(*sprite->Surface, src, *WorkSurface, dx, dy, true);
}

platform::Font* TKorDraw::TextFont() {
  int32_t height = FontObj.Height < 0 ? -FontObj.Height : FontObj.Height;
  if (height <= 0 || height > 1024) height = 16;
  std::string key = FontPath + '\n' + std::to_string(height);
  for (const auto& [openedKey, font] : OpenedFonts)
    if (openedKey == key) return font.get();
  // A text may come in a few sizes; a stream of new ones does not pile up fonts.
  if (OpenedFonts.size() >= 8) OpenedFonts.clear();
  std::string file = FontPath.empty() ? platform::FindGothicFontFile() : FontPath;
  std::unique_ptr<platform::Font> font = platform::Font::Open(file, height);
  static bool told = false;  // once per run: the game goes on without these texts
  if (!font && FontPath.empty() && !told) {
    told = true;
    std::fprintf(stderr,
                 "vexa: no Japanese gothic font was found (the package fonts-ipafont-gothic "
                 "provides IPAGothic); the game runs without its balloon and credit texts.\n");
  }
  OpenedFonts.emplace_back(std::move(key), std::move(font));
  return OpenedFonts.back().second.get();
}

bool TKorDraw::TextOutA(int32_t x, int32_t y, const std::string& text) {
  if (!Ready || !WorkSurface) return false;
  platform::Font* font = TextFont();
  if (!font) return false;
  if (!Drawing) return true;
  if (FontObj.Outline > 0 &&
      !font->DrawOutline(*WorkSurface, x, y, text, FontObj.OutlineColor & 0xFFFFFF,
                         FontObj.Bold, FontObj.Outline))
    return false;
  return font->Draw(*WorkSurface, x, y, text, FontObj.Color & 0xFFFFFF, FontObj.Bold);
}

bool TKorDraw::TextExtent(const std::string& text, int32_t& width, int32_t& height) {
  platform::Font* font = TextFont();
  return font && font->Measure(text, FontObj.Bold, width, height);
}

void TKorDraw::SetClip(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  ClipRect.Left = left == -1 ? 0 : left;
  ClipRect.Top = top == -1 ? 0 : top;
  ClipRect.Right = right == -1 ? SurfaceWidth : right;
  ClipRect.Bottom = bottom == -1 ? SurfaceHeight : bottom;
}

bool TKorDraw::Clear() {
  if (!Ready || !WorkSurface) return false;
  if (Drawing) WorkSurface->Fill(0);
  return true;
}

bool TKorDraw::Update() {
  if (!Ready || !WorkSurface || !Wnd) return false;
  if (!Drawing) return true;
  const uint32_t* pixels;
  int pitch;
  if (WorkSurface->Format() == platform::PixelFormat::Xrgb8888()) {
    pixels = reinterpret_cast<const uint32_t*>(WorkSurface->Pixels());
    pitch = WorkSurface->Pitch();
  } else {
    platform::ConvertToXrgb8888(*WorkSurface, PresentBuffer);
    pixels = PresentBuffer.data();
    pitch = SurfaceWidth * 4;
  }
  return Wnd->Present(pixels, SurfaceWidth, SurfaceHeight, pitch, ScreenFull, ScreenOffsetX,
                      ScreenOffsetY);
}

bool TKorDraw::UpdateTmp() {
  if (!Ready || !WorkSurface || !TmpSurface) return false;
  if (!Drawing) return true;
  return platform::Blit(*WorkSurface, platform::PixelRect{0, 0, SurfaceWidth, SurfaceHeight},
                        *TmpSurface, 0, 0, false);
}

bool TKorDraw::Fade(int32_t level) {
  if (!Ready || !WorkSurface) return false;
  if (!Drawing) return true;
  Fade_Pixel(WorkSurface->Pixels(), SurfaceWidth, SurfaceHeight, WorkSurface->Pitch(), level);
  return true;
}

bool TKorDraw::WhiteFade(int32_t level) {
  if (!Ready || !WorkSurface) return false;
  if (!Drawing) return true;
  White_Pixel(WorkSurface->Pixels(), SurfaceWidth, SurfaceHeight, WorkSurface->Pitch(), level);
  return true;
}

void TKorDraw::Fade_Pixel(uint8_t* pixels, int32_t width, int32_t height, int32_t pitch,
                          int32_t level) const {
  PixelLoop(pixels, width, height, pitch, level, false);
}

void TKorDraw::White_Pixel(uint8_t* pixels, int32_t width, int32_t height, int32_t pitch,
                           int32_t level) const {
  PixelLoop(pixels, width, height, pitch, level, true);
}

void TKorDraw::PixelLoop(uint8_t* pixels, int32_t width, int32_t height, int32_t pitch,
                         int32_t level, bool white) const {
  const int32_t bpp = BytesPerPixel;
  if (!pixels || width <= 0 || height <= 0 || bpp < 1 || bpp > 4) return;
  if (pitch < int64_t{width} * bpp) return;

  // Each channel's addend: the level cut to the channel's width, at the channel's place.
  const uint32_t L = static_cast<uint32_t>(level);
  uint32_t ar = 0, ag = 0, ab = 0;
  switch (PixelFormat) {
    case sf555:
      ar = (L << 7) & RedMask;
      ag = (L << 2) & GreenMask;
      ab = (L >> 3) & BlueMask;
      break;
    case sf565:
      ar = (L << 8) & RedMask;
      ag = (L << 3) & GreenMask;
      ab = (L >> 3) & BlueMask;
      break;
    case sf24bpp:
    case sf32bpp:
      ar = (L << 16) & RedMask;
      ag = (L << 8) & GreenMask;
      ab = L & BlueMask;
      break;
    default:
      break;
  }

  // Channels that are whole bytes of a 4-byte pixel: saturating byte arithmetic gives the
  // same values, 16 bytes at a time.
  if (bpp == 4 && IsByteMask(RedMask) && IsByteMask(GreenMask) && IsByteMask(BlueMask) &&
      RedMask != GreenMask && GreenMask != BlueMask && RedMask != BlueMask) {
    ByteRows32(pixels, width, height, pitch, ar | ag | ab, white);
    return;
  }

  const uint64_t mr = RedMask, mg = GreenMask, mb = BlueMask;
  auto channel = [](uint64_t c, uint64_t mask) { return (c > mask ? mask : c) & mask; };
  for (int32_t y = 0; y < height; ++y) {
    uint8_t* p = pixels + static_cast<size_t>(y) * pitch;
    for (int32_t x = 0; x < width; ++x, p += bpp) {
      const uint32_t v = ReadLe(p, bpp);
      uint32_t colour;
      if (white) {
        colour = static_cast<uint32_t>(channel((v & mr) + ar, mr) | channel((v & mg) + ag, mg) |
                                       channel((v & mb) + ab, mb)) &
                 ColorMask;
      } else {
        colour = ~static_cast<uint32_t>(channel((~v & mr) + ar, mr) |
                                        channel((~v & mg) + ag, mg) | channel((~v & mb) + ab, mb)) &
                 ColorMask;
      }
      WriteLe(p, bpp, (v & KeepMask) | colour);
    }
  }
}

void TKorDraw::SetWidth(int32_t v) {
  if (v <= kMaxWidth) Width = v;
}
void TKorDraw::SetHeight(int32_t v) {
  if (v <= kMaxHeight) Height = v;
}
void TKorDraw::SetFont(const TKorFont& font) { FontObj = font; }
