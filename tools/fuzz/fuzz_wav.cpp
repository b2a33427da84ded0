// libFuzzer target: a RIFF wave file registered through TKorSound::CreateBuffer by its path
// (the game's own way to a sound), on an audio device whose rate, sample size and channels
// the input's last byte chooses; what loaded is then played, rendered, queried and stopped.
// Built by scripts/fuzz.sh (CMake option VEXA_FUZZ, clang).
#include <cstddef>
#include <cstdint>
#include <string>

#include "media/korsound.h"
#include "platform/audio_device.h"
#include "tools/fuzz/fuzz_input_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static TKorSound* sound = [] {
    platform::AudioDevice::SetManualMode(true);
    return new TKorSound;
  }();
  if (size == 0) return 0;
  const std::string path = fuzz::WriteInput(data, size);
  if (path.empty()) return 0;
  // A sample's trailing bytes lie outside its RIFF chunks, so the choice leaves the wave as
  // it is.
  static const int32_t rates[] = {22050, 44100, 11025, 8000};
  const uint8_t pick = data[size - 1];
  if (!sound->Init(nullptr, rates[pick & 3], (pick & 4) ? 8 : 16, !(pick & 8))) return 0;
  if (sound->CreateBuffer("Fuzz", path)) {
    if (sound->IndexOf("fuzz") != 0) __builtin_trap();
    int16_t out[2 * 256];
    for (int k = 0; k < 5; ++k) {
      sound->Play("FUZZ");
      platform::AudioDevice::Render(out, 256);
    }
    sound->IsPlaying("fuzz");
    sound->Stop("fuzz");
    platform::AudioDevice::Render(out, 256);
  }
  sound->ReleaseAll();
  return 0;
}
