#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/kernel.h"
#include "media/korinput.h"
#include "platform/keycodes.h"
#include "platform/window.h"
#include "tests/support/headless_game.h"

namespace {

// A kernel over a real input component on a headless window, so keys and a fake joystick
// can be pressed by the test.
struct KernelRig : vexa_test::SilentKernel {
  std::unique_ptr<platform::Window> Window = platform::Window::CreateHeadless(513, 384);
  KernelRig() { Input.Init(Window.get()); }
  // The input lets go of the window's devices before the window goes (members go first).
  ~KernelRig() { Input.ReleaseAll(); }
  void Key(uint8_t dik, bool down) { Window->Input().SetKey(dik, down); }
  void Stick(int x, int y) {
    platform::JoystickReading r;
    r.X = x;
    r.Y = y;
    Window->Input().SetFakeJoystick(true, r);
    Input.HasJoystick = true;
  }
};

// Ticks at which Repeat carries the bit, over n ticks after the press on tick 0.
std::vector<int> RepeatTicks(KernelRig& rig, uint16_t bit, int dt, int n) {
  std::vector<int> out;
  for (int t = 0; t < n; ++t) {
    rig.Kernel.Tick(dt);
    if (rig.Kernel.Repeat & bit) out.push_back(t);
  }
  return out;
}

TEST(KernelRepeat, KeyboardAt20msRepeatsAfter200ThenEvery60) {
  KernelRig rig;
  rig.Key(keycode::Up, true);
  EXPECT_EQ(RepeatTicks(rig, btUp, 20, 17), (std::vector<int>{0, 10, 13, 16}));
}

TEST(KernelRepeat, JoystickAt20msRepeatsAfter180ThenEvery60) {
  KernelRig rig;
  rig.Stick(0, -100);
  EXPECT_EQ(RepeatTicks(rig, btUp, 20, 16), (std::vector<int>{0, 9, 12, 15}));
}

TEST(KernelRepeat, At40msKeyboardAndJoystick) {
  KernelRig keys;
  keys.Key(keycode::Down, true);
  EXPECT_EQ(RepeatTicks(keys, btDown, 40, 11), (std::vector<int>{0, 6, 8, 10}));
  KernelRig stick;
  stick.Stick(0, 100);
  EXPECT_EQ(RepeatTicks(stick, btDown, 40, 10), (std::vector<int>{0, 5, 7, 9}));
}

TEST(KernelRepeat, SecondButtonRepeatsAloneAndReleaseRestartsDelay) {
  KernelRig rig;
  rig.Stick(0, -100);
  rig.Kernel.Tick(20);
  rig.Kernel.Tick(20);
  rig.Stick(100, -100);  // right joins up
  rig.Kernel.Tick(20);
  EXPECT_EQ(rig.Kernel.Pushed, btRight);
  EXPECT_EQ(rig.Kernel.Repeat, btRight);
  rig.Stick(100, 0);  // up released: no repeat, delay restarts
  rig.Kernel.Tick(20);
  EXPECT_EQ(rig.Kernel.Repeat, 0);
  EXPECT_EQ(rig.Kernel.RepeatWait, 160);
}

TEST(KernelKeyboard, PushedKeyIsHighestCodeAndLettersMap) {
  KernelRig rig;
  rig.Key(30, true);  // A
  rig.Key(keycode::Z, true);
  rig.Kernel.Tick(20);
  EXPECT_EQ(rig.Kernel.PushedKey, keycode::Z);
  EXPECT_EQ(rig.Kernel.GetLetter(), 'Z');
  EXPECT_TRUE(rig.Kernel.Pushed & btAnyKey);
  EXPECT_FALSE(rig.Kernel.Repeat & btAnyKey);
  rig.Kernel.Tick(20);  // held: nothing new went down
  EXPECT_EQ(rig.Kernel.PushedKey, -1);
  EXPECT_EQ(rig.Kernel.GetLetter(), 0);

  KernelRig both;
  both.Key(30, true);   // A
  both.Key(keycode::Up, true);
  both.Kernel.Tick(20);
  EXPECT_EQ(both.Kernel.PushedKey, keycode::Up);
  EXPECT_EQ(both.Kernel.GetLetter(), 0);
}

TEST(KernelKeyboard, UnstartedInputMeansNothingPressed) {
  vexa_test::SilentKernel silent;
  silent.Kernel.Tick(20);
  silent.Kernel.Present();
  EXPECT_EQ(silent.Kernel.Buttons, 0);
  EXPECT_EQ(silent.Kernel.PushedKey, -1);
}

TEST(KernelFades, ClampAndReportArrival) {
  vexa_test::SilentKernel silent;
  TKernel& k = silent.Kernel;
  k.FadeLevel = 255;
  EXPECT_TRUE(k.FadeIn(300));
  EXPECT_EQ(k.FadeLevel, 0);
  EXPECT_FALSE(k.FadeOut(40));
  EXPECT_EQ(k.FadeLevel, 40);
  k.FadeLevel = 255;
  EXPECT_TRUE(k.FadeOut(0));
  EXPECT_FALSE(k.FadeWhite);
  k.FadeLevel = 0;
  EXPECT_FALSE(k.WhiteOut(100));
  EXPECT_TRUE(k.FadeWhite);
  EXPECT_TRUE(k.FadeOut(200));  // plain fades keep the white flag
  EXPECT_TRUE(k.FadeWhite);
}

TEST(KernelCpuClass, TableEntriesAndUnknowns) {
  auto sig = [](uint32_t family, uint32_t model) { return (family << 8) | (model << 4); };
  EXPECT_EQ(TKernel::ClassifyCpu("AuthenticAMD", 1, sig(4, 9)), 1);
  EXPECT_EQ(TKernel::ClassifyCpu("AuthenticAMD", 1, sig(5, 3)), 2);
  EXPECT_EQ(TKernel::ClassifyCpu("AuthenticAMD", 1, sig(5, 7)), 3);
  EXPECT_EQ(TKernel::ClassifyCpu("AuthenticAMD", 1, sig(5, 8)), 4);
  EXPECT_EQ(TKernel::ClassifyCpu("AuthenticAMD", 1, sig(5, 9)), 5);
  EXPECT_EQ(TKernel::ClassifyCpu("AuthenticAMD", 1, sig(5, 10)), 0);
  EXPECT_EQ(TKernel::ClassifyCpu("AuthenticAMD", 1, sig(6, 15)), 6);
  EXPECT_EQ(TKernel::ClassifyCpu("GenuineIntel", 1, sig(4, 1)), 7);
  EXPECT_EQ(TKernel::ClassifyCpu("GenuineIntel", 1, sig(4, 6)), 0);
  EXPECT_EQ(TKernel::ClassifyCpu("GenuineIntel", 1, sig(4, 8)), 13);
  EXPECT_EQ(TKernel::ClassifyCpu("GenuineIntel", 1, sig(5, 0)), 0);
  EXPECT_EQ(TKernel::ClassifyCpu("GenuineIntel", 1, sig(5, 4)), 15);
  EXPECT_EQ(TKernel::ClassifyCpu("GenuineIntel", 1, sig(6, 5)), 17);
  EXPECT_EQ(TKernel::ClassifyCpu("GenuineIntel", 1, sig(6, 8)), 19);
  EXPECT_EQ(TKernel::ClassifyCpu("GenuineIntel", 1, sig(15, 2)), 0);
  EXPECT_EQ(TKernel::ClassifyCpu("GenuineIntel", 0, sig(6, 8)), 0);  // leaf 0 only
  EXPECT_EQ(TKernel::ClassifyCpu("CyrixInstead", 1, sig(5, 2)), 0);
  EXPECT_EQ(TKernel::ClassifyCpu("CentaurHauls", 1, sig(6, 6)), 0);
}

// Key events from the window between two ticks.
TEST(KernelKeyEvents, ATapBetweenTicksIsSeenAndLettersTypedInABurstEachCount) {
  KernelRig rig;
  platform::InputDevices& keys = rig.Window->Input();
  keys.QueueKeyEvent(keycode::Z, true);  // down and up again before the tick
  keys.QueueKeyEvent(keycode::Z, false);
  rig.Kernel.Tick(20);
  EXPECT_TRUE(rig.Kernel.Pushed & btA);
  rig.Kernel.Tick(20);
  EXPECT_FALSE(rig.Kernel.Buttons & btA);

  std::string typed;
  for (char c : std::string("VEXXA")) {
    const uint8_t code = keycode::kLetters[c - 'A'];
    keys.QueueKeyEvent(code, true);
    keys.QueueKeyEvent(code, false);
  }
  for (int t = 0; t < 20; ++t) {
    rig.Kernel.Tick(20);
    if (rig.Kernel.Pushed & btAnyKey) typed += rig.Kernel.GetLetter();
  }
  EXPECT_EQ(typed, "VEXXA");
}

}  // namespace
