// Presenting a frame: a 512 x 384 picture shown in a real window (needs a display, e.g.
// Xvfb) at the window's whole scale, as the game does every frame. Prints the wall-clock
// and processor time per present. With VEXA_BENCH_HOLD_MS=N it then shows one fixed
// picture for N ms (answering paint requests), so the window can be captured and compared;
// VEXA_BENCH_FIT=1 shows it in fit mode instead of the whole scale.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <time.h>

#include "platform/timer.h"
#include "platform/window.h"
#include "tools/bench/bench.h"

namespace {

constexpr int kWidth = 512;
constexpr int kHeight = 384;

double ThreadCpuMs() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

// A picture with every pixel different from its neighbours, moved by frame pixels.
void Pattern(std::vector<uint32_t>& pixels, int frame) {
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      uint32_t v = static_cast<uint32_t>((x + frame) * 2654435761u) ^ static_cast<uint32_t>(y * 40503u);
      pixels[static_cast<size_t>(y) * kWidth + x] = (v ^ (v >> 13)) & 0xFFFFFF;
    }
}

void PresentCost() {
  auto window = bench::OpenWindow("present");
  if (!window) return;
  window->PumpEvents();
  if (const char* fit = std::getenv("VEXA_BENCH_FIT"); fit && std::string(fit) == "1")
    window->SetScaleModes(platform::ScaleMode::Fit, platform::ScaleMode::Fit);
  std::vector<uint32_t> picture(static_cast<size_t>(kWidth) * kHeight);
  constexpr int kFrames = 2000;
  constexpr int kPatterns = 8;
  std::vector<std::vector<uint32_t>> pictures(kPatterns, picture);
  for (int i = 0; i < kPatterns; ++i) Pattern(pictures[i], i);
  std::vector<double> wall, cpu;
  for (int i = 0; i < kFrames; ++i) {
    const double c0 = ThreadCpuMs();
    const auto t0 = std::chrono::steady_clock::now();
    window->Present(pictures[i % kPatterns].data(), kWidth, kHeight, kWidth * 4, false, 64, 48);
    wall.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
    cpu.push_back(ThreadCpuMs() - c0);
    if (i % 50 == 0) window->PumpEvents();
  }
  auto mean = [](const std::vector<double>& v) {
    double s = 0;
    for (double x : v) s += x;
    return s / static_cast<double>(v.size());
  };
  std::sort(wall.begin(), wall.end());
  std::sort(cpu.begin(), cpu.end());
  std::printf("present %dx%d: wall mean %.3f median %.3f ms; processor time mean %.3f median %.3f ms\n",
              kWidth, kHeight, mean(wall), wall[wall.size() / 2], mean(cpu), cpu[cpu.size() / 2]);

  const char* hold = std::getenv("VEXA_BENCH_HOLD_MS");
  if (!hold) return;
  Pattern(picture, 0);
  window->Present(picture.data(), kWidth, kHeight, kWidth * 4, false, 64, 48);
  std::printf("holding\n");
  std::fflush(stdout);
  const uint32_t start = platform::NowMs();
  while (platform::NowMs() - start < static_cast<uint32_t>(std::atoi(hold))) {
    window->PumpEvents();
    window->Present(picture.data(), kWidth, kHeight, kWidth * 4, false, 64, 48);
    struct timespec t {0, 20000000};
    nanosleep(&t, nullptr);
  }
}

const bool registered = bench::Register("present", PresentCost);

}  // namespace
