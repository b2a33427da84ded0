#include "platform/audio_device.h"

#include <SDL.h>

#include <cstring>
#include <mutex>

namespace platform {
namespace {

std::mutex gDeviceLock;
std::string gLastError;  // guarded by gDeviceLock
AudioDevice* gDevice = nullptr;
bool gManualMode = false;

// About 23 ms at 22050 Hz: short enough that a sound follows its frame closely.
constexpr Uint16 kDeviceFrames = 512;

}  // namespace

AudioDevice::AudioDevice(int rate, int bits, int channels, bool manual)
    : TheMixer(rate, bits, channels), IsManual(manual) {}

AudioDevice::~AudioDevice() { CloseSdl(); }

void AudioDevice::SetManualMode(bool on) {
  std::lock_guard<std::mutex> lock(gDeviceLock);
  if (!gDevice) gManualMode = on;
}

bool AudioDevice::IsManualMode() {
  std::lock_guard<std::mutex> lock(gDeviceLock);
  return gManualMode;
}

AudioDevice* AudioDevice::Acquire(int rate, int bits, bool stereo) {
  std::lock_guard<std::mutex> lock(gDeviceLock);
  if (gDevice) {
    ++gDevice->References;
    return gDevice;
  }
  if (rate <= 0) return nullptr;
  auto* device = new AudioDevice(rate, bits, stereo ? 2 : 1, gManualMode);
  gLastError.clear();
  if (!device->IsManual && !device->OpenSdl()) {
    gLastError = SDL_GetError();
    if (gLastError.empty()) gLastError = "no audio device";
    delete device;
    return nullptr;
  }
  device->References = 1;
  gDevice = device;
  return device;
}

std::string AudioDevice::LastError() {
  std::lock_guard<std::mutex> lock(gDeviceLock);
  return gLastError;
}

void AudioDevice::Release(AudioDevice* device) {
  if (!device) return;
  std::lock_guard<std::mutex> lock(gDeviceLock);
  if (device != gDevice) return;
  if (--device->References > 0) return;
  gDevice = nullptr;
  delete device;
}

void AudioDevice::Render(int16_t* out, int frames) {
  if (!out || frames <= 0) return;
  std::lock_guard<std::mutex> lock(gDeviceLock);
  if (gDevice && gDevice->IsManual && gDevice->TheMixer.Bits() == 16) {
    gDevice->TheMixer.Render(out, frames);
    return;
  }
  const int channels = gDevice ? gDevice->Channels() : 2;
  std::memset(out, 0, sizeof(int16_t) * static_cast<size_t>(frames) * channels);
}

int AudioDevice::OpenChannels() {
  std::lock_guard<std::mutex> lock(gDeviceLock);
  return gDevice ? gDevice->Channels() : 0;
}

int AudioDevice::OpenRate() {
  std::lock_guard<std::mutex> lock(gDeviceLock);
  return gDevice ? gDevice->Rate() : 0;
}

bool AudioDevice::OpenSdl() {
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
  SdlAudioInitialised = true;
  SDL_AudioSpec want;
  SDL_zero(want);
  want.freq = TheMixer.Rate();
  want.format = TheMixer.Bits() == 16 ? AUDIO_S16SYS : AUDIO_U8;
  want.channels = static_cast<Uint8>(TheMixer.Channels());
  want.samples = kDeviceFrames;
  want.callback = &AudioDevice::Callback;
  want.userdata = this;
  SDL_AudioSpec have;
  // No allowed changes: SDL converts our format to whatever the hardware takes.
  SDL_AudioDeviceID id = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  if (id == 0) {
    CloseSdl();
    return false;
  }
  SdlDevice = id;
  SDL_PauseAudioDevice(id, 0);
  return true;
}

void AudioDevice::CloseSdl() {
  if (SdlDevice != 0) {
    SDL_CloseAudioDevice(SdlDevice);  // waits for a running callback to return
    SdlDevice = 0;
  }
  if (SdlAudioInitialised) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    SdlAudioInitialised = false;
  }
}

void AudioDevice::Callback(void* user, uint8_t* stream, int len) {
  auto* device = static_cast<AudioDevice*>(user);
  const int bytesPerFrame = device->TheMixer.BytesPerFrame();
  const int frames = len / bytesPerFrame;
  device->TheMixer.Render(stream, frames);
  const int rest = len - frames * bytesPerFrame;
  if (rest > 0)
    std::memset(stream + frames * bytesPerFrame, device->TheMixer.Bits() == 16 ? 0 : 128,
                static_cast<size_t>(rest));
}

}  // namespace platform
