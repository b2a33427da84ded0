// The sound effect component over a manual (headless) audio device: the RIFF walk, the
// voice rotation and the same-instant rule, keys, and what the mixer renders.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "media/korsound.h"
#include "platform/audio_device.h"
#include "platform/audio_mixer.h"

namespace {

using Bytes = std::vector<uint8_t>;

void Put16(Bytes& b, uint32_t v) {
  b.push_back(v & 0xFF);
  b.push_back((v >> 8) & 0xFF);
}
void Put32(Bytes& b, uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}

Bytes Chunk(const char* id, const Bytes& body, bool pad = true) {
  Bytes c(id, id + 4);
  Put32(c, static_cast<uint32_t>(body.size()));
  c.insert(c.end(), body.begin(), body.end());
  if (pad && (body.size() & 1)) c.push_back(0);
  return c;
}

// A "fmt " body of the given size (12, 14, 16, 18 ...) for integer PCM.
Bytes FmtBody(size_t size, uint16_t channels, uint32_t rate, uint16_t bits, uint16_t tag = 1) {
  Bytes b;
  const uint16_t align = static_cast<uint16_t>(channels * bits / 8);
  Put16(b, tag);
  Put16(b, channels);
  Put32(b, rate);
  Put32(b, rate * align);
  Put16(b, align);
  Put16(b, bits);
  Put16(b, 0);
  b.resize(size, 0);
  return b;
}

Bytes Riff(const std::vector<Bytes>& chunks, int sizeAdjust = 0) {
  Bytes body = {'W', 'A', 'V', 'E'};
  for (const Bytes& c : chunks) body.insert(body.end(), c.begin(), c.end());
  Bytes r = {'R', 'I', 'F', 'F'};
  Put32(r, static_cast<uint32_t>(static_cast<int>(body.size()) + sizeAdjust));
  r.insert(r.end(), body.begin(), body.end());
  return r;
}

// 16-bit stereo samples, every sample the same value.
Bytes Pcm16Stereo(size_t frames, int16_t value) {
  Bytes b;
  for (size_t i = 0; i < frames * 2; ++i) Put16(b, static_cast<uint16_t>(value));
  return b;
}

Bytes SimpleWave(size_t frames, int16_t value = 1000) {
  return Riff({Chunk("fmt ", FmtBody(16, 2, 22050, 16)), Chunk("data", Pcm16Stereo(frames, value))});
}

class KorSoundTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // The device at the waves' own rate, so that samples compare one for one.
    platform::AudioDevice::SetManualMode(true);
    platform::AudioDevice::SetManualRate(22050);
    ASSERT_TRUE(Sound.Init(nullptr));
  }
  void TearDown() override {
    Sound.ReleaseAll();
    platform::AudioDevice::SetManualRate(platform::AudioDevice::kPreferredRate);
    platform::AudioDevice::SetManualMode(false);
  }
  bool Load(const Bytes& image) { return Sound.LoadFile(image.data(), image.size()); }
  platform::Mixer& Mix() { return Sound.Device->GetMixer(); }
  uint32_t Position(int slot, int voice) {
    uint32_t pos = 0;
    EXPECT_TRUE(Mix().GetPosition(Sound.Slots[slot].Voices[voice], pos));
    return pos;
  }
  bool VoicePlaying(int slot, int voice) {
    bool playing = false;
    EXPECT_TRUE(Mix().IsPlaying(Sound.Slots[slot].Voices[voice], playing));
    return playing;
  }
  // Time passes: the device renders and the game's next frame begins.
  std::vector<int16_t> Render(int frames) {
    std::vector<int16_t> out(static_cast<size_t>(frames) * 2);
    platform::AudioDevice::Render(out.data(), frames);
    Sound.NextFrame();
    return out;
  }

  TKorSound Sound;
};

TEST_F(KorSoundTest, RiffWalkAcceptsTheChunkOrdersAndFormatSizesOfRealFiles) {
  // data before fmt, a "fact" chunk, fmt bodies of 14 (no bit depth), 16 and 18 bytes.
  EXPECT_TRUE(Load(Riff({Chunk("data", Pcm16Stereo(8, 1)), Chunk("fmt ", FmtBody(16, 2, 22050, 16))})));
  EXPECT_TRUE(Load(Riff({Chunk("fmt ", FmtBody(18, 1, 22050, 16)), Chunk("fact", {8, 0, 0, 0}),
                         Chunk("data", Bytes(16, 0))})));
  EXPECT_TRUE(Load(Riff({Chunk("fmt ", FmtBody(14, 1, 22050, 16)), Chunk("data", Bytes(16, 0))})));
  EXPECT_EQ(Sound.SoundCount, 3);
  // A fmt body below 14 bytes fails at once, wherever the data is.
  EXPECT_FALSE(Load(Riff({Chunk("fmt ", FmtBody(12, 2, 22050, 16)), Chunk("data", Pcm16Stereo(8, 1))})));
  EXPECT_FALSE(Load(Riff({Chunk("data", Pcm16Stereo(8, 1)), Chunk("fmt ", FmtBody(13, 2, 22050, 16))})));
  EXPECT_EQ(Sound.SoundCount, 3);
}

