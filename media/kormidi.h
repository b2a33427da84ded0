#pragma once
// TKorMidi: the Standard MIDI File sequencer that plays the background music.
//
// A song (format 0 or 1, at most 64 tracks) is copied into the track table; a playback pass
// every 10 ms turns elapsed milliseconds into ticks at the current tempo (integer arithmetic,
// the remainder carried to the next pass) and sends every event that has come due to a MIDI
// output. Cue points "repeat" and "end" in the song make a looping song play its
// introduction once and then repeat its body.
//
// Timing: on a live audio device (the game's) the device's callback runs a pass for every
// 10 ms of sound it renders, holding PlayLock (DeviceClock); without one, in timer mode, a
// 10 ms periodic timer does; in thread mode a play thread does, measuring the time between
// passes. In manual mode
// (platform::AudioDevice::SetManualMode(true) before Init) neither runs: the owner calls
// RunPass once for every 10 ms of music, so the music follows the owner's clock.
//
// A pass runs only while the output is ready (OutputReady): a song asked for while the
// synthesiser is still loading waits for it, and no frame ever does.
//
// Every operation that reads or changes the track table takes PlayLock; a pass that stops
// the song itself (an "end" cue or the song's end without loop) does so without taking it
// again.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/midi_out.h"

struct TMidiTrack {
  bool InUse = false;
  bool Ended = false;
  uint32_t Pos = 0;
  uint32_t LoopPos = 0;
  uint8_t LastStatus = 0;
  uint32_t Pending = 0;
  uint32_t LoopPending = 0;
  uint32_t TrackLength = 0;
  std::vector<uint8_t> TrackData;
};

class TKorMidi {
 public:
  static constexpr int kMaxTracks = 64;

  TKorMidi();
  ~TKorMidi();
  TKorMidi(const TKorMidi&) = delete;
  TKorMidi& operator=(const TKorMidi&) = delete;

  // Opens the MIDI output (OpenOutput). When there is no synthesiser or sound font it shows
  // "MIDIマッパーを開けませんでした。" and answers false; when there is no audio device at
  // all it answers false without a message (the sound effects are silent too). The game
  // then runs without music.
  bool Init();
  bool Init(bool useThread);
  bool CleanUp();
  // Stops and loads a song: the "MIDI" resource of that name, else the name as a file.
  bool Load(const std::string& name);
  // Parses a complete SMF image into the track table.
  bool LoadFile(const uint8_t* image, size_t length);
  bool Play(const std::string& name, bool loop);
  bool Play(bool loop);
  bool Stop();
  bool Reset(bool loop);
  bool IsPlay();
  bool IsPlay(const std::string& name);
  bool MidiReset(int32_t kind);
  bool SetReverb(int32_t value);
  bool SetChorus(int32_t value);
  bool SetDelay(int32_t value);
  bool ShortMsg(uint8_t status, uint8_t data1, uint8_t data2);
  bool LongMsg(const uint8_t* bytes, size_t count);

  // Manual mode: one playback pass of Period (10) ms under PlayLock, when playing.
  void RunPass();
  // Whether the output takes messages now. A synthesiser still loading its sound font
  // behind the first frames does not; passes are held until it does, so the first song
  // starts late, from its beginning, rather than losing its first notes.
  bool OutputReady() const;

  // The periodic timer's procedure (user = the component) and the play thread's body.
  static void MyTimeProc(void* user);
  // The pass the audio device's callback runs (user = the component).
  static void DevicePass(void* user);
  static void PlayThread(TKorMidi* self);

  // The output Init opens; FluidSynth on the shared audio device unless replaced (tests
  // give a recording output). The default one notes in OpenFailure why it failed.
  std::function<std::unique_ptr<platform::MidiOut>()> OpenOutput;
  platform::MidiOpenFailure OpenFailure = platform::MidiOpenFailure::None;

  std::unique_ptr<platform::MidiOut> MidiOut;
  std::thread PlayThreadHandle;
  uint32_t TimerId = 0;
  std::mutex PlayLock;
  bool Ready = false;
  bool Loaded = false;
  bool Playing = false;
  std::atomic<bool> UseThread{false};
  bool Loop = false;
  int32_t TrackCount = 0;
  int32_t Format = 0;
  int32_t Division = 0;
  int32_t Tempo = 120;
  int32_t TickRemainder = 0;
  int32_t Period = 10;
  int32_t Resolution = 10;
  TMidiTrack Tracks[kMaxTracks];
  std::string SongName = "NULL";
  // Chosen at Init from platform::AudioDevice::IsManualMode(): no timer, no thread.
  bool Manual = false;
  // Set at Init when the live audio device runs the passes: no timer is started.
  bool DeviceClock = false;

  // The pass and the event decoders; callers hold PlayLock.
  void SmfPlay();
  void MetaEvent(int i);
  void SystemExclusive(int i);
  void ShortEvent(int i);
  void RunningStatus(int i);
  // Variable-length quantity at Pos: GetValue advances, CheckValue does not. False when the
  // track ends inside it.
  bool GetValue(int i, uint32_t& value);
  bool CheckValue(int i, uint32_t& value);
  void EventEot();
  static uint16_t ByteToWord(const uint8_t* p);
  static uint32_t ByteToDword(const uint8_t* p);

 private:
  bool StopLocked();
  bool LoadFileLocked(const uint8_t* image, size_t length);
  void ClearTracks();
  // A track whose data runs out before an event is complete ends there.
  void EndTrack(int i);
  void SendShort(uint8_t status, uint8_t data1, uint8_t data2);

  // Events handled in the current pass, and the pass's limit (so a song whose loop takes
  // no time cannot hold a pass forever).
  uint32_t PassEvents = 0;
  uint32_t PassEventLimit = 0;
  std::vector<uint8_t> SysExBlock;
};
