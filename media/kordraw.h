#pragma once
// TKorDraw: the sprite drawing component. Owns the work surface the game draws on, a
// registry of bitmaps cut into cells, text output, the fades, and the presentation of each
// frame into the window.
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/surface.h"

namespace platform {
class Window;
class Font;
}  // namespace platform

enum TSurfaceFormat : int32_t { sf8bpp = 0, sf555 = 1, sf565 = 2, sf24bpp = 3, sf32bpp = 4 };
enum TColorDepth : int32_t { cd16bpp = 0, cd24bpp = 1 };

// The component's font: face, pixel height, bold, colour as 0xRRGGBB, and an outline of
// Outline pixels in OutlineColor around the glyphs (0: none).
struct TKorFont {
  std::string Name;
  int32_t Height = 16;
  bool Bold = true;
  uint32_t Color = 0x000000;
  int32_t Outline = 0;
  uint32_t OutlineColor = 0x000000;
};

// A rectangle in work-surface pixels; right and bottom are exclusive.
struct TKorRect {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Right = 0;
  int32_t Bottom = 0;
};

// One registered sprite: a bitmap under a key, cut into equal cells numbered row by row.
// Cell i has its top-left corner at ((i mod Columns) x CellWidth, (i div Columns) x
// CellHeight); strips at the right and bottom narrower than a cell belong to no cell.
struct TSpriteSurf {
  std::string Key;
  std::string ResName;  // bitmap resource name, or a bitmap file path
  int32_t CellWidth = 0;
  int32_t CellHeight = 0;
  int32_t Columns = 0;    // bitmap width div CellWidth
  int32_t CellCount = 0;  // Columns x (bitmap height div CellHeight)
  // The whole bitmap in the work surface's pixel format; the all-zero pixel is transparent.
  std::unique_ptr<platform::Surface> Surface;
};

class TKorDraw {
 public:
  TKorDraw();
  ~TKorDraw();
  TKorDraw(const TKorDraw&) = delete;
  TKorDraw& operator=(const TKorDraw&) = delete;

  // Short form: Width, Height, FullScreen and the depth of ColorDepth.
  bool Init(platform::Window* wnd);
  // Releases everything, then sets up a work surface and its copy of width x height (a
  // width outside 1..640 becomes 640, a height outside 1..480 becomes 480) in WorkFormat,
  // and switches the window to full screen or back. No window: false. depth (16 or
  // 24) is taken and not used: the picture is always presented in 32 bits.
  bool Init(platform::Window* wnd, int32_t width, int32_t height, bool fullScreen,
            int32_t depth);
  // Releases the surfaces and empties the registry; not Ready afterwards.
  void ReleaseAll();