TEST_F(KorSoundTest, RiffWalkStepsOverOddBodiesWithTheirPadByte) {
  const Bytes odd = {1, 2, 3, 4, 5};
  EXPECT_TRUE(Load(Riff({Chunk("LIST", odd), Chunk("fmt ", FmtBody(16, 2, 22050, 16)),
                         Chunk("data", Pcm16Stereo(4, 1234))})));
  // Without the pad byte the next header is read one byte early and no "fmt " is found.
  EXPECT_FALSE(Load(Riff({Chunk("LIST", odd, false), Chunk("fmt ", FmtBody(16, 2, 22050, 16)),
                          Chunk("data", Pcm16Stereo(4, 1234))})));
  // An odd 8-bit data body before the fmt chunk: the pad keeps the walk aligned.
  EXPECT_TRUE(Load(Riff({Chunk("data", Bytes(7, 0x90)), Chunk("fmt ", FmtBody(16, 1, 22050, 8))})));
  ASSERT_TRUE(Sound.Play(1));
  std::vector<int16_t> out = Render(8);
  // 8-bit 0x90 is +16 steps, widened to 16 bits (SDL's float path may round down by one).
  EXPECT_NEAR(out[0], 0x10 << 8, 1);
  EXPECT_NEAR(out[1], 0x10 << 8, 1);
  EXPECT_NEAR(out[13], 0x10 << 8, 1);
  EXPECT_EQ(out[14], 0);  // seven frames only
}

TEST_F(KorSoundTest, RiffWalkFailsWithoutCompleteFormatAndData) {
  const Bytes fmt = Chunk("fmt ", FmtBody(16, 2, 22050, 16));
  EXPECT_FALSE(Load(Riff({fmt})));                                  // no data chunk
  EXPECT_FALSE(Load(Riff({fmt, Chunk("data", {})})));               // empty data
  EXPECT_FALSE(Load(Riff({Chunk("data", Pcm16Stereo(4, 1))})));     // no fmt
  Bytes cut = Riff({fmt, Chunk("data", Pcm16Stereo(100, 1))});
  cut.resize(cut.size() - 10);                                      // data past the image end
  EXPECT_FALSE(Load(cut));
  // The RIFF size ends the walk even when the image goes on.
  Bytes shortRiff = Riff({fmt, Chunk("data", Pcm16Stereo(4, 1))}, -20);
  EXPECT_FALSE(Load(shortRiff));
  Bytes notWave = SimpleWave(4);
  notWave[8] = 'X';
  EXPECT_FALSE(Load(notWave));
  EXPECT_FALSE(Load(Bytes(11, 0)));
  EXPECT_EQ(Sound.SoundCount, 0);
}

TEST_F(KorSoundTest, RiffWalkStopsOnceFormatAndDataAreKnown) {
  // A broken fmt chunk after a complete pair is never looked at; an empty data chunk does
  // not stop the walk and a later one is used.
  EXPECT_TRUE(Load(Riff({Chunk("fmt ", FmtBody(16, 2, 22050, 16)), Chunk("data", Pcm16Stereo(4, 7)),
                         Chunk("fmt ", FmtBody(4, 2, 22050, 16))})));
  EXPECT_TRUE(Load(Riff({Chunk("data", {}), Chunk("fmt ", FmtBody(16, 2, 22050, 16)),
                         Chunk("data", Pcm16Stereo(4, 99))})));
  ASSERT_TRUE(Sound.Play(1));
  EXPECT_EQ(Render(1)[0], 99);
  // The RIFF size field may claim more than the image holds: the image's end limits it.
  EXPECT_TRUE(Load(Riff({Chunk("fmt ", FmtBody(16, 2, 22050, 16)), Chunk("data", Pcm16Stereo(4, 1))}, 1000)));
}

