#pragma once
// The benchmark table of vexa-bench. Each benchmark lives in its own file and registers
// itself with VEXA_BENCH(name) { ... }; the body prints its own figures.
#include <chrono>
#include <cstdio>
#include <memory>

namespace platform {
class Window;
}

namespace bench {

using BenchFn = void (*)();

// Adds a benchmark to the table; used through VEXA_BENCH.
bool Register(const char* name, BenchFn fn);

// Wall-clock microseconds per call of fn, averaged over iterations calls.
template <typename Fn>
double MicrosPerCall(int iterations, Fn&& fn) {
  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < iterations; ++i) fn();
  auto end = std::chrono::steady_clock::now();
  return std::chrono::duration<double, std::micro>(end - start).count() / iterations;
}

// The game's window, as the game opens it; null (with "<what>: skipped (why)" printed) when
// there is no display to open it on.
std::unique_ptr<platform::Window> OpenWindow(const char* what);

}  // namespace bench

#define VEXA_BENCH(name)                                                  \
  static void Bench_##name();                                             \
  [[maybe_unused]] static const bool kBenchRegistered_##name =            \
      ::bench::Register(#name, &Bench_##name);                            \
  static void Bench_##name()
