#pragma once
// The sound mixer: a pool of voices that each play a converted wave once from its start,
// plus pull sources (the MIDI synthesiser) whose samples are added to the same output.
// It holds no SDL device itself: the audio device calls Render from its callback, the
// replay runner calls it directly, and tests use a mixer on its own.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace platform {

// A wave's format as stored in the body of a RIFF "fmt " chunk (little-endian fields).
struct WaveFormat {
  uint16_t FormatTag = 0;       // 1 = integer PCM, 3 = IEEE float
  uint16_t Channels = 0;
  uint32_t SamplesPerSec = 0;
  uint32_t AvgBytesPerSec = 0;
  uint16_t BlockAlign = 0;      // bytes per frame
  uint16_t BitsPerSample = 0;
};

// Decodes a "fmt " body of at least 14 bytes. A 14- or 15-byte body carries no bit depth;
// it is then derived from the block alignment and channel count.
bool ParseWaveFormat(const uint8_t* body, size_t size, WaveFormat& out);

// Wave data converted to a mixer's format: interleaved signed 16-bit samples.
struct AudioClip {
  std::vector<int16_t> Samples;
  uint32_t Frames = 0;
};

// Something the mixer pulls samples from on every render (the MIDI synthesiser).
class AudioSource {
 public:
  virtual ~AudioSource() = default;
  // Writes frames interleaved stereo samples in -1..1 at the mixer's rate.
  virtual void RenderStereo(float* out, int frames) = 0;
};

class Mixer {
 public:
  // 16 sounds x 4 voices.
  static constexpr int kMaxVoices = 64;

  // rate in hertz, bits 8 or 16, channels 1 or 2: the output format of Render.
  Mixer(int rate, int bits, int channels);
  Mixer(const Mixer&) = delete;
  Mixer& operator=(const Mixer&) = delete;

  int Rate() const { return OutRate; }
  // Changes the output rate; only before any wave is converted (the device sets the rate
  // its hardware took before it starts rendering).
  void SetRate(int rate) { OutRate = rate > 0 ? rate : OutRate; }
  int Bits() const { return OutBits; }
  int Channels() const { return OutChannels; }
  int BytesPerFrame() const { return OutChannels * OutBits / 8; }

  // Converts a wave's sample data into this mixer's format (channels and rate, 16 bits).
  // Null for a format that cannot be converted (unknown tag, 0 channels, odd bit depth,
  // block alignment that disagrees with the channels and bits, an absurd rate) or for data
  // shorter than one frame. A trailing partial frame is dropped.
  std::shared_ptr<const AudioClip> Convert(const WaveFormat& format, const uint8_t* data,
                                           size_t size) const;

  // Voices: a voice plays its clip once from a position; several voices may share a clip.
  // Ids are 0..kMaxVoices-1; -1 when the pool is full or the argument is unusable.
  int CreateVoice(std::shared_ptr<const AudioClip> clip);
  int DuplicateVoice(int voice);
  void ReleaseVoice(int voice);
  // Rewinds to frame 0 and plays once.
  bool Start(int voice);
  bool Stop(int voice);
  bool IsPlaying(int voice, bool& playing) const;
  // The play position in frames from the clip's start.
  bool GetPosition(int voice, uint32_t& frame) const;
  int VoiceCount() const;

  // Pull sources are mixed in the order added; the mixer does not own them. Once
  // RemoveSource returns, the source is not called again.
  void AddSource(AudioSource* source);
  void RemoveSource(AudioSource* source);

  // Loudness of the two parts of the mix, 0..1 each: effects (the voices) and music (the
  // pull sources). Takes effect from the next rendered chunk; callable from any thread.
  void SetGains(float effects, float music);

  // Mixes the next frames of every playing voice and every source into out, in the output
  // format (frames x BytesPerFrame() bytes), advancing the voices. The sum passes through
  // a limiter: where it would go above kLimit of full scale the gain drops at once just
  // enough to keep it there and comes back over about kReleaseSeconds, so many voices at
  // once never wrap or clip.
  void Render(void* out, int frames);
  // Advances every playing voice by frames exactly as Render would, without mixing and
  // without pulling the sources: for a run whose sound nobody hears, where only the
  // voices' playing status matters.
  void Skip(int frames);

  static constexpr float kLimit = 0.891f;  // -1 dBFS
  static constexpr float kReleaseSeconds = 0.1f;
  // The limiter's gain now (1 when it is not acting).
  float LimiterGain() const { return Gain; }

 private:
  struct Voice {
    bool InUse = false;
    bool Playing = false;
    uint32_t Position = 0;
    std::shared_ptr<const AudioClip> Clip;
  };
  static constexpr int kChunkFrames = 512;

  void RenderChunk(float* acc, int frames);
  void Limit(float* acc, int frames);

  int OutRate;
  int OutBits;
  int OutChannels;
  // Voices and sources have their own locks, so that starting a sound never waits for the
  // synthesiser's rendering. Render takes RenderLock, then SourceLock, then Lock.
  mutable std::mutex Lock;
  std::mutex SourceLock;
  std::mutex RenderLock;
  Voice Voices[kMaxVoices];
  std::vector<AudioSource*> Sources;
  // Scratch buffers sized once at construction, so rendering never allocates.
  std::vector<float> Accumulator;
  std::vector<float> SourceBuffer;
  std::atomic<float> EffectsGain{1.0f};
  std::atomic<float> MusicGain{1.0f};
  // The limiter's state, under RenderLock.
  float Gain = 1.0f;
};

}  // namespace platform