TEST_F(KorSoundTest, FormatsTheDeviceCannotTakeFailCleanly) {
  const Bytes data = Chunk("data", Bytes(64, 0));
  EXPECT_FALSE(Load(Riff({Chunk("fmt ", FmtBody(16, 0, 22050, 16)), data})));     // 0 channels
  EXPECT_FALSE(Load(Riff({Chunk("fmt ", FmtBody(16, 1, 22050, 12)), data})));     // 12 bits
  EXPECT_FALSE(Load(Riff({Chunk("fmt ", FmtBody(16, 1, 22050, 0)), data})));      // 0 bits
  EXPECT_FALSE(Load(Riff({Chunk("fmt ", FmtBody(16, 1, 0, 16)), data})));         // 0 Hz
  EXPECT_FALSE(Load(Riff({Chunk("fmt ", FmtBody(16, 2, 22050, 4, 2)), data})));   // ADPCM
  Bytes badAlign = FmtBody(16, 2, 22050, 16);
  badAlign[12] = 3;
  EXPECT_FALSE(Load(Riff({Chunk("fmt ", badAlign), data})));
  EXPECT_FALSE(Load(Riff({Chunk("fmt ", FmtBody(16, 2, 22050, 16)), Chunk("data", {1, 2, 3})})));  // < 1 frame
  EXPECT_EQ(Sound.SoundCount, 0);
  EXPECT_EQ(Mix().VoiceCount(), 0);
  // Other rates are converted to the device rate.
  EXPECT_TRUE(Load(Riff({Chunk("fmt ", FmtBody(16, 1, 44100, 16)), Chunk("data", Bytes(4410 * 2, 0))})));
  EXPECT_TRUE(Load(Riff({Chunk("fmt ", FmtBody(16, 2, 11025, 8)), data})));
}

TEST_F(KorSoundTest, SecondPlayInTheSameFrameStartsTheSoundOnceTheNextFrameStartsAgain) {
  ASSERT_TRUE(Load(SimpleWave(22050)));
  EXPECT_TRUE(Sound.Play(0));
  EXPECT_TRUE(Sound.Play(0));
  EXPECT_EQ(Sound.Slots[0].NextVoice, 1);
  EXPECT_FALSE(VoicePlaying(0, 1));
  // The next frame, before the device has rendered a single sample (its blocks may be
  // longer than a frame), a request starts the next voice.
  Sound.NextFrame();
  EXPECT_EQ(Position(0, 0), 0u);
  EXPECT_TRUE(Sound.Play(0));
  EXPECT_EQ(Sound.Slots[0].NextVoice, 2);
  EXPECT_TRUE(VoicePlaying(0, 1));
  // Two voices now sound together.
  EXPECT_EQ(Render(1)[0], 2000);
}

TEST_F(KorSoundTest, FivePlaysRotateOverFourVoicesAndRestartTheOldest) {
  ASSERT_TRUE(Load(SimpleWave(22050)));
  for (int k = 0; k < 4; ++k) {
    ASSERT_TRUE(Sound.Play(0));
    Render(100);
  }
  EXPECT_EQ(Position(0, 0), 400u);
  EXPECT_EQ(Position(0, 3), 100u);
  EXPECT_EQ(Sound.Slots[0].NextVoice, 0);
  ASSERT_TRUE(Sound.Play(0));  // the fifth restarts voice 0
  EXPECT_EQ(Position(0, 0), 0u);
  EXPECT_EQ(Position(0, 1), 300u);
  EXPECT_EQ(Sound.Slots[0].NextVoice, 1);
}

TEST_F(KorSoundTest, StopSilencesAllVoicesAndPlayThenStartsVoiceZero) {
  ASSERT_TRUE(Load(SimpleWave(22050)));
  Sound.Play(0);
  Render(5);
  Sound.Play(0);
  Render(5);
  EXPECT_TRUE(Sound.IsPlaying(0));
  EXPECT_TRUE(Sound.Stop(0));
  EXPECT_FALSE(Sound.IsPlaying(0));
  EXPECT_EQ(Render(1)[0], 0);
  EXPECT_EQ(Sound.Slots[0].NextVoice, 0);
  EXPECT_TRUE(Sound.Play(0));
  EXPECT_TRUE(VoicePlaying(0, 0));
  EXPECT_FALSE(VoicePlaying(0, 1));
}

TEST_F(KorSoundTest, ASoundPlaysOnceAndEnds) {
  ASSERT_TRUE(Load(SimpleWave(300, 500)));
  Sound.Play(0);
  std::vector<int16_t> out = Render(400);
  EXPECT_EQ(out[2 * 299], 500);
  EXPECT_EQ(out[2 * 300], 0);
  EXPECT_FALSE(Sound.IsPlaying(0));
}

