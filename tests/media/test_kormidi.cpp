// The MIDI sequencer driven pass by pass (manual mode) against a recording output: tick
// arithmetic, cue-point looping, running status, stop and resume, the SysEx it sends, and
// songs that are damaged.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "media/kormidi.h"
#include "platform/audio_device.h"
#include "platform/midi_out.h"

namespace {

using Bytes = std::vector<uint8_t>;
using platform::MidiLogEntry;

// One track's events, written with delta times in ticks.
struct Track {
  Bytes Data;
  Track& Delta(uint32_t v) {
    uint8_t groups[5];
    int n = 0;
    do {
      groups[n++] = v & 0x7F;
      v >>= 7;
    } while (v);
    while (n > 1) Data.push_back(groups[--n] | 0x80);
    Data.push_back(groups[0]);
    return *this;
  }
  Track& Raw(std::initializer_list<uint8_t> bytes) {
    Data.insert(Data.end(), bytes);
    return *this;
  }
  Track& Ev(uint32_t delta, std::initializer_list<uint8_t> bytes) { return Delta(delta).Raw(bytes); }
  Track& Meta(uint32_t delta, uint8_t type, const std::string& body) {
    Delta(delta).Raw({0xFF, type});
    Delta(static_cast<uint32_t>(body.size()));
    Data.insert(Data.end(), body.begin(), body.end());
    return *this;
  }
  Track& Cue(uint32_t delta, const std::string& text) { return Meta(delta, 0x07, text); }
  Track& Tempo(uint32_t delta, uint32_t us) {
    return Meta(delta, 0x51, std::string{char(us >> 16), char((us >> 8) & 0xFF), char(us & 0xFF)});
  }
  Track& End(uint32_t delta = 0) { return Ev(delta, {0xFF, 0x2F, 0x00}); }
};

Bytes Smf(const std::vector<Track>& tracks, uint16_t format = 1, uint16_t division = 480,
          int declaredTracks = -1) {
  const uint16_t n = static_cast<uint16_t>(declaredTracks < 0 ? tracks.size() : declaredTracks);
  Bytes b = {'M', 'T', 'h', 'd', 0, 0, 0, 6, uint8_t(format >> 8), uint8_t(format), uint8_t(n >> 8),
             uint8_t(n), uint8_t(division >> 8), uint8_t(division)};
  for (const Track& t : tracks) {
    const uint32_t len = static_cast<uint32_t>(t.Data.size());
    b.insert(b.end(), {'M', 'T', 'r', 'k', uint8_t(len >> 24), uint8_t(len >> 16), uint8_t(len >> 8),
                       uint8_t(len)});
    b.insert(b.end(), t.Data.begin(), t.Data.end());
  }
  return b;
}

uint32_t Msg(uint8_t s, uint8_t d1, uint8_t d2 = 0) { return s | (d1 << 8) | (d2 << 16); }

class KorMidiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::AudioDevice::SetManualMode(true);
    Midi.OpenOutput = [log = Log] { return std::make_unique<platform::RecordingMidiOut>(log); };
    ASSERT_TRUE(Midi.Init());
  }
  void TearDown() override {
    Midi.CleanUp();
    platform::AudioDevice::SetManualMode(false);
  }
  bool Load(const Bytes& smf) {
    if (!Midi.LoadFile(smf.data(), smf.size())) return false;
    Midi.Loaded = true;
    Midi.Tempo = 120;
    return true;
  }
  void Passes(int n) {
    for (int k = 0; k < n; ++k) Midi.RunPass();
  }
  // The short messages sent so far (Reset entries as 0xFFFFFFFF), then forgets them.
  std::vector<uint32_t> TakeShort() {
    std::vector<uint32_t> out;
    for (const MidiLogEntry& e : Log->Entries()) {
      if (e.Type == MidiLogEntry::Kind::Short) out.push_back(e.Packed);
      if (e.Type == MidiLogEntry::Kind::Reset) out.push_back(0xFFFFFFFFu);
    }
    Log->Clear();
    return out;
  }

  std::shared_ptr<platform::MidiLog> Log = std::make_shared<platform::MidiLog>();
  TKorMidi Midi;
};

constexpr uint32_t kReset = 0xFFFFFFFFu;

