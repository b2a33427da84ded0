// libFuzzer target: any bytes as the settings file, read from its path. Whatever it holds,
// every setting stays within its range, the warnings stay few, short and printable, and the
// settings read, written out again, read back the same without a warning. Built by
// scripts/fuzz.sh (CMake option VEXA_FUZZ, clang).
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "app/settings.h"
#include "tools/fuzz/fuzz_input_file.h"

namespace {

bool Valid(const TSettings& s) {
  auto mode = [](platform::ScaleMode m) {
    return m == platform::ScaleMode::Whole || m == platform::ScaleMode::Fit;
  };
  if (!mode(s.WindowScale) || !mode(s.FullScreenScale)) return false;
  if (s.EffectsVolume < 0 || s.EffectsVolume > 100 || s.MusicVolume < 0 || s.MusicVolume > 100)
    return false;
  if (s.Language.size() > settingsfile::kMaxLanguageLength) return false;
  for (char c : s.Language)
    if (c <= ' ' || c == '#' || c == '=' || static_cast<unsigned char>(c) >= 0x7f) return false;
  return true;
}

bool Same(const TSettings& a, const TSettings& b) {
  return a.WindowScale == b.WindowScale && a.FullScreenScale == b.FullScreenScale &&
         a.FullScreen == b.FullScreen && a.Language == b.Language &&
         a.EffectsVolume == b.EffectsVolume && a.MusicVolume == b.MusicVolume;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = fuzz::WriteInput(data, size);
  if (path.empty()) return 0;
  std::vector<std::string> warnings;
  const TSettings s = settingsfile::Load(path, warnings);  // the file exists: never written
  if (!Valid(s)) __builtin_trap();
  // The file's own warnings, plus one for a file longer than the reader takes.
  if (warnings.size() > static_cast<size_t>(settingsfile::kMaxWarnings) + 2) __builtin_trap();
  for (const std::string& w : warnings) {
    if (w.size() > path.size() + 160) __builtin_trap();
    for (char c : w)
      if (c < 0x20 || c >= 0x7f) __builtin_trap();
  }
  std::vector<std::string> again;
  const TSettings back = settingsfile::Parse(settingsfile::Format(s), "f", again);
  if (!again.empty() || !Same(s, back)) __builtin_trap();
  return 0;
}
