#include "media/kormidi.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <limits>

#include "platform/audio_device.h"
#include "platform/midi_out.h"
#include "platform/resources.h"
#include "platform/timer.h"

namespace {

// Components alive now. A timer callback can still start after its timer was stopped; it
// runs a pass only for a component that is still in this list, and a component leaves the
// list (under the same lock) before it is destroyed.
std::mutex gLiveLock;
std::vector<TKorMidi*> gLive;

// One SysEx block may be refused as "not ready" this many times in all.
constexpr int kLongMsgAttempts = 200;

uint32_t SaturatingAdd(uint32_t a, int64_t b) {
  const int64_t sum = static_cast<int64_t>(a) + b;
  return sum > std::numeric_limits<uint32_t>::max() ? std::numeric_limits<uint32_t>::max()
                                                    : static_cast<uint32_t>(sum);
}

// The game starts without its music and says why in one line on standard error; it never
// stops to ask, since a player without a sound font can do nothing about it in the game.
void ReportNoMusic(platform::MidiOpenFailure why) {
  std::string line = "vexa: MIDIマッパーを開けませんでした。 ";
  if (why == platform::MidiOpenFailure::NoSoundFont) {
    line += "No General MIDI sound font was found in";
    const std::vector<std::string>& paths = platform::DefaultSoundFontPaths();
    for (size_t i = 0; i < paths.size(); ++i) line += (i == 0 ? " " : ", ") + paths[i];
    line += "; the package timgm6mb-soundfont (or fluid-soundfont-gm) provides one.";
  } else {
    line += "The synthesiser could not be started.";
  }
  line += " The game runs without music.";
  std::fprintf(stderr, "%s\n", line.c_str());
}

}  // namespace

TKorMidi::TKorMidi() {
  OpenOutput = [this] {
    return platform::OpenSynthMidiOut(platform::DefaultSoundFontPaths(), &OpenFailure);
  };
  SysExBlock.reserve(256);
  std::lock_guard<std::mutex> lock(gLiveLock);
  gLive.push_back(this);
}

TKorMidi::~TKorMidi() {
  CleanUp();
  std::lock_guard<std::mutex> lock(gLiveLock);
  gLive.erase(std::remove(gLive.begin(), gLive.end(), this), gLive.end());
}

bool TKorMidi::Init() { return Init(false); }

bool TKorMidi::Init(bool useThread) {
  CleanUp();
  Manual = platform::AudioDevice::IsManualMode();
  UseThread = useThread && !Manual;
  OpenFailure = platform::MidiOpenFailure::None;
  std::unique_ptr<platform::MidiOut> out =
      OpenOutput ? OpenOutput()
                 : platform::OpenSynthMidiOut(platform::DefaultSoundFontPaths(), &OpenFailure);
  if (!out) {
    // Without any audio device the game is silent as a whole, which the game says once for
    // all its sound.
    if (OpenFailure != platform::MidiOpenFailure::NoAudioDevice) ReportNoMusic(OpenFailure);
    UseThread = false;
    return false;
  }
  {
    std::lock_guard<std::mutex> lock(PlayLock);
    MidiOut = std::move(out);
    Period = 10;
  }
  if (UseThread) {
    try {
      PlayThreadHandle = std::thread(&TKorMidi::PlayThread, this);
    } catch (...) {
      UseThread = false;
      return false;
    }
  }
  // On a live audio device the device's callback runs the passes (no timer thread); the
  // periodic timer stays for an output without one.
  if (!UseThread && !Manual)
    DeviceClock = platform::AudioDevice::SetPass(Period, &TKorMidi::DevicePass, this);
  std::lock_guard<std::mutex> lock(PlayLock);
  Ready = true;
  return true;
}

bool TKorMidi::CleanUp() {
  if (UseThread.exchange(false) && PlayThreadHandle.joinable()) PlayThreadHandle.join();
  if (DeviceClock) {
    platform::AudioDevice::ClearPass(this);  // outside PlayLock: a pass takes it
    DeviceClock = false;
  }
  std::lock_guard<std::mutex> lock(PlayLock);
  if (MidiOut) {
    if (Ready) StopLocked();
    MidiOut.reset();
  }
  ClearTracks();
  Loaded = false;
  Ready = false;
  return true;
}

bool TKorMidi::Load(const std::string& name) {
  if (!Ready) return false;
  std::vector<uint8_t> bytes;
  const bool found = platform::LoadResourceOrFile("MIDI", name, bytes);
  std::lock_guard<std::mutex> lock(PlayLock);
  StopLocked();
  Loaded = false;
  if (!found || !LoadFileLocked(bytes.data(), bytes.size())) return false;
  Tempo = 120;
  Loaded = true;
  return true;
}

