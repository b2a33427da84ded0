#pragma once
// TMainForm: the program's window and the owner of everything that runs: the media
// components, the frame clock, the kernel, the root mode and GameData. It builds them in
// order, turns every clock tick into one frame and every paint request into a redraw, and
// tears them down in order.
#include <cstdint>
#include <memory>

#include "app/htimer.h"
#include "game/gamedata.h"
#include "game/replay_session.h"
#include "game/stage_set_play.h"
#include "media/kordraw.h"
#include "media/korinput.h"
#include "media/kormidi.h"
#include "media/korsound.h"

namespace platform {
class Window;
}
class TKernel;
class TGameMgrMode;

class TReplayWatch;

class TMainForm {
 public:
  struct Settings {
    // A fixed frame interval in ms instead of the one chosen from the processor (0 = choose).
    uint32_t FrameInterval = 0;
    // Start the MIDI component (the replay runner may run without music).
    bool Music = true;
    // Keep the games played in the replays folder beside the save file.
    bool KeepReplays = true;
  };

  // Builds everything over an existing window (the window must exist first: every
  // component is bound to it).
  explicit TMainForm(platform::Window* window);
  TMainForm(platform::Window* window, const Settings& settings);
  ~TMainForm();
  TMainForm(const TMainForm&) = delete;
  TMainForm& operator=(const TMainForm&) = delete;

  void FormShow();
  // Plays the replay instead of the game, from its first tick.
  void StartWatching(TReplay replay);
  // Opens the puzzle workshop instead of the logo; leaving it goes on to the title.
  void StartWorkshop();
  // Plays a loaded stage set instead of the built-in stages for the whole run.
  void PlayStageSet(std::unique_ptr<TStageSetPlay> set);
  void HITimerTimer();
  void FormPaint();
  void FormDestroy();
  void SetFrameInterval();
  void InitGameData();
  void LoadPuzzleData();
  void StartClock();
  void StopClock();
  // The event loop: runs until the window is closed.
  int Run();

  // Frame interval chosen for a processor class: 20 ms for the classes counted as fast or
  // unknown, 40 ms for the slow ones.
  static uint32_t IntervalForCpuClass(int32_t cpuClass);

  platform::Window* Window = nullptr;
  THITimer HITimer;
  TKorDraw KorDraw;
  TKorInput KorInput;
  TKorSound KorSound;
  TKorMidi KorMidi;
  TKernel* Kernel = nullptr;
  TGameMgrMode* Root = nullptr;
  ::GameData GameData;
  TReplaySession Replays;  // records every game; keeps it when Settings.KeepReplays
  std::unique_ptr<TReplayWatch> Watch;  // a replay playing instead of the game, or null
  std::unique_ptr<TStageSetPlay> StageSet;  // a stage set played instead of the built-in stages

 private:
  Settings Config;
  bool Destroyed = false;
};
