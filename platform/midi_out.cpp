#include "platform/midi_out.h"

#include <fluidsynth.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <set>
#include <thread>
#include <utility>

#include "platform/audio_device.h"
#include "platform/audio_mixer.h"
#include "platform/resources.h"

namespace platform {
namespace {

bool IsRegularFile(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// The loading thread's niceness (0 is the game's own, 19 the least urgent).
constexpr int kLoaderNice = 10;

// The synthesiser's channels: the 16 that songs address, and more that only hold presets.
constexpr int kSynthChannels = 64;
constexpr int kSongChannels = 16;

// Every (bank, program) that a program change in the embedded songs selects, drums (channel
// 10) as bank 128, FluidSynth's bank of percussion kits. A walk over the tracks' events that
// stops at anything it cannot read.
void CollectSongPresets(std::set<std::pair<int, int>>& presets) {
  auto be32 = [](const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 |
           static_cast<uint32_t>(p[2]) << 8 | p[3];
  };
  for (int r = 0; r < kEmbeddedResourceCount; ++r) {
    const EmbeddedResource& res = kEmbeddedResources[r];
    if (std::strcmp(res.Type, "MIDI") != 0) continue;
    const uint8_t* data = res.Begin;
    const size_t size = static_cast<size_t>(res.End - res.Begin);
    if (size < 14 || std::memcmp(data, "MThd", 4) != 0) continue;
    for (size_t pos = 8 + be32(data + 4); pos + 8 <= size;) {
      const size_t length = be32(data + pos + 4);
      const size_t end = std::min(size, pos + 8 + length);
      const bool track = std::memcmp(data + pos, "MTrk", 4) == 0;
      size_t i = pos + 8;
      pos = pos + 8 + length;
      if (!track) continue;
      int bank[kSongChannels] = {};
      uint8_t status = 0;
      auto vlq = [&](size_t& at) {
        uint32_t v = 0;
        for (int k = 0; k < 4 && at < end; ++k) {
          const uint8_t b = data[at++];
          v = (v << 7) | (b & 0x7Fu);
          if (!(b & 0x80)) break;
        }
        return v;
      };
      while (i < end) {
        vlq(i);  // delta time
        if (i >= end) break;
        if (data[i] == 0xFF) {
          i += 2;
          if (i > end) break;
          i += vlq(i);
          continue;
        }
        if (data[i] == 0xF0 || data[i] == 0xF7) {
          ++i;
          i += vlq(i);
          continue;
        }
        if (data[i] & 0x80) status = data[i++];
        if (status < 0x80) break;
        const int ch = status & 0x0F, kind = status & 0xF0;
        const size_t need = (kind == 0xC0 || kind == 0xD0) ? 1 : 2;
        if (i + need > end) break;
        if (kind == 0xB0 && data[i] == 0) bank[ch] = data[i + 1];
        if (kind == 0xC0) presets.insert({ch == 9 ? 128 : bank[ch], data[i]});
        i += need;
      }
    }
  }
}

// True for a RIFF file of kind "sfbk" (SoundFont 2, or 3 with compressed samples): the cheap
// check that can be made before the first frame; the whole file is read behind it.
bool LooksLikeSoundFont(const std::string& path) {
  if (!IsRegularFile(path)) return false;
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  char head[12] = {};
  const bool whole = std::fread(head, 1, sizeof head, f) == sizeof head;
  std::fclose(f);
  return whole && std::memcmp(head, "RIFF", 4) == 0 && std::memcmp(head + 8, "sfbk", 4) == 0;
}

// FluidSynth renders into the mixer through this output; messages arrive from the
// sequencer's thread and rendering happens on the audio thread, which FluidSynth's
// thread-safe interface (on by default) keeps apart.
//
// On a live device the synthesiser and its sound font are made on a thread of their own,
// so that the game's first frames never wait for them; until they are ready the output
// answers IsReady false and the sequencer holds its song. With a manual device (the replay
// runner, tests) they are made at once, so a run's music starts on the same tick every time.
class SynthMidiOut final : public MidiOut, public AudioSource {
 public:
  ~SynthMidiOut() override {
    if (Loader.joinable()) Loader.join();
    if (Device) {
      Device->GetMixer().RemoveSource(this);
      AudioDevice::Release(Device);
    }
    if (Synth) delete_fluid_synth(Synth);
    if (Settings) delete_fluid_settings(Settings);
  }

  bool Open(const std::vector<std::string>& fontPaths, MidiOpenFailure& failure) {
    failure = MidiOpenFailure::NoAudioDevice;
    Device = AudioDevice::Acquire(22050, 16, true);
    if (!Device) return false;
    failure = MidiOpenFailure::NoSoundFont;
    std::vector<std::string> fonts;
    for (const std::string& path : fontPaths)
      if (LooksLikeSoundFont(path)) fonts.push_back(path);
    if (fonts.empty()) return false;
    if (!Device->Manual()) {
      failure = MidiOpenFailure::None;
      try {
        Loader = std::thread([this, fonts] {
          // Behind the frames in the processor's queue too: on a busy machine the first
          // pictures come first and the music a little later.
          setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), kLoaderNice);
          MidiOpenFailure why = MidiOpenFailure::None;
          if (!Load(fonts, why))
            std::fprintf(stderr, "vexa: %s; the game runs without music.\n",
                         why == MidiOpenFailure::NoSoundFont
                             ? "no sound font could be loaded"
                             : "the synthesiser could not be started");
        });
        return true;
      } catch (...) {
        failure = MidiOpenFailure::NoSynthesiser;
        return false;
      }
    }
    return Load(fonts, failure);
  }