TEST_F(KorMidiTest, TickArithmeticCarriesTheRemainderBetweenPasses) {
  // 120 bpm, division 480: a beat is 500 ms; 10 ms gives 4800 / 500 = 9 ticks, 300 carried.
  ASSERT_TRUE(Load(Smf({Track().Ev(100000, {0x90, 60, 100}).End()})));
  ASSERT_TRUE(Midi.Play(false));
  Passes(1);
  EXPECT_EQ(Midi.Tracks[0].Pending, 9u);
  EXPECT_EQ(Midi.TickRemainder, 300);
  Passes(1);
  EXPECT_EQ(Midi.Tracks[0].Pending, 19u);
  EXPECT_EQ(Midi.TickRemainder, 100);
  // Fifty passes are exactly half a second: 480 ticks.
  Passes(48);
  EXPECT_EQ(Midi.Tracks[0].Pending, 480u);
  EXPECT_EQ(Midi.TickRemainder, 0);
}

TEST_F(KorMidiTest, TempoIsTruncatedToWholeBeatsPerMinute) {
  // 363636 us: 165 bpm, a beat of 363 ms.
  ASSERT_TRUE(Load(Smf({Track().Tempo(0, 363636).Ev(100000, {0x80, 0, 0}).End()})));
  ASSERT_TRUE(Midi.Play(false));
  Passes(1);  // at 120 bpm: 9 ticks, 300 carried; the tempo event is due at once
  EXPECT_EQ(Midi.Tempo, 165);
  Passes(1);  // 4800 + 300 = 5100 = 14 x 363 + 18
  EXPECT_EQ(Midi.Tracks[0].Pending, 9u + 14u);
  EXPECT_EQ(Midi.TickRemainder, 18);
}

TEST_F(KorMidiTest, TempoOutsideOneToSixtyThousandBpmIsIgnored) {
  // Zero and less than a millisecond per beat keep the tempo (three bytes cannot hold more
  // than a minute per beat).
  Track t;
  t.Tempo(0, 0).Tempo(0, 1).Tempo(0, 999).Ev(100000, {0x80, 0, 0}).End();
  ASSERT_TRUE(Load(Smf({t})));
  ASSERT_TRUE(Midi.Play(false));
  Passes(3);
  EXPECT_EQ(Midi.Tempo, 120);
  EXPECT_EQ(Midi.Tracks[0].Pending, 9u + 10u + 9u);
  // The extremes themselves are valid: the longest beat (3 bpm) and one of a millisecond.
  ASSERT_TRUE(Midi.Stop());
  ASSERT_TRUE(Load(Smf({Track().Tempo(0, 0xFFFFFF).Tempo(1, 1000).Ev(100000, {0x80, 0, 0}).End()})));
  ASSERT_TRUE(Midi.Play(false));
  Passes(1);
  EXPECT_EQ(Midi.Tempo, 60000);
  Passes(1);
  EXPECT_EQ(Midi.Tracks[0].Pending, 9u - 1u + 4800u + 300u);  // a beat of 1 ms, 300 carried
}

// A conductor with "repeat" at beat 1 and "end" at beat 2, and a part with notes at beats
// 0 and 0.5 (the introduction), 1.5 (the body) and 2.5 (after the end cue).
std::vector<Track> CueSong(const std::string& first = "repeat") {
  Track conductor;
  conductor.Tempo(0, 500000).Cue(480, first).Cue(480, "end").End(0);
  Track part;
  part.Ev(0, {0x90, 60, 100}).Ev(240, {0x90, 61, 100}).Ev(480, {0x90, 62, 100}).Ev(480, {0x90, 63, 100});
  part.End(0);
  return {conductor, part};
}

TEST_F(KorMidiTest, LoopingSongPlaysTheIntroOnceThenRepeatsTheBody) {
  ASSERT_TRUE(Load(Smf(CueSong())));
  ASSERT_TRUE(Midi.Play(true));
  Passes(100 * 5);  // 5 s: a one-second introduction, then a half-second body
  std::vector<uint32_t> sent = TakeShort();
  ASSERT_GE(sent.size(), 9u);
  EXPECT_LE(sent.size(), 11u);
  EXPECT_EQ(sent[0], Msg(0x90, 60, 100));
  EXPECT_EQ(sent[1], Msg(0x90, 61, 100));
  for (size_t k = 2; k < sent.size(); ++k) EXPECT_EQ(sent[k], Msg(0x90, 62, 100)) << k;
  EXPECT_TRUE(Midi.IsPlay());
}

TEST_F(KorMidiTest, SongWithoutLoopStopsAtTheEndCue) {
  ASSERT_TRUE(Load(Smf(CueSong())));
  ASSERT_TRUE(Midi.Play(false));
  Passes(300);
  EXPECT_FALSE(Midi.IsPlay());
  EXPECT_EQ(TakeShort(), (std::vector<uint32_t>{Msg(0x90, 60, 100), Msg(0x90, 61, 100),
                                                Msg(0x90, 62, 100), kReset}));
}

