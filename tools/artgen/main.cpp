// artgen: paints every bitmap resource of the game and writes them as BMP files.
//
//   artgen [--out DIR] [--preview DIR] [NAME...]
//
// --out DIR      where the BMPs go (default: resources/BITMAP under the current directory)
// --preview DIR  also writes mock screens (24-bit BMPs) built from the written bitmaps
// NAME...        only these resources (default: all)
#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "art.h"
#include "image.h"
#include "preview.h"

using namespace art;

namespace {

struct Item {
  const char* name;
  int w, h;
  bool dither;
  std::function<Layer()> make;
  bool onBlack = false;  // shown on a black screen: glows fade into black, near-black is cut
};

// For pictures shown over black: composite onto black, then let what is too dark to see
// become transparent black, so soft glows keep their falloff without a dark box.
void flattenOnBlack(Layer& L) {
  for (int y = 0; y < L.h; ++y)
    for (int x = 0; x < L.w; ++x) {
      float* p = L.at(x, y);
      float m = std::max(p[0], std::max(p[1], p[2]));
      p[3] = m * 255.0f >= 14.0f ? 1.0f : 0.0f;
      if (p[3] == 0.0f) p[0] = p[1] = p[2] = 0.0f;
    }
}

std::vector<Item> catalogue() {
  std::vector<Item> v;
  for (int i = 0; i < 5; ++i)
    v.push_back({nullptr, 128, 224, false, [i] { return MakeBlocks(i); }});
  static const char* blockNames[5] = {"BLOCK1", "BLOCK2", "BLOCK3", "BLOCK4", "BLOCK5"};
  for (int i = 0; i < 5; ++i) v[i].name = blockNames[i];
  static const char* fontNames[4] = {"FONT0", "FONT1", "FONT2", "FONT3"};
  static const char* numNames[4] = {"NUM0", "NUM1", "NUM2", "NUM3"};
  for (int i = 0; i < 4; ++i) v.push_back({fontNames[i], 96, 168, false, [i] { return MakeFont(i); }});
  for (int i = 0; i < 4; ++i) v.push_back({numNames[i], 80, 32, false, [i] { return MakeNumbers(i); }});
  v.push_back({"FONT_CURS", 96, 24, false, MakeFontCursor});
  v.push_back({"COLON", 64, 16, false, MakeColon});
  v.push_back({"FRAME", 96, 96, false, MakeFrame});
  v.push_back({"CURSOR", 160, 40, false, MakeCursor});
  v.push_back({"ARROW", 48, 128, false, MakeArrow});
  v.push_back({"FLASH", 128, 64, false, MakeFlash});
  v.push_back({"STAR", 64, 16, false, MakeStar});
  v.push_back({"GAMEOVER", 324, 90, false, MakeGameOver});
  v.push_back({"CLEAR", 396, 86, false, MakeClear});
  v.push_back({"READY", 176, 56, false, MakeReady});
  v.push_back({"GO", 136, 72, false, MakeGo});
  v.push_back({"BALLOON", 128, 128, false, MakeBalloon});
  v.push_back({"TITLE", 350, 100, false, MakeTitle});
  v.push_back({"TITLE2", 229, 44, false, MakeSubtitle});
  v.push_back({"COPYRIGHT", 272, 32, false, MakeCopyright});
  v.push_back({"MINILOGO", 136, 40, false, MakeMiniLogo});
  v.push_back({"SELECT", 474, 72, false, MakeSelect});
  v.push_back({"ENDLESS", 128, 54, false, [] { return MakeBadge(false); }});
  v.push_back({"PUZZLE", 128, 54, false, [] { return MakeBadge(true); }});
  v.push_back({"FACE00", 128, 128, false, MakeFaceHead});
  v.push_back({"FACE01", 72, 270, false, MakeFaceExpressions});
  v.push_back({"FACE02", 54, 60, false, MakeFaceLids});
  v.push_back({"BACK1", 512, 384, true, [] { return MakeBack(0); }});
  v.push_back({"BACK2", 512, 384, true, [] { return MakeBack(1); }});
  v.push_back({"REWARD", 510, 380, true, MakeReward});
  v.push_back({"KORLOGO", 272, 512, false, MakeMakerLogo, true});
  return v;
}

}  // namespace

int main(int argc, char** argv) {
  std::string out = "resources/BITMAP", preview;
  std::set<std::string> only;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--out") && i + 1 < argc) out = argv[++i];
    else if (!std::strcmp(argv[i], "--preview") && i + 1 < argc) preview = argv[++i];
    else only.insert(argv[i]);
  }
  std::map<std::string, Indexed> done;
  int failures = 0;
  for (const Item& it : catalogue()) {
    if (!only.empty() && !only.count(it.name)) continue;
    Layer L = it.make();
    if (it.onBlack) flattenOnBlack(L);
    if (L.w != it.w || L.h != it.h) {
      std::fprintf(stderr, "artgen: %s painted at %dx%d, expected %dx%d\n", it.name, L.w, L.h, it.w, it.h);
      ++failures;
      continue;
    }
    Indexed im = quantize(L, it.dither);
    std::string path = out + "/" + it.name + ".bmp";
    if (!writeBmp8(path, im)) {
      std::fprintf(stderr, "artgen: cannot write %s\n", path.c_str());
      ++failures;
      continue;
    }
    std::printf("%-10s %3dx%-3d %s\n", it.name, it.w, it.h, path.c_str());
    done[it.name] = std::move(im);
  }
  if (!preview.empty()) writePreviews(preview, out);
  return failures ? 1 : 0;
}
