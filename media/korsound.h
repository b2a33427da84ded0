#pragma once
// TKorSound: the sound effect component. Up to 16 wave sounds, each playable on four voices
// at once, registered under keys that compare ignoring letter case. Waves are converted once
// at load time into the audio device's format and mixed there; playing costs a few field
// updates under the mixer's lock and never allocates.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {
class Window;
class AudioDevice;
}  // namespace platform

class TKorSound {
 public:
  static constexpr int kMaxSounds = 16;
  static constexpr int kVoicesPerSound = 4;

  // One loaded sound: voice 0 holds the converted wave, voices 1-3 share it, each with its
  // own play position and playing status. Voice values are mixer voice ids, -1 for none.
  struct TSlot {
    int32_t NextVoice = 0;
    int Voices[kVoicesPerSound] = {-1, -1, -1, -1};
    int64_t StartedFrame = -1;  // the frame in which the last voice was started
  };

  TKorSound();
  ~TKorSound();
  TKorSound(const TKorSound&) = delete;
  TKorSound& operator=(const TKorSound&) = delete;

  // Opens the shared audio device with the published sample format (Bits, Stereo); the
  // device runs at its own rate (48000 Hz, or 44100), and SamplingRatio stays the published
  // setting. The window is kept but not needed for audio. False when there is no audio
  // device: every later call answers false.
  bool Init(platform::Window* wnd);
  // bits: 16 for any value above 15, else 8.
  bool Init(platform::Window* wnd, int32_t rate, int32_t bits, bool stereo);
  // Loads a sound (resource first, then the name as a file path) and registers it under key.
  bool CreateBuffer(const std::string& key, const std::string& resName);
  // Loads a sound into the next slot without a key.
  bool CreateBuffer(const std::string& resName);
  // Parses a complete RIFF wave image and fills the next slot.
  bool LoadFile(const uint8_t* image, size_t length);
  bool Play(const std::string& key);
  bool Play(int32_t index);
  bool Stop(const std::string& key);
  bool Stop(int32_t index);
  bool IsPlaying(const std::string& key);
  bool IsPlaying(int32_t index);
  // Releases every voice and the device, forgets every sound.
  void ReleaseAll();
  // The frame clock: called once at the start of every frame. Requests of one sound within
  // one frame start it once; a request in a later frame always starts a voice.
  void NextFrame() { ++Frame; }

  void SetBits(int32_t value) { Bits = value > 15 ? 16 : 8; }

  // The slot registered under key (ignoring letter case), or -1.
  int32_t IndexOf(const std::string& key) const;

  platform::Window* Wnd = nullptr;
  bool Ready = false;
  int32_t SoundCount = 0;
  platform::AudioDevice* Device = nullptr;
  TSlot Slots[kMaxSounds];
  int32_t SamplingRatio = 22050;
  int32_t Bits = 16;
  bool Stereo = true;
  std::vector<std::string> SoundNames;
  int64_t Frame = 0;
};

// True when two sound keys are equal ignoring letter case (ASCII and full-width Latin
// letters; other characters compare exactly).
bool SoundKeyEquals(const std::string& a, const std::string& b);