TEST_F(KorMidiTest, MisspeltRepeatCueLoopsBackToTheBeginning) {
  ASSERT_TRUE(Load(Smf(CueSong("repart"))));
  ASSERT_TRUE(Midi.Play(true));
  Passes(100 * 5);
  std::vector<uint32_t> sent = TakeShort();
  ASSERT_GE(sent.size(), 8u);
  for (size_t k = 0; k < sent.size(); ++k) EXPECT_EQ(sent[k], Msg(0x90, 60 + k % 3, 100)) << k;
}

TEST_F(KorMidiTest, SongWithoutCuesRestartsWhenEveryTrackHasEnded) {
  Track a, b;
  a.Ev(0, {0x90, 70, 1}).End(480);
  b.Ev(240, {0x90, 71, 1}).End(0);
  ASSERT_TRUE(Load(Smf({a, b})));
  ASSERT_TRUE(Midi.Play(true));
  Passes(100 * 2);  // 4 beats
  std::vector<uint32_t> sent = TakeShort();
  ASSERT_GE(sent.size(), 6u);
  for (size_t k = 0; k < 6; ++k) EXPECT_EQ(sent[k], Msg(0x90, 70 + k % 2, 1));
  ASSERT_TRUE(Midi.Stop());
  ASSERT_TRUE(Midi.Reset(false));
  TakeShort();
  ASSERT_TRUE(Midi.Play(false));
  Passes(100 * 2);
  EXPECT_EQ(TakeShort(), (std::vector<uint32_t>{Msg(0x90, 70, 1), Msg(0x90, 71, 1), kReset}));
  EXPECT_FALSE(Midi.IsPlay());
}

TEST_F(KorMidiTest, SeventyTracksPlayTheFirstSixtyFour) {
  std::vector<Track> tracks(70);
  for (int k = 0; k < 70; ++k) tracks[k].Ev(0, {0x90, uint8_t(k), 1}).End(0);
  ASSERT_TRUE(Load(Smf(tracks)));
  EXPECT_EQ(Midi.TrackCount, 64);
  ASSERT_TRUE(Midi.Play(false));
  Passes(1);
  std::vector<uint32_t> sent = TakeShort();
  ASSERT_EQ(sent.size(), 65u);
  for (int k = 0; k < 64; ++k) EXPECT_EQ(sent[k], Msg(0x90, uint8_t(k), 1));
  EXPECT_EQ(sent[64], kReset);
}

TEST_F(KorMidiTest, ProgramChangeInRunningStatusTakesOneDataByte) {
  Track t;
  t.Ev(0, {0xC0, 5}).Ev(0, {7}).Ev(0, {0xD1, 40}).Ev(0, {41}).Ev(0, {0x90, 60, 100}).Ev(0, {62, 0})
      .Ev(0, {0xF1, 1, 2}).End();
  ASSERT_TRUE(Load(Smf({t})));
  ASSERT_TRUE(Midi.Play(false));
  Passes(1);
  EXPECT_EQ(TakeShort(), (std::vector<uint32_t>{Msg(0xC0, 5), Msg(0xC0, 7), Msg(0xD1, 40), Msg(0xD1, 41),
                                                Msg(0x90, 60, 100), Msg(0x90, 62, 0),
                                                Msg(0xF1, 1, 2), kReset}));
}

TEST_F(KorMidiTest, StopKeepsThePositionsAndPlayResumesThere) {
  Track t;
  t.Ev(0, {0x90, 60, 100}).Ev(480, {0x80, 60, 0}).Ev(0, {0x90, 62, 100}).Ev(480, {0x80, 62, 0}).End();
  ASSERT_TRUE(Load(Smf({t})));
  ASSERT_TRUE(Midi.Play(false));
  Passes(60);  // past the first beat
  ASSERT_TRUE(Midi.Stop());
  EXPECT_FALSE(Midi.IsPlay());
  const uint32_t pos = Midi.Tracks[0].Pos;
  EXPECT_EQ(TakeShort(), (std::vector<uint32_t>{Msg(0x90, 60, 100), Msg(0x80, 60), Msg(0x90, 62, 100),
                                                kReset}));
  Passes(100);  // stopped: passes do nothing
  EXPECT_EQ(Midi.Tracks[0].Pos, pos);
  EXPECT_TRUE(TakeShort().empty());
  ASSERT_TRUE(Midi.Play(false));
  EXPECT_EQ(Midi.TickRemainder, 0);
  Passes(60);
  EXPECT_EQ(TakeShort(), (std::vector<uint32_t>{Msg(0x80, 62), kReset}));
  // Reset rewinds a stopped song only.
  EXPECT_TRUE(Midi.Reset(false));
  EXPECT_EQ(Midi.Tracks[0].Pos, 0u);
  ASSERT_TRUE(Midi.Play(false));
  EXPECT_FALSE(Midi.Reset(false));
  EXPECT_TRUE(Midi.Play(true));  // already playing: nothing changes, the loop flag stays
  EXPECT_FALSE(Midi.Loop);
}

