// Audio benchmarks: one sequencer pass over a dense 16-track song, one 10 ms mixer render
// with 16 voices playing, what FluidSynth's rendering of the same 10 ms costs, and the
// game's own songs through FluidSynth with the game's sound effects mixed in.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

#include "media/kormidi.h"
#include "media/korsound.h"
#include "platform/audio_device.h"
#include "platform/audio_mixer.h"
#include "platform/midi_out.h"
#include "tools/bench/bench.h"

namespace {

using Bytes = std::vector<uint8_t>;

// 10 ms of sound at the rate the device runs at (manual mode, as in the game).
constexpr int kFrames10Ms = platform::AudioDevice::kPreferredRate / 100;

class NullMidiOut : public platform::MidiOut {
 public:
  void ShortMsg(uint32_t) override {}
  int LongMsg(const uint8_t*, size_t) override { return 0; }
  void Reset() override {}
};

void PutVlq(Bytes& b, uint32_t v) {
  uint8_t g[5];
  int n = 0;
  do {
    g[n++] = v & 0x7F;
    v >>= 7;
  } while (v);
  while (n > 1) b.push_back(g[--n] | 0x80);
  b.push_back(g[0]);
}

// tracks on as many channels, each a two-note chord every step ticks (division 480) for 64
// bars, written with running status. Dense: 16 tracks of 32nd notes, about ten events due
// per 10 ms pass. Moderate: 8 tracks of eighth notes, the weight of a game song.
Bytes Song(int tracks, int step) {
  Bytes smf = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, uint8_t(tracks), 0x01, 0xE0};
  for (int track = 0; track < tracks; ++track) {
    Bytes t;
    const uint8_t ch = static_cast<uint8_t>(track);
    t.insert(t.end(), {0x00, uint8_t(0xC0 | ch), uint8_t(track * 5)});
    if (track == 0) t.insert(t.end(), {0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20});
    for (int k = 0; k < 64 * 1920 / step; ++k) {
      const uint8_t key = static_cast<uint8_t>(40 + (k * 7 + track * 3) % 40);
      t.insert(t.end(), {0x00, uint8_t(0x90 | ch), key, 90, 0x00, uint8_t(key + 4), 80});
      PutVlq(t, static_cast<uint32_t>(step));
      t.insert(t.end(), {key, 0, 0x00, uint8_t(key + 4), 0});
    }
    t.insert(t.end(), {0x00, 0xFF, 0x2F, 0x00});
    const uint32_t n = static_cast<uint32_t>(t.size());
    smf.insert(smf.end(), {'M', 'T', 'r', 'k', uint8_t(n >> 24), uint8_t(n >> 16), uint8_t(n >> 8),
                           uint8_t(n)});
    smf.insert(smf.end(), t.begin(), t.end());
  }
  return smf;
}

Bytes LongWave(int frames) {
  Bytes w = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ', 16, 0, 0, 0,
             1, 0, 2, 0, 0x22, 0x56, 0, 0, 0x88, 0x58, 0x01, 0, 4, 0, 16, 0, 'd', 'a', 't', 'a'};
  const uint32_t bytes = static_cast<uint32_t>(frames) * 4;
  for (int k = 0; k < 4; ++k) w.push_back(uint8_t(bytes >> (8 * k)));
  for (int i = 0; i < frames * 2; ++i) {
    const int16_t v = static_cast<int16_t>((i * 37) % 2000 - 1000);
    w.push_back(uint8_t(v & 0xFF));
    w.push_back(uint8_t((v >> 8) & 0xFF));
  }
  const uint32_t riff = static_cast<uint32_t>(w.size() - 8);
  for (int k = 0; k < 4; ++k) w[4 + k] = uint8_t(riff >> (8 * k));
  return w;
}


double Percentile(std::vector<double> v, int percent) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v[std::min(v.size() - 1, v.size() * static_cast<size_t>(percent) / 100)];
}

