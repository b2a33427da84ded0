#include "media/kormidi.h"

// Placeholder until the sequencer lands: never ready, so the game runs without music.
TKorMidi::TKorMidi() = default;
TKorMidi::~TKorMidi() = default;
bool TKorMidi::Init() { return false; }
bool TKorMidi::Init(const void*, bool) { return false; }
bool TKorMidi::CleanUp() { return true; }
bool TKorMidi::Load(const std::string&) { return false; }
bool TKorMidi::LoadFile(const uint8_t*, size_t) { return false; }
bool TKorMidi::Play(const std::string&, bool) { return false; }
bool TKorMidi::Play(bool) { return false; }
bool TKorMidi::Stop() { return false; }
bool TKorMidi::Reset(bool) { return false; }
bool TKorMidi::IsPlay() { return false; }
bool TKorMidi::IsPlay(const std::string&) { return false; }
bool TKorMidi::MidiReset(int32_t) { return false; }
bool TKorMidi::SetReverb(int32_t) { return false; }
bool TKorMidi::SetChorus(int32_t) { return false; }
bool TKorMidi::SetDelay(int32_t) { return false; }
bool TKorMidi::ShortMsg(uint8_t, uint8_t, uint8_t) { return false; }
bool TKorMidi::LongMsg(const uint8_t*, size_t) { return false; }
