#include "platform/letterbox.h"

#include <algorithm>

namespace platform {

int InitialScale(int displayW, int displayH, int clientW, int clientH) {
  if (clientW <= 0 || clientH <= 0) return 1;
  int f = 1;
  while (clientH * (f + 1) * 4 <= displayH * 3 && clientW * (f + 1) <= displayW) ++f;
  return f;
}

ViewRect Letterbox(int outW, int outH, int picW, int picH) {
  ViewRect r;
  if (outW <= 0 || outH <= 0 || picW <= 0 || picH <= 0) return r;
  int s = std::min(outW / picW, outH / picH);
  if (s >= 1) {
    r.W = picW * s;
    r.H = picH * s;
  } else if (static_cast<long long>(outW) * picH <= static_cast<long long>(outH) * picW) {
    r.W = outW;
    r.H = std::max(1, static_cast<int>(static_cast<long long>(outW) * picH / picW));
  } else {
    r.H = outH;
    r.W = std::max(1, static_cast<int>(static_cast<long long>(outH) * picW / picH));
  }
  r.X = (outW - r.W) / 2;
  r.Y = (outH - r.H) / 2;
  return r;
}

ViewRect FitRect(int outW, int outH, int picW, int picH) {
  ViewRect r;
  if (outW <= 0 || outH <= 0 || picW <= 0 || picH <= 0) return r;
  const long long byWidth = static_cast<long long>(outW) * picH;   // compares outW / picW
  const long long byHeight = static_cast<long long>(outH) * picW;  // with outH / picH
  if (byWidth <= byHeight) {
    r.W = outW;
    r.H = std::max(1, static_cast<int>(byWidth / picW));
  } else {
    r.H = outH;
    r.W = std::max(1, static_cast<int>(byHeight / picH));
  }
  r.X = (outW - r.W) / 2;
  r.Y = (outH - r.H) / 2;
  return r;
}

int FitPreScale(const ViewRect& fit, int picW, int picH) {
  if (picW <= 0 || picH <= 0) return 0;
  return std::max(0, std::min(fit.W / picW, fit.H / picH));
}

}  // namespace platform
