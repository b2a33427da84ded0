#include "platform/audio_device.h"

#include <SDL.h>
#include <dlfcn.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace platform {
namespace {

std::mutex gDeviceLock;
std::string gLastError;  // guarded by gDeviceLock
AudioDevice* gDevice = nullptr;
bool gManualMode = false;
int gManualRate = AudioDevice::kPreferredRate;
int gEffectsPercent = 100;
int gMusicPercent = 100;
// The last live open that failed, and the SDL_AUDIODRIVER it was made under.
bool gLiveFailed = false;
std::string gFailedDriver;
// SDL's audio subsystem as a failed open left it: still up (see OpenSdl).
bool gSubsystemLeftUp = false;

// The pass run from the callback (SetPass): taken while it runs and while it changes.
std::mutex gPassLock;
AudioDevice::PassCallback gPass = nullptr;
void* gPassUser = nullptr;
int gPassFrames = 0;
int gUntilPass = 0;  // frames still to render before the next pass

// About 21 ms at 48000 Hz, one frame of the game: a sound still starts within about a
// frame of its request, and the audio thread wakes about 47 times a second instead of 94.
// The music does not depend on it: its passes fall every 10 ms of the sound itself.
constexpr Uint16 kDeviceFrames = 1024;

std::string DriverSetting() {
  const char* v = std::getenv("SDL_AUDIODRIVER");
  return v ? std::string("=") + v : std::string();
}

float PercentToGain(int percent) {
  const float f = static_cast<float>(std::clamp(percent, 0, 100)) / 100.0f;
  return f * f;
}

// ALSA writes its own diagnostics on standard error while SDL probes for a device (a machine
// without a sound card gets eight lines of them before SDL's one-line reason). SDL loads the
// library at run time; loading the same library here gives its error hook, which is pointed
// at a function that says nothing while the device opens, and back at ALSA's own afterwards.
// Without the library there is nothing to quieten.
class QuietAlsa {
 public:
  QuietAlsa() {
    // A driver chosen in the environment that is not ALSA never loads the library.
    const char* chosen = std::getenv("SDL_AUDIODRIVER");
    if (chosen && *chosen && !std::strstr(chosen, "alsa")) return;
    Library = dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
    if (!Library) return;
    SetHandler = reinterpret_cast<SetHandlerFn>(dlsym(Library, "snd_lib_error_set_handler"));
    if (SetHandler) SetHandler(&Silent);
  }
  ~QuietAlsa() {
    if (SetHandler) SetHandler(nullptr);  // ALSA's default handler again
    if (Library) dlclose(Library);
  }
  QuietAlsa(const QuietAlsa&) = delete;
  QuietAlsa& operator=(const QuietAlsa&) = delete;

