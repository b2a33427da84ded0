#pragma once
// The one set-up of the tests that run the game, or a part of it, without a display, sound
// or the player's files:
//  - PrivateFolder: a temporary folder that holds the save file and the settings (the XDG
//    data and config folders point into it) while it lives; everything comes back after.
//  - SilentKernel: a kernel over four components that were never started.
//  - HeadlessGame: a test fixture with a headless window, its components and kernel,
//    GameData, a root manager, and a screen under test, ticked with keys.
//  - RunningGame: the whole game (TMainForm) over a headless window, ticked with keys.
//  - ReplayFolder: runs the `vexa-replay` runner on a script and reads its dump lines,
//    save file and shots.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/mainform.h"
#include "engine/kernel.h"
#include "game/gamedata.h"
#include "game/gamemgr.h"
#include "media/kordraw.h"
#include "media/korinput.h"
#include "media/kormidi.h"
#include "media/korsound.h"
#include "platform/audio_device.h"
#include "platform/keycodes.h"
#include "platform/window.h"
#include "tests/media/test_kordraw_util.h"

namespace vexa_test {

using kordraw_test::Rgb;

// ---------------------------------------------------------------- files and folders

std::vector<uint8_t> ReadBytes(const std::string& path);
std::string ReadText(const std::string& path);
void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);

// Sets an environment variable for one scope and puts the old value back.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value);
  ~ScopedEnv();
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* Name;
  std::optional<std::string> Old;
};

// The audio device's manual mode (the mixer and the music run in step with the caller) set
// for one scope and put back afterwards.
class ScopedManualAudio {
 public:
  explicit ScopedManualAudio(bool on) : Was(platform::AudioDevice::IsManualMode()) {
    platform::AudioDevice::SetManualMode(on);
  }
  ~ScopedManualAudio() { platform::AudioDevice::SetManualMode(Was); }
  ScopedManualAudio(const ScopedManualAudio&) = delete;
  ScopedManualAudio& operator=(const ScopedManualAudio&) = delete;

 private:
  bool Was;
};

// A fresh temporary folder, removed with everything in it at the end. While it lives the
// save file is Path/vexa.dat, XDG_DATA_HOME is Path/data and XDG_CONFIG_HOME is
// Path/config (so the runner and the game find no file of the player's either); with
// enter, it is also the current folder, where bitmaps and songs named like the game's
// resources are found as files. Path is empty when no folder could be made.
class PrivateFolder {
 public:
  explicit PrivateFolder(bool enter = false);
  ~PrivateFolder();
  PrivateFolder(const PrivateFolder&) = delete;
  PrivateFolder& operator=(const PrivateFolder&) = delete;

  // The path of a file in the folder.
  std::string At(const std::string& name) const { return Path + "/" + name; }
  // Writes a file into the folder; its path.
  std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) const;
  // A file of the folder (empty when there is none).
  std::vector<uint8_t> Read(const std::string& name) const { return ReadBytes(At(name)); }
  // A 308-byte save file whose ranking rows are all empty, with the puzzle progress given.
  void WriteSave(int32_t continueStage, int32_t maxStage) const;

  std::string Path;
  std::string SavePath;

 private:
  std::string OldDir;
  std::string OldSavePath;
  std::optional<ScopedEnv> DataHome, ConfigHome;
};

// ---------------------------------------------------------------- components

// The four media components, none of them started (every call answers false), under a
// kernel. Input may be started on a window afterwards.
struct SilentKernel {
  TKorDraw Draw;
  TKorSound Sound;
  TKorInput Input;
  TKorMidi Midi;
  TKernel Kernel{&Draw, &Sound, &Input, &Midi};
};

// ---------------------------------------------------------------- a screen under test

// A headless 513 x 384 window with a started input component, an unstarted sound
// component, the MIDI component MidiComponent gives (an unstarted one by default), and a
// drawing component started when WithDraw says so; a kernel over them, GameData with the
// default ranking, and a root manager over it with the key assignment applied. Everything
// runs in a private folder that is the current folder.
class HeadlessGame : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Whether the drawing component is started (on a 512 x 384 work surface).
  virtual bool WithDraw() const { return false; }
  // The MIDI component the kernel gets; made before the kernel.
  virtual TKorMidi* MidiComponent() { return &Midi; }

  // The screen under test, run on its own by Tick.
  template <class T>
  T& Make() {
    auto* s = new T(Root.get(), Kernel.get(), &Data);
    Screen.reset(s);
    return *s;
  }
  // The screen under test, run until it reaches the phase (or finishes).
  template <class T>
  T& MakeAndRunTo(int32_t phase) {
    T& s = Make<T>();
    RunToPhase(phase);
    return s;
  }
  // The screen under test as the root's child: Tick runs the root, which removes the screen
  // once it has finished.
  template <class T>
  T& MakeChild() {
    auto* s = new T(Root.get(), Kernel.get(), &Data);
    Root->Child = s;
    return *s;
  }

  // One tick of 20 ms: the kernel reads the input, then the screen made by Make runs, or
  // else the root.
  void Tick();
  void Ticks(int n);
  void Down(uint8_t key) { Wnd->Input().SetKey(key, true); }
  void Up(uint8_t key) { Wnd->Input().SetKey(key, false); }
  // Down for one tick, then up for one tick (so the same key can be tapped again).
  void Tap(uint8_t key);
  // Ticks while going() holds (at most limit); the count run.
  int RunWhile(const std::function<bool()>& going, int limit);
  // Ticks until the screen reaches the phase or finishes (at most limit); the count run.
  int RunToPhase(int32_t phase, int limit = 500);
  // Ticks until the screen has finished (at most limit); the count run.
  int RunToEnd(int limit = 1000);
  // Ticks until the root's child has finished and been removed (at most limit).
  int RunUntilGone(int limit = 500);

  bool SaveFileExists() const;
  std::vector<uint8_t> SaveBytes() const { return ReadBytes(SavePath); }
  // A bitmap file in the current folder under a resource's name; used when the program
  // carries no resource of that name.
  void WriteSolidBitmap(const std::string& name, int w, int h, Rgb c);
  uint32_t Px(int x, int y) const { return DrawC.WorkSurface->GetPixel(x, y); }
  uint32_t Map(Rgb c) const { return DrawC.WorkSurface->MapRgb(c.R, c.G, c.B); }
  // The resource name of a registered sprite, or "(none)".
  std::string SpriteRes(const std::string& key);

  PrivateFolder Dir{true};
  const std::string SavePath = Dir.SavePath;
  std::unique_ptr<platform::Window> Wnd;
  TKorDraw DrawC;
  TKorSound Sound;
  TKorInput Input;
  TKorMidi Midi;
  std::unique_ptr<TKernel> Kernel;
  GameData Data;
  std::unique_ptr<TGameMgrMode> Root;
  std::unique_ptr<TGameMode> Screen;
};

