#pragma once
// A headless set-up for the menu, title and ranking screens: an input component on a
// headless window, a kernel over it (optionally with a drawing component), GameData with
// the default ranking, and a root mode as the screens' parent. Each test runs in a fresh
// temporary directory that also holds the save file.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "engine/kernel.h"
#include "game/gamedata.h"
#include "game/gamemgr.h"
#include "game/savefile.h"
#include "media/kordraw.h"
#include "media/korinput.h"
#include "platform/keycodes.h"
#include "platform/window.h"

namespace menu_test {

class MenuTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char buf[4096];
    ASSERT_NE(getcwd(buf, sizeof buf), nullptr);
    OldDir = buf;
    char tmpl[] = "/tmp/vexa-menu-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    Dir = tmpl;
    ASSERT_EQ(chdir(Dir.c_str()), 0);
    SavePath = Dir + "/vexa.dat";
    OldSavePath = savefile::Path();  // the test process's sandbox, put back afterwards
    savefile::SetPathOverride(SavePath);

    Wnd = platform::Window::CreateHeadless(513, 384);
    ASSERT_TRUE(Input.Init(Wnd.get()));
    if (WithDraw()) {
      ASSERT_TRUE(DrawC.Init(Wnd.get(), 512, 384, false, 16));
    }
    Kernel = std::make_unique<TKernel>(WithDraw() ? &DrawC : nullptr, nullptr, &Input,
                                       MidiComponent());
    SetDefaultRanking(Data);
    Root = std::make_unique<TGameMgrMode>(nullptr, Kernel.get(), &Data);
    Root->ApplyKeyConfig();
  }
  void TearDown() override {
    Screen.reset();
    Root.reset();
    savefile::SetPathOverride(OldSavePath);
    if (!OldDir.empty()) {
      EXPECT_EQ(chdir(OldDir.c_str()), 0);
    }
    std::system(("rm -rf " + Dir).c_str());
  }
  virtual bool WithDraw() const { return false; }
  // The MIDI component the kernel gets (none by default); made before the kernel.
  virtual TKorMidi* MidiComponent() { return nullptr; }

  // Makes the screen under test as the root's would-be child.
  template <class T>
  T& Make() {
    auto* s = new T(Root.get(), Kernel.get(), &Data);
    Screen.reset(s);
    return *s;
  }
  // One tick: the kernel reads the input, the screen runs.
  void Tick() {
    Kernel->Tick(20);
    Screen->Update(20);
  }
  void Ticks(int n) {
    for (int i = 0; i < n; ++i) Tick();
  }
  void Down(uint8_t key) { Wnd->Input().SetKey(key, true); }
  void Up(uint8_t key) { Wnd->Input().SetKey(key, false); }
  // Down for one tick, then up for one tick (so the same key can be tapped again).
  void Tap(uint8_t key) {
    Down(key);
    Tick();
    Up(key);
    Tick();
  }
  // Runs ticks until the screen reaches the phase (at most limit ticks); the count run.
  int RunToPhase(int32_t phase, int limit = 500) {
    int n = 0;
    while (Screen->Phase != phase && !Screen->IsFinished() && n < limit) {
      Tick();
      ++n;
    }
    return n;
  }
  int RunToEnd(int limit = 1000) {
    int n = 0;
    while (!Screen->IsFinished() && n < limit) {
      Tick();
      ++n;
    }
    return n;
  }
  bool SaveFileExists() const { return std::ifstream(SavePath).good(); }
  std::vector<uint8_t> SaveBytes() const {
    std::ifstream f(SavePath, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), {});
  }

  std::string OldDir, Dir, SavePath;
  std::string OldSavePath;

  std::unique_ptr<platform::Window> Wnd;
  TKorInput Input;
  TKorDraw DrawC;
  std::unique_ptr<TKernel> Kernel;
  GameData Data;
  std::unique_ptr<TGameMgrMode> Root;
  std::unique_ptr<TGameMode> Screen;
};

// A 24-bit BMP of w x h pixels whose colour is chosen per cell of cw x ch (cells numbered
// row by row), for sprites whose cells must be told apart on the work surface.
inline std::vector<uint8_t> CellBmp(int w, int h, int cw, int ch, uint32_t (*colour)(int cell)) {
  const uint32_t row = (static_cast<uint32_t>(w) * 3 + 3) & ~3u;
  const uint32_t size = row * h;
  std::vector<uint8_t> b;
  auto le = [&b](uint32_t v, int n) {
    for (int i = 0; i < n; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
  };
  b.push_back('B');
  b.push_back('M');
  le(54 + size, 4);
  le(0, 4);
  le(54, 4);
  le(40, 4);
  le(w, 4);
  le(h, 4);
  le(1, 2);
  le(24, 2);
  le(0, 4);
  le(size, 4);
  le(2835, 4);
  le(2835, 4);
  le(0, 4);
  le(0, 4);
  const int columns = w / cw;
  for (int y = h - 1; y >= 0; --y) {
    for (int x = 0; x < w; ++x) {
      uint32_t c = colour((y / ch) * columns + x / cw);
      b.push_back(static_cast<uint8_t>(c));
      b.push_back(static_cast<uint8_t>(c >> 8));
      b.push_back(static_cast<uint8_t>(c >> 16));
    }
    for (uint32_t x = static_cast<uint32_t>(w) * 3; x < row; ++x) b.push_back(0);
  }
  return b;
}

inline void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream f(path, std::ios::binary);
  f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace menu_test
