#pragma once
// TKorSound: the sound effect component. Up to 16 wave sounds, each playable on four voices
// at once, registered under keys that compare ignoring letter case.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {
class Window;
}

class TKorSound {
 public:
  TKorSound();
  ~TKorSound();
  TKorSound(const TKorSound&) = delete;
  TKorSound& operator=(const TKorSound&) = delete;

  bool Init(platform::Window* wnd);
  bool Init(platform::Window* wnd, const void* instance, int32_t rate, int32_t bits, bool stereo);
  bool CreateBuffer(const std::string& key, const std::string& resName);
  bool CreateBuffer(const std::string& resName);
  bool LoadFile(const uint8_t* image, size_t length);
  bool Play(const std::string& key);
  bool Play(int32_t index);
  bool Stop(const std::string& key);
  bool Stop(int32_t index);
  bool IsPlaying(const std::string& key);
  bool IsPlaying(int32_t index);
  void ReleaseAll();

  void SetBits(int32_t value) { Bits = value > 15 ? 16 : 8; }

  bool Ready = false;
  int32_t SoundCount = 0;
  int32_t SamplingRatio = 22050;
  int32_t Bits = 16;
  bool Stereo = true;
  std::vector<std::string> SoundNames;
};
