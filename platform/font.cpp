#include "platform/font.h"

#include <SDL.h>
#include <SDL_ttf.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cstring>

// fontconfig 2.14 loses a few blocks while it parses the system's configuration, once per
// process, out of our reach; the leak checker of sanitizer builds is told to pass over
// allocations made inside fontconfig so that it keeps reporting ours.
extern "C" const char* __lsan_default_suppressions();
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

namespace platform {
namespace {

// The file of the font fontconfig picks for a pattern; with wantFamily, only when the
// pick is that family itself and not a substitute.
std::string MatchFontFile(const char* pattern, const char* wantFamily) {
  FcPattern* pat = FcNameParse(reinterpret_cast<const FcChar8*>(pattern));
  if (!pat) return {};
  FcConfigSubstitute(nullptr, pat, FcMatchPattern);
  FcDefaultSubstitute(pat);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pat, &result);
  FcPatternDestroy(pat);
  if (!match) return {};
  std::string file;
  bool familyOk = wantFamily == nullptr;
  FcChar8* family = nullptr;
  for (int i = 0; !familyOk && FcPatternGetString(match, FC_FAMILY, i, &family) == FcResultMatch; ++i)
    familyOk = std::strcmp(reinterpret_cast<const char*>(family), wantFamily) == 0;
  FcChar8* path = nullptr;
  if (familyOk && FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch && path)
    file = reinterpret_cast<const char*>(path);
  FcPatternDestroy(match);
  return file;
}

}  // namespace

namespace {
std::string gFontOverride;
bool gHasFontOverride = false;
}  // namespace

void OverrideGothicFontFile(const std::string& file) {
  gFontOverride = file;
  gHasFontOverride = true;
}

void ClearGothicFontOverride() {
  gFontOverride.clear();
  gHasFontOverride = false;
}

std::string FindGothicFontFile() {
  if (gHasFontOverride) return gFontOverride;
  if (!FcInit()) return {};
  std::string file = MatchFontFile("IPAGothic", "IPAGothic");
  if (file.empty()) file = MatchFontFile("sans-serif:lang=ja", nullptr);
  return file;
}

std::unique_ptr<Font> Font::Open(const std::string& file, int32_t pixelHeight) {
  if (file.empty() || pixelHeight <= 0) return nullptr;
  if (TTF_Init() != 0) return nullptr;
  // At SDL_ttf's 72 dots per inch a point size is a pixel size.
  TTF_Font* f = TTF_OpenFont(file.c_str(), pixelHeight);
  if (!f) {
    TTF_Quit();
    return nullptr;
  }
  std::unique_ptr<Font> font(new Font());
  font->Handle = f;
  font->File = file;
  font->PixelHeight = pixelHeight;
  return font;
}

Font::~Font() {
  if (OutlineHandle) {
    TTF_CloseFont(static_cast<TTF_Font*>(OutlineHandle));
    TTF_Quit();
  }
  if (Handle) {
    TTF_CloseFont(static_cast<TTF_Font*>(Handle));
    TTF_Quit();
  }
}

void Font::SetBold(bool bold) {
  int style = bold ? TTF_STYLE_BOLD : TTF_STYLE_NORMAL;
  if (style != Style) {
    TTF_SetFontStyle(static_cast<TTF_Font*>(Handle), style);
    Style = style;
  }
}

bool Font::Measure(const std::string& utf8, bool bold, int32_t& width, int32_t& height) {
  SetBold(bold);
  int w = 0, h = 0;
  if (TTF_SizeUTF8(static_cast<TTF_Font*>(Handle), utf8.c_str(), &w, &h) != 0) return false;
  width = w;
  height = h;
  return true;
}