TEST_F(KorSoundTest, ManyLoudVoicesAreLimitedNeverWrappedOrClippedAndTheGainComesBack) {
  // Sixteen voices of a wave near full scale (four sounds x four voices), started a frame
  // apart: the sum reaches sixteen times full scale.
  for (int k = 0; k < 4; ++k) ASSERT_TRUE(Load(SimpleWave(2000, 30000)));
  int32_t low = 0, high = 0;
  for (int round = 0; round < 4; ++round) {
    for (int s = 0; s < 4; ++s) Sound.Play(s);
    for (int16_t v : Render(20)) {
      low = std::min<int32_t>(low, v);
      high = std::max<int32_t>(high, v);
    }
  }
  const int32_t limit = static_cast<int32_t>(platform::Mixer::kLimit * 32767.0f) + 1;
  EXPECT_GT(high, limit - 200);  // loud, at the limit ...
  EXPECT_LE(high, limit);        // ... never above it, so never clipped
  EXPECT_GE(low, 0);             // and never wrapped round to negative
  EXPECT_LT(Mix().LimiterGain(), 0.1f);
  // When the voices end the gain returns within a second, and a quiet sound is heard at its
  // own level again, exactly.
  Render(2000);
  Render(22050);
  EXPECT_EQ(Mix().LimiterGain(), 1.0f);
  ASSERT_TRUE(Load(SimpleWave(100, 1234)));
  Sound.Play(4);
  EXPECT_EQ(Render(1)[0], 1234);
}

TEST_F(KorSoundTest, VolumesScaleEffectsAndMusicApartAndApplyAtOnce) {
  ASSERT_TRUE(Load(SimpleWave(2000, 8000)));
  Sound.Play(0);
  EXPECT_EQ(Render(1)[0], 8000);
  platform::AudioDevice::SetVolumes(50, 100);  // half the slider is a quarter of the gain
  EXPECT_EQ(Render(1)[0], 2000);
  platform::AudioDevice::SetVolumes(0, 100);
  EXPECT_EQ(Render(1)[0], 0);
  platform::AudioDevice::SetVolumes(250, -3);  // out of range: clamped to 100 and 0
  EXPECT_EQ(Render(1)[0], 8000);
  platform::AudioDevice::SetVolumes(100, 100);
}

TEST_F(KorSoundTest, KeysCompareIgnoringCaseAndTheFirstRegistrationWins) {
  const Bytes a = SimpleWave(50, 11), b = SimpleWave(50, 22);
  // Register the images through files so that CreateBuffer's path lookup is covered too.
  const std::string pa = ::testing::TempDir() + "korsound_a.wav";
  const std::string pb = ::testing::TempDir() + "korsound_b.wav";
  for (auto [path, image] : {std::pair{pa, &a}, std::pair{pb, &b}}) {
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_TRUE(f);
    std::fwrite(image->data(), 1, image->size(), f);
    std::fclose(f);
  }
  EXPECT_TRUE(Sound.CreateBuffer("Swap", pa));
  EXPECT_TRUE(Sound.CreateBuffer("swap", pb));  // a second key that names the first slot
  EXPECT_TRUE(Sound.CreateBuffer("ＢＥＬＬ音", pb));
  EXPECT_FALSE(Sound.CreateBuffer("missing", "/nonexistent/dir/none.wav"));
  EXPECT_EQ(Sound.SoundCount, 3);
  EXPECT_EQ(Sound.IndexOf("SWAP"), 0);
  EXPECT_EQ(Sound.IndexOf("ｂｅｌｌ音"), 2);
  EXPECT_EQ(Sound.IndexOf("missing"), -1);
  EXPECT_TRUE(Sound.Play("sWaP"));
  EXPECT_EQ(Render(1)[0], 11);
  EXPECT_FALSE(Sound.Play("missing"));
  EXPECT_FALSE(Sound.Stop("missing"));
  EXPECT_FALSE(Sound.IsPlaying("missing"));
  EXPECT_TRUE(Sound.IsPlaying("SWAP"));
  EXPECT_TRUE(Sound.Stop("Swap"));
  std::remove(pa.c_str());
  std::remove(pb.c_str());
}