TEST_F(KorMidiTest, SysExFromTheSongAndTheEffectMessagesHaveExactBytes) {
  Track t;
  t.Ev(0, {0xF0, 5, 0x7E, 0x7F, 0x09, 0x01, 0xF7}).Ev(0, {0x90, 60, 1}).Ev(0, {61, 2}).End();
  ASSERT_TRUE(Load(Smf({t})));
  ASSERT_TRUE(Midi.Play(false));
  Passes(1);
  std::vector<MidiLogEntry> log = Log->Entries();
  ASSERT_EQ(log.size(), 4u);
  EXPECT_EQ(log[0].Bytes, (Bytes{0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7}));
  // Running status survives the SysEx in between.
  EXPECT_EQ(log[2].Packed, Msg(0x90, 61, 2));
  Log->Clear();

  EXPECT_TRUE(Midi.MidiReset(0));
  EXPECT_TRUE(Midi.MidiReset(1));
  EXPECT_TRUE(Midi.MidiReset(2));
  EXPECT_TRUE(Midi.SetReverb(4));
  EXPECT_TRUE(Midi.SetChorus(2));
  EXPECT_TRUE(Midi.SetDelay(0x1FF));  // only the low byte is sent, the checksum wraps
  log = Log->Entries();
  ASSERT_EQ(log.size(), 5u);
  EXPECT_EQ(log[0].Bytes, (Bytes{0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7}));
  EXPECT_EQ(log[1].Bytes, (Bytes{0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7}));
  EXPECT_EQ(log[2].Bytes, (Bytes{0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x01, 0x30, 0x04, 0x0B, 0xF7}));
  EXPECT_EQ(log[3].Bytes, (Bytes{0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x01, 0x38, 0x02, 0x05, 0xF7}));
  EXPECT_EQ(log[4].Bytes, (Bytes{0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x01, 0x50, 0xFF, 0x70, 0xF7}));
  // For the macro values the checksum is Roland's: 128 - (address + value) mod 128.
  for (int v = 0; v < 8; ++v) {
    Log->Clear();
    Midi.SetReverb(v);
    Midi.SetChorus(v);
    Midi.SetDelay(v);
    log = Log->Entries();
    for (const MidiLogEntry& e : log) {
      const int sum = e.Bytes[5] + e.Bytes[6] + e.Bytes[7] + e.Bytes[8];
      EXPECT_EQ(e.Bytes[9], (128 - sum % 128) % 128) << v;
    }
  }
}

TEST_F(KorMidiTest, LongMsgRetriesWhileTheOutputIsNotReady) {
  const uint8_t block[] = {0xF0, 0x01, 0xF7};
  Log->SetNotReadyAnswers(5);
  EXPECT_TRUE(Midi.LongMsg(block, sizeof block));
  EXPECT_EQ(Log->LongAttempts(), 6);
  EXPECT_EQ(Log->Size(), 1u);
  Log->Clear();
  Log->SetNotReadyAnswers(1000);
  EXPECT_TRUE(Midi.LongMsg(block, sizeof block));
  EXPECT_EQ(Log->LongAttempts(), 200);
  EXPECT_EQ(Log->Size(), 0u);
}

TEST_F(KorMidiTest, LoaderRefusesWhatItCannotRead) {
  Track t;
  t.Ev(0, {0x90, 1, 1}).End();
  const Bytes good = Smf({t, t});
  EXPECT_TRUE(Midi.LoadFile(good.data(), good.size()));
  EXPECT_FALSE(Load(Smf({t}, 2)));               // format 2
  EXPECT_FALSE(Load(Smf({t}, 1, 480, 2)));        // a track missing
  Bytes cut = good;
  cut.resize(cut.size() - 1);                     // the last chunk past the end
  EXPECT_FALSE(Load(cut));
  Bytes alien = good;
  alien[14] = 'X';
  EXPECT_FALSE(Load(alien));
  EXPECT_FALSE(Load(Bytes(good.begin(), good.begin() + 13)));
  // A failed load leaves nothing behind.
  for (const TMidiTrack& tr : Midi.Tracks) EXPECT_FALSE(tr.InUse);
  // The header's own length field is not read: the first track starts at byte 14.
  Bytes odd = good;
  odd[7] = 99;
  EXPECT_TRUE(Load(odd));
  EXPECT_EQ(Midi.Division, 480);
}

