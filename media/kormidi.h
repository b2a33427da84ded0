#pragma once
// TKorMidi: the Standard MIDI File sequencer that plays the background music.
#include <cstddef>
#include <cstdint>
#include <string>

class TKorMidi {
 public:
  TKorMidi();
  ~TKorMidi();
  TKorMidi(const TKorMidi&) = delete;
  TKorMidi& operator=(const TKorMidi&) = delete;

  bool Init();
  bool Init(const void* instance, bool useThread);
  bool CleanUp();
  bool Load(const std::string& name);
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

  bool Ready = false;
  std::string SongName = "NULL";
};