bool TKorMidi::LoadFile(const uint8_t* image, size_t length) {
  std::lock_guard<std::mutex> lock(PlayLock);
  return LoadFileLocked(image, length);
}

bool TKorMidi::LoadFileLocked(const uint8_t* image, size_t length) {
  if (!image || length < 14 || std::memcmp(image, "MThd", 4) != 0) return false;
  Format = ByteToWord(image + 8);
  TrackCount = ByteToWord(image + 10);
  Division = ByteToWord(image + 12);
  if (Format != 0 && Format != 1) return false;
  TrackCount = std::min(TrackCount, kMaxTracks);
  ClearTracks();
  size_t pos = 14;
  uint64_t totalBytes = 0;
  for (int k = 0; k < TrackCount; ++k) {
    if (length - pos < 8 || std::memcmp(image + pos, "MTrk", 4) != 0) {
      ClearTracks();
      return false;
    }
    const uint32_t size = ByteToDword(image + pos + 4);
    if (size > length - pos - 8) {
      ClearTracks();
      return false;
    }
    TMidiTrack& t = Tracks[k];
    t.InUse = true;
    t.TrackLength = size;
    t.TrackData.assign(image + pos + 8, image + pos + 8 + size);
    totalBytes += size;
    pos += 8 + static_cast<size_t>(size);
  }
  // Every event takes at least two bytes, so a pass that plays the whole song twice over
  // stays under this; only a loop that takes no time reaches it.
  PassEventLimit = static_cast<uint32_t>(std::min<uint64_t>(2 * totalBytes + 256, 1u << 30));
  return true;
}

void TKorMidi::ClearTracks() {
  for (TMidiTrack& t : Tracks) t = TMidiTrack{};
}

bool TKorMidi::Play(const std::string& name, bool loop) {
  if (!Ready || !Load(name) || !Play(loop)) return false;
  std::lock_guard<std::mutex> lock(PlayLock);
  SongName = name;
  return true;
}

bool TKorMidi::Play(bool loop) {
  std::lock_guard<std::mutex> lock(PlayLock);
  if (!Ready || !Loaded) return false;
  if (Playing) return true;
  TickRemainder = 0;
  Loop = loop;
  if (!Manual && !UseThread && !DeviceClock) {
    // The first callback waits for PlayLock, so it sees Playing set below.
    TimerId = platform::StartPeriodicTimer(static_cast<uint32_t>(Period), &TKorMidi::MyTimeProc,
                                           this);
    if (TimerId == 0) return false;
  }
  Playing = true;
  return true;
}

bool TKorMidi::Stop() {
  std::lock_guard<std::mutex> lock(PlayLock);
  return StopLocked();
}

bool TKorMidi::StopLocked() {
  if (!Ready) return false;
  if (TimerId != 0) {
    // From inside a pass this stops the pass's own timer, which is allowed.
    platform::StopPeriodicTimer(TimerId);
    TimerId = 0;
  }
  Playing = false;
  if (MidiOut) MidiOut->Reset();
  return true;
}

bool TKorMidi::Reset(bool loop) {
  std::lock_guard<std::mutex> lock(PlayLock);
  if (!Ready || !Loaded || Playing) return false;
  Loop = loop;
  for (TMidiTrack& t : Tracks) {
    t.Ended = false;
    t.Pos = 0;
    t.LoopPos = 0;
    t.LastStatus = 0;
    t.Pending = 0;
  }
  return true;
}

bool TKorMidi::IsPlay() {
  std::lock_guard<std::mutex> lock(PlayLock);
  return Playing;
}

bool TKorMidi::IsPlay(const std::string& name) {
  std::lock_guard<std::mutex> lock(PlayLock);
  return Playing && name == SongName;
}

bool TKorMidi::MidiReset(int32_t kind) {
  if (!Ready) return false;
  static const uint8_t kGmOn[] = {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7};
  static const uint8_t kGsReset[] = {0xF0, 0x41, 0x10, 0x42, 0x12, 0x40,
                                     0x00, 0x7F, 0x00, 0x41, 0xF7};
  if (kind == 0) LongMsg(kGmOn, sizeof kGmOn);
  if (kind == 1) LongMsg(kGsReset, sizeof kGsReset);
  return true;
}

namespace {

// A Roland GS data set of one byte to an effect macro; the checksum is given per address.
bool SendEffect(TKorMidi& midi, uint8_t addressLow, uint8_t checksumBase, int32_t value) {
  if (!midi.Ready) return false;
  const uint8_t v = static_cast<uint8_t>(value & 0xFF);
  const uint8_t msg[] = {0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x01, addressLow, v,
                         static_cast<uint8_t>(checksumBase - v), 0xF7};
  midi.LongMsg(msg, sizeof msg);
  return true;
}

}  // namespace

