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

namespace {

// Where the marks go: the free space on the right between the face's balloon and the logo.
constexpr int32_t kMarkX = 380;
constexpr int32_t kMarkY = 244;
constexpr int32_t kLine = 26;
// The game screen's phases in which it fades out after its results.
constexpr int32_t kFadeOutPhase = 6;
constexpr int32_t kClosedPhase = 7;

}  // namespace

TReplayWatch::TReplayWatch(TMainForm& form, TReplay replay) : Form(form) {
  Form.Replays.Watch(std::move(replay));
  Form.Kernel->Overlay = this;
  Form.Root->LoadCatalogue();
  Restart();
}

TReplayWatch::~TReplayWatch() {
  if (Form.Kernel && Form.Kernel->Overlay == this) Form.Kernel->Overlay = nullptr;
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
  Frames += 1;
  k.Input->TakeKeyEvents();
  k.ReadKeyboard();
  int32_t ran = HandleKey(k.PushedKey, dt);
  if (ran == 0 && !Paused) {
    HalfTicks += kSpeeds[Speed];
    ran = Run(HalfTicks / 2, dt);
    HalfTicks %= 2;
  }
  // Nothing ran: the frame is shown again with its marks.
  if (ran == 0) Form.Root->Paint();
}

void TReplayWatch::DrawOverlay() {
  TGameMgrMode& g = *Form.Root;
  const TReplay& r = Form.Replays.Watched();
  if (!Paused || Frames / 20 % 2 == 0) g.DrawText(kMarkX, kMarkY, "REPLAY", 0, false);
  if (!r.Name.empty()) g.DrawText(kMarkX, kMarkY + kLine, r.Name, 3, false);
  const int32_t y = kMarkY + 2 * kLine;
  if (AtEnd()) {
    g.DrawText(kMarkX, y, "END", 2, false);
  } else if (Paused) {
    g.DrawText(kMarkX, y, "PAUSE", 2, false);
  } else if (kSpeeds[Speed] == 1) {
    g.DrawText(kMarkX, y, "HALF", 2, false);
  } else {
    // The digits are smaller than the letters: they stand on the letters' base line.
    g.DrawText(kMarkX, y, "X", 2, false);
    g.DrawNumberLeft(kMarkX + 22, y + 6, kSpeeds[Speed] / 2, 2);
  }
}