// The game's songs (the embedded MIDI resources) looping through FluidSynth, with the sound
// effects of a busy game starting on top (a swap every 100 ms, an erase, a landing and a
// star burst now and then): the sequencer pass and the mixer's render of each 10 ms, as the
// audio callback and the music timer run them. 60 s of music per song.
void GameSongs() {
  static const char* const kWaves[][2] = {{"入れ替え", "EXCHG"}, {"消去", "ERASE"},
                                          {"落下", "FALL"},     {"星", "STAR"},
                                          {"選択", "SELECT"}};
  for (const char* name : {"BGM1", "BGM2", "OPENING", "ENDING"}) {
    TKorSound sound;
    sound.Init(nullptr);
    for (const auto& w : kWaves) sound.CreateBuffer(w[0], w[1]);
    TKorMidi midi;
    if (!midi.Init()) {
      std::printf("game songs: no synthesiser or sound font, skipped\n");
      return;
    }
    if (!midi.Play(name, true)) {
      std::printf("game song %s: cannot load, skipped\n", name);
      continue;
    }
    std::vector<int16_t> out(kFrames10Ms * 2);
    for (int i = 0; i < 100; ++i) {  // into the song, voices sounding
      midi.RunPass();
      platform::AudioDevice::Render(out.data(), kFrames10Ms);
    }
    using Clock = std::chrono::steady_clock;
    constexpr int kPasses = 6000;  // 60 s
    std::vector<double> pass, mix;
    pass.reserve(kPasses);
    mix.reserve(kPasses);
    for (int i = 0; i < kPasses; ++i) {
      if (i % 10 == 0) sound.Play("入れ替え");
      if (i % 70 == 0) sound.Play("消去");
      if (i % 90 == 45) sound.Play("落下");
      if (i % 150 == 100) sound.Play("星");
      const auto t0 = Clock::now();
      midi.RunPass();
      const auto t1 = Clock::now();
      platform::AudioDevice::Render(out.data(), kFrames10Ms);
      const auto t2 = Clock::now();
      pass.push_back(std::chrono::duration<double, std::micro>(t1 - t0).count());
      mix.push_back(std::chrono::duration<double, std::micro>(t2 - t1).count());
    }
    double passSum = 0, mixSum = 0;
    for (int i = 0; i < kPasses; ++i) {
      passSum += pass[static_cast<size_t>(i)];
      mixSum += mix[static_cast<size_t>(i)];
    }
    const double passMean = passSum / kPasses, mixMean = mixSum / kPasses;
    std::printf("game song %-8s per 10 ms: sequencer pass mean %6.2f  p99 %6.2f  max %7.2f us; "
                "FluidSynth + effects mix mean %7.2f  p99 %7.2f  max %7.2f us (%.2f%% of real "
                "time)\n",
                name, passMean, Percentile(pass, 99), *std::max_element(pass.begin(), pass.end()),
                mixMean, Percentile(mix, 99), *std::max_element(mix.begin(), mix.end()),
                (passMean + mixMean) / 100.0);
    midi.CleanUp();
  }
}

}  // namespace

VEXA_BENCH(audio) {
  platform::AudioDevice::SetManualMode(true);
  const Bytes song = Song(16, 60);

  // Sequencer pass alone (the output discards the messages).
  {
    TKorMidi midi;
    midi.OpenOutput = [] { return std::make_unique<NullMidiOut>(); };
    midi.Init();
    midi.LoadFile(song.data(), song.size());
    midi.Loaded = true;
    midi.Play(true);
    for (int i = 0; i < 1000; ++i) midi.RunPass();
    const double us = bench::MicrosPerCall(200000, [&] { midi.RunPass(); });
    std::printf("sequencer pass, dense 16-track song, null output: %8.3f us  (target < 20)\n", us);
  }

  // Mixer: 16 voices of long stereo waves, 10 ms at the device's rate.
  {
    TKorSound sound;
    sound.Init(nullptr);
    const Bytes wave = LongWave(22050 * 4);
    for (int s = 0; s < 4; ++s) sound.LoadFile(wave.data(), wave.size());
    for (int s = 0; s < 4; ++s)
      for (int v = 0; v < 4; ++v) {
        sound.Play(s);
        int16_t skip[2 * 8];
        platform::AudioDevice::Render(skip, 8);  // advance, so the next Play takes a new voice
      }
    std::vector<int16_t> out(kFrames10Ms * 2);
    int calls = 0;
    const double us = bench::MicrosPerCall(20000, [&] {
      platform::AudioDevice::Render(out.data(), kFrames10Ms);
      if (++calls % 300 == 0)  // keep 16 voices sounding
        for (int s = 0; s < 4; ++s) {
          sound.Stop(s);
          for (int v = 0; v < 4; ++v) {
            sound.Play(s);
            int16_t skip[2];
            platform::AudioDevice::Render(skip, 1);
          }
        }
    });
    std::printf("mixer render, 10 ms, 16 voices:                   %8.3f us  (target < 100)\n", us);
  }

  // FluidSynth: each song through the synthesiser; a pass, then a 10 ms render.
  for (const auto& [name, bytes] : {std::pair{"dense 16-track", song}, std::pair{"moderate 8-track", Song(8, 240)}}) {
    TKorSound sound;
    sound.Init(nullptr);
    TKorMidi midi;
    if (!midi.Init()) {
      std::printf("FluidSynth: no synthesiser or sound font, skipped\n");
      break;
    }
    midi.LoadFile(bytes.data(), bytes.size());
    midi.Loaded = true;
    midi.Play(true);
    std::vector<int16_t> out(kFrames10Ms * 2);
    for (int i = 0; i < 300; ++i) {
      midi.RunPass();
      platform::AudioDevice::Render(out.data(), kFrames10Ms);
    }
    using Clock = std::chrono::steady_clock;
    Clock::duration passTime{}, renderTime{};
    constexpr int kRounds = 3000;
    for (int i = 0; i < kRounds; ++i) {
      const auto t0 = Clock::now();
      midi.RunPass();
      const auto t1 = Clock::now();
      platform::AudioDevice::Render(out.data(), kFrames10Ms);
      const auto t2 = Clock::now();
      passTime += t1 - t0;
      renderTime += t2 - t1;
    }
    const double pass = std::chrono::duration<double, std::micro>(passTime).count() / kRounds;
    const double render = std::chrono::duration<double, std::micro>(renderTime).count() / kRounds;
    std::printf("FluidSynth render, 10 ms, %-16s song:     %8.3f us\n", name, render);
    std::printf("sequencer pass into FluidSynth, %-16s: %8.3f us\n", name, pass);
    midi.CleanUp();
  }
  GameSongs();
  platform::AudioDevice::SetManualMode(false);
}
