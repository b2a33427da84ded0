#include "preview.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <vector>

#include "image.h"

namespace art {

namespace {

struct Spr {
  SDL_Surface* s = nullptr;
  int cw = 0, ch = 0;
};

struct Screen {
  int w, h;
  std::vector<uint32_t> px;
  int clip[4];
  Screen(int W = 512, int H = 384) : w(W), h(H), px(size_t(W) * H, 0) { noClip(); }
  void noClip() { clip[0] = 0; clip[1] = 0; clip[2] = w; clip[3] = h; }
  void draw(int x, int y, const Spr& sp, int cell) {
    if (!sp.s) return;
    int cols = sp.s->w / sp.cw;
    int count = cols * (sp.s->h / sp.ch);
    if (cell < 0 || cell >= count) return;
    int sx = (cell % cols) * sp.cw, sy = (cell / cols) * sp.ch;
    SDL_LockSurface(sp.s);
    for (int j = 0; j < sp.ch; ++j)
      for (int i = 0; i < sp.cw; ++i) {
        int tx = x + i, ty = y + j;
        if (tx < clip[0] || ty < clip[1] || tx >= clip[2] || ty >= clip[3]) continue;
        uint32_t p = static_cast<uint32_t*>(sp.s->pixels)[(sy + j) * (sp.s->pitch / 4) + sx + i] & 0xFFFFFF;
        // Colour key: pure black is transparent; so is whatever a 16-bit surface turns to 0.
        uint32_t r = p >> 16, g = (p >> 8) & 255, b = p & 255;
        if ((r >> 3) == 0 && (g >> 2) == 0 && (b >> 3) == 0) continue;
        px[size_t(ty) * w + tx] = p;
      }
    SDL_UnlockSurface(sp.s);
  }
  bool save(const std::string& path) const {
    std::vector<uint8_t> rgb(size_t(w) * h * 3);
    for (size_t i = 0; i < px.size(); ++i) {
      rgb[3 * i] = uint8_t(px[i] >> 16);
      rgb[3 * i + 1] = uint8_t(px[i] >> 8);
      rgb[3 * i + 2] = uint8_t(px[i]);
    }
    return writeBmp24(path, w, h, rgb);
  }
};

std::map<std::string, Spr> g_spr;
TTF_Font* g_jp = nullptr;

void load(const std::string& dir, const std::string& key, const std::string& name, int cw, int ch) {
  SDL_Surface* raw = SDL_LoadBMP((dir + "/" + name + ".bmp").c_str());
  if (!raw) {
    std::fprintf(stderr, "preview: cannot load %s: %s\n", name.c_str(), SDL_GetError());
    return;
  }
  SDL_Surface* s = SDL_ConvertSurfaceFormat(raw, SDL_PIXELFORMAT_ARGB8888, 0);
  SDL_FreeSurface(raw);
  g_spr[key] = Spr{s, cw ? cw : s->w, ch ? ch : s->h};
}

void D(Screen& sc, int x, int y, const std::string& key, int cell) {
  auto it = g_spr.find(key);
  if (it != g_spr.end()) sc.draw(x, y, it->second, cell);
}

int adv(char c) {
  if (c == 'I') return 14;
  if (c == 'M' || c == 'N' || c == 'W') return 20;
  return 18;
}

void Text(Screen& sc, int x, int y, const std::string& t, int font, bool wave = false, int elapsed = 0) {
  for (size_t i = 0; i < t.size(); ++i) {
    char c = t[i];
    int cell = (c >= 'A' && c <= 'Z') ? c - 'A' : c == '?' ? 26 : c == '!' ? 27 : -1;
    int yo = 0;
    if (wave) {
      int tt = (elapsed + 40 * int(i)) % 800;
      yo = int(8 * std::sin(2 * M_PI * tt * 0.00125));
    }
    if (cell >= 0) D(sc, x, y + yo, "Font" + std::to_string(font), cell);
    x += adv(c);
  }
}

int TextWidth(const std::string& t) {
  int w = 0;
  for (char c : t) w += adv(c);
  return w;
}

void Number(Screen& sc, int x, int y, int n, int font) {
  std::string s = std::to_string(n);
  for (int i = int(s.size()) - 1; i >= 0; --i) {
    D(sc, x, y, "Num" + std::to_string(font), s[i] - '0');
    x -= 14;
  }
}

void NumberLeft(Screen& sc, int x, int y, int n, int font) {
  for (char c : std::to_string(n)) {
    D(sc, x, y, "Num" + std::to_string(font), c - '0');
    x += 14;
  }
}

void Cursor(Screen& sc, int x, int y, int frame) {
  static const int off[4] = {-4, -2, 0, 2};
  D(sc, x + off[frame] - 20, y - 8, "Arrow", frame);
}

void MiniLogo(Screen& sc) { D(sc, 360, 326, "MiniLogo", 0); }

// A menu screen below the title: the back picture, its heading sprite, its title waving at
// (titleX, 120), PUSH ENTER (unless pushEnter is false) and the small logo.
void MenuFrame(Screen& sc, const char* heading, int titleX, const char* title, int font,
               int elapsed, bool pushEnter = true) {
  D(sc, 0, 0, "Back", 0);
  D(sc, 8, 8, heading, 0);
  Text(sc, titleX, 120, title, font, true, elapsed);
  if (pushEnter) Text(sc, 168, 300, "PUSH ENTER", 1, true, 0);
  MiniLogo(sc);
}

void JText(Screen& sc, int x, int y, const char* utf8, SDL_Color col = {0, 0, 0, 255}) {
  if (!g_jp) return;
  SDL_Surface* t0 = TTF_RenderUTF8_Blended(g_jp, utf8, col);
  if (!t0) return;
  SDL_Surface* t = SDL_ConvertSurfaceFormat(t0, SDL_PIXELFORMAT_ARGB8888, 0);
  SDL_FreeSurface(t0);
  SDL_LockSurface(t);
  for (int j = 0; j < t->h; ++j)
    for (int i = 0; i < t->w; ++i) {
      uint32_t p = static_cast<uint32_t*>(t->pixels)[j * (t->pitch / 4) + i];
      float a = (p >> 24) / 255.0f;
      int tx = x + i, ty = y + j;
      if (a <= 0 || tx < 0 || ty < 0 || tx >= sc.w || ty >= sc.h) continue;
      uint32_t& d = sc.px[size_t(ty) * sc.w + tx];
      auto ch = [&](int sh) {
        float s = ((p >> sh) & 255), o = ((d >> sh) & 255);
        return uint32_t(std::lround(s * a + o * (1 - a))) << sh;
      };
      d = ch(16) | ch(8) | ch(0);
    }
  SDL_UnlockSurface(t);
  SDL_FreeSurface(t);
}

// Shift-JIS byte length of a UTF-8 text: 1 for ASCII, 2 otherwise.
int sjisLen(const char* s) {
  int n = 0;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(s); *p;) {
    if (*p < 0x80) { ++n; ++p; }
    else { n += 2; p += (*p >= 0xF0) ? 4 : (*p >= 0xE0) ? 3 : 2; }
  }
  return n;
}

const char* kField[10] = {
    "......", "......", "......", "..Q...", ".KEW..", "ABZHR.", "LMGTOC", "PDSNUJ", "VXFIAY", "EBCKRD",
};

void gameScreen(Screen& sc, bool puzzle, int blockSet, int exprCell, bool balloon, int lidCell, const char* btext,
                int overlay) {
  D(sc, 0, 0, blockSet >= 0 ? "Back" : "Back", 0);
  sc.clip[0] = 160; sc.clip[1] = 32; sc.clip[2] = 352; sc.clip[3] = 352;
  for (int r = 0; r < 10 && overlay != 2; ++r)
    for (int c = 0; c < 6; ++c)
      if (kField[r][c] != '.') D(sc, 160 + 32 * c, 32 + 32 * r, "Block", kField[r][c] - 'A');
  sc.noClip();
  int x0 = 144, y0 = 16;
  D(sc, x0, y0, "Frame", 0);
  D(sc, x0 + 192, y0, "Frame", 2);
  D(sc, x0, y0 + 320, "Frame", 6);
  D(sc, x0 + 192, y0 + 320, "Frame", 8);
  for (int i = 1; i <= 5; ++i) { D(sc, x0 + 32 * i, y0, "Frame", 1); D(sc, x0 + 32 * i, y0 + 320, "Frame", 7); }
  for (int i = 1; i <= 9; ++i) { D(sc, x0, y0 + 32 * i, "Frame", 3); D(sc, x0 + 192, y0 + 32 * i, "Frame", 5); }
  if (overlay == 0) {
    sc.clip[1] = 32;
    D(sc, 160 + 32 * 2 - 4, 32 + 32 * 5 - 4, "Cursor", 3);
    D(sc, 160 + 32 * 3 - 4, 32 + 32 * 5 - 4, "Cursor", 0);
    sc.noClip();
  }
  if (!puzzle) {
    D(sc, 8, 8, "Endless", 0);
    Text(sc, 8, 80, "HISCORE", 3); Number(sc, 108, 112, 100000, 3);
    Text(sc, 8, 140, "SCORE", 1); Number(sc, 108, 172, 12340, 1);
    Text(sc, 8, 200, "LEVEL", 2); Number(sc, 108, 232, 7, 2);
    Text(sc, 8, 260, "BLOCK", 0); Number(sc, 108, 292, 286, 0);
  } else {
    D(sc, 8, 8, "Puzzle", 0);
    Text(sc, 8, 80, "STAGE", 0); Number(sc, 108, 112, 12, 0);
    Text(sc, 8, 140, "BLOCK", 1); Number(sc, 108, 172, 18, 1);
    Text(sc, 8, 200, "TIME", 2);
    int ms = 3723000 + 45000, x = 108, y = 232, f = 2;
    int s = ms / 1000 % 60, m = ms / 60000 % 60, h = ms / 3600000;
    Number(sc, x, y, s % 10, f); Number(sc, x - 16, y, s / 10, f); D(sc, x - 24, y, "Colon", f);
    Number(sc, x - 40, y, m % 10, f); Number(sc, x - 56, y, m / 10, f); D(sc, x - 64, y, "Colon", f);
    Number(sc, x - 80, y, h % 10, f); Number(sc, x - 96, y, (h / 10) % 10, f);
    Text(sc, 8, 260, "RETRY", 3); Number(sc, 108, 292, 2, 3);
  }
  int fx = 376, fy = 20;
  D(sc, fx, fy, "Face", 0);
  D(sc, fx + 30, fy + 56, "Expr", exprCell);
  if (lidCell >= 0 && exprCell == 0) D(sc, fx + 36, fy + 68, "Lids", lidCell);
  if (balloon) {
    D(sc, fx, fy + 110, "Balloon", 0);
    JText(sc, fx + (128 - 8 * sjisLen(btext)) / 2, fy + 190, btext);
  }
  if (overlay == 1) {  // flashes, stars, a floating score
    D(sc, 160 + 32 * 1, 32 + 32 * 6, "Flash", 2);
    D(sc, 160 + 32 * 2, 32 + 32 * 6, "Flash", 4);
    D(sc, 160 + 32 * 3, 32 + 32 * 6, "Flash", 6);
    for (int i = 0; i < 5; ++i) {
      float a = 2 * M_PI * i / 5;
      D(sc, int(256 + 30 * std::cos(a)), int(120 + 30 * std::sin(a)), "Star", i % 4);
    }
    NumberLeft(sc, 272 - 42 / 2, 130, 300, 1);
  } else if (overlay == 2) {
    Text(sc, 200, 160, "PAUSE", 0, true, 100);
    Text(sc, 200, 220, "CANCEL", 1);
    Text(sc, 200, 250, "RETIRE", 2);
    Text(sc, 200, 280, "OPTION", 3);
    Cursor(sc, 168, 250, 1);
    Text(sc, 168, 320, "PUSH ENTER", 1, true, 300);
  } else if (overlay == 3) {
    D(sc, 92, 138, "GameOver", 0);
    Text(sc, 168, 320, "PUSH ENTER", 1, true, 300);
  } else if (overlay == 4) {
    for (int i = 0; i <= 10; ++i) D(sc, 238 + (i - 5) * 36, 140, "Clear", i);
    for (int i = 0; i < 6; ++i) D(sc, 60 + 70 * i, 90 + (i * 53) % 200, "Star", i % 4);
    Text(sc, 168, 320, "PUSH ENTER", 1, true, 300);
  } else if (overlay == 5) {
    D(sc, 168, 140, "Ready", 0);
  } else if (overlay == 6) {
    D(sc, 188, 132, "Go", 0);
  }
  MiniLogo(sc);
}

void rankTable(Screen& sc, int x, int y, int hl) {
  Text(sc, x + 34, y, "SCORE", 1);
  Text(sc, x + 140, y, "LV", 2);
  Text(sc, x + 186, y, "BLOCK", 3);
  Text(sc, x + 300, y, "NAME", 0);
  const char* names[10] = {"YEW", "MOSS", "ALDER", "FIG", "REED", "OAK", "BIRCH", "IVY", "SAGE", "LIME"};
  for (int i = 0; i < 10; ++i) {
    int r = y + 24 + 24 * i;
    int f = (i == hl) ? (i % 3) : -1;
    Number(sc, x, r + 8, i + 1, f >= 0 ? f : 0);
    Number(sc, x + 110, r + 8, 100000 - 10000 * i, f >= 0 ? f : 1);
    Number(sc, x + 160, r + 8, 10 - i, f >= 0 ? f : 2);
    Number(sc, x + 250, r + 8, 1000 - 100 * i, f >= 0 ? f : 3);
    if (i != hl) Text(sc, x + 280, r, names[i], i % 3 == 0 ? 1 : i % 3 == 1 ? 2 : 0);
  }
}

}  // namespace

