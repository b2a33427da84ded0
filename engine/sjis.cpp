#include "engine/sjis.h"

namespace vexa {

int32_t SjisLength(const std::string& utf8) {
  int32_t n = 0;
  size_t i = 0;
  while (i < utf8.size()) {
    unsigned char c = static_cast<unsigned char>(utf8[i]);
    size_t len = 1;
    if (c >= 0xF0)
      len = 4;
    else if (c >= 0xE0)
      len = 3;
    else if (c >= 0xC0)
      len = 2;
    if (len == 1) {
      n += 1;
    } else if (len == 3 && c == 0xEF && i + 1 < utf8.size() &&
               (static_cast<unsigned char>(utf8[i + 1]) == 0xBD ||
                static_cast<unsigned char>(utf8[i + 1]) == 0xBE)) {
      // U+FF61..U+FF9F, the half-width katakana, are single bytes too.
      unsigned cp = ((c & 0x0F) << 12) | ((static_cast<unsigned char>(utf8[i + 1]) & 0x3F) << 6) |
                    (i + 2 < utf8.size() ? (static_cast<unsigned char>(utf8[i + 2]) & 0x3F) : 0);
      n += (cp >= 0xFF61 && cp <= 0xFF9F) ? 1 : 2;
    } else {
      n += 2;
    }
    i += len;
  }
  return n;
}

}  // namespace vexa
