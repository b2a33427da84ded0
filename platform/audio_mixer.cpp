#include "platform/audio_mixer.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace platform {
namespace {

uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Le32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// The rates a wave may have; outside these a sound buffer could not be made either.
constexpr uint32_t kMinRate = 100;
constexpr uint32_t kMaxRate = 200000;
constexpr int kMaxChannels = 8;

}  // namespace

bool ParseWaveFormat(const uint8_t* body, size_t size, WaveFormat& out) {
  if (!body || size < 14) return false;
  out.FormatTag = Le16(body);
  out.Channels = Le16(body + 2);
  out.SamplesPerSec = Le32(body + 4);
  out.AvgBytesPerSec = Le32(body + 8);
  out.BlockAlign = Le16(body + 12);
  if (size >= 16) {
    out.BitsPerSample = Le16(body + 14);
  } else {
    out.BitsPerSample =
        out.Channels ? static_cast<uint16_t>(out.BlockAlign / out.Channels * 8) : 0;
  }
  return true;
}

Mixer::Mixer(int rate, int bits, int channels)
    : OutRate(rate > 0 ? rate : 22050),
      OutBits(bits > 15 ? 16 : 8),
      OutChannels(channels >= 2 ? 2 : 1),
      Accumulator(static_cast<size_t>(kChunkFrames) * 2),
      SourceBuffer(static_cast<size_t>(kChunkFrames) * 2) {}

std::shared_ptr<const AudioClip> Mixer::Convert(const WaveFormat& format, const uint8_t* data,
                                                size_t size) const {
  if (!data || format.Channels == 0 || format.Channels > kMaxChannels) return nullptr;
  if (format.SamplesPerSec < kMinRate || format.SamplesPerSec > kMaxRate) return nullptr;
  const int bits = format.BitsPerSample;
  if (bits == 0 || bits % 8 != 0) return nullptr;
  if (format.BlockAlign != format.Channels * (bits / 8)) return nullptr;

  SDL_AudioFormat sdlFormat;
  if (format.FormatTag == 1 && bits == 8) {
    sdlFormat = AUDIO_U8;
  } else if (format.FormatTag == 1 && bits == 16) {
    sdlFormat = AUDIO_S16LSB;
  } else if (format.FormatTag == 1 && (bits == 24 || bits == 32)) {
    sdlFormat = AUDIO_S32LSB;  // 24-bit samples are widened below
  } else if (format.FormatTag == 3 && bits == 32) {
    sdlFormat = AUDIO_F32LSB;
  } else {
    return nullptr;
  }

  const size_t frames = size / format.BlockAlign;
  if (frames == 0) return nullptr;

  std::vector<uint8_t> widened;
  const uint8_t* source = data;
  size_t sourceBytes = frames * format.BlockAlign;
  if (bits == 24) {
    const size_t samples = frames * format.Channels;
    widened.resize(samples * 4);
    for (size_t i = 0; i < samples; ++i) {
      widened[i * 4] = 0;
      std::memcpy(&widened[i * 4 + 1], data + i * 3, 3);
    }
    source = widened.data();
    sourceBytes = widened.size();
  }

  SDL_AudioStream* stream =
      SDL_NewAudioStream(sdlFormat, static_cast<Uint8>(format.Channels),
                         static_cast<int>(format.SamplesPerSec), AUDIO_S16SYS,
                         static_cast<Uint8>(OutChannels), OutRate);
  if (!stream) return nullptr;
  bool ok = true;
  constexpr size_t kPiece = 1u << 20;
  for (size_t done = 0; ok && done < sourceBytes; done += kPiece) {
    const size_t n = std::min(kPiece, sourceBytes - done);
    ok = SDL_AudioStreamPut(stream, source + done, static_cast<int>(n)) == 0;
  }
  if (ok) ok = SDL_AudioStreamFlush(stream) == 0;
  auto clip = std::make_shared<AudioClip>();
  if (ok) {
    const int available = SDL_AudioStreamAvailable(stream);
    const size_t frameBytes = sizeof(int16_t) * static_cast<size_t>(OutChannels);
    clip->Samples.resize(static_cast<size_t>(available) / sizeof(int16_t));
    const int got = available > 0 ? SDL_AudioStreamGet(stream, clip->Samples.data(), available) : 0;
    if (got < 0) {
      ok = false;
    } else {
      clip->Frames = static_cast<uint32_t>(static_cast<size_t>(got) / frameBytes);
      clip->Samples.resize(static_cast<size_t>(clip->Frames) * OutChannels);
    }
  }
  SDL_FreeAudioStream(stream);
  if (!ok || clip->Frames == 0) return nullptr;
  return clip;
}

