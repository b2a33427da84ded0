#pragma once
// Text layout measures: the game's fixed-pitch font is 8 pixels wide per byte of its
// double-byte encoding, so a UTF-8 text is measured as 1 byte per ASCII character and 2 per
// full-width character.
#include <cstdint>
#include <string>

namespace vexa {

int32_t SjisLength(const std::string& utf8);

}  // namespace vexa
