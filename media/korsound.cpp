#include "media/korsound.h"

#include <algorithm>
#include <cstring>

#include "platform/audio_device.h"
#include "platform/audio_mixer.h"
#include "platform/resources.h"

namespace {

uint32_t Le32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// Folds one character of a UTF-8 text for the key comparison and advances i: ASCII A-Z
// become a-z, full-width Ａ-Ｚ (EF BC A1..BA) become ａ-ｚ (EF BD 81..9A); every other byte
// stands for itself.
uint32_t FoldNext(const std::string& s, size_t& i) {
  const auto b = [&](size_t k) { return static_cast<uint8_t>(s[k]); };
  const uint8_t c = b(i);
  if (c >= 'A' && c <= 'Z') {
    ++i;
    return c + 32u;
  }
  if (c == 0xEF && i + 2 < s.size() && b(i + 1) == 0xBC && b(i + 2) >= 0xA1 && b(i + 2) <= 0xBA) {
    const uint32_t lower = b(i + 2) - 0xA1u + 0x81u;
    i += 3;
    return 0xEFBD00u | lower;
  }
  if (c == 0xEF && i + 2 < s.size() && b(i + 1) == 0xBD && b(i + 2) >= 0x81 && b(i + 2) <= 0x9A) {
    const uint32_t lower = b(i + 2);
    i += 3;
    return 0xEFBD00u | lower;
  }
  ++i;
  return c;
}

}  // namespace

bool SoundKeyEquals(const std::string& a, const std::string& b) {
  size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    if (FoldNext(a, i) != FoldNext(b, j)) return false;
  }
  return i == a.size() && j == b.size();
}

TKorSound::TKorSound() = default;

TKorSound::~TKorSound() { ReleaseAll(); }

bool TKorSound::Init(platform::Window* wnd) {
  return Init(wnd, SamplingRatio, Bits, Stereo);
}

bool TKorSound::Init(platform::Window* wnd, int32_t rate, int32_t bits, bool stereo) {
  ReleaseAll();
  Wnd = wnd;
  if (rate < 100 || rate > 200000) return false;
  Device = platform::AudioDevice::Acquire(rate, bits > 15 ? 16 : 8, stereo);
  if (!Device) return false;
  Ready = true;
  return true;
}

int32_t TKorSound::IndexOf(const std::string& key) const {
  for (size_t i = 0; i < SoundNames.size(); ++i)
    if (SoundKeyEquals(SoundNames[i], key)) return static_cast<int32_t>(i);
  return -1;
}

bool TKorSound::CreateBuffer(const std::string& key, const std::string& resName) {
  if (!CreateBuffer(resName)) return false;
  // Keys sit at their slot's position; sounds loaded without a key leave an empty entry.
  if (SoundNames.size() < static_cast<size_t>(SoundCount - 1)) SoundNames.resize(SoundCount - 1);
  SoundNames.push_back(key);
  return true;
}

bool TKorSound::CreateBuffer(const std::string& resName) {
  if (!Ready || SoundCount >= kMaxSounds) return false;
  std::vector<uint8_t> bytes;
  if (!platform::LoadResourceOrFile("WAVE", resName, bytes)) return false;
  return LoadFile(bytes.data(), bytes.size());
}