int Mixer::CreateVoice(std::shared_ptr<const AudioClip> clip) {
  if (!clip || clip->Frames == 0) return -1;
  std::lock_guard<std::mutex> lock(Lock);
  for (int i = 0; i < kMaxVoices; ++i) {
    if (Voices[i].InUse) continue;
    Voices[i] = Voice{};
    Voices[i].InUse = true;
    Voices[i].Clip = std::move(clip);
    return i;
  }
  return -1;
}

int Mixer::DuplicateVoice(int voice) {
  std::shared_ptr<const AudioClip> clip;
  {
    std::lock_guard<std::mutex> lock(Lock);
    if (voice < 0 || voice >= kMaxVoices || !Voices[voice].InUse) return -1;
    clip = Voices[voice].Clip;
  }
  return CreateVoice(std::move(clip));
}

void Mixer::ReleaseVoice(int voice) {
  std::shared_ptr<const AudioClip> clip;  // freed outside the lock
  std::lock_guard<std::mutex> lock(Lock);
  if (voice < 0 || voice >= kMaxVoices) return;
  clip.swap(Voices[voice].Clip);
  Voices[voice] = Voice{};
}

bool Mixer::Start(int voice) {
  std::lock_guard<std::mutex> lock(Lock);
  if (voice < 0 || voice >= kMaxVoices || !Voices[voice].InUse) return false;
  Voices[voice].Position = 0;
  Voices[voice].Playing = true;
  return true;
}

bool Mixer::Stop(int voice) {
  std::lock_guard<std::mutex> lock(Lock);
  if (voice < 0 || voice >= kMaxVoices || !Voices[voice].InUse) return false;
  Voices[voice].Playing = false;
  return true;
}

bool Mixer::IsPlaying(int voice, bool& playing) const {
  std::lock_guard<std::mutex> lock(Lock);
  if (voice < 0 || voice >= kMaxVoices || !Voices[voice].InUse) return false;
  playing = Voices[voice].Playing;
  return true;
}

bool Mixer::GetPosition(int voice, uint32_t& frame) const {
  std::lock_guard<std::mutex> lock(Lock);
  if (voice < 0 || voice >= kMaxVoices || !Voices[voice].InUse) return false;
  frame = Voices[voice].Position;
  return true;
}

int Mixer::VoiceCount() const {
  std::lock_guard<std::mutex> lock(Lock);
  int n = 0;
  for (const Voice& v : Voices) n += v.InUse ? 1 : 0;
  return n;
}

void Mixer::AddSource(AudioSource* source) {
  if (!source) return;
  std::lock_guard<std::mutex> lock(SourceLock);
  if (std::find(Sources.begin(), Sources.end(), source) == Sources.end())
    Sources.push_back(source);
}

void Mixer::RemoveSource(AudioSource* source) {
  std::lock_guard<std::mutex> lock(SourceLock);
  Sources.erase(std::remove(Sources.begin(), Sources.end(), source), Sources.end());
}

void Mixer::SetGains(float effects, float music) {
  EffectsGain = std::clamp(effects, 0.0f, 1.0f);
  MusicGain = std::clamp(music, 0.0f, 1.0f);
}

