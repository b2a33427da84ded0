// libFuzzer target: any text as a replay script. A script that is refused names a line of
// it; one that is taken holds only commands the runner can carry out as read. Built by
// scripts/fuzz.sh (CMake option VEXA_FUZZ, clang).
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/replay/script.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  std::vector<replay::Command> commands;
  int line = 0;
  std::string error;
  if (!replay::ParseScript(text, commands, line, error)) {
    if (line <= 0 || error.empty()) __builtin_trap();
    return 0;
  }
  int last = 0;
  for (const replay::Command& c : commands) {
    if (c.Line <= last || c.Count < 0) __builtin_trap();
    last = c.Line;
    switch (c.Kind) {
      case replay::Op::Down:
      case replay::Op::Up:
      case replay::Op::Tap:
      case replay::Op::Press:
      case replay::Op::Release:
        if (c.Key == 0) __builtin_trap();
        break;
      case replay::Op::Shot:
        // A picture name never leaves the output folder.
        if (c.Name.empty() || c.Name.find('/') != std::string::npos || c.Name == "..")
          __builtin_trap();
        break;
      case replay::Op::Swap:
        if (c.Col < 0 || c.Row < 0 || c.Col + (c.Dir == 'R') > 5 || c.Row + (c.Dir == 'D') > 9)
          __builtin_trap();
        break;
      default:
        break;
    }
  }
  return 0;
}
