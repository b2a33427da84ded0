#include "media/kordraw.h"

// Placeholder until the drawing component lands: nothing is ready, nothing draws.
TKorDraw::TKorDraw() = default;
TKorDraw::~TKorDraw() = default;
bool TKorDraw::Init(platform::Window*) { return false; }
bool TKorDraw::Init(platform::Window*, const void*, int32_t, int32_t, bool, int32_t) { return false; }
void TKorDraw::ReleaseAll() {}
bool TKorDraw::CreateSprite(const std::string&, const std::string&, int32_t, int32_t) { return false; }
TSpriteSurf* TKorDraw::GetSpriteSurf(const std::string&) { return nullptr; }
bool TKorDraw::DeleteSprite(const std::string&) { return false; }
bool TKorDraw::Draw(int32_t, int32_t, const std::string&, int32_t) { return false; }
bool TKorDraw::Draw(int32_t, int32_t, TSpriteSurf*, int32_t) { return false; }
bool TKorDraw::TextOutA(int32_t, int32_t, const std::string&) { return false; }
void TKorDraw::SetClip(int32_t, int32_t, int32_t, int32_t) {}
bool TKorDraw::Clear() { return false; }
bool TKorDraw::Update() { return false; }
bool TKorDraw::UpdateTmp() { return false; }
bool TKorDraw::Fade(int32_t) { return false; }
bool TKorDraw::WhiteFade(int32_t) { return false; }
void TKorDraw::SetWidth(int32_t v) { if (v <= 640) Width = v; }
void TKorDraw::SetHeight(int32_t v) { if (v <= 480) Height = v; }
void TKorDraw::SetFont(const TKorFont& font) { FontObj = font; }
