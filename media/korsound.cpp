#include "media/korsound.h"

// Placeholder until the sound component lands: never ready, so every call answers false.
TKorSound::TKorSound() = default;
TKorSound::~TKorSound() = default;
bool TKorSound::Init(platform::Window*) { return false; }
bool TKorSound::Init(platform::Window*, const void*, int32_t, int32_t, bool) { return false; }
bool TKorSound::CreateBuffer(const std::string&, const std::string&) { return false; }
bool TKorSound::CreateBuffer(const std::string&) { return false; }
bool TKorSound::LoadFile(const uint8_t*, size_t) { return false; }
bool TKorSound::Play(const std::string&) { return false; }
bool TKorSound::Play(int32_t) { return false; }
bool TKorSound::Stop(const std::string&) { return false; }
bool TKorSound::Stop(int32_t) { return false; }
bool TKorSound::IsPlaying(const std::string&) { return false; }
bool TKorSound::IsPlaying(int32_t) { return false; }
void TKorSound::ReleaseAll() {}
