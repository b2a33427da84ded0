#include "app/mainform.h"

#include <cstdio>
#include <cstring>

#include "app/replay_watch.h"
#include "engine/kernel.h"
#include "game/gamemgr.h"
#include "game/savefile.h"
#include "platform/audio_device.h"
#include "platform/resources.h"
#include "platform/window.h"
#include "screens/screen_factory.h"

TMainForm::TMainForm(platform::Window* window) : TMainForm(window, Settings{}) {}

TMainForm::TMainForm(platform::Window* window, const Settings& settings)
    : Window(window), Config(settings) {
  if (Config.KeepReplays) Replays = TReplaySession(TReplayKeeper::BesideSaveFile(savefile::Path()));
  // The frame clock starts stopped at 20 ms; the drawing component works on a 512 x 384
  // surface with a 16-pixel bold gothic font.
  HITimer.Enabled = false;
  HITimer.Interval = 20;
  HITimer.OnTimer = [this](THITimer*) { HITimerTimer(); };
  HITimer.Loaded();
  KorDraw.SetWidth(512);
  KorDraw.SetHeight(384);
  TKorFont font;
  font.Name = "IPAGothic";
  font.Height = 16;
  font.Bold = true;
  font.Color = 0x000000;  // black letters
  KorDraw.SetFont(font);

  // The components, bound to the window.
  KorDraw.Init(window);
  KorInput.Init(window);
  // A component that cannot start leaves the game running without it; the player learns
  // why in one line, never in a box that must be dismissed first.
  if (!KorSound.Init(window))
    std::fprintf(stderr, "vexa: no audio device could be opened (%s); the game runs without sound.\n",
                 platform::AudioDevice::LastError().c_str());
  if (Config.Music) KorMidi.Init();

  // The kernel over them, and the frame interval this machine runs at.
  Kernel = new TKernel(&KorDraw, &KorSound, &KorInput, &KorMidi);
  SetFrameInterval();

  // The game manager as the root mode, making the game's screens; GameData from its
  // defaults, the puzzle data and the save file; then the keys the saved options choose.
  TGameMgrMode::RegisterScreens(CreateScreen);
  Root = new TGameMgrMode(nullptr, Kernel, &GameData);
  InitGameData();
  Root->ApplyKeyConfig();
}

TMainForm::~TMainForm() { FormDestroy(); }

uint32_t TMainForm::IntervalForCpuClass(int32_t cpuClass) {
  switch (cpuClass) {
    case 0:
    case 4:
    case 5:
    case 6:
    case 17:
    case 18:
    case 19: return 20;
    default: return 40;
  }
}

void TMainForm::SetFrameInterval() {
  uint32_t interval =
      Config.FrameInterval != 0 ? Config.FrameInterval : IntervalForCpuClass(Kernel->GetCpuClass());
  HITimer.SetInterval(interval);
  Replays.TickMs = static_cast<int32_t>(interval);
}

void TMainForm::InitGameData() {
  GameData = ::GameData{};
  GameData.Replays = &Replays;
  GameData.Reserved[0] = 0;
  SetDefaultRanking(GameData);
  LoadPuzzleData();
  Root->LoadSaveData();
}

void TMainForm::LoadPuzzleData() {
  platform::ResourceView view;
  if (!platform::FindResource("BIN", "PUZZLEDATA", view) || !view.Data) return;
  // Never more than the record holds, never more than the resource has.
  size_t n = view.Size < sizeof GameData.PuzzleData ? view.Size : sizeof GameData.PuzzleData;
  std::memcpy(GameData.PuzzleData, view.Data, n);
}

void TMainForm::FormShow() { StartClock(); }

void TMainForm::StartWatching(TReplay replay) {
  Watch = std::make_unique<TReplayWatch>(*this, std::move(replay));
}

void TMainForm::PlayStageSet(std::unique_ptr<TStageSetPlay> set) {
  if (!set) return;
  StageSet = std::move(set);
  StageSet->Begin(GameData);
  Replays.PlayingStageSet = true;
}

void TMainForm::StartWorkshop() {
  Root->LoadCatalogue();
  Root->CreateScreenChild(TScreenId::Workshop);
  Root->Phase = static_cast<int32_t>(TMgrStep::ShowTitle);
}

void TMainForm::HITimerTimer() {
  int32_t dt = static_cast<int32_t>(HITimer.Interval);
  if (Watch) {
    Watch->Tick(dt);
    return;
  }
  Kernel->Tick(dt);
  Root->Update(dt);
}

void TMainForm::FormPaint() {
  if (Root) Root->Paint();
}

void TMainForm::StartClock() {
  HITimer.SetEnabled(true);
  HITimer.Start();
}

void TMainForm::StopClock() {
  HITimer.Stop();
  HITimer.SetEnabled(false);
}

void TMainForm::FormDestroy() {
  if (Destroyed) return;
  Destroyed = true;
  StopClock();
  Watch.reset();
  delete Root;
  Root = nullptr;
  delete Kernel;
  Kernel = nullptr;
}

int TMainForm::Run() {
  if (!Window) return 0;
  for (;;) {
    platform::WindowEvent e = Window->WaitEvent();
    if (e == platform::WindowEvent::Quit) break;
    try {
      if (e == platform::WindowEvent::Tick) {
        // A tick asked for before the clock was stopped is dropped.
        if (HITimer.Enabled && HITimer.TimerID != 0) HITimer.Timer();
      } else if (e == platform::WindowEvent::Paint) {
        FormPaint();
      }
    } catch (const std::exception& ex) {
      platform::ShowMessage("Vexa", ex.what(), true);
    }
  }
  return 0;
}
