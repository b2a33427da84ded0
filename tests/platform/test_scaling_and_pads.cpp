#include <gtest/gtest.h>

#include "platform/input_devices.h"
#include "platform/letterbox.h"

namespace {

using platform::InitialScale;
using platform::Letterbox;

TEST(WindowScale, LargestWholeFactorWithinThreeQuartersOfTheHeight) {
  EXPECT_EQ(InitialScale(1024, 768, 513, 384), 1);   // 768 * 0.75 = 576 < 768
  EXPECT_EQ(InitialScale(1366, 768, 513, 384), 1);
  EXPECT_EQ(InitialScale(1920, 1080, 513, 384), 2);  // 768 <= 810
  EXPECT_EQ(InitialScale(2560, 1440, 513, 384), 2);  // 1152 > 1080
  EXPECT_EQ(InitialScale(3840, 2160, 513, 384), 4);  // 1536 <= 1620
  EXPECT_EQ(InitialScale(1200, 3000, 513, 384), 2);  // the width limits it
  EXPECT_EQ(InitialScale(640, 480, 513, 384), 1);    // never below 1
}

TEST(WindowScale, LetterboxKeepsWholeScalesCentred) {
  platform::ViewRect r = Letterbox(513, 384, 512, 384);
  EXPECT_EQ(r.X, 0);
  EXPECT_EQ(r.Y, 0);
  EXPECT_EQ(r.W, 512);
  EXPECT_EQ(r.H, 384);
  r = Letterbox(1026, 768, 512, 384);
  EXPECT_EQ(r.W, 1024);
  EXPECT_EQ(r.H, 768);
  EXPECT_EQ(r.X, 1);
  r = Letterbox(1920, 1080, 512, 384);  // 2x, not 2.8x: crisp pixels
  EXPECT_EQ(r.W, 1024);
  EXPECT_EQ(r.H, 768);
  EXPECT_EQ(r.X, 448);
  EXPECT_EQ(r.Y, 156);
  r = Letterbox(1920, 1080, 640, 480);  // the full-screen display
  EXPECT_EQ(r.W, 1280);
  EXPECT_EQ(r.H, 960);
  r = Letterbox(300, 400, 512, 384);  // smaller than the picture: the whole picture, shrunk
  EXPECT_EQ(r.W, 300);
  EXPECT_EQ(r.H, 225);
  EXPECT_EQ(r.Y, 87);
  r = Letterbox(0, 0, 512, 384);
  EXPECT_EQ(r.W, 0);
}

TEST(WindowScale, FitFillsAtThePicturesAspectFromTheLargestWholeScale) {
  using platform::FitPreScale;
  using platform::FitRect;
  platform::ViewRect r = FitRect(1280, 1024, 512, 384);  // 5:4 screen: bars above and below
  EXPECT_EQ(r.X, 0);
  EXPECT_EQ(r.Y, 32);
  EXPECT_EQ(r.W, 1280);
  EXPECT_EQ(r.H, 960);
  EXPECT_EQ(FitPreScale(r, 512, 384), 2);  // 1024 x 768, then smoothed by 1.25
  r = FitRect(1920, 1080, 512, 384);  // 16:9: bars left and right
  EXPECT_EQ(r.X, 240);
  EXPECT_EQ(r.Y, 0);
  EXPECT_EQ(r.W, 1440);
  EXPECT_EQ(r.H, 1080);
  EXPECT_EQ(FitPreScale(r, 512, 384), 2);
  r = FitRect(1026, 768, 512, 384);  // the window at twice its size: a whole scale already
  EXPECT_EQ(r.X, 1);
  EXPECT_EQ(r.W, 1024);
  EXPECT_EQ(r.H, 768);
  EXPECT_EQ(FitPreScale(r, 512, 384), 2);
  r = FitRect(1000, 1000, 512, 384);  // rounding never leaves the output
  EXPECT_EQ(r.W, 1000);
  EXPECT_EQ(r.H, 750);
  EXPECT_EQ(r.Y, 125);
  r = FitRect(300, 400, 512, 384);  // smaller than the picture: one smooth pass down
  EXPECT_EQ(r.W, 300);
  EXPECT_EQ(r.H, 225);
  EXPECT_EQ(FitPreScale(r, 512, 384), 0);
  r = FitRect(0, 768, 512, 384);
  EXPECT_EQ(r.W, 0);
  EXPECT_EQ(FitPreScale(r, 512, 384), 0);
}

TEST(Gamepad, ControllerMapsToTheJoystickInputs) {
  platform::ControllerSnapshot c;
  platform::JoystickReading r = platform::MapController(c);
  EXPECT_EQ(r.X, 0);
  EXPECT_EQ(r.Y, 0);
  c.DpadLeft = true;
  c.DpadDown = true;
  r = platform::MapController(c);
  EXPECT_EQ(r.X, -100);
  EXPECT_EQ(r.Y, 100);
  c = {};
  c.LeftX = 16384;  // half travel: exactly on the threshold's side
  c.LeftY = -32768;
  r = platform::MapController(c);
  EXPECT_EQ(r.X, 50);  // 50 does not count as pressed (strict threshold)
  EXPECT_EQ(r.Y, -100);
  c.LeftX = 16800;
  EXPECT_GT(platform::MapController(c).X, 50);
  c = {};
  c.South = true;
  c.Start = true;
  r = platform::MapController(c);
  EXPECT_NE(r.Buttons[0], 0);
  EXPECT_EQ(r.Buttons[1], 0);
  EXPECT_NE(r.Buttons[2], 0);
  c.East = true;
  EXPECT_NE(platform::MapController(c).Buttons[1], 0);
}

}  // namespace