bool TKorMidi::SetReverb(int32_t value) { return SendEffect(*this, 0x30, 15, value); }
bool TKorMidi::SetChorus(int32_t value) { return SendEffect(*this, 0x38, 7, value); }
bool TKorMidi::SetDelay(int32_t value) { return SendEffect(*this, 0x50, 111, value); }

bool TKorMidi::ShortMsg(uint8_t status, uint8_t data1, uint8_t data2) {
  if (!Ready || !MidiOut) return false;
  MidiOut->ShortMsg(status + data1 * 256u + data2 * 65536u);
  return true;
}

bool TKorMidi::LongMsg(const uint8_t* bytes, size_t count) {
  if (!Ready || !MidiOut) return false;
  for (int attempt = 0; attempt < kLongMsgAttempts; ++attempt)
    if (MidiOut->LongMsg(bytes, count) != platform::MidiOut::kNotReady) break;
  return true;
}

bool TKorMidi::OutputReady() const { return MidiOut && MidiOut->IsReady(); }

void TKorMidi::RunPass() {
  std::lock_guard<std::mutex> lock(PlayLock);
  if (Playing && OutputReady()) SmfPlay();
}

void TKorMidi::MyTimeProc(void* user) {
  auto* self = static_cast<TKorMidi*>(user);
  std::lock_guard<std::mutex> live(gLiveLock);
  if (std::find(gLive.begin(), gLive.end(), self) == gLive.end()) return;
  std::lock_guard<std::mutex> lock(self->PlayLock);
  // A callback that started before its timer was stopped finds Playing false.
  // A song waits (its time does not run) while the output is still getting ready.
  if (self->Playing && self->TimerId != 0 && self->OutputReady()) self->SmfPlay();
}

void TKorMidi::DevicePass(void* user) {
  auto* self = static_cast<TKorMidi*>(user);
  std::lock_guard<std::mutex> lock(self->PlayLock);
  if (self->Playing && self->OutputReady()) self->SmfPlay();
}

void TKorMidi::PlayThread(TKorMidi* self) {
  uint32_t noted = platform::NowMs();
  while (self->UseThread) {
    {
      std::lock_guard<std::mutex> lock(self->PlayLock);
      if (self->Playing && self->OutputReady()) {
        self->Period = static_cast<int32_t>(platform::NowMs() - noted);
        self->SmfPlay();
      }
    }
    noted = platform::NowMs();
    std::this_thread::sleep_for(std::chrono::milliseconds(self->Resolution));
  }
}

void TKorMidi::SmfPlay() {
  if (Tempo < 1 || Tempo > 60000) return;
  const int64_t beat = 60000 / Tempo;
  const int64_t acc = static_cast<int64_t>(Division) * Period + TickRemainder;
  const int64_t ticks = acc / beat;
  TickRemainder = static_cast<int32_t>(acc % beat);
  if (ticks <= 0) return;

  const bool wasPlaying = Playing;
  PassEvents = 0;
  for (int i = 0; i < TrackCount && i < kMaxTracks; ++i) {
    TMidiTrack& t = Tracks[i];
    if (!t.InUse || t.Ended) continue;
    t.Pending = SaturatingAdd(t.Pending, ticks);
    while (!t.Ended) {
      if (PassEvents++ >= PassEventLimit) return;  // the rest waits for the next pass
      if (t.Pos >= t.TrackLength) {
        EndTrack(i);
        continue;
      }
      uint32_t delta = 0;
      if (!CheckValue(i, delta)) {
        EndTrack(i);
        continue;
      }
      if (delta > t.Pending) break;
      GetValue(i, delta);
      t.Pending -= delta;
      if (t.Pos >= t.TrackLength) {
        EndTrack(i);
        continue;
      }
      const uint8_t b = t.TrackData[t.Pos];
      if (b == 0xF0)
        SystemExclusive(i);
      else if (b == 0xFF)
        MetaEvent(i);
      else if (b >= 0x80)
        ShortEvent(i);
      else
        RunningStatus(i);
      // A song that stopped itself sends nothing more: later events would sound on after
      // the output was silenced.
      if (wasPlaying && !Playing) return;
      if (!t.Ended && t.Pos >= t.TrackLength) {
        t.Ended = true;
        EventEot();
        if (wasPlaying && !Playing) return;
      }
    }
    if (wasPlaying && !Playing) return;
  }
}

void TKorMidi::EndTrack(int i) {
  Tracks[i].Ended = true;
  EventEot();
}

bool TKorMidi::CheckValue(int i, uint32_t& value) {
  const TMidiTrack& t = Tracks[i];
  uint32_t v = 0;
  for (uint32_t pos = t.Pos; pos < t.TrackLength; ++pos) {
    const uint8_t b = t.TrackData[pos];
    v = (v << 7) | (b & 0x7Fu);
    if (!(b & 0x80)) {
      value = v;
      return true;
    }
  }
  return false;
}

