#pragma once
// The game's pictures. Each Make* function paints one bitmap resource.
#include <map>
#include <memory>
#include <string>

#include "gfx.h"
#include "text.h"

namespace art {

// Fonts and glyph shapes shared by every picture.
struct Fonts {
  FontLib bold;      // heavy sans for letters and digits
  FontLib cond;      // condensed heavy sans for tight cells
  FontLib round;     // geometric sans for headings
  const Glyph& get(FontLib& f, const std::string& text);
  std::map<std::pair<const FontLib*, std::string>, std::unique_ptr<Glyph>> cache;
};
Fonts& fonts();

// The eight decoration hues (confetti, balloons, headings).
Col hueColor(int slot);
// The colour of a letter block. A to M each have a colour of their own, chosen so that
// the letters that come first (A to E, then up to J) differ most; N to Z repeat the
// colours of A to M one shade deeper and carry diagonal stripes (letterStriped), so
// two blocks look alike only when they hold the same letter.
Col letterColor(int letter);
inline bool letterStriped(int letter) { return letter >= 13 && letter < 26; }

// Four text colours: fill top, fill bottom, outline.
struct FontColors {
  Col top, bottom, line;
};
FontColors fontColors(int index);

// Draws text with per-letter shapes; returns the pen advance in pixels.
float textWidth(FontLib& f, const std::string& s, float capH, float tracking);

Layer MakeBlocks(int set);  // 0..4 -> BLOCK1..BLOCK5
Layer MakeFont(int color);
Layer MakeFontCursor();
Layer MakeNumbers(int color);
Layer MakeColon();
Layer MakeFrame();
Layer MakeCursor();
Layer MakeArrow();
Layer MakeFlash();
Layer MakeStar();
Layer MakeGameOver();
Layer MakeClear();
Layer MakeReady();
Layer MakeGo();
Layer MakeBalloon();
Layer MakeTitle();
Layer MakeSubtitle();
Layer MakeCopyright();
Layer MakeMiniLogo();
Layer MakeSelect();
Layer MakeBadge(bool puzzle);
Layer MakeFaceHead();
Layer MakeFaceExpressions();
Layer MakeFaceLids();
Layer MakeBack(int type);
Layer MakeReward();
Layer MakeMakerLogo();

// Shared pieces.
// Copies a rectangle of src into dst at (dx, dy).
void copyRect(Layer& dst, const Layer& src, int sx, int sy, int w, int h, int dx, int dy);
void drawBlockCell(Layer& L, int set, int letter, float ox, float oy, float size = 32.0f);
// A letter block in a colour of its own choosing, without stripes (the logo's blocks).
inline Col logoColor(char ch) { return hueColor(((ch - 'A') * 3) % 8); }
void drawBlockCell(Layer& L, int set, int letter, float ox, float oy, float size, Col paint);
// Heading letters: gradient fill, white inner rim, dark outline and a drop shadow.
void drawHeadingText(Layer& L, FontLib& f, const std::string& s, float x, float baseline, float capH,
                     float tracking, const std::vector<Col>& colors, float outline, float maxW = 0);

}  // namespace art