void writePreviews(const std::string& dir, const std::string& bm) {
  SDL_Init(0);
  if (TTF_WasInit() || TTF_Init() == 0) {
    g_jp = TTF_OpenFont("/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf", 16);
    if (g_jp) TTF_SetFontStyle(g_jp, TTF_STYLE_BOLD);
  }
  load(bm, "Back", "BACK1", 0, 0);
  load(bm, "Back2", "BACK2", 0, 0);
  load(bm, "Title", "TITLE", 0, 0);
  load(bm, "Title2", "TITLE2", 0, 0);
  load(bm, "Copyright", "COPYRIGHT", 0, 0);
  load(bm, "MiniLogo", "MINILOGO", 0, 0);
  load(bm, "Frame", "FRAME", 32, 32);
  load(bm, "Cursor", "CURSOR", 40, 40);
  load(bm, "GameOver", "GAMEOVER", 0, 0);
  load(bm, "Clear", "CLEAR", 36, 0);
  load(bm, "Ready", "READY", 0, 0);
  load(bm, "Go", "GO", 0, 0);
  load(bm, "Arrow", "ARROW", 48, 32);
  load(bm, "Balloon", "BALLOON", 0, 0);
  for (int i = 0; i < 4; ++i) {
    load(bm, "Font" + std::to_string(i), "FONT" + std::to_string(i), 24, 24);
    load(bm, "Num" + std::to_string(i), "NUM" + std::to_string(i), 16, 16);
  }
  load(bm, "FontCurs", "FONT_CURS", 24, 24);
  load(bm, "Colon", "COLON", 16, 16);
  load(bm, "Select", "SELECT", 0, 0);
  load(bm, "Endless", "ENDLESS", 0, 0);
  load(bm, "Puzzle", "PUZZLE", 0, 0);
  load(bm, "Face", "FACE00", 0, 0);
  load(bm, "Expr", "FACE01", 72, 54);
  load(bm, "Lids", "FACE02", 54, 20);
  load(bm, "Flash", "FLASH", 32, 32);
  load(bm, "Star", "STAR", 16, 16);
  load(bm, "Reward", "REWARD", 102, 76);
  load(bm, "Ending", "REWARD", 0, 0);
  load(bm, "Logo", "KORLOGO", 272, 64);
  for (int i = 0; i < 5; ++i) load(bm, "Block" + std::to_string(i), "BLOCK" + std::to_string(i + 1), 32, 32);

  auto useBlocks = [](int set) { g_spr["Block"] = g_spr["Block" + std::to_string(set)]; };
  auto save = [&](const Screen& sc, const char* name) { sc.save(dir + "/" + name + ".bmp"); };
  Spr back1 = g_spr["Back"], back2 = g_spr["Back2"];

  // Game screens: every block set, both backgrounds, overlays.
  const char* bt[5] = {"2連鎖！", "レベルアップ！", "10連鎖！", "3連鎖！", "5連鎖！"};
  for (int set = 0; set < 5; ++set)
    for (int b = 0; b < 2; ++b) {
      Screen sc;
      g_spr["Back"] = b ? back2 : back1;
      useBlocks(set);
      gameScreen(sc, set % 2 == 1, set, set % 5, set != 2, -1, bt[set], set == 1 ? 1 : 0);
      save(sc, ("game_set" + std::to_string(set + 1) + (b ? "_back2" : "_back1")).c_str());
    }
  g_spr["Back"] = back1;
  useBlocks(0);
  const char* ov[7] = {"", "effects", "pause", "gameover", "clear", "ready", "go"};
  for (int o = 1; o <= 6; ++o) {
    Screen sc;
    gameScreen(sc, o == 4, 0, o == 3 ? 4 : o == 4 ? 2 : 0, false, -1, "", o);
    save(sc, (std::string("game_") + ov[o]).c_str());
  }
  {  // Face sheet: each expression and the blink cells, on both backgrounds.
    Screen sc;
    for (int b = 0; b < 2; ++b) {
      g_spr["Back"] = b ? back2 : back1;
      for (int x = 0; x < 512; x += 512) D(sc, 0, b * 192 - (b ? 192 : 0), "Back", 0);
    }
    g_spr["Back"] = back1;
    D(sc, 0, 0, "Back", 0);
    for (int e = 0; e < 8; ++e) {
      int fx = (e % 4) * 128, fy = (e / 4) * 192;
      D(sc, fx, fy, "Face", 0);
      int ex = e < 5 ? e : 0;
      D(sc, fx + 30, fy + 56, "Expr", ex);
      if (e >= 5) D(sc, fx + 36, fy + 68, "Lids", e - 5);
    }
    save(sc, "faces");
  }
  {  // Title.
    Screen sc;
    D(sc, 0, 0, "Back", 0);
    D(sc, 80, 20, "Title2", 0);
    D(sc, 80, 48, "Title", 0);
    D(sc, 129, 344, "Copyright", 0);
    Text(sc, 168, 300, "PUSH ENTER", 1, true, 200);
    Cursor(sc, 128, 160, 2);
    Text(sc, 160, 160, "GAME START", 0);
    Text(sc, 160, 190, "RANKING", 1);
    Text(sc, 160, 220, "OPTION", 2);
    save(sc, "title");
  }
  {  // Game type.
    Screen sc;
    D(sc, 0, 0, "Back", 0);
    D(sc, 20, 40, "Select", 0);
    Text(sc, 168, 300, "PUSH ENTER", 1, true, 500);
    MiniLogo(sc);
    D(sc, 100, 180, "Endless", 0);
    D(sc, 300, 180, "Puzzle", 0);
    Cursor(sc, 68, 196, 0);
    save(sc, "select");
  }
  {  // Level.
    Screen sc;
    MenuFrame(sc, "Endless", 140, "SELECT LEVEL", 3, 0);
    Cursor(sc, 168, 200, 3);
    Text(sc, 200, 160, "EASY", 1);
    Text(sc, 200, 200, "NOMAL", 2);
    Text(sc, 200, 240, "HARD", 0);
    save(sc, "level");
  }
  {  // Puzzle start and retry.
    Screen sc;
    MenuFrame(sc, "Puzzle", 140, "SELECT GAME", 1, 250);
    Cursor(sc, 148, 240, 1);
    Text(sc, 180, 160, "NEW GAME", 0);
    Text(sc, 180, 200, "CONTINUE", 2);
    Text(sc, 180, 240, "SELECT STAGE", 3);
    Number(sc, 420, 244, 23, 1);
    save(sc, "continue");
    Screen s2;
    MenuFrame(s2, "Puzzle", 160, "TRY AGAIN?", 2, 100, false);
    Cursor(s2, 188, 200, 0);
    Text(s2, 220, 200, "YES", 1);
    Text(s2, 220, 240, "NO", 0);
    save(s2, "retry");
  }
  {  // Ranking and name entry.
    Screen sc;
    D(sc, 0, 0, "Back", 0);
    Text(sc, 200, 16, "RANKING", 1, true, 0);
    rankTable(sc, 40, 52, -1);
    Text(sc, 168, 340, "PUSH ENTER", 1, true, 0);
    MiniLogo(sc);
    save(sc, "ranking");
    Screen s2;
    D(s2, 0, 0, "Back", 0);
    Text(s2, 140, 16, "REGIST RANKING", 0, true, 0);
    rankTable(s2, 40, 52, 3);
    Text(s2, 40 + 280, 52 + 24 + 72, "ZOE", 2);
    D(s2, 40 + 280 + TextWidth("ZOE"), 52 + 24 + 72, "FontCurs", 2);
    Text(s2, 168, 340, "PUSH ENTER", 1, true, 0);
    MiniLogo(s2);
    save(s2, "regist");
  }
  for (int b = 0; b < 2; ++b) {  // Options.
    Screen sc;
    g_spr["Back"] = b ? back2 : back1;
    D(sc, 0, 0, "Back", 0);
    Text(sc, 200, 16, "OPTION", 2, true, 0);
    Text(sc, 168, 340, "PUSH ENTER", 1, true, 0);
    MiniLogo(sc);
    Cursor(sc, 108, 52, 2);
    Text(sc, 140, 52, "BLOCK", 3);
    Text(sc, 140, 116, "BACK GRAPHIC", 1);
    Text(sc, 140, 180, "BGM", 2);
    Text(sc, 140, 248, "CONTROL", 0);
    for (int i = 0; i < 4; ++i) D(sc, 172 + 32 * i, 76, "Block" + std::to_string(b ? 2 : 3), i);
    Text(sc, 172, 146, b ? "TYPE B" : "TYPE A", 0);
    Text(sc, 172, 210, "BGM A", 3);
    Text(sc, 172, 278, "Z KEY", 1);
    Text(sc, 172, 308, "X KEY", 2);
    save(sc, b ? "option_back2" : "option_back1");
  }
  g_spr["Back"] = back1;
  {  // Reward: 24 of 25 pieces, and 7 pieces.
    static const int order[25][2] = {{0, 4}, {4, 3}, {3, 2}, {4, 4}, {2, 0}, {2, 3}, {3, 3}, {1, 4}, {0, 3},
                                     {3, 1}, {2, 4}, {4, 1}, {0, 0}, {2, 2}, {0, 1}, {3, 0}, {3, 4}, {4, 0},
                                     {2, 1}, {1, 2}, {1, 0}, {1, 3}, {4, 2}, {0, 2}, {1, 1}};
    for (int n : {7, 24}) {
      Screen sc;
      for (int k = 0; k < n; ++k) {
        int c = order[k][0], r = order[k][1];
        D(sc, 102 * c + 1, 76 * r + 2, "Reward", 5 * r + c);
      }
      Text(sc, 140, 160, "CONGRATULATION!", 0, true, 0);
      Text(sc, 168, 354, "PUSH ENTER", 1, true, 0);
      save(sc, n == 7 ? "reward_7" : "reward_24");
    }
    Screen sc;
    D(sc, 1, 2, "Ending", 0);
    const char* lines[] = {"Ｖｅｘａ　スタッフ", "", "ＰＬＡＮＮＥＲ", "Ｍ．ＴＡＮＡＫＡ", "", "ＣＨＡＲＡＣＴＥＲ　ＤＥＳＩＧＮＥＲ",
                           "Ｒ．ＳＵＺＵＫＩ", "", "ＭＵＳＩＣ　ＣＯＭＰＯＳＥＲ", "ＳＯＵＮＤ　ＣＯＭＰＯＳＥＲ", "Ｋ．ＯＧＡＷＡ", "", "",
                           "", "", "おしまい"};
    for (int i = 0; i < 16; ++i) JText(sc, 256 - 4 * sjisLen(lines[i]), 30 + 22 * i, lines[i]);
    save(sc, "ending");
  }
  {  // Logo animation: the eight cells on black, stacked.
    Screen sc(272 * 2 + 8, 64 * 4 + 24);
    for (int i = 0; i < 8; ++i) D(sc, (i / 4) * 280, (i % 4) * 70, "Logo", i);
    save(sc, "logo_cells");
    Screen s2;
    D(s2, 120, 160, "Logo", 7);
    save(s2, "logo");
  }
  {  // Cell sheets.
    Screen sc(5 * 136, 232 + 180);
    for (int i = 0; i < 5; ++i) D(sc, i * 136, 0, "Block" + std::to_string(i), 0), sc.noClip();
    for (int i = 0; i < 5; ++i) {
      SDL_Surface* s = g_spr["Block" + std::to_string(i)].s;
      Spr whole{s, s->w, s->h};
      sc.draw(i * 136, 0, whole, 0);
    }
    for (int f = 0; f < 4; ++f) {
      SDL_Surface* s = g_spr["Font" + std::to_string(f)].s;
      sc.draw(f * 100, 232, Spr{s, s->w, s->h}, 0);
    }
    save(sc, "sheet_blocks_fonts");
  }
  {  // Small parts on grey to show transparency.
    Screen sc(512, 384);
    for (auto& p : sc.px) p = 0x707888;
    int x = 4, y = 4;
    for (const char* k : {"Frame", "Cursor", "Arrow", "Flash", "Star", "Colon", "FontCurs", "Num0", "Num1", "Num2",
                          "Num3", "Lids"}) {
      SDL_Surface* s = g_spr[k].s;
      if (!s) continue;
      if (x + s->w > 508) { x = 4; y += 100; }
      sc.draw(x, y, Spr{s, s->w, s->h}, 0);
      x += s->w + 6;
    }
    D(sc, 4, 250, "Balloon", 0);
    D(sc, 140, 250, "Endless", 0);
    D(sc, 280, 250, "Puzzle", 0);
    D(sc, 140, 310, "Go", 0);
    save(sc, "sheet_parts");
  }
  if (g_jp) TTF_CloseFont(g_jp);
}

}  // namespace art
