#pragma once
// The process's one audio output: an SDL audio device whose callback renders a Mixer, shared
// by the sound effect component and the MIDI synthesiser (whose samples the mixer pulls).
//
// The device runs at 48000 Hz (44100 Hz where the hardware refuses 48000), whatever rate
// its owners publish: the music is rendered at that rate in its full bandwidth, and every
// wave is converted to it once, at load time.
//
// Live mode (the game): the first Acquire brings up SDL's audio subsystem on its own
// (SDL_InitSubSystem(SDL_INIT_AUDIO)) and opens the default device; when that fails Acquire
// returns null and the caller runs silent. A failure is remembered: later owners in the
// same set-up (the same SDL_AUDIODRIVER) get null at once instead of waiting for the audio
// library to fail again. SDL's callback renders the mixer, which takes its own lock.
//
// Manual mode (the replay runner, tests): no SDL device, no callback. Nothing sounds until
// the owner calls Render, which mixes exactly the frames asked for, so the output follows
// the caller's clock. The MIDI component also reads this switch: in manual mode it starts no
// timer or thread, and its owner calls TKorMidi::RunPass for every 10 ms of music.
//
//   platform::AudioDevice::SetManualMode(true);   // before TKorSound::Init / TKorMidi::Init
//   ... each 20 ms tick: game tick, midi.RunPass() twice,
//       platform::AudioDevice::Render(buf, OpenRate() / 50);  // stereo int16
//
// Acquire and Release are reference counted: the device opens with the first owner's sample
// format (bits, channels) and closes when the last owner releases it. A later owner that
// asks for another format gets the open device as it is.
#include <cstdint>
#include <string>

#include "platform/audio_mixer.h"

namespace platform {

class AudioDevice {
 public:
  // The rates a live device is opened at, in order of preference.
  static constexpr int kPreferredRate = 48000;
  static constexpr int kFallbackRate = 44100;

  // Chooses manual mode for the next device opened; ignored while a device is open.
  static void SetManualMode(bool on);
  static bool IsManualMode();
  // The rate of the next manual device (kPreferredRate unless changed; tests that compare
  // samples one for one choose their waves' own rate). Ignored while a device is open.
  static void SetManualRate(int rate);

  // Opens or shares the device. rate: the owner's published rate in hertz (checked, but
  // the device runs at its own rate); bits 8 or 16, stereo or mono. Null when no audio
  // device can be opened.
  static AudioDevice* Acquire(int rate, int bits, bool stereo);

  // Effect and music loudness in percent (0..100, 100 by default), applied in the mix:
  // effects are the voices, music the pull sources. The gain follows the square of the
  // fraction, so 50 is about half as loud to the ear. Kept for devices opened later.
  static void SetVolumes(int effectsPercent, int musicPercent);
  // Gives up one reference; the last closes the device. Null is ignored.
  static void Release(AudioDevice* device);
  // Why the last Acquire could not open a device ("" when it could).
  static std::string LastError();

  // Manual mode: writes frames of the mixed output (interleaved int16, Channels() per
  // frame) into out and advances every voice and source by that much. Silence when no
  // device is open. In live mode it writes silence and touches nothing (SDL's callback
  // owns the timing).
  static void Render(int16_t* out, int frames);
  // Manual mode: advances every voice by frames as Render would, mixing nothing (a run
  // that writes no sound). Does nothing in live mode.
  static void Skip(int frames);

  // Live mode: a pass (the MIDI sequencer's) run by the device's own callback for every
  // intervalMs of sound it renders, just before that stretch is mixed, so the music keeps
  // the device's clock with no timer of its own. False when no live device is open or
  // another owner's pass is set.
  // ClearPass: once it returns the pass is not called again. Neither may be called from
  // inside the pass, nor while holding a lock the pass takes.
  using PassCallback = void (*)(void* user);
  static bool SetPass(int intervalMs, PassCallback pass, void* user);
  static void ClearPass(void* user);

  // The open device's output channels (2 unless a mono device was asked for), 0 if none.
  static int OpenChannels();
  static int OpenRate();

  Mixer& GetMixer() { return TheMixer; }
  int Rate() const { return TheMixer.Rate(); }
  int Channels() const { return TheMixer.Channels(); }
  bool Manual() const { return IsManual; }

  AudioDevice(const AudioDevice&) = delete;
  AudioDevice& operator=(const AudioDevice&) = delete;

 private:
  AudioDevice(int rate, int bits, int channels, bool manual);
  ~AudioDevice();
  bool OpenSdl();
  bool OpenSdlAt(int rate, bool allowOtherRate, bool& noDevice);
  void CloseSdl();
  static void Callback(void* user, uint8_t* stream, int len);

  Mixer TheMixer;
  bool IsManual;
  uint32_t SdlDevice = 0;
  bool SdlAudioInitialised = false;
  int References = 0;
};

}  // namespace platform