  bool IsReady() const override { return Ready.load(std::memory_order_acquire); }

  void ShortMsg(uint32_t packed) override {
    if (!IsReady()) return;
    const int status = static_cast<int>(packed & 0xFF);
    const int d1 = static_cast<int>((packed >> 8) & 0x7F);
    const int d2 = static_cast<int>((packed >> 16) & 0x7F);
    const int chan = status & 0x0F;
    switch (status & 0xF0) {
      case 0x80: fluid_synth_noteoff(Synth, chan, d1); break;
      case 0x90: fluid_synth_noteon(Synth, chan, d1, d2); break;  // velocity 0 is a note-off
      case 0xA0: fluid_synth_key_pressure(Synth, chan, d1, d2); break;
      case 0xB0: fluid_synth_cc(Synth, chan, d1, d2); break;
      case 0xC0: fluid_synth_program_change(Synth, chan, d1); break;
      case 0xD0: fluid_synth_channel_pressure(Synth, chan, d1); break;
      case 0xE0: fluid_synth_pitch_bend(Synth, chan, d1 | (d2 << 7)); break;
      default: break;  // system messages and stray data bytes are not for the synthesiser
    }
  }

  int LongMsg(const uint8_t* bytes, size_t count) override {
    // FluidSynth takes the body between F0 and F7.
    if (!IsReady() || !bytes || count == 0) return 0;
    size_t begin = bytes[0] == 0xF0 ? 1 : 0;
    size_t end = count;
    if (end > begin && bytes[end - 1] == 0xF7) --end;
    if (end > begin)
      fluid_synth_sysex(Synth, reinterpret_cast<const char*>(bytes + begin),
                        static_cast<int>(end - begin), nullptr, nullptr, nullptr, 0);
    return 0;
  }

  void Reset() override {
    if (!IsReady()) return;
    for (int chan = 0; chan < 16; ++chan) fluid_synth_cc(Synth, chan, 64, 0);
    fluid_synth_all_notes_off(Synth, -1);
  }

  void RenderStereo(float* out, int frames) override {
    fluid_synth_write_float(Synth, frames, out, 0, 2, out, 1, 2);
  }

 private:
  // Makes the synthesiser at the device's rate with the first of the fonts that loads, and
  // joins it to the mix.
  bool Load(const std::vector<std::string>& fonts, MidiOpenFailure& failure) {
    failure = MidiOpenFailure::NoSynthesiser;
    Settings = new_fluid_settings();
    if (!Settings) return false;
    fluid_settings_setnum(Settings, "synth.sample-rate", Device->Rate());
    fluid_settings_setnum(Settings, "synth.gain", kSynthGain);
    fluid_settings_setint(Settings, "synth.cpu-cores", 1);
    fluid_settings_setint(Settings, "synth.polyphony", kSynthPolyphony);
    fluid_settings_setint(Settings, "synth.threadsafe-api", 1);
    // Samples are read when a preset is first selected, not the whole font at once (a large
    // General MIDI font is mostly instruments no song plays). The presets of the game's
    // songs are selected here, on channels no song addresses, so they stay loaded: a song's
    // program changes then never wait for the disk while the mix waits for the synthesiser.
    fluid_settings_setint(Settings, "synth.dynamic-sample-loading", 1);
    fluid_settings_setint(Settings, "synth.midi-channels", kSynthChannels);
    Synth = new_fluid_synth(Settings);
    if (!Synth) return false;
    failure = MidiOpenFailure::NoSoundFont;
    int font = FLUID_FAILED;
    for (const std::string& path : fonts) {
      font = fluid_synth_sfload(Synth, path.c_str(), 1);
      if (font != FLUID_FAILED) break;
    }
    if (font == FLUID_FAILED) return false;
    std::set<std::pair<int, int>> presets;
    CollectSongPresets(presets);
    int channel = kSongChannels;
    for (const auto& [bank, program] : presets) {
      if (channel >= kSynthChannels) break;
      if (fluid_synth_program_select(Synth, channel, font, bank, program) == FLUID_OK) ++channel;
    }
    Device->GetMixer().AddSource(this);
    Ready.store(true, std::memory_order_release);
    failure = MidiOpenFailure::None;
    return true;
  }