 private:
  using HandlerFn = void (*)(const char*, int, const char*, int, const char*, ...);
  using SetHandlerFn = int (*)(HandlerFn);
  static void Silent(const char*, int, const char*, int, const char*, ...) {}
  void* Library = nullptr;
  SetHandlerFn SetHandler = nullptr;
};

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

void AudioDevice::SetManualRate(int rate) {
  std::lock_guard<std::mutex> lock(gDeviceLock);
  if (!gDevice && rate >= 8000 && rate <= 192000) gManualRate = rate;
}

AudioDevice* AudioDevice::Acquire(int rate, int bits, bool stereo) {
  std::lock_guard<std::mutex> lock(gDeviceLock);
  if (gDevice) {
    ++gDevice->References;
    return gDevice;
  }
  if (rate <= 0) return nullptr;
  // A live device that could not be opened is not looked for again in the same set-up:
  // the answer would be the same, after the same wait inside the audio library.
  if (!gManualMode && gLiveFailed && gFailedDriver == DriverSetting()) return nullptr;
  if (gSubsystemLeftUp) {  // another set-up now: start SDL's audio afresh under it
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    gSubsystemLeftUp = false;
  }
  auto* device =
      new AudioDevice(gManualMode ? gManualRate : kPreferredRate, bits, stereo ? 2 : 1, gManualMode);
  gLastError.clear();
  if (!device->IsManual) {
    gLiveFailed = false;
    if (!device->OpenSdl()) {
      gLastError = SDL_GetError();
      if (gLastError.empty()) gLastError = "no audio device";
      gLiveFailed = true;
      gFailedDriver = DriverSetting();
      delete device;
      return nullptr;
    }
  }
  device->TheMixer.SetGains(PercentToGain(gEffectsPercent), PercentToGain(gMusicPercent));
  device->References = 1;
  gDevice = device;
  if (!device->IsManual) SDL_PauseAudioDevice(device->SdlDevice, 0);
  return device;
}

void AudioDevice::SetVolumes(int effectsPercent, int musicPercent) {
  std::lock_guard<std::mutex> lock(gDeviceLock);
  gEffectsPercent = std::clamp(effectsPercent, 0, 100);
  gMusicPercent = std::clamp(musicPercent, 0, 100);
  if (gDevice)
    gDevice->TheMixer.SetGains(PercentToGain(gEffectsPercent), PercentToGain(gMusicPercent));
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

void AudioDevice::Skip(int frames) {
  std::lock_guard<std::mutex> lock(gDeviceLock);
  if (gDevice && gDevice->IsManual) gDevice->TheMixer.Skip(frames);
}

bool AudioDevice::SetPass(int intervalMs, PassCallback pass, void* user) {
  if (intervalMs <= 0 || !pass) return false;
  int frames;
  {
    std::lock_guard<std::mutex> lock(gDeviceLock);
    if (!gDevice || gDevice->IsManual) return false;
    frames = gDevice->Rate() * intervalMs / 1000;
  }
  if (frames <= 0) return false;
  std::lock_guard<std::mutex> lock(gPassLock);
  if (gPass && gPassUser != user) return false;  // one pass at a time; others keep a timer
  gPass = pass;
  gPassUser = user;
  gPassFrames = frames;
  gUntilPass = 0;
  return true;
}

void AudioDevice::ClearPass(void* user) {
  std::lock_guard<std::mutex> lock(gPassLock);
  if (gPassUser != user) return;
  gPass = nullptr;
  gPassUser = nullptr;
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
  QuietAlsa quiet;
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
  SdlAudioInitialised = true;
  // 48000 Hz, or the hardware's own rate when that is 44100. A hardware rate other than
  // these is left to SDL's conversion from 48000 (or 44100 as a last try). A first attempt
  // that finds no device at all is the answer: there is nothing to try again.
  bool noDevice = false;
  if (OpenSdlAt(kPreferredRate, true, noDevice)) return true;
  if (!noDevice && (OpenSdlAt(kPreferredRate, false, noDevice) ||
                    OpenSdlAt(kFallbackRate, false, noDevice)))
    return true;
  // The subsystem stays up: shutting it down waits for the driver's device-watching thread
  // to wake (about 100 ms with ALSA), which would hold the first frame. Nothing of it runs
  // but that thread, which ends with the program.
  gSubsystemLeftUp = true;
  SdlAudioInitialised = false;
  return false;
}

bool AudioDevice::OpenSdlAt(int rate, bool allowOtherRate, bool& noDevice) {
  SDL_AudioSpec want;
  SDL_zero(want);
  want.freq = rate;
  want.format = TheMixer.Bits() == 16 ? AUDIO_S16SYS : AUDIO_U8;
  want.channels = static_cast<Uint8>(TheMixer.Channels());
  want.samples = kDeviceFrames;
  want.callback = &AudioDevice::Callback;
  want.userdata = this;
  SDL_AudioSpec have;
  // Apart from the rate SDL converts our format to whatever the hardware takes. The device
  // opens paused; Acquire starts it once it is published.
  SDL_AudioDeviceID id = SDL_OpenAudioDevice(nullptr, 0, &want, &have,
                                             allowOtherRate ? SDL_AUDIO_ALLOW_FREQUENCY_CHANGE : 0);
  if (id == 0) {
    noDevice = true;
    return false;
  }
  if (allowOtherRate && have.freq != kPreferredRate && have.freq != kFallbackRate) {
    SDL_CloseAudioDevice(id);
    return false;
  }
  TheMixer.SetRate(have.freq);
  SdlDevice = id;
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
  // The block is mixed in stretches that end where a pass is due; each pass runs just
  // before the stretch it belongs to, so its notes start on a grid of the sound itself.
  for (int done = 0; done < frames;) {
    int n = frames - done;
    {
      std::lock_guard<std::mutex> lock(gPassLock);
      if (gPass) {
        if (gUntilPass <= 0) {
          gPass(gPassUser);
          gUntilPass += gPassFrames;
        }
        n = std::min(n, gUntilPass);
        gUntilPass -= n;
      }
    }
    device->TheMixer.Render(stream + static_cast<size_t>(done) * bytesPerFrame, n);
    done += n;
  }
  const int rest = len - frames * bytesPerFrame;
  if (rest > 0)
    std::memset(stream + frames * bytesPerFrame, device->TheMixer.Bits() == 16 ? 0 : 128,
                static_cast<size_t>(rest));
}

}  // namespace platform
