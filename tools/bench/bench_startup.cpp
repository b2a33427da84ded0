// Start-up in steps, as app/main.cpp performs it: the window, the main form (drawing,
// input, sound effects, kernel, root mode, save file), the music component (which only
// starts the loading of FluidSynth and its sound font), and the clock up to the first
// presented frame; then how long after that the synthesiser was ready. Meaningful only as the
// first thing the process does: run it alone (vexa-bench startup). Uses the display when
// there is one, SDL's dummy video driver otherwise.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>

#include <time.h>
#include <unistd.h>

#include "app/mainform.h"
#include "platform/window.h"
#include "tools/bench/bench.h"

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point t) {
  return std::chrono::duration<double, std::milli>(Clock::now() - t).count();
}

// Milliseconds since the kernel started this process (to its clock-tick resolution,
// usually 10 ms): the loading of the program and its libraries included. -1 if unknown.
double MsSinceProcessStart() {
  std::ifstream f("/proc/self/stat");
  std::string line;
  if (!std::getline(f, line)) return -1;
  const size_t close = line.rfind(')');
  if (close == std::string::npos) return -1;
  std::istringstream rest(line.substr(close + 2));
  std::string field;
  for (int i = 3; i < 22 && rest >> field; ++i) {
  }
  unsigned long long startTicks = 0;
  if (!(rest >> startTicks)) return -1;
  timespec now{};
  clock_gettime(CLOCK_BOOTTIME, &now);
  const double hz = static_cast<double>(sysconf(_SC_CLK_TCK));
  return (static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9 -
          static_cast<double>(startTicks) / hz) * 1000.0;
}

}  // namespace

VEXA_BENCH(startup) {
  if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
    setenv("SDL_VIDEODRIVER", "dummy", 0);
  const double before = MsSinceProcessStart();
  auto t = Clock::now();
  auto window = bench::OpenWindow("startup");
  if (!window) return;
  const double windowMs = MsSince(t);
  t = Clock::now();
  TMainForm::Settings settings;
  settings.Music = false;  // started below, timed on its own
  auto form = std::make_unique<TMainForm>(window.get(), settings);
  const double formMs = MsSince(t);
  t = Clock::now();
  const bool music = form->KorMidi.Init();
  const double musicMs = MsSince(t);
  t = Clock::now();
  form->FormShow();
  for (int i = 0; i < 1000 && window->LastFrameWidth() == 0; ++i) {
    const platform::WindowEvent e = window->WaitEvent();
    if (e == platform::WindowEvent::Quit) break;
    if (e == platform::WindowEvent::Tick) form->HITimer.Timer();
    if (e == platform::WindowEvent::Paint) form->FormPaint();
  }
  const double frameMs = MsSince(t);
  // The sound font loads behind the first frames; the first song waits for it.
  for (int i = 0; music && i < 5000 && !form->KorMidi.OutputReady(); ++i)
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  const double readyMs = MsSince(t);
  std::printf("process start to here (loading the libraries)    %7.1f ms  (+- 10 ms)\n", before);
  std::printf("window (SDL video, window, renderer)             %7.1f ms\n", windowMs);
  std::printf("main form (drawing, input, sound, kernel, save)  %7.1f ms\n", formMs);
  std::printf("music (starts loading FluidSynth and its font)   %7.1f ms%s\n", musicMs,
              music ? "" : "  (no synthesiser, sound font or audio device)");
  std::printf("clock started to the first presented frame       %7.1f ms\n", frameMs);
  std::printf("total to the first frame                         %7.1f ms  (target < 300 ms)\n",
              before + windowMs + formMs + musicMs + frameMs);
  if (music)
    std::printf("music ready (sound font loaded), from the clock   %7.1f ms  (behind the frames)\n",
                readyMs);
}
