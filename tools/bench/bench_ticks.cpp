// The frame clock as the game runs it: a 20 ms periodic timer whose ticks reach the main
// thread through the window's event loop. Runs for 10 s in a real window (needs a display,
// e.g. Xvfb) and prints the mean, spread and worst interval between ticks.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "app/htimer.h"
#include "platform/timer.h"
#include "platform/window.h"
#include "tools/bench/bench.h"

namespace {

void TickJitter() {
  auto window = bench::OpenWindow("ticks");
  if (!window) return;
  std::vector<uint32_t> stamps;
  THITimer timer;
  timer.Enabled = false;
  timer.Interval = 20;
  timer.OnTimer = [&](THITimer*) { stamps.push_back(platform::NowMs()); };
  timer.Start();
  uint32_t start = platform::NowMs();
  while (platform::NowMs() - start < 10000) {
    platform::WindowEvent e = window->WaitEvent();
    if (e == platform::WindowEvent::Quit) break;
    if (e == platform::WindowEvent::Tick) timer.Timer();
  }
  timer.Stop();
  if (stamps.size() < 2) {
    std::printf("no ticks\n");
    return;
  }
  double sum = 0, sq = 0;
  uint32_t worst = 0, best = ~0u;
  for (size_t i = 1; i < stamps.size(); ++i) {
    uint32_t d = stamps[i] - stamps[i - 1];
    sum += d;
    sq += double(d) * d;
    worst = std::max(worst, d);
    best = std::min(best, d);
  }
  double n = double(stamps.size() - 1);
  double mean = sum / n;
  std::printf("ticks: %zu in 10 s; interval mean %.3f ms, sd %.3f ms, min %u ms, max %u ms\n",
              stamps.size(), mean, std::sqrt(std::max(0.0, sq / n - mean * mean)), best, worst);
}

const bool registered = bench::Register("ticks", TickJitter);

}  // namespace