bool TKorSound::LoadFile(const uint8_t* image, size_t length) {
  if (!Ready || !Device || !image || SoundCount >= kMaxSounds) return false;
  if (length < 12 || std::memcmp(image, "RIFF", 4) != 0 || std::memcmp(image + 8, "WAVE", 4) != 0)
    return false;
  const uint64_t riffEnd = std::min<uint64_t>(8ull + Le32(image + 4), length);

  bool haveFormat = false, haveData = false;
  uint64_t formatPos = 0, formatSize = 0, dataPos = 0, dataSize = 0;
  uint64_t pos = 12;
  while (pos < riffEnd) {
    if (pos + 8 > riffEnd) break;  // a header cut off by the end of the RIFF
    const uint8_t* header = image + pos;
    const uint64_t size = Le32(header + 4);
    const uint64_t body = pos + 8;
    if (std::memcmp(header, "fmt ", 4) == 0) {
      if (size < 14) return false;
      haveFormat = true;
      formatPos = body;
      formatSize = size;
    } else if (std::memcmp(header, "data", 4) == 0) {
      haveData = true;
      dataPos = body;
      dataSize = size;
    }
    if (haveFormat && haveData && dataSize != 0) break;
    pos = body + size + (size & 1);
  }
  if (!haveFormat || !haveData || dataSize == 0) return false;
  if (formatPos + formatSize > riffEnd || dataPos + dataSize > riffEnd) return false;

  platform::WaveFormat format;
  if (!platform::ParseWaveFormat(image + formatPos, static_cast<size_t>(formatSize), format))
    return false;
  platform::Mixer& mixer = Device->GetMixer();
  auto clip = mixer.Convert(format, image + dataPos, static_cast<size_t>(dataSize));
  if (!clip) return false;

  TSlot& slot = Slots[SoundCount];
  int made[kVoicesPerSound] = {-1, -1, -1, -1};
  made[0] = mixer.CreateVoice(std::move(clip));
  bool ok = made[0] >= 0;
  for (int v = 1; ok && v < kVoicesPerSound; ++v) {
    made[v] = mixer.DuplicateVoice(made[0]);
    ok = made[v] >= 0;
  }
  if (!ok) {
    for (int id : made)
      if (id >= 0) mixer.ReleaseVoice(id);
    return false;
  }
  std::copy(std::begin(made), std::end(made), slot.Voices);
  ++SoundCount;
  return true;
}

bool TKorSound::Play(const std::string& key) {
  const int32_t index = IndexOf(key);
  return index >= 0 && Play(index);
}

bool TKorSound::Play(int32_t index) {
  if (!Ready || index < 0 || index >= SoundCount) return false;
  platform::Mixer& mixer = Device->GetMixer();
  TSlot& slot = Slots[index];
  const int32_t n = slot.NextVoice;
  const int32_t last = n == 0 ? kVoicesPerSound - 1 : n - 1;
  // The same request within one instant sounds once. The instant is the frame: the device's
  // play position moves only a block at a time, which may be longer than a frame, so a
  // request one frame later would be taken for the same instant and lost.
  bool playing = false;
  if (slot.StartedFrame == Frame && mixer.IsPlaying(slot.Voices[last], playing) && playing)
    return true;
  if (!mixer.Start(slot.Voices[n])) return false;
  slot.NextVoice = (n + 1) % kVoicesPerSound;
  slot.StartedFrame = Frame;
  return true;
}

bool TKorSound::Stop(const std::string& key) {
  const int32_t index = IndexOf(key);
  return index >= 0 && Stop(index);
}

bool TKorSound::Stop(int32_t index) {
  if (!Ready || index < 0 || index >= SoundCount) return false;
  platform::Mixer& mixer = Device->GetMixer();
  TSlot& slot = Slots[index];
  for (int v = 0; v < kVoicesPerSound; ++v)
    if (!mixer.Stop(slot.Voices[v])) return false;
  slot.NextVoice = 0;
  slot.StartedFrame = -1;
  return true;
}

bool TKorSound::IsPlaying(const std::string& key) {
  const int32_t index = IndexOf(key);
  return index >= 0 && IsPlaying(index);
}

bool TKorSound::IsPlaying(int32_t index) {
  if (!Ready || index < 0 || index >= SoundCount) return false;
  platform::Mixer& mixer = Device->GetMixer();
  for (int v = 0; v < kVoicesPerSound; ++v) {
    bool playing = false;
    if (mixer.IsPlaying(Slots[index].Voices[v], playing) && playing) return true;
  }
  return false;
}

void TKorSound::ReleaseAll() {
  if (Device) {
    platform::Mixer& mixer = Device->GetMixer();
    for (TSlot& slot : Slots)
      for (int& voice : slot.Voices) {
        if (voice >= 0) mixer.ReleaseVoice(voice);
        voice = -1;
      }
    platform::AudioDevice::Release(Device);
    Device = nullptr;
  }
  Ready = false;
  SoundCount = 0;
  SoundNames.clear();
}
