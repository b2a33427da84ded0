#include "app/replay_watch.h"

#include <string>

#include "app/mainform.h"
#include "game/gamemgr.h"
#include "game/replay_session.h"
#include "media/kordraw.h"
#include "media/korinput.h"
#include "media/kormidi.h"
#include "media/korsound.h"
#include "platform/keycodes.h"
#include "platform/window.h"
#include "screens/replay_marks.h"

namespace {

// The game screen's phases in which it fades out after its results.
constexpr int32_t kFadeOutPhase = 6;
constexpr int32_t kClosedPhase = 7;

}  // namespace

TReplayWatch::TReplayWatch(TMainForm& form, TReplay replay) : Form(form), Marks(*form.Root) {
  Marks.Name = replay.Name;
  Form.Replays.Watch(std::move(replay));
  Form.Kernel->Overlay = &Marks;
  Form.Root->LoadCatalogue();
  Restart();
}

TReplayWatch::~TReplayWatch() {
  if (Form.Kernel && Form.Kernel->Overlay == &Marks) Form.Kernel->Overlay = nullptr;
}

TGameMode* TReplayWatch::Screen() const { return Form.Root ? Form.Root->Child : nullptr; }

void TReplayWatch::Restart() {
  Form.Kernel->Midi->Stop();
  Form.Root->DeleteChild();
  Form.Replays.RewindWatch();
  Form.Replays.SetUpGame(Form.GameData);
  Form.Root->CreateScreenChild(TScreenId::GameMain);
  HalfTicks = 0;
}

bool TReplayWatch::AtEnd() const {
  const TGameMode* screen = Screen();
  return !screen || screen->Phase == kFadeOutPhase || screen->Phase == kClosedPhase ||
         Form.Replays.WatchEnded();
}

int32_t TReplayWatch::Run(int32_t ticks, int32_t dt) {
  TKernel& k = *Form.Kernel;
  int32_t ran = 0;
  for (; ran < ticks && !AtEnd(); ++ran) {
    const bool last = ran == ticks - 1;
    Form.KorDraw.SetDrawing(last);
    // One sound frame per shown frame: a sound started in several ticks of it plays once.
    if (last) k.Sound->NextFrame();
    k.ReadButtons(dt);
    Form.Root->Update(dt);
  }
  Form.KorDraw.SetDrawing(true);
  return ran;
}

int32_t TReplayWatch::HandleKey(int32_t key, int32_t dt) {
  switch (key) {
    case keycode::Space:
      Paused = !Paused;
      return 0;
    case keycode::Right:
      return Paused ? Run(1, dt) : 0;
    case keycode::Up:
      if (Speed + 1 < static_cast<int32_t>(std::size(kSpeeds))) Speed += 1;
      return 0;
    case keycode::Down:
      if (Speed > 0) Speed -= 1;
      return 0;
    case keycode::J:
      return Run(kJumpMs / dt, dt);
    case keycode::R:
      Restart();
      return 0;
    case keycode::Escape:
    case keycode::Q:
      Form.Window->RequestQuit();
      return 0;
    default:
      return 0;
  }
}

void TReplayWatch::Tick(int32_t dt) {
  TKernel& k = *Form.Kernel;
  k.Input->TakeKeyEvents();
  k.ReadKeyboard();
  int32_t ran = HandleKey(k.PushedKey, dt);
  Marks.Paused = Paused;
  Marks.SpeedHalves = kSpeeds[Speed];
  Marks.Ended = AtEnd();
  if (ran == 0 && !Paused) {
    HalfTicks += kSpeeds[Speed];
    ran = Run(HalfTicks / 2, dt);
    HalfTicks %= 2;
  }
  // Nothing ran: the frame is shown again with its marks.
  if (ran == 0) Form.Root->Paint();
}