void Mixer::RenderChunk(float* acc, int frames) {
  const int channels = OutChannels;
  std::fill(acc, acc + static_cast<size_t>(frames) * channels, 0.0f);
  // Both parts are summed in 16-bit units: a wave's samples as they are, the music's
  // -1..1 scaled to the same full scale.
  const float music = MusicGain.load(std::memory_order_relaxed) * 32767.0f;
  const float effects = EffectsGain.load(std::memory_order_relaxed);
  {
    std::lock_guard<std::mutex> lock(SourceLock);
    for (AudioSource* s : Sources) {
      float* buf = SourceBuffer.data();
      s->RenderStereo(buf, frames);
      for (int i = 0; i < frames; ++i) {
        const float l = std::clamp(buf[2 * i], -4.0f, 4.0f) * music;
        const float r = std::clamp(buf[2 * i + 1], -4.0f, 4.0f) * music;
        if (channels == 2) {
          acc[2 * i] += l;
          acc[2 * i + 1] += r;
        } else {
          acc[i] += (l + r) * 0.5f;
        }
      }
    }
  }
  std::lock_guard<std::mutex> lock(Lock);
  for (Voice& v : Voices) {
    if (!v.Playing) continue;
    const uint32_t left = v.Clip->Frames - v.Position;
    const uint32_t n = std::min<uint32_t>(left, static_cast<uint32_t>(frames));
    const int16_t* src = v.Clip->Samples.data() + static_cast<size_t>(v.Position) * channels;
    for (uint32_t i = 0; i < n * channels; ++i) acc[i] += static_cast<float>(src[i]) * effects;
    v.Position += n;
    if (v.Position >= v.Clip->Frames) v.Playing = false;
  }
}

void Mixer::Limit(float* acc, int frames) {
  // A peak limiter without look-ahead: the gain falls at once to what keeps this frame at
  // the limit and rises back towards 1 with a time constant of kReleaseSeconds. Every
  // output sample is therefore at most kLimit of full scale, and quiet passages pass
  // untouched (the gain stays exactly 1).
  const float limit = kLimit * 32767.0f;
  const float release = 1.0f - std::exp(-1.0f / (kReleaseSeconds * static_cast<float>(OutRate)));
  const int channels = OutChannels;
  float g = Gain;
  for (int i = 0; i < frames; ++i) {
    float* f = acc + static_cast<size_t>(i) * channels;
    float peak = std::fabs(f[0]);
    if (channels == 2) peak = std::max(peak, std::fabs(f[1]));
    if (g < 1.0f) {
      g += (1.0f - g) * release;
      if (g > 0.9999f) g = 1.0f;  // within 0.001 dB: done, and exact from here on
    }
    if (peak * g > limit) g = limit / peak;
    if (g != 1.0f)
      for (int c = 0; c < channels; ++c) f[c] *= g;
  }
  Gain = g;
}

void Mixer::Render(void* out, int frames) {
  if (!out || frames <= 0) return;
  std::lock_guard<std::mutex> renderLock(RenderLock);  // guards the scratch buffers
  uint8_t* dst = static_cast<uint8_t*>(out);
  float* acc = Accumulator.data();
  while (frames > 0) {
    const int n = std::min(frames, kChunkFrames);
    RenderChunk(acc, n);
    Limit(acc, n);
    const int samples = n * OutChannels;
    if (OutBits == 16) {
      int16_t* o = reinterpret_cast<int16_t*>(dst);
      for (int i = 0; i < samples; ++i)
        o[i] = static_cast<int16_t>(std::clamp<long>(std::lrint(acc[i]), -32768, 32767));
      dst += static_cast<size_t>(samples) * 2;
    } else {
      for (int i = 0; i < samples; ++i)
        dst[i] = static_cast<uint8_t>((std::clamp<long>(std::lrint(acc[i]), -32768, 32767) >> 8) + 128);
      dst += samples;
    }
    frames -= n;
  }
}

void Mixer::Skip(int frames) {
  if (frames <= 0) return;
  std::lock_guard<std::mutex> lock(Lock);
  for (Voice& v : Voices) {
    if (!v.Playing) continue;
    const uint32_t left = v.Clip->Frames - v.Position;
    v.Position += std::min<uint32_t>(left, static_cast<uint32_t>(frames));
    if (v.Position >= v.Clip->Frames) v.Playing = false;
  }
}

}  // namespace platform
