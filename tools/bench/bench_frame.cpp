// One frame of the busiest screen: an endless HARD game at level 20 with erases, falls,
// chains, push-ups and their effects (flashes, stars, scores, the face and its balloon)
// going on, built by the real main form over a real window (SDL's dummy video driver when
// there is no display) and run through the real frame path: the kernel's input tick, the
// rules, the drawing, the kernel's fade and the present into the window's texture. Prints
// mean, median, p99 and max per frame, and where the time goes.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <time.h>

#include "app/mainform.h"
#include "engine/kernel.h"
#include "engine/random.h"
#include "game/gamemgr.h"
#include "media/korinput.h"
#include "platform/audio_device.h"
#include "platform/window.h"
#include "play/faceactor.h"
#include "play/flashactor.h"
#include "play/gamemain.h"
#include "play/scoreactor.h"
#include "play/staractor.h"
#include "tools/bench/bench.h"
#include "tools/bench/busy_field.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// Processor time of the calling thread in ms: unlike the wall clock, it does not count the
// time the thread waited for a processor that other programs were using.
double ThreadCpuMs() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

struct Stats {
  double Mean = 0, Median = 0, P99 = 0, Max = 0;
};

Stats Summarise(std::vector<double> v) {
  Stats s;
  if (v.empty()) return s;
  double sum = 0;
  for (double x : v) sum += x;
  s.Mean = sum / static_cast<double>(v.size());
  std::sort(v.begin(), v.end());
  s.Median = v[v.size() / 2];
  s.P99 = v[std::min(v.size() - 1, v.size() * 99 / 100)];
  s.Max = v.back();
  return s;
}

bool TopRowsBusy(const TGameMainMode& g) {
  for (int c = 0; c < kFieldCols; ++c)
    if (g.Field.Letters[0][c] != kEmpty || g.Field.Letters[1][c] != kEmpty) return true;
  return false;
}

class BusyGame {
 public:
  bool Start(std::string& error) {
    window = platform::Window::Create("Ｖｅｘａ", 513, 384, error);
    if (!window) return false;
    TMainForm::Settings settings;
    settings.FrameInterval = 20;
    settings.Music = false;  // the music's cost is measured on its own (bench "audio")
    form = std::make_unique<TMainForm>(window.get(), settings);
    TGameMgrMode* root = form->Root;
    root->Init();
    root->LoadCatalogue();
    form->GameData.GameType = 0;
    form->GameData.Difficulty = 2;
    root->Phase = static_cast<int32_t>(TMgrStep::ShowNameEntry);  // the game screen came from here
    root->CreateScreenChild(TScreenId::GameMain);
    game = dynamic_cast<TGameMainMode*>(root->Child);
    if (!game) {
      error = "no game screen";
      return false;
    }
    InputState keys{};
    form->KorInput.GetKeys(keys);
    const uint8_t* codes = keys.Bytes();
    for (int i = 0; i < 7; ++i) keyCodes[i] = codes[i];
    // Through the fade-in, READY and GO.
    for (int i = 0; i < 1000 && game->Phase != 2; ++i) form->HITimerTimer();
    if (game->Phase != 2) {
      error = "the game did not start";
      return false;
    }
    game->Endless.LevelCount = 19;
    game->Endless.UpdateRiseInterval();
    game->Endless.RiseCountdown = game->Endless.RiseInterval;
    FillBusyField(game->Field, rng, 6);
    return true;
  }

  // Between frames (not timed): presses and releases keys as a player would, and refills
  // the field when it has calmed down or grown too high, so erases never stop.
  void Prepare(int frame) {
    for (int i = 0; i < 7; ++i) window->Input().SetKey(keyCodes[i], false);
    if (frame % 2 == 0) {
      const uint32_t roll = rng() % 8;
      if (roll < 4) window->Input().SetKey(keyCodes[roll], true);  // a cursor move
      if (roll == 4 || roll == 5) window->Input().SetKey(keyCodes[4], true);  // a swap
      if (roll == 6 && rng() % 16 == 0) window->Input().SetKey(keyCodes[5], true);  // push up
    }
    const bool calm = game->Field.Erasing == 0 && !game->Field.Falling;
    idle = calm ? idle + 1 : 0;
    if (idle > 10 || TopRowsBusy(*game)) {
      FillBusyField(game->Field, rng, 6);
      idle = 0;
      ++refills;
    }
    if (game->Phase != 2 || game->IsOver) ++lost;
  }

  void Sample() {
    erasing += game->Field.Erasing ? 1 : 0;
    int falls = 0;
    for (const TFallRecord& f : game->Field.Falls) falls += f.Active ? 1 : 0;
    falling += falls;
    effects += game->FlashActors->Count() + game->StarActors->Count() +
               game->ScoreActors->Count();
    balloon += game->Face->BalloonOn ? 1 : 0;
    maxChain = std::max(maxChain, game->Field.Chain);
  }

