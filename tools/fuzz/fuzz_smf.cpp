// libFuzzer target: a Standard MIDI File played by TKorMidi::Play(name, loop) from its path
// (the game's way: load, then start), then a few seconds of playback passes against a
// recording output, a stop, a rewind and a second start. The first byte chooses the loop
// flag; the rest is the file. Built by scripts/fuzz.sh (CMake option VEXA_FUZZ, clang).
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "media/kormidi.h"
#include "platform/audio_device.h"
#include "platform/midi_out.h"
#include "tools/fuzz/fuzz_input_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static std::shared_ptr<platform::MidiLog> log = std::make_shared<platform::MidiLog>();
  static TKorMidi* midi = [] {
    platform::AudioDevice::SetManualMode(true);
    auto* m = new TKorMidi;
    m->OpenOutput = [] { return std::make_unique<platform::RecordingMidiOut>(log); };
    m->Init();
    return m;
  }();
  if (size == 0) return 0;
  const bool loop = data[0] & 1;
  const std::string path = fuzz::WriteInput(data + 1, size - 1);
  if (path.empty()) return 0;
  log->Clear();
  if (!midi->Play(path, loop)) {
    midi->Stop();
    return 0;
  }
  for (int pass = 0; pass < 500 && midi->IsPlay(); ++pass) midi->RunPass();
  midi->Stop();
  if (midi->Reset(loop) && midi->Play(loop))
    for (int pass = 0; pass < 50 && midi->IsPlay(); ++pass) midi->RunPass();
  midi->Stop();
  return 0;
}
