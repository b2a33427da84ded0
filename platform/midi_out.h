#pragma once
// MIDI outputs for the sequencer: the FluidSynth synthesiser mixed into the audio device,
// and a recording output that keeps every message (for tests and tools).
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace platform {

class MidiOut {
 public:
  // LongMsg's answer while the output cannot take a block yet.
  static constexpr int kNotReady = 67;

  virtual ~MidiOut() = default;
  // One channel message packed as status + data1 x 256 + data2 x 65536.
  virtual void ShortMsg(uint32_t packed) = 0;
  // One system-exclusive block, F0 ... F7 as it stands in the file. 0 when taken,
  // kNotReady when the output is busy, any other value for an error.
  virtual int LongMsg(const uint8_t* bytes, size_t count) = 0;
  // Turns off every sounding note on every channel (the sustain pedal is released too).
  virtual void Reset() = 0;
  // False while the output is still getting ready (a synthesiser loading its sound font
  // behind the game's first frames): messages sent meanwhile are dropped, so the sequencer
  // holds its song until this is true.
  virtual bool IsReady() const { return true; }
};

// The sound fonts looked for, in order.
const std::vector<std::string>& DefaultSoundFontPaths();
// Replaces that list until ClearSoundFontPathsOverride (tests: a list of missing files
// stands for a machine without a sound font). Not for use while a MIDI output is opening.
void OverrideSoundFontPaths(const std::vector<std::string>& paths);
void ClearSoundFontPathsOverride();

// Why OpenSynthMidiOut gave no output.
enum class MidiOpenFailure { None, NoAudioDevice, NoSynthesiser, NoSoundFont };

// A FluidSynth synthesiser with the first sound font of fontPaths that loads, rendering at
// the shared audio device's rate into its mixer (acquired as 16-bit stereo unless the device
// is already open). Null when there is no audio device, or no synthesiser or sound font:
// nothing could be heard. failure, when given, tells which. On a live device the sound
// font is only checked here (that a file of the right kind is there) and loaded on a thread
// of its own; IsReady tells when it is done. A font that then fails to load leaves the
// output silent and says so in one line on standard error.
std::unique_ptr<MidiOut> OpenSynthMidiOut(
    const std::vector<std::string>& fontPaths = DefaultSoundFontPaths(),
    MidiOpenFailure* failure = nullptr);

// The synthesiser's loudness (FluidSynth's synth.gain; its default of 0.2 is quiet). With
// TimGM6mb a dense five-part arrangement with drums peaks near -6 dBFS at 0.4,
// leaving headroom for the effects; the strings of that font are about 10 dB louder than
// its other programs, so songs keep them down with velocity or channel volume.
constexpr double kSynthGain = 0.4;
// Voices sounding at once; the quietest are taken over beyond this, which bounds the
// rendering cost of a dense passage (about 16 us per voice per 10 ms).
constexpr int kSynthPolyphony = 64;

// Everything a RecordingMidiOut received, shared with whoever reads it. Thread-safe.
struct MidiLogEntry {
  enum class Kind { Short, Long, Reset };
  Kind Type = Kind::Short;
  uint32_t Packed = 0;          // Short
  std::vector<uint8_t> Bytes;   // Long
  bool operator==(const MidiLogEntry&) const = default;
};

class MidiLog {
 public:
  void Add(MidiLogEntry entry);
  std::vector<MidiLogEntry> Entries() const;
  size_t Size() const;
  void Clear();
  // LongMsg answers kNotReady this many times before it takes a block.
  void SetNotReadyAnswers(int count);
  int TakeNotReadyAnswer();
  int LongAttempts() const;

 private:
  mutable std::mutex Lock;
  std::vector<MidiLogEntry> Items;
  int NotReadyLeft = 0;
  int Attempts = 0;
};

class RecordingMidiOut : public MidiOut {
 public:
  explicit RecordingMidiOut(std::shared_ptr<MidiLog> log) : Log(std::move(log)) {}
  void ShortMsg(uint32_t packed) override;
  int LongMsg(const uint8_t* bytes, size_t count) override;
  void Reset() override;

 private:
  std::shared_ptr<MidiLog> Log;
};

}  // namespace platform
