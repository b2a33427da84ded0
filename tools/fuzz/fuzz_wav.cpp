// libFuzzer target: a RIFF wave image through the sound component's loader, then a few
// plays and renders of what loaded. Not part of the CMake build; build by hand, e.g.
//
//   cd /work/main && ninja -C build-sound      # for generated/embedded_resources.cpp
//   clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -I. $(pkg-config --cflags sdl2) \
//     tools/fuzz/fuzz_wav.cpp media/korsound.cpp platform/*.cpp \
//     build-sound/generated/embedded_resources.cpp \
//     $(pkg-config --libs sdl2 SDL2_ttf fluidsynth fontconfig) -lpthread -o /tmp/fuzz_wav
//   /tmp/fuzz_wav -max_total_time=60
//
// (fuzz_smf.cpp the same way with media/kormidi.cpp.)
#include <cstddef>
#include <cstdint>

#include "media/korsound.h"
#include "platform/audio_device.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static TKorSound* sound = [] {
    platform::AudioDevice::SetManualMode(true);
    return new TKorSound;
  }();
  if (!sound->Init(nullptr)) return 0;
  if (sound->LoadFile(data, size)) {
    int16_t out[2 * 256];
    for (int k = 0; k < 5; ++k) {
      sound->Play(0);
      platform::AudioDevice::Render(out, 256);
    }
    sound->IsPlaying(0);
    sound->Stop(0);
  }
  sound->ReleaseAll();
  return 0;
}