// A HeadlessGame whose drawing component is started.
class DrawnGame : public HeadlessGame {
 protected:
  bool WithDraw() const override { return true; }
};

// ---------------------------------------------------------------- the whole game

class RunningGame {
 public:
  // Music: whether the MIDI component is started (it is in the game). sdlWindow: a real
  // SDL window (under SDL's dummy video driver in the tests) whose event loop runs before
  // every frame, instead of the headless stand-in; Form stays null when it cannot open.
  explicit RunningGame(bool music = true, bool sdlWindow = false);
  // One frame, as the clock's tick runs it; in manual audio mode the music's two 10 ms
  // passes and 20 ms of the mixer's output follow, and Peak keeps the loudest sample.
  void Tick();
  void Wait(int n);
  void Tap(uint8_t key, int waitAfter = 1);
  std::string Mode() { return Form->Root->Deepest()->ClassName(); }
  // Runs until the deepest mode has the class name (at most limit ticks).
  bool WaitFor(const std::string& mode, int limit = 600);

  // Logo skipped, the title reached.
  void ToTitle();
  // The title reached again and its fade-in over.
  void BackAtTitle();
  // From the title: the entry that many rows down decided, and the screen of that class
  // name opened.
  void OpenFromTitle(int row, const std::string& mode);
  // From the title: GAME START, ENDLESS, NOMAL; the game screen running after READY / GO.
  void StartEndlessGame();
  // On the game screen: pause, RETIRE, YES; then the result and the name entry.
  void RetireToNameEntry();
  // The same from the pause menu already open.
  void RetireFromPause();

  std::unique_ptr<platform::Window> Wnd;
  std::unique_ptr<TMainForm> Form;
  int Ticks = 0;
  int32_t Peak = 0;
};

// ---------------------------------------------------------------- the replay runner

struct ReplayRun {
  int Status = -1;
  std::string Out;                 // everything the runner printed
  std::vector<std::string> Dumps;  // its "tick=" lines
};

// Runs vexa-replay in a folder with the given arguments; stderr is kept in Out unless
// stdoutOnly (the sound libraries may talk there).
ReplayRun RunReplay(const std::string& folder, const std::string& args, bool stdoutOnly = false);

// A private folder for a series of runs, so a later run starts from the save file an
// earlier one left.
class ReplayFolder : public PrivateFolder {
 public:
  // Plays tests/e2e/<script> with the seed.
  ReplayRun Play(const std::string& script, int seed) const;
  // The same, passing when the run ended well with the number of dump lines given.
  ::testing::AssertionResult Play(const std::string& script, int seed, size_t dumps,
                                  ReplayRun& run) const;
  // Plays a script of the given text, with further arguments.
  ReplayRun PlayText(const std::string& text, const std::string& args = "") const;
  // The same, passing when the run ended well with the number of dump lines given.
  ::testing::AssertionResult PlayText(const std::string& text, const std::string& args,
                                      size_t dumps, ReplayRun& run) const;
};

// Script text from the logo through GAME START and PUZZLE to the puzzle start screen (NEW
// GAME, CONTINUE, SELECT STAGE).
extern const char* const kLogoToPuzzleStart;

// The value of key in a dump line: the first occurrence ("" when absent).
std::string Value(const std::string& dump, const std::string& key);
// Passes when the dump line holds every key with its value ("" for a key it must not have).
::testing::AssertionResult Holds(const std::string& dump,
                                 std::initializer_list<std::pair<std::string, std::string>> values);
// The mode of every dump line.
std::vector<std::string> Modes(const ReplayRun& run);
int32_t I32At(const std::vector<uint8_t>& b, size_t at);
// The pixels of a rectangle of a shot (a 24-bit bottom-up BMP of 512 x 384): three bytes a
// pixel, row by row; empty when the shot is not such a file.
std::vector<uint8_t> ShotRegion(const std::vector<uint8_t>& bmp, int l, int t, int r, int b);

}  // namespace vexa_test
