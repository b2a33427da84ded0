#pragma once
// The whole game (TMainForm over a headless window) driven tick by tick with keys, for the
// tests that take a device or a file away while it runs.
#include <gtest/gtest.h>

#include <algorithm>
#include <span>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

#include <cstdlib>

#include "app/mainform.h"
#include "engine/gamemode.h"
#include "game/gamemgr.h"
#include "game/savefile.h"
#include "platform/audio_device.h"
#include "platform/keycodes.h"
#include "platform/window.h"

namespace faults_test {

// A private folder for the save file while it lives; the path in use before comes back
// afterwards, so no run of the game under test ever touches a player's own file.
class SaveSandbox {
 public:
  SaveSandbox() : OldPath(savefile::Path()) {
    char tmpl[] = "/tmp/vexa-faults-XXXXXX";
    if (::mkdtemp(tmpl)) Dir = tmpl;
    Path = Dir.empty() ? "/nonexistent/vexa.dat" : Dir + "/vexa.dat";
    savefile::SetPathOverride(Path);
  }
  ~SaveSandbox() {
    savefile::SetPathOverride(OldPath);
    if (!Dir.empty()) std::system(("chmod -R u+rwx " + Dir + " 2>/dev/null; rm -rf " + Dir).c_str());
  }
  SaveSandbox(const SaveSandbox&) = delete;
  SaveSandbox& operator=(const SaveSandbox&) = delete;

  std::string OldPath, Dir, Path;
};

class RunningGame {
 public:
  // Music: whether the MIDI component is started (it is in the game). sdlWindow: a real
  // SDL window (under SDL's dummy video driver in the tests) whose event loop runs before
  // every frame, instead of the headless stand-in; Form stays null when it cannot open.
  explicit RunningGame(bool music = true, bool sdlWindow = false) {
    std::string error;
    Wnd = sdlWindow ? platform::Window::Create("Vexa", 513, 384, error)
                    : platform::Window::CreateHeadless(513, 384);
    if (!Wnd) return;
    TMainForm::Settings s;
    s.FrameInterval = 20;
    s.Music = music;
    Form = std::make_unique<TMainForm>(Wnd.get(), s);
  }
  // One frame, as the clock's tick runs it; in manual audio mode the music's two 10 ms
  // passes and 20 ms of the mixer's output follow, and Peak keeps the loudest sample.
  void Tick() {
    Wnd->PumpEvents();
    Form->HITimerTimer();
    ++Ticks;
    if (platform::AudioDevice::IsManualMode()) {
      Form->KorMidi.RunPass();
      Form->KorMidi.RunPass();
      int16_t out[2 * 960];  // 20 ms at the highest rate a device runs at
      const int frames = std::min(960, platform::AudioDevice::OpenRate() / 50);
      platform::AudioDevice::Render(out, frames);
      for (int16_t v : std::span(out, static_cast<size_t>(std::max(frames, 0)) * 2)) Peak = std::max<int32_t>(Peak, v < 0 ? -int32_t{v} : v);
    }
  }
  void Wait(int n) {
    for (int i = 0; i < n; ++i) Tick();
  }
  void Tap(uint8_t key, int waitAfter = 1) {
    Wnd->Input().SetKey(key, true);
    Tick();
    Wnd->Input().SetKey(key, false);
    Wait(waitAfter);
  }
  std::string Mode() { return Form->Root->Deepest()->ClassName(); }
  // Runs until the deepest mode has the class name (at most limit ticks).
  bool WaitFor(const std::string& mode, int limit = 600) {
    for (int i = 0; i < limit; ++i) {
      if (Mode() == mode) return true;
      Tick();
    }
    return Mode() == mode;
  }

  // Logo skipped, the title reached.
  void ToTitle() {
    Wait(10);
    Tap(keycode::Enter);
    ASSERT_TRUE(WaitFor("TTitleMode"));
    Wait(60);
  }
  // From the title: GAME START, ENDLESS, NOMAL; the game screen running after READY / GO.
  void StartEndlessGame() {
    Tap(keycode::Enter, 20);
    Tap(keycode::Enter, 20);
    Tap(keycode::Down);
    Tap(keycode::Enter);
    ASSERT_TRUE(WaitFor("TGameMainMode"));
    Wait(200);
  }
  // On the game screen: pause, RETIRE, YES; then the result and the name entry.
  void RetireToNameEntry() {
    Tap(keycode::Enter, 2);
    Tap(keycode::Down, 2);
    Tap(keycode::Enter, 2);
    Tap(keycode::Up, 2);
    Tap(keycode::Enter, 200);
    Tap(keycode::Enter);
    ASSERT_TRUE(WaitFor("TRegRankMode"));
    Wait(100);
  }

  std::unique_ptr<platform::Window> Wnd;
  std::unique_ptr<TMainForm> Form;
  int Ticks = 0;
  int32_t Peak = 0;
};

}  // namespace faults_test
