// The sequencer on its real clocks (the periodic timer and the play thread) and on the
// FluidSynth output mixed into the audio device.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "media/kormidi.h"
#include "media/korsound.h"
#include "platform/audio_device.h"
#include "platform/midi_out.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A format-0 song of one track: the given raw events, then the end of the track.
Bytes OneTrackSong(Bytes events, uint16_t division = 480) {
  events.insert(events.end(), {0x00, 0xFF, 0x2F, 0x00});
  const uint32_t n = static_cast<uint32_t>(events.size());
  const uint8_t header[] = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, uint8_t(division >> 8),
                            uint8_t(division), 'M', 'T', 'r', 'k', uint8_t(n >> 24), uint8_t(n >> 16),
                            uint8_t(n >> 8), uint8_t(n)};
  events.insert(events.begin(), std::begin(header), std::end(header));
  return events;
}

template <typename Pred>
bool WaitFor(Pred pred, int ms = 3000) {
  for (int waited = 0; waited < ms; waited += 5) {
    if (pred()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return pred();
}

std::unique_ptr<TKorMidi> RecordingMidi(const std::shared_ptr<platform::MidiLog>& log) {
  auto midi = std::make_unique<TKorMidi>();
  midi->OpenOutput = [log] { return std::make_unique<platform::RecordingMidiOut>(log); };
  return midi;
}

// Loads a song into the track table as Load does, without a resource or a file.
bool LoadSong(TKorMidi& midi, const Bytes& song) {
  if (!midi.LoadFile(song.data(), song.size())) return false;
  midi.Loaded = true;
  return true;
}

bool HaveSoundFont() {
  struct stat st;
  for (const std::string& p : platform::DefaultSoundFontPaths())
    if (::stat(p.c_str(), &st) == 0) return true;
  return false;
}

TEST(KorMidiLiveTest, TimerModePlaysToTheEndAndStopsItselfFromThePass) {
  platform::AudioDevice::SetManualMode(false);
  auto log = std::make_shared<platform::MidiLog>();
  auto midi = RecordingMidi(log);
  ASSERT_TRUE(midi->Init());
  // Two notes 96 ticks (100 ms) apart; the song then ends and, without loop, stops.
  const Bytes song = OneTrackSong({0x00, 0x90, 60, 1, 0x60, 0x90, 61, 1});
  ASSERT_TRUE(LoadSong(*midi, song));
  ASSERT_TRUE(midi->Play(false));
  EXPECT_NE(midi->TimerId, 0u);
  EXPECT_TRUE(WaitFor([&] { return !midi->IsPlay(); }));
  EXPECT_EQ(midi->TimerId, 0u);
  const auto entries = log->Entries();
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[1].Packed, 0x90u | (61u << 8) | (1u << 16));
  EXPECT_EQ(entries[2].Type, platform::MidiLogEntry::Kind::Reset);
}

TEST(KorMidiLiveTest, CallerOperationsInterleaveSafelyWithTimerPasses) {
  platform::AudioDevice::SetManualMode(false);
  auto log = std::make_shared<platform::MidiLog>();
  // A dense looping song: a note every tick.
  Bytes events;
  for (int k = 0; k < 200; ++k) events.insert(events.end(), {0x01, 0x90, uint8_t(k % 128), 1});
  const Bytes song = OneTrackSong(events, 960);
  for (int round = 0; round < 20; ++round) {
    auto midi = RecordingMidi(log);
    ASSERT_TRUE(midi->Init());
    ASSERT_TRUE(LoadSong(*midi, song));
    for (int k = 0; k < 10; ++k) {
      ASSERT_TRUE(midi->Play(true));
      std::this_thread::sleep_for(std::chrono::milliseconds(k % 3 * 4));
      ASSERT_TRUE(midi->Stop());
      ASSERT_TRUE(midi->Reset(true));
    }
    ASSERT_TRUE(midi->Play(true));
    // Destroyed while playing: a callback already under way must not outlive it.
  }
  SUCCEED();
}

TEST(KorMidiLiveTest, ThreadModeMeasuresItsOwnPeriodAndEndsWithCleanUp) {
  platform::AudioDevice::SetManualMode(false);
  auto log = std::make_shared<platform::MidiLog>();
  auto midi = RecordingMidi(log);
  ASSERT_TRUE(midi->Init(true));
  EXPECT_TRUE(midi->UseThread);
  const Bytes song = OneTrackSong({0x00, 0x90, 60, 1, 0x60, 0x90, 61, 1});
  ASSERT_TRUE(LoadSong(*midi, song));
  ASSERT_TRUE(midi->Play(false));
  EXPECT_EQ(midi->TimerId, 0u);
  EXPECT_TRUE(WaitFor([&] { return !midi->IsPlay(); }));
  EXPECT_EQ(log->Size(), 3u);
  EXPECT_TRUE(midi->CleanUp());
  EXPECT_FALSE(midi->UseThread);
  EXPECT_FALSE(midi->PlayThreadHandle.joinable() && midi->Ready);
}

TEST(KorMidiLiveTest, NoSoundFontOrNoAudioDeviceMeansNoSynthesiser) {
  platform::AudioDevice::SetManualMode(true);
  platform::MidiOpenFailure why = platform::MidiOpenFailure::None;
  EXPECT_EQ(platform::OpenSynthMidiOut({"/nonexistent/none.sf2"}, &why), nullptr);
  EXPECT_EQ(why, platform::MidiOpenFailure::NoSoundFont);
  EXPECT_EQ(platform::OpenSynthMidiOut({}), nullptr);
  EXPECT_EQ(platform::AudioDevice::OpenChannels(), 0);  // the device was given back
  platform::AudioDevice::SetManualMode(false);

  const char* old = std::getenv("SDL_AUDIODRIVER");
  const std::string saved = old ? old : "";
  setenv("SDL_AUDIODRIVER", "no_such_driver", 1);
  TKorMidi midi;
  testing::internal::CaptureStderr();
  EXPECT_FALSE(midi.Init());
  EXPECT_EQ(midi.OpenFailure, platform::MidiOpenFailure::NoAudioDevice);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");  // silent, like the sound effects
  TKorSound sound;
  EXPECT_FALSE(sound.Init(nullptr));
  EXPECT_FALSE(sound.Play(0));
  if (old)
    setenv("SDL_AUDIODRIVER", saved.c_str(), 1);
  else
    unsetenv("SDL_AUDIODRIVER");
}

// An output that is still getting ready until told otherwise.
class LateMidiOut : public platform::RecordingMidiOut {
 public:
  LateMidiOut(std::shared_ptr<platform::MidiLog> log, std::shared_ptr<std::atomic<bool>> ready)
      : RecordingMidiOut(std::move(log)), Ready(std::move(ready)) {}
  bool IsReady() const override { return *Ready; }

 private:
  std::shared_ptr<std::atomic<bool>> Ready;
};

TEST(KorMidiLiveTest, ASongAskedForWhileTheOutputLoadsWaitsAndThenStartsFromItsBeginning) {
  platform::AudioDevice::SetManualMode(true);
  auto log = std::make_shared<platform::MidiLog>();
  auto ready = std::make_shared<std::atomic<bool>>(false);
  TKorMidi midi;
  midi.OpenOutput = [&] { return std::make_unique<LateMidiOut>(log, ready); };
  ASSERT_TRUE(midi.Init());
  const Bytes song = OneTrackSong({0x00, 0xC0, 5, 0x00, 0x90, 60, 100, 0x60, 0x80, 60, 0});
  ASSERT_TRUE(LoadSong(midi, song));
  ASSERT_TRUE(midi.Play(false));
  for (int k = 0; k < 50; ++k) midi.RunPass();  // half a second of frames while it loads
  EXPECT_EQ(midi.Tracks[0].Pos, 0u);
  EXPECT_TRUE(midi.IsPlay());
  *ready = true;
  midi.RunPass();
  // The program change and the first note are there, in order: nothing was lost.
  const auto entries = log->Entries();
  ASSERT_GE(entries.size(), 2u);
  EXPECT_EQ(entries[0].Packed, 0xC0u | (5u << 8));
  EXPECT_EQ(entries[1].Packed, 0x90u | (60u << 8) | (100u << 16));
  midi.CleanUp();
  platform::AudioDevice::SetManualMode(false);
}

TEST(KorMidiLiveTest, OnALiveDeviceTheSoundFontLoadsBehindInitAndTheSongThenPlays) {
  if (!HaveSoundFont()) GTEST_SKIP() << "no sound font installed";
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  platform::AudioDevice::SetManualMode(false);
  TKorMidi midi;
  if (!midi.Init()) GTEST_SKIP() << "no audio device";
  const Bytes song = OneTrackSong({0x00, 0x90, 60, 100, 0x83, 0x60, 0x80, 60, 0});
  ASSERT_TRUE(LoadSong(midi, song));
  ASSERT_TRUE(midi.Play(false));
  EXPECT_TRUE(WaitFor([&] { return midi.OutputReady(); }, 10000));
  // Played to its end (half a second) and stopped itself.
  EXPECT_TRUE(WaitFor([&] { return !midi.IsPlay(); }));
  EXPECT_TRUE(midi.CleanUp());
}

// Renders seconds of a song through FluidSynth in manual mode with one sound effect on top,
// the way the replay runner does: two passes and 20 ms of the device's rate per tick.
constexpr size_t kTick = platform::AudioDevice::kPreferredRate / 50 * 2;  // samples a tick
std::vector<int16_t> RenderManually(const Bytes& song, int ticks, int stopAtTick) {
  platform::AudioDevice::SetManualMode(true);
  TKorSound sound;
  TKorMidi midi;
  std::vector<int16_t> out;
  if (!sound.Init(nullptr) || !midi.Init()) return out;
  Bytes wave = {'R', 'I', 'F', 'F', 44, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ', 16, 0, 0, 0,
                1, 0, 1, 0, 0x22, 0x56, 0, 0, 0x44, 0xAC, 0, 0, 2, 0, 16, 0,
                'd', 'a', 't', 'a', 8, 0, 0, 0, 0, 0x10, 0, 0x10, 0, 0x10, 0, 0x10};
  sound.LoadFile(wave.data(), wave.size());
  EXPECT_TRUE(LoadSong(midi, song));
  EXPECT_TRUE(midi.Play(false));
  EXPECT_EQ(platform::AudioDevice::OpenRate(), platform::AudioDevice::kPreferredRate);
  out.resize(static_cast<size_t>(ticks) * kTick);
  for (int t = 0; t < ticks; ++t) {
    if (t == 3) sound.Play(0);
    if (t == stopAtTick) midi.Stop();
    midi.RunPass();
    midi.RunPass();
    platform::AudioDevice::Render(out.data() + static_cast<size_t>(t) * kTick, kTick / 2);
  }
  midi.CleanUp();
  sound.ReleaseAll();
  platform::AudioDevice::SetManualMode(false);
  return out;
}

int Peak(const std::vector<int16_t>& s, size_t from, size_t to) {
  int peak = 0;
  for (size_t i = from; i < to && i < s.size(); ++i) peak = std::max(peak, std::abs(int(s[i])));
  return peak;
}

TEST(KorMidiLiveTest, SynthesiserRendersInStepAndTheSameRunGivesTheSameSamples) {
  if (!HaveSoundFont()) GTEST_SKIP() << "no sound font installed";
  // A piano chord at tick 0 (a program change first), released at 480 (500 ms).
  const Bytes song = OneTrackSong({0x00, 0xC0, 0x00, 0x00, 0x90, 60, 110, 0x00, 64, 110, 0x00, 67, 110,
                                   0x83, 0x60, 0x80, 60, 0, 0x00, 64, 0, 0x00, 67, 0});
  const std::vector<int16_t> a = RenderManually(song, 60, 40);  // 1.2 s, stopped at 0.8 s
  const std::vector<int16_t> b = RenderManually(song, 60, 40);
  ASSERT_EQ(a.size(), 60u * kTick);
  EXPECT_EQ(a, b);
  // Music from the first tick, loud but not clipping; the effect (a 4-frame click) at tick 3.
  EXPECT_GT(Peak(a, 0, kTick), 1000);
  EXPECT_LT(Peak(a, 0, kTick * 30), 32767);
  // Silence once the notes are released and their tails have died away.
  EXPECT_LT(Peak(a, kTick * 55, a.size()), 200);
}

}  // namespace