  fluid_settings_t* Settings = nullptr;
  fluid_synth_t* Synth = nullptr;
  AudioDevice* Device = nullptr;
  std::atomic<bool> Ready{false};
  std::thread Loader;
};

void SilenceFluidLog() {
  static std::once_flag once;
  std::call_once(once, [] {
    fluid_set_log_function(FLUID_ERR, nullptr, nullptr);
    fluid_set_log_function(FLUID_WARN, nullptr, nullptr);
    fluid_set_log_function(FLUID_INFO, nullptr, nullptr);
    fluid_set_log_function(FLUID_DBG, nullptr, nullptr);
  });
}

}  // namespace

namespace {
// A search list that replaces the standard one (tests stage a machine without a sound font).
std::vector<std::string> gSoundFontOverride;
bool gHasSoundFontOverride = false;
}  // namespace

void OverrideSoundFontPaths(const std::vector<std::string>& paths) {
  gSoundFontOverride = paths;
  gHasSoundFontOverride = true;
}

void ClearSoundFontPathsOverride() {
  gSoundFontOverride.clear();
  gHasSoundFontOverride = false;
}

const std::vector<std::string>& DefaultSoundFontPaths() {
  if (gHasSoundFontOverride) return gSoundFontOverride;
  static const std::vector<std::string> paths = {
      "/usr/share/sounds/sf2/TimGM6mb.sf2",
      "/usr/share/sounds/sf2/default-GM.sf2",
      "/usr/share/sounds/sf2/FluidR3_GM.sf2",
      "/usr/share/sounds/sf2/FluidR3_GS.sf2",
      "/usr/share/sounds/sf3/default-GM.sf3",
      "/usr/share/sounds/sf3/MuseScore_General.sf3",
      "/usr/share/soundfonts/default.sf2",
      "/usr/share/soundfonts/FluidR3_GM.sf2",
      "/usr/share/soundfonts/TimGM6mb.sf2",
      "/usr/local/share/soundfonts/default.sf2",
  };
  return paths;
}

std::unique_ptr<MidiOut> OpenSynthMidiOut(const std::vector<std::string>& fontPaths,
                                          MidiOpenFailure* failure) {
  SilenceFluidLog();
  MidiOpenFailure why = MidiOpenFailure::None;
  auto out = std::make_unique<SynthMidiOut>();
  const bool ok = out->Open(fontPaths, why);
  if (failure) *failure = why;
  if (!ok) return nullptr;
  return out;
}

void MidiLog::Add(MidiLogEntry entry) {
  std::lock_guard<std::mutex> lock(Lock);
  Items.push_back(std::move(entry));
}

std::vector<MidiLogEntry> MidiLog::Entries() const {
  std::lock_guard<std::mutex> lock(Lock);
  return Items;
}

size_t MidiLog::Size() const {
  std::lock_guard<std::mutex> lock(Lock);
  return Items.size();
}

void MidiLog::Clear() {
  std::lock_guard<std::mutex> lock(Lock);
  Items.clear();
  Attempts = 0;
}

void MidiLog::SetNotReadyAnswers(int count) {
  std::lock_guard<std::mutex> lock(Lock);
  NotReadyLeft = count;
}

int MidiLog::TakeNotReadyAnswer() {
  std::lock_guard<std::mutex> lock(Lock);
  ++Attempts;
  if (NotReadyLeft <= 0) return 0;
  --NotReadyLeft;
  return MidiOut::kNotReady;
}

int MidiLog::LongAttempts() const {
  std::lock_guard<std::mutex> lock(Lock);
  return Attempts;
}

void RecordingMidiOut::ShortMsg(uint32_t packed) {
  MidiLogEntry e;
  e.Type = MidiLogEntry::Kind::Short;
  e.Packed = packed;
  Log->Add(std::move(e));
}

int RecordingMidiOut::LongMsg(const uint8_t* bytes, size_t count) {
  if (int answer = Log->TakeNotReadyAnswer(); answer != 0) return answer;
  MidiLogEntry e;
  e.Type = MidiLogEntry::Kind::Long;
  e.Bytes.assign(bytes, bytes + count);
  Log->Add(std::move(e));
  return 0;
}

void RecordingMidiOut::Reset() {
  MidiLogEntry e;
  e.Type = MidiLogEntry::Kind::Reset;
  Log->Add(std::move(e));
}

}  // namespace platform