TEST_F(KorMidiTest, DamagedTracksEndWhereTheirDataRunsOut) {
  // Each track is cut inside an event; every one of them ends and the song stops.
  std::vector<Track> tracks(7);
  tracks[0].Raw({0x81});                           // delta time cut off
  tracks[1].Ev(0, {0x90, 60});                     // note without its velocity
  tracks[2].Ev(0, {0xF0, 0x10, 1, 2});              // SysEx longer than the track
  tracks[3].Ev(0, {0xFF, 0x01, 0x7F, 'a'});        // meta body longer than the track
  tracks[4].Ev(0, {0xFF});                         // meta without a type
  tracks[5].Ev(0, {60, 1});                        // running status before any status
  tracks[6].Ev(0, {0xFF, 0x51, 0x01, 0x07});       // tempo body too short to read
  ASSERT_TRUE(Load(Smf(tracks)));
  ASSERT_TRUE(Midi.Play(false));
  Passes(5);
  EXPECT_FALSE(Midi.IsPlay());
  EXPECT_EQ(Midi.Tempo, 120);
  EXPECT_EQ(TakeShort(), (std::vector<uint32_t>{kReset}));
}

TEST_F(KorMidiTest, LoopThatTakesNoTimeCannotHoldAPassForever) {
  // A looping song of one empty track, and one whose repeat and end cues are at one instant.
  ASSERT_TRUE(Load(Smf({Track()})));
  ASSERT_TRUE(Midi.Play(true));
  Passes(3);
  EXPECT_TRUE(Midi.IsPlay());
  ASSERT_TRUE(Midi.Stop());
  Track t;
  t.Ev(0, {0x90, 1, 1}).Cue(0, "repeat").Ev(0, {0x90, 2, 2}).Cue(0, "end").End();
  ASSERT_TRUE(Load(Smf({t})));
  ASSERT_TRUE(Midi.Play(true));
  Passes(3);
  EXPECT_TRUE(Midi.IsPlay());
}

TEST_F(KorMidiTest, PlayByNameLoadsAFileAndRemembersTheName) {
  const std::string path = ::testing::TempDir() + "kormidi_song.mid";
  const Bytes song = Smf(CueSong());
  FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_TRUE(f);
  std::fwrite(song.data(), 1, song.size(), f);
  std::fclose(f);
  EXPECT_EQ(Midi.SongName, "NULL");
  ASSERT_TRUE(Midi.Play(path, true));
  EXPECT_EQ(Midi.SongName, path);
  EXPECT_TRUE(Midi.IsPlay(path));
  EXPECT_FALSE(Midi.IsPlay("BGM1"));
  Passes(150);
  EXPECT_NE(Midi.Tracks[1].Pos, 0u);
  // By name again: loaded anew, so from the beginning.
  ASSERT_TRUE(Midi.Play(path, true));
  EXPECT_EQ(Midi.Tracks[1].Pos, 0u);
  EXPECT_EQ(Midi.Tempo, 120);
  // A song that cannot be had: false, nothing plays, the name stays.
  EXPECT_FALSE(Midi.Play("/nonexistent/none.mid", true));
  EXPECT_FALSE(Midi.IsPlay());
  EXPECT_FALSE(Midi.Loaded);
  EXPECT_EQ(Midi.SongName, path);
  EXPECT_FALSE(Midi.IsPlay(path));
  std::remove(path.c_str());
}

TEST_F(KorMidiTest, NothingWorksBeforeInitOrWithoutAnOutput) {
  Midi.CleanUp();
  EXPECT_FALSE(Midi.Ready);
  EXPECT_FALSE(Midi.Play(false));
  EXPECT_FALSE(Midi.Stop());
  EXPECT_FALSE(Midi.ShortMsg(0x90, 1, 1));
  EXPECT_FALSE(Midi.MidiReset(0));
  EXPECT_FALSE(Midi.SetReverb(0));
  EXPECT_FALSE(Midi.Load("x"));
  TKorMidi silent;
  silent.OpenOutput = [] { return std::unique_ptr<platform::MidiOut>(); };
  testing::internal::CaptureStderr();
  EXPECT_FALSE(silent.Init());
  EXPECT_NE(testing::internal::GetCapturedStderr().find("MIDIマッパーを開けませんでした。"),
            std::string::npos);
  EXPECT_FALSE(silent.Play("BGM1", true));
  EXPECT_FALSE(silent.IsPlay("NULL"));
}

}  // namespace
