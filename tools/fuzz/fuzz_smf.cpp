// libFuzzer target: a Standard MIDI File image through the loader and a few seconds of
// playback passes, looping or not, against a recording output. Not part of the CMake build;
// see the command in fuzz_wav.cpp.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "media/kormidi.h"
#include "platform/audio_device.h"
#include "platform/midi_out.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static TKorMidi* midi = [] {
    platform::AudioDevice::SetManualMode(true);
    auto* m = new TKorMidi;
    auto log = std::make_shared<platform::MidiLog>();
    m->OpenOutput = [log] { return std::make_unique<platform::RecordingMidiOut>(log); };
    m->Init();
    return m;
  }();
  if (size == 0) return 0;
  // The first byte chooses the loop flag; the rest is the image.
  const bool loop = data[0] & 1;
  midi->Stop();
  if (!midi->LoadFile(data + 1, size - 1)) return 0;
  midi->Loaded = true;
  midi->Tempo = 120;
  midi->Reset(loop);
  midi->Play(loop);
  for (int pass = 0; pass < 500 && midi->IsPlay(); ++pass) midi->RunPass();
  return 0;
}
