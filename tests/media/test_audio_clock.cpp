// Sound that follows the audio device's own clock: a run that writes no sound advances the
// voices exactly as mixing would, and on a live device the sequencer's passes come from the
// device's callback, with no timer thread.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "media/kormidi.h"
#include "media/korsound.h"
#include "platform/audio_device.h"
#include "platform/audio_mixer.h"
#include "platform/midi_out.h"

namespace {

TEST(AudioClock, SkippingAdvancesEveryVoiceAsMixingDoes) {
  platform::Mixer mixed(48000, 16, 2), skipped(48000, 16, 2);
  const platform::WaveFormat f{1, 2, 48000, 192000, 4, 16};
  std::vector<uint8_t> data(4 * 1000, 0x11);  // 1000 frames
  int voices[2][3];
  platform::Mixer* mixers[2] = {&mixed, &skipped};
  for (int m = 0; m < 2; ++m) {
    auto clip = mixers[m]->Convert(f, data.data(), data.size());
    ASSERT_TRUE(clip);
    for (int v = 0; v < 3; ++v) voices[m][v] = mixers[m]->CreateVoice(clip);
    mixers[m]->Start(voices[m][0]);
  }
  std::vector<int16_t> out(2 * 700);
  // Steps of several sizes, with voices starting between them.
  for (int step : {300, 1, 699, 250, 700, 400}) {
    mixed.Render(out.data(), step);
    skipped.Skip(step);
    for (int v = 0; v < 3; ++v) {
      bool a = false, b = false;
      uint32_t pa = 0, pb = 0;
      ASSERT_TRUE(mixed.IsPlaying(voices[0][v], a) && skipped.IsPlaying(voices[1][v], b));
      ASSERT_TRUE(mixed.GetPosition(voices[0][v], pa) && skipped.GetPosition(voices[1][v], pb));
      EXPECT_EQ(a, b) << "voice " << v << " after a step of " << step;
      EXPECT_EQ(pa, pb) << "voice " << v << " after a step of " << step;
    }
    const int starting = step % 3;
    mixed.Start(voices[0][starting]);
    skipped.Start(voices[1][starting]);
  }
}

TEST(AudioClock, OnALiveDeviceTheCallbackRunsTheSequencerToTheSongsEnd) {
  const char* old = std::getenv("SDL_AUDIODRIVER");
  const std::string saved = old ? old : "";
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  platform::AudioDevice::SetManualMode(false);
  {
    TKorSound sound;  // holds the live device open
    if (!sound.Init(nullptr)) GTEST_SKIP() << "no audio device";
    auto log = std::make_shared<platform::MidiLog>();
    TKorMidi midi;
    midi.OpenOutput = [log] { return std::make_unique<platform::RecordingMidiOut>(log); };
    ASSERT_TRUE(midi.Init());
    EXPECT_TRUE(midi.DeviceClock);
    // A second sequencer cannot take the device's one pass: it keeps a timer of its own.
    TKorMidi other;
    auto otherLog = std::make_shared<platform::MidiLog>();
    other.OpenOutput = [otherLog] {
      return std::make_unique<platform::RecordingMidiOut>(otherLog);
    };
    ASSERT_TRUE(other.Init());
    EXPECT_FALSE(other.DeviceClock);
    other.CleanUp();
    // Two notes 96 ticks (100 ms) apart; the song then ends and, without loop, stops.
    const std::vector<uint8_t> song = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0x01, 0xE0,
                                       'M', 'T', 'r', 'k', 0, 0, 0, 12, 0x00, 0x90, 60, 1,
                                       0x60, 0x90, 61, 1, 0x00, 0xFF, 0x2F, 0x00};
    ASSERT_TRUE(midi.LoadFile(song.data(), song.size()));
    midi.Loaded = true;
    ASSERT_TRUE(midi.Play(false));
    EXPECT_EQ(midi.TimerId, 0u);
    for (int waited = 0; waited < 3000 && midi.IsPlay(); waited += 5)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_FALSE(midi.IsPlay());
    ASSERT_EQ(log->Size(), 3u);
    EXPECT_EQ(log->Entries()[1].Packed, 0x90u | (61u << 8) | (1u << 16));
    midi.CleanUp();
    EXPECT_FALSE(midi.DeviceClock);
  }
  if (old)
    setenv("SDL_AUDIODRIVER", saved.c_str(), 1);
  else
    unsetenv("SDL_AUDIODRIVER");
}

}  // namespace
