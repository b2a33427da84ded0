#pragma once
// TKorDraw: the sprite drawing component. Owns the work surface the game draws on, a
// registry of bitmaps cut into cells, text output, the fades, and the presentation of each
// frame into the window.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform {
class Window;
}

enum TSurfaceFormat : int32_t { sf8bpp = 0, sf555 = 1, sf565 = 2, sf24bpp = 3, sf32bpp = 4 };
enum TColorDepth : int32_t { cd16bpp = 0, cd24bpp = 1 };

// The component's font: face, pixel height, bold, colour as 0xRRGGBB.
struct TKorFont {
  std::string Name;
  int32_t Height = 16;
  bool Bold = true;
  uint32_t Color = 0x000000;
};

struct TSpriteSurf;

class TKorDraw {
 public:
  TKorDraw();
  ~TKorDraw();
  TKorDraw(const TKorDraw&) = delete;
  TKorDraw& operator=(const TKorDraw&) = delete;

  bool Init(platform::Window* wnd);
  bool Init(platform::Window* wnd, const void* instance, int32_t width, int32_t height,
            bool fullScreen, int32_t depth);
  void ReleaseAll();

  bool CreateSprite(const std::string& key, const std::string& resName, int32_t cellWidth,
                    int32_t cellHeight);
  TSpriteSurf* GetSpriteSurf(const std::string& key);
  bool DeleteSprite(const std::string& key);
  bool Draw(int32_t x, int32_t y, const std::string& key, int32_t cell);
  bool Draw(int32_t x, int32_t y, TSpriteSurf* sprite, int32_t cell);
  bool TextOutA(int32_t x, int32_t y, const std::string& text);
  void SetClip(int32_t left, int32_t top, int32_t right, int32_t bottom);
  bool Clear();
  bool Update();
  bool UpdateTmp();
  bool Fade(int32_t level);
  bool WhiteFade(int32_t level);

  void SetWidth(int32_t value);
  void SetHeight(int32_t value);
  void SetFont(const TKorFont& font);
  TKorFont& Font() { return FontObj; }

  bool Ready = false;
  bool FullScreen = false;
  int32_t Width = 640;
  int32_t Height = 480;
  TColorDepth ColorDepth = cd16bpp;

 private:
  TKorFont FontObj;
};