  std::unique_ptr<platform::Window> window;
  std::unique_ptr<TMainForm> form;
  TGameMainMode* game = nullptr;
  std::mt19937 rng{7};
  uint8_t keyCodes[7] = {};
  int idle = 0;
  int refills = 0;
  int lost = 0;
  long erasing = 0, falling = 0, effects = 0, balloon = 0;
  int maxChain = 0;
};

// The real frame path: the main form's timer handler (kernel tick, then the root's update,
// which runs the game screen's move, draw and the kernel's present).
void RunWhole(const char* label, int frames, int fadeLevel) {
  BusyGame b;
  std::string error;
  if (!b.Start(error)) {
    std::printf("%s: skipped (%s)\n", label, error.c_str());
    return;
  }
  std::vector<double> ms, cpu;
  ms.reserve(static_cast<size_t>(frames));
  cpu.reserve(static_cast<size_t>(frames));
  for (int i = 0; i < frames; ++i) {
    b.Prepare(i);
    b.form->Kernel->FadeLevel = fadeLevel;
    const double c0 = ThreadCpuMs();
    const auto t0 = Clock::now();
    b.form->HITimerTimer();
    ms.push_back(Ms(Clock::now() - t0));
    cpu.push_back(ThreadCpuMs() - c0);
    b.Sample();
  }
  const Stats s = Summarise(ms);
  const Stats c = Summarise(cpu);
  std::printf("%-34s mean %6.3f  median %6.3f  p99 %6.3f  max %6.3f ms  (target < 1 ms)\n",
              label, s.Mean, s.Median, s.P99, s.Max);
  std::printf("%-34s mean %6.3f  median %6.3f  p99 %6.3f  max %6.3f ms  (thread CPU time)\n",
              "  the same, processor time", c.Mean, c.Median, c.P99, c.Max);
  const double n = frames;
  std::printf("  %d frames: erasing in %.0f%%, %.1f falling groups, %.1f effect actors, balloon "
              "up %.0f%%, chains up to %d, %d refills, %d frames lost\n",
              frames, 100.0 * b.erasing / n, b.falling / n, b.effects / n, 100.0 * b.balloon / n,
              b.maxChain, b.refills, b.lost);
}

// The same frames with the steps of the mode's update timed one by one.
void RunSteps(int frames) {
  BusyGame b;
  std::string error;
  if (!b.Start(error)) return;
  std::vector<double> tick, move, draw, present, presentCpu;
  for (int i = 0; i < frames; ++i) {
    b.Prepare(i);
    TGameMainMode& g = *b.game;
    TKernel& k = *b.form->Kernel;
    const auto t0 = Clock::now();
    k.Tick(20);
    const auto t1 = Clock::now();
    g.Move(20);
    const auto t2 = Clock::now();
    g.Draw();
    const auto t3 = Clock::now();
    const double c3 = ThreadCpuMs();
    k.Present();
    presentCpu.push_back(ThreadCpuMs() - c3);
    const auto t4 = Clock::now();
    g.Elapsed += 20;
    g.Frames += 1;
    tick.push_back(Ms(t1 - t0));
    move.push_back(Ms(t2 - t1));
    draw.push_back(Ms(t3 - t2));
    present.push_back(Ms(t4 - t3));
  }
  for (auto& [name, v] : {std::pair{"kernel tick (input)", &tick}, std::pair{"rules (move)", &move},
                          std::pair{"drawing", &draw}, std::pair{"present", &present},
                          std::pair{"present, processor time", &presentCpu}}) {
    const Stats s = Summarise(*v);
    std::printf("  %-32s mean %6.3f  median %6.3f  p99 %6.3f  max %6.3f ms\n", name, s.Mean,
                s.Median, s.P99, s.Max);
  }
}

}  // namespace

VEXA_BENCH(frame) {
  // Headless runs get SDL's dummy video driver; under a display the real one is used.
  if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
    setenv("SDL_VIDEODRIVER", "dummy", 0);
  // No audio thread competes with the frame; sound effects still start voices.
  platform::AudioDevice::SetManualMode(true);
  vexa::FixRandomSeed(20);
  const char* driver = std::getenv("SDL_VIDEODRIVER");
  std::printf("endless HARD at level 20, busy field; video driver %s\n",
              driver ? driver : "(default)");
  constexpr int kFrames = 5000;
  RunWhole("play frame", kFrames, 0);
  RunWhole("play frame with a fade at 128", kFrames, 128);
  std::printf("by step (%d frames):\n", kFrames);
  RunSteps(kFrames);
  vexa::UnfixRandomSeed();
  platform::AudioDevice::SetManualMode(false);
}