bool TKorMidi::GetValue(int i, uint32_t& value) {
  TMidiTrack& t = Tracks[i];
  if (!CheckValue(i, value)) return false;
  while (t.TrackData[t.Pos] & 0x80) ++t.Pos;
  ++t.Pos;
  return true;
}

void TKorMidi::SendShort(uint8_t status, uint8_t data1, uint8_t data2) {
  // A running-status event before any status byte has no message to send.
  if (status < 0x80 || !MidiOut) return;
  MidiOut->ShortMsg(status + data1 * 256u + data2 * 65536u);
}

void TKorMidi::ShortEvent(int i) {
  TMidiTrack& t = Tracks[i];
  t.LastStatus = t.TrackData[t.Pos];
  ++t.Pos;
  RunningStatus(i);
}

void TKorMidi::RunningStatus(int i) {
  TMidiTrack& t = Tracks[i];
  const uint8_t status = t.LastStatus;
  const uint32_t need = (status >= 0xC0 && status <= 0xDF) ? 1 : 2;
  if (t.TrackLength - t.Pos < need) {
    t.Pos = t.TrackLength;
    EndTrack(i);
    return;
  }
  const uint8_t d1 = t.TrackData[t.Pos];
  const uint8_t d2 = need == 2 ? t.TrackData[t.Pos + 1] : 0;
  t.Pos += need;
  SendShort(status, d1, d2);
}

void TKorMidi::SystemExclusive(int i) {
  TMidiTrack& t = Tracks[i];
  ++t.Pos;  // 0xF0
  uint32_t n = 0;
  if (!GetValue(i, n) || n > t.TrackLength - t.Pos) {
    t.Pos = t.TrackLength;
    EndTrack(i);
    return;
  }
  SysExBlock.clear();
  SysExBlock.push_back(0xF0);
  SysExBlock.insert(SysExBlock.end(), t.TrackData.begin() + t.Pos,
                    t.TrackData.begin() + t.Pos + n);
  t.Pos += n;
  LongMsg(SysExBlock.data(), SysExBlock.size());
}

void TKorMidi::MetaEvent(int i) {
  TMidiTrack& t = Tracks[i];
  ++t.Pos;  // 0xFF
  uint32_t n = 0;
  if (t.Pos >= t.TrackLength) {
    EndTrack(i);
    return;
  }
  const uint8_t type = t.TrackData[t.Pos++];
  if (!GetValue(i, n) || n > t.TrackLength - t.Pos) {
    t.Pos = t.TrackLength;
    EndTrack(i);
    return;
  }
  const uint8_t* body = t.TrackData.data() + t.Pos;
  switch (type) {
    case 0x07:
      if (n >= 6 && std::memcmp(body, "repeat", 6) == 0) {
        for (TMidiTrack& r : Tracks) {
          r.LoopPos = r.Pos;
          r.LoopPending = r.Pending;
        }
        t.LoopPos = t.Pos + n;
      } else if (n >= 3 && std::memcmp(body, "end", 3) == 0) {
        if (Loop) {
          for (int k = 0; k < TrackCount; ++k) {
            TMidiTrack& r = Tracks[k];
            if (!r.InUse) continue;
            r.Ended = false;
            r.Pos = r.LoopPos;
            r.Pending = r.LoopPending;
          }
          TickRemainder = 0;
          return;  // this track continues right after its repeat marker
        }
        StopLocked();
      }
      break;
    case 0x2F:
      t.Pos += n;
      t.Ended = true;
      EventEot();
      return;
    case 0x51:
      if (n >= 3) {
        const uint32_t us = (static_cast<uint32_t>(body[0]) << 16) | (body[1] << 8) | body[2];
        // Zero, or a beat of less than a millisecond, would break the tick arithmetic.
        if (us != 0) {
          const uint32_t tempo = 60000000u / us;
          if (tempo >= 1 && tempo <= 60000) Tempo = static_cast<int32_t>(tempo);
        }
      }
      break;
    default:
      break;
  }
  t.Pos += n;
}

void TKorMidi::EventEot() {
  for (int k = 0; k < TrackCount; ++k)
    if (Tracks[k].InUse && !Tracks[k].Ended) return;
  if (!Loop) {
    StopLocked();
    return;
  }
  for (TMidiTrack& t : Tracks) {
    if (!t.InUse) continue;
    t.Ended = false;
    t.Pos = 0;
    t.Pending = 0;
    t.LastStatus = 0;
  }
}

uint16_t TKorMidi::ByteToWord(const uint8_t* p) { return static_cast<uint16_t>((p[0] << 8) | p[1]); }

uint32_t TKorMidi::ByteToDword(const uint8_t* p) {
  return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
         (static_cast<uint32_t>(p[2]) << 8) | p[3];
}
