#include <gtest/gtest.h>

#include "media/korinput.h"
#include "platform/input_devices.h"
#include "platform/window.h"

namespace {

TEST(Input, JoystickThresholdsAreStrictAndKeysWin) {
  auto w = platform::Window::CreateHeadless(513, 384);
  TKorInput in;
  ASSERT_TRUE(in.Init(w.get()));
  platform::JoystickReading r;
  r.X = 50;
  r.Y = -50;
  w->Input().SetFakeJoystick(true, r);
  in.HasJoystick = true;
  InputState s;
  ASSERT_TRUE(in.GetState(s));
  EXPECT_EQ(s.Right, 0);
  EXPECT_EQ(s.Up, 0);
  r.X = 51;
  r.Y = -51;
  r.Buttons[0] = 0x80;
  w->Input().SetFakeJoystick(true, r);
  ASSERT_TRUE(in.GetState(s));
  EXPECT_EQ(s.Right, 1);
  EXPECT_EQ(s.Up, 1);
  EXPECT_EQ(s.A, 1);
  w->Input().SetKey(44, true);  // Z on the same entry: the key's state byte
  ASSERT_TRUE(in.GetState(s));
  EXPECT_EQ(s.A, 0x80);
}

TEST(Input, AssignmentSharedCodesAndNotReady) {
  TKorInput idle;
  InputState keys{1, 2, 3, 4, 5, 6, 7};
  EXPECT_FALSE(idle.GetKeys(keys));
  EXPECT_EQ(keys.Up, 1);  // untouched
  EXPECT_FALSE(idle.SetKeys(keys));
  uint8_t buf[256];
  EXPECT_FALSE(idle.GetKeyboardState(buf));

  auto w = platform::Window::CreateHeadless(513, 384);
  TKorInput in;
  ASSERT_TRUE(in.Init(w.get()));
  EXPECT_FALSE(in.HasJoystick);
  InputState k;
  ASSERT_TRUE(in.GetKeys(k));
  EXPECT_EQ(k.Enter, 46);  // C by default
  k.Enter = 28;
  k.B = 28;  // two entries on one key
  ASSERT_TRUE(in.SetKeys(k));
  w->Input().SetKey(46, true);
  InputState s;
  in.GetState(s);
  EXPECT_EQ(s.Enter, 0);
  w->Input().SetKey(28, true);
  in.GetState(s);
  EXPECT_NE(s.Enter, 0);
  EXPECT_NE(s.B, 0);
}

TEST(Input, UnpluggedJoystickLeavesTheKeyboardWorking) {
  auto w = platform::Window::CreateHeadless(513, 384);
  TKorInput in;
  ASSERT_TRUE(in.Init(w.get()));
  platform::JoystickReading r;
  w->Input().SetFakeJoystick(true, r);
  in.HasJoystick = true;
  w->Input().SetFakeJoystick(false, r);  // pulled out
  w->Input().SetKey(200, true);
  InputState s;
  EXPECT_TRUE(in.GetState(s));
  EXPECT_NE(s.Up, 0);
  EXPECT_FALSE(in.HasJoystick);
}

TEST(Input, ScancodeTableCoversTheGameKeys) {
  EXPECT_EQ(platform::SdlScancodeToDik(82 /* SDL up */), 200);
  EXPECT_EQ(platform::SdlScancodeToDik(81 /* SDL down */), 208);
  EXPECT_EQ(platform::SdlScancodeToDik(80 /* SDL left */), 203);
  EXPECT_EQ(platform::SdlScancodeToDik(79 /* SDL right */), 205);
  EXPECT_EQ(platform::SdlScancodeToDik(40 /* SDL return */), 28);
  EXPECT_EQ(platform::SdlScancodeToDik(44 /* SDL space */), 57);
  EXPECT_EQ(platform::SdlScancodeToDik(42 /* SDL backspace */), 14);
  EXPECT_EQ(platform::SdlScancodeToDik(41 /* SDL escape */), 1);
  EXPECT_EQ(platform::SdlScancodeToDik(4 /* SDL a */), 30);
  EXPECT_EQ(platform::SdlScancodeToDik(29 /* SDL z */), 44);
  for (int dik = 1; dik < 256; ++dik) {
    int sdl = platform::DikToSdlScancode(static_cast<uint8_t>(dik));
    if (sdl) {
      EXPECT_EQ(platform::SdlScancodeToDik(sdl), dik);
    }
  }
}

}  // namespace