TEST(SoundKeyTest, FoldsAsciiAndFullWidthLettersOnly) {
  EXPECT_TRUE(SoundKeyEquals("Abc", "aBC"));
  EXPECT_TRUE(SoundKeyEquals("ＡＢ決定", "ａｂ決定"));
  EXPECT_FALSE(SoundKeyEquals("決定", "決"));
  EXPECT_FALSE(SoundKeyEquals("ab", "ab "));
  EXPECT_FALSE(SoundKeyEquals("Ａ", "A"));
  EXPECT_TRUE(SoundKeyEquals("", ""));
}

TEST_F(KorSoundTest, SixteenSoundsAtMostAndUnkeyedLoadsKeepKeysInStep) {
  const Bytes w = SimpleWave(10);
  ASSERT_TRUE(Load(w));  // slot 0 without a key
  for (int i = 1; i < 16; ++i) ASSERT_TRUE(Load(w)) << i;
  EXPECT_FALSE(Load(w));
  EXPECT_EQ(Sound.SoundCount, 16);
  EXPECT_EQ(Mix().VoiceCount(), 64);
  Sound.ReleaseAll();
  EXPECT_FALSE(Sound.Ready);
  EXPECT_EQ(Sound.SoundCount, 0);

  ASSERT_TRUE(Sound.Init(nullptr));
  EXPECT_EQ(Mix().VoiceCount(), 0);
  ASSERT_TRUE(Load(w));
  const std::string path = ::testing::TempDir() + "korsound_k.wav";
  FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_TRUE(f);
  const Bytes k = SimpleWave(10, 77);
  std::fwrite(k.data(), 1, k.size(), f);
  std::fclose(f);
  ASSERT_TRUE(Sound.CreateBuffer("key", path));
  EXPECT_EQ(Sound.IndexOf("key"), 1);
  Sound.Play("key");
  EXPECT_EQ(Render(1)[0], 77);
  std::remove(path.c_str());
}

TEST_F(KorSoundTest, EverythingAnswersFalseWhenNotReady) {
  ASSERT_TRUE(Load(SimpleWave(10)));
  ASSERT_TRUE(Sound.CreateBuffer("k", "/nonexistent") == false);
  Sound.ReleaseAll();
  const Bytes w = SimpleWave(10);
  EXPECT_FALSE(Sound.LoadFile(w.data(), w.size()));
  EXPECT_FALSE(Sound.Play(0));
  EXPECT_FALSE(Sound.Stop(0));
  EXPECT_FALSE(Sound.IsPlaying(0));
  EXPECT_FALSE(Sound.CreateBuffer("k", "x"));
  ASSERT_TRUE(Sound.Init(nullptr));
  EXPECT_FALSE(Sound.Play(0));
  EXPECT_FALSE(Sound.Play(-1));
  ASSERT_TRUE(Load(w));
  EXPECT_FALSE(Sound.Play(1));
  EXPECT_TRUE(Sound.Play(0));
}

TEST(KorSoundDeviceTest, MixerOutputsEightBitMonoWhenAskedFor) {
  platform::Mixer mixer(22050, 8, 1);
  platform::WaveFormat f{1, 2, 22050, 88200, 4, 16};
  Bytes stereo;
  for (int i = 0; i < 4; ++i) {
    Put16(stereo, 0x1000);
    Put16(stereo, 0x3000);
  }
  auto clip = mixer.Convert(f, stereo.data(), stereo.size());
  ASSERT_TRUE(clip);
  EXPECT_EQ(clip->Frames, 4u);
  const int v = mixer.CreateVoice(clip);
  ASSERT_GE(v, 0);
  mixer.Start(v);
  uint8_t out[6];
  mixer.Render(out, 6);
  EXPECT_NEAR(out[0], 128 + 0x20, 1);  // the two channels averaged, then 8 bits
  EXPECT_EQ(out[4], 128);
}

TEST(KorSoundDeviceTest, LiveDeviceOnTheDummyDriverPlaysThrough) {
  // A real SDL device with its own callback thread; the dummy driver consumes samples in
  // real time, so a short sound ends by itself.
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  platform::AudioDevice::SetManualMode(false);
  TKorSound sound;
  if (!sound.Init(nullptr)) GTEST_SKIP() << "no audio device";
  EXPECT_FALSE(sound.Device->Manual());
  const Bytes w = SimpleWave(441);  // 20 ms
  ASSERT_TRUE(sound.LoadFile(w.data(), w.size()));
  ASSERT_TRUE(sound.Play(0));
  bool ended = false;
  for (int i = 0; i < 200 && !ended; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ended = !sound.IsPlaying(0);
  }
  EXPECT_TRUE(ended);
}

}  // namespace
