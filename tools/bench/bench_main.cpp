// vexa-bench: runs every registered benchmark, or the one named on the command line.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/window.h"
#include "tools/bench/bench.h"

namespace bench {
namespace {

struct Entry {
  const char* Name;
  BenchFn Fn;
};

std::vector<Entry>& Table() {
  static std::vector<Entry> table;
  return table;
}

}  // namespace

bool Register(const char* name, BenchFn fn) {
  Table().push_back({name, fn});
  return true;
}

std::unique_ptr<platform::Window> OpenWindow(const char* what) {
  std::string error;
  auto window = platform::Window::Create("Ｖｅｘａ", 513, 384, error);
  if (!window) std::printf("%s: skipped (%s)\n", what, error.c_str());
  return window;
}

}  // namespace bench

int main(int argc, char** argv) {
  const char* only = argc > 1 ? argv[1] : nullptr;
  int ran = 0;
  for (const bench::Entry& e : bench::Table()) {
    if (only && std::strcmp(only, e.Name) != 0) continue;
    std::printf("== %s\n", e.Name);
    e.Fn();
    ++ran;
  }
  if (ran == 0) {
    std::fprintf(stderr, "no benchmark named %s; known:", only ? only : "(any)");
    for (const bench::Entry& e : bench::Table()) std::fprintf(stderr, " %s", e.Name);
    std::fprintf(stderr, "\n");
    return 2;
  }
  return 0;
}
