// libFuzzer target: any text as a replay script.
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
  if (!replay::ParseScript(text, commands, line, error) && line <= 0) __builtin_trap();
  return 0;
}