  // Registers key for the bitmap resName (an embedded BITMAP resource, else a file path),
  // cut into cells of cellWidth x cellHeight (0 = the bitmap's width or height). A key
  // already registered with the same resName is kept as it is; with another resName it is
  // reloaded. A bitmap that cannot be loaded leaves the key unregistered: false.
  bool CreateSprite(const std::string& key, const std::string& resName, int32_t cellWidth,
                    int32_t cellHeight);
  // Loads the bitmap of an entry and cuts it into cells.
  bool CreateSprite(TSpriteSurf* sprite, int32_t cellWidth, int32_t cellHeight);
  TSpriteSurf* GetSpriteSurf(const std::string& key);
  bool DeleteSprite(const std::string& key);
  // Draws one cell with its top-left corner at (x, y), clipped to ClipRect; black pixels
  // are transparent. True also when the cell lies wholly outside the clip rectangle.
  bool Draw(int32_t x, int32_t y, const std::string& key, int32_t cell);
  bool Draw(int32_t x, int32_t y, TSpriteSurf* sprite, int32_t cell);
  // Draws UTF-8 text in Font (colour, height, bold) with a transparent background; (x, y)
  // is the top-left of the text cell. False when no font can be had.
  bool TextOutA(int32_t x, int32_t y, const std::string& text);
  // The advance width and line height of a text in Font (the outline not counted); false
  // when no font can be had.
  bool TextExtent(const std::string& text, int32_t& width, int32_t& height);
  // Sets ClipRect; -1 stands for the surface's own edge.
  void SetClip(int32_t left, int32_t top, int32_t right, int32_t bottom);
  bool Clear();
  // Drawing on (the default) or off. Off, for a headless run whose pictures nobody looks
  // at: every drawing call and Update leave the pixels alone but answer exactly as they
  // would drawing (the same checks, the same font lookups, TextExtent unchanged), so the
  // game runs the same. The screens draw the whole frame every tick, so one tick drawn
  // after switching back on makes the picture complete again.
  void SetDrawing(bool on) { Drawing = on; }
  bool IsDrawing() const { return Drawing; }
  // Presents the work surface in the window (scaled into it, or centred on a 640 x 480
  // display in full screen).
  bool Update();
  bool UpdateTmp();
  // Pull every channel of the work surface towards black or white by level (0..255; only
  // the low 8 bits count).
  bool Fade(int32_t level);
  bool WhiteFade(int32_t level);
  // The pixel loops of the fades over a buffer of width x height pixels in the format of
  // PixelFormat, the masks and BytesPerPixel, rows pitch bytes apart.
  void Fade_Pixel(uint8_t* pixels, int32_t width, int32_t height, int32_t pitch,
                  int32_t level) const;
  void White_Pixel(uint8_t* pixels, int32_t width, int32_t height, int32_t pitch,
                   int32_t level) const;
  // Classifies a pixel format into PixelFormat (an unknown combination leaves it as it
  // was) and stores the masks, KeepMask, ColorMask and BytesPerPixel.
  void ClassifyPixelFormat(int32_t bitsPerPixel, uint32_t redMask, uint32_t greenMask,
                           uint32_t blueMask);

  void SetWidth(int32_t value);
  void SetHeight(int32_t value);
  void SetFont(const TKorFont& font);
  TKorFont& Font() { return FontObj; }

  platform::Window* Wnd = nullptr;
  TKorRect SavedWindowRect;
  TSurfaceFormat PixelFormat = sf8bpp;
  std::unique_ptr<platform::Surface> WorkSurface;
  std::unique_ptr<platform::Surface> TmpSurface;
  int32_t SurfaceWidth = 0;
  int32_t SurfaceHeight = 0;
  TKorRect ClipRect;
  int32_t ScreenOffsetX = 0;
  int32_t ScreenOffsetY = 0;
  bool ScreenFull = false;
  uint32_t RedMask = 0;
  uint32_t GreenMask = 0;
  uint32_t BlueMask = 0;
  uint32_t KeepMask = 0;
  uint32_t ColorMask = 0;
  int32_t BytesPerPixel = 0;
  bool Ready = false;
  int32_t Height = 480;
  int32_t Width = 640;
  bool FullScreen = false;
  TColorDepth ColorDepth = cd16bpp;
  std::vector<std::unique_ptr<TSpriteSurf>> Sprites;

  // The format Init gives the work surface: 32-bit XRGB, what the window shows; tests pick
  // the 16- and 24-bit formats to run every operation in them.
  platform::PixelFormat WorkFormat = platform::PixelFormat::Xrgb8888();
  // A font file for TextOutA instead of the fontconfig lookup (empty: look it up).
  std::string FontPath;

 private:
  platform::Font* TextFont();
  void PixelLoop(uint8_t* pixels, int32_t width, int32_t height, int32_t pitch, int32_t level,
                 bool white) const;
  void RemoveSprite(TSpriteSurf* sprite);

  TKorFont FontObj;
  bool Drawing = true;
  // The fonts opened so far by file and height (null: that one could not be had).
  std::vector<std::pair<std::string, std::unique_ptr<platform::Font>>> OpenedFonts;
  std::vector<uint32_t> PresentBuffer;
};
