#pragma once
// Text drawing with a TrueType font: finding a Japanese gothic font through fontconfig,
// measuring UTF-8 text and drawing it onto a surface with a transparent background.
#include <cstdint>
#include <memory>
#include <string>

#include "platform/surface.h"

namespace platform {

// The file of a Japanese gothic font: the fixed-pitch IPAGothic when it is installed
// (half-width characters 8 px and full-width 16 px wide at 16 px, the layout the game's
// texts are measured for), else the best gothic font fontconfig finds for Japanese. Empty
// when fontconfig knows no font at all.
std::string FindGothicFontFile();
// Makes FindGothicFontFile answer file without asking fontconfig, until
// ClearGothicFontOverride (tests: an empty name stands for a machine without any font, a
// path to something else for a font file that does not open).
void OverrideGothicFontFile(const std::string& file);
void ClearGothicFontOverride();

class Font {
 public:
  // Opens a font file at the given pixel height (the em height). Null when the file cannot
  // be opened as a font or the height is not positive.
  static std::unique_ptr<Font> Open(const std::string& file, int32_t pixelHeight);
  ~Font();
  Font(const Font&) = delete;
  Font& operator=(const Font&) = delete;

  // The advance width and line height of a UTF-8 text; false when it cannot be measured.
  bool Measure(const std::string& utf8, bool bold, int32_t& width, int32_t& height);
  // Draws a UTF-8 text with its top-left corner at (x, y) in colour 0xRRGGBB, blending the
  // glyphs' coverage over the surface's pixels; the parts outside the surface are cut off.
  // An empty text draws nothing and succeeds.
  bool Draw(Surface& dst, int32_t x, int32_t y, const std::string& utf8, uint32_t rgb, bool bold);
  // Draws the ring of width pixels around the glyphs of the same text in colour rgb, so
  // that the text drawn at (x, y) afterwards sits inside it: an outline that keeps a text
  // readable on any picture.
  bool DrawOutline(Surface& dst, int32_t x, int32_t y, const std::string& utf8, uint32_t rgb,
                   bool bold, int32_t width);

 private:
  Font() = default;
  void SetBold(bool bold);
  void* Handle = nullptr;  // TTF_Font
  int Style = -1;
  // A second handle for outlines, opened when first needed: changing one font's outline
  // would throw away its rendered glyphs every time.
  std::string File;
  int32_t PixelHeight = 0;
  void* OutlineHandle = nullptr;
  int OutlineStyle = -1;
  int OutlineWidth = 0;
};

}  // namespace platform
