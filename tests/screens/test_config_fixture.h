#pragma once
// A headless set-up for the option, reward and ending screens: a drawing component and an
// input component on a headless window, a kernel over them, GameData and a root mode, run
// in a temporary current directory (where bitmaps named like the game's resources are found
// as files, and where the save file lives).
#include <gtest/gtest.h>
#include <unistd.h>

#include <memory>
#include <string>

#include "engine/kernel.h"
#include "game/gamedata.h"
#include "game/gamemgr.h"
#include "game/savefile.h"
#include "media/kordraw.h"
#include "media/korinput.h"
#include "platform/keycodes.h"
#include "platform/window.h"
#include "tests/media/test_kordraw_util.h"

namespace screens_test {

using kordraw_test::Rgb;

class ScreenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char buf[4096];
    ASSERT_NE(getcwd(buf, sizeof buf), nullptr);
    OldDir = buf;
    ASSERT_FALSE(Dir.Path.empty());
    ASSERT_EQ(chdir(Dir.Path.c_str()), 0);
    SavePath = Dir.Path + "/vexa.dat";
    OldSavePath = savefile::Path();  // the test process's sandbox, put back afterwards
    savefile::SetPathOverride(SavePath);

    Wnd = platform::Window::CreateHeadless(513, 384);
    ASSERT_TRUE(DrawC.Init(Wnd.get(), 512, 384, false, 16));
    ASSERT_TRUE(Input.Init(Wnd.get()));
    Kernel = std::make_unique<TKernel>(&DrawC, nullptr, &Input, MidiComponent());
    SetDefaultRanking(Data);
    Root = std::make_unique<TGameMgrMode>(nullptr, Kernel.get(), &Data);
    Root->ApplyKeyConfig();
  }
  void TearDown() override {
    Root.reset();
    savefile::SetPathOverride(OldSavePath);
    if (!OldDir.empty()) {
      EXPECT_EQ(chdir(OldDir.c_str()), 0);
    }
  }
  virtual TKorMidi* MidiComponent() { return nullptr; }

  // A bitmap file in the current directory under a resource's name; used when the program
  // carries no resource of that name.
  void WriteSolidBitmap(const std::string& name, int w, int h, Rgb c) {
    Dir.Write(name, kordraw_test::SolidBmp24(w, h, c));
  }

  // One frame: the kernel reads the input, the root runs its child.
  void Frame() {
    Kernel->Tick(20);
    Root->Update(20);
  }
  void Frames(int n) {
    for (int i = 0; i < n; ++i) Frame();
  }
  // A key pressed for one frame and released in the next.
  void Tap(uint8_t key) {
    Wnd->Input().SetKey(key, true);
    Frame();
    Wnd->Input().SetKey(key, false);
    Frame();
  }
  // Frames until the root's child has finished and been removed (at most limit).
  int RunUntilGone(int limit = 500) {
    int n = 0;
    while (Root->Child && n < limit) {
      Frame();
      ++n;
    }
    return n;
  }

  uint32_t Px(int x, int y) const { return DrawC.WorkSurface->GetPixel(x, y); }
  uint32_t Map(Rgb c) const { return DrawC.WorkSurface->MapRgb(c.R, c.G, c.B); }
  std::string SpriteRes(const std::string& key) {
    TSpriteSurf* s = DrawC.GetSpriteSurf(key);
    return s ? s->ResName : std::string("(none)");
  }

  kordraw_test::TempDir Dir;
  std::string OldDir;
  std::string SavePath;
  std::string OldSavePath;
  std::unique_ptr<platform::Window> Wnd;
  TKorDraw DrawC;
  TKorInput Input;
  std::unique_ptr<TKernel> Kernel;
  GameData Data;
  std::unique_ptr<TGameMgrMode> Root;
};

}  // namespace screens_test