namespace {

// Blends a text rendered by SDL_ttf in colour rgb over dst with its top-left corner at
// (x, y); frees the rendered surface.
bool BlendText(Surface& dst, SDL_Surface* text, int32_t x, int32_t y, uint32_t rgb) {
  if (!text) return false;
  const uint8_t cr = static_cast<uint8_t>(rgb >> 16);
  const uint8_t cg = static_cast<uint8_t>(rgb >> 8);
  const uint8_t cb = static_cast<uint8_t>(rgb);
  SDL_Surface* argb = text;
  if (text->format->format != SDL_PIXELFORMAT_ARGB8888) {
    argb = SDL_ConvertSurfaceFormat(text, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(text);
    if (!argb) return false;
  }
  if (SDL_LockSurface(argb) != 0) {
    SDL_FreeSurface(argb);
    return false;
  }
  const uint32_t full = dst.MapRgb(cr, cg, cb);
  // Only the part of the text that lies on the surface is visited.
  const int64_t x0 = std::max<int64_t>(0, -int64_t{x});
  const int64_t y0 = std::max<int64_t>(0, -int64_t{y});
  const int64_t x1 = std::min<int64_t>(argb->w, int64_t{dst.Width()} - x);
  const int64_t y1 = std::min<int64_t>(argb->h, int64_t{dst.Height()} - y);
  for (int64_t ty = y0; ty < y1; ++ty) {
    const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(argb->pixels) +
                                                        ty * argb->pitch);
    const auto dy = static_cast<int32_t>(y + ty);
    for (int64_t tx = x0; tx < x1; ++tx) {
      const uint32_t a = row[tx] >> 24;
      if (a == 0) continue;
      const auto dx = static_cast<int32_t>(x + tx);
      if (a == 255) {
        dst.SetPixel(dx, dy, full);
        continue;
      }
      uint8_t r, g, b;
      dst.GetRgb(dst.GetPixel(dx, dy), r, g, b);
      auto mix = [a](uint8_t under, uint8_t over) {
        return static_cast<uint8_t>((over * a + under * (255 - a) + 127) / 255);
      };
      dst.SetPixel(dx, dy, dst.MapRgb(mix(r, cr), mix(g, cg), mix(b, cb)));
    }
  }
  SDL_UnlockSurface(argb);
  SDL_FreeSurface(argb);
  return true;
}

SDL_Color ColourOf(uint32_t rgb) {
  return SDL_Color{static_cast<uint8_t>(rgb >> 16), static_cast<uint8_t>(rgb >> 8),
                   static_cast<uint8_t>(rgb), 255};
}

}  // namespace

bool Font::Draw(Surface& dst, int32_t x, int32_t y, const std::string& utf8, uint32_t rgb,
                bool bold) {
  if (utf8.empty() || utf8[0] == '\0') return true;
  SetBold(bold);
  SDL_Surface* text =
      TTF_RenderUTF8_Blended(static_cast<TTF_Font*>(Handle), utf8.c_str(), ColourOf(rgb));
  return BlendText(dst, text, x, y, rgb);
}

bool Font::DrawOutline(Surface& dst, int32_t x, int32_t y, const std::string& utf8,
                       uint32_t rgb, bool bold, int32_t width) {
  if (utf8.empty() || utf8[0] == '\0' || width <= 0) return true;
  width = std::min(width, PixelHeight);
  if (!OutlineHandle) {
    if (TTF_Init() != 0) return false;
    OutlineHandle = TTF_OpenFont(File.c_str(), PixelHeight);
    if (!OutlineHandle) {
      TTF_Quit();
      return false;
    }
  }
  auto* f = static_cast<TTF_Font*>(OutlineHandle);
  const int style = bold ? TTF_STYLE_BOLD : TTF_STYLE_NORMAL;
  if (style != OutlineStyle) {
    TTF_SetFontStyle(f, style);
    OutlineStyle = style;
  }
  if (width != OutlineWidth) {
    TTF_SetFontOutline(f, width);
    OutlineWidth = width;
  }
  // The outlined glyphs are width pixels larger on every side.
  SDL_Surface* ring = TTF_RenderUTF8_Blended(f, utf8.c_str(), ColourOf(rgb));
  return BlendText(dst, ring, x - width, y - width, rgb);
}

}  // namespace platform
