#include "engine/kernel.h"

#include <cassert>
#include <cstring>

#include "media/kordraw.h"
#include "media/korinput.h"
#include "media/korsound.h"
#include "platform/cpuid.h"
#include "platform/keycodes.h"

TKernel::TKernel(TKorDraw* draw, TKorSound* sound, TKorInput* input, TKorMidi* midi)
    : Draw(draw), Sound(sound), Input(input), Midi(midi) {
  assert(draw && sound && input && midi);
}

void TKernel::Tick(int32_t dt) {
  Input->TakeKeyEvents();
  Sound->NextFrame();
  ReadButtons(dt);
  ReadKeyboard();
}

void TKernel::ReadButtons(int32_t dt) {
  uint16_t held = 0;
  if (ButtonSource) {
    held = static_cast<uint16_t>(ButtonSource->NextButtons() & 0x7F);
  } else {
    InputState state{};
    Input->GetState(state);
    const uint8_t* entries = state.Bytes();
    for (int i = 0; i < 7; ++i)
      if (entries[i] != 0) held |= static_cast<uint16_t>(1u << i);
  }
  SetButtons(held, dt);
}

void TKernel::SetButtons(uint16_t held, int32_t dt) {
  OldButtons = Buttons;
  RepeatWaitBefore = RepeatWait;
  Repeat = 0;
  Pushed = 0;
  Buttons = held;
  for (int i = 0; i < 7; ++i) {
    uint16_t bit = static_cast<uint16_t>(1u << i);
    if ((Buttons & bit) && !(OldButtons & bit)) Pushed |= bit;
  }
  if (Pushed != 0) {
    Repeat = Pushed;
    RepeatWait = RepeatDelay;
  } else if (Buttons != 0 && Buttons == OldButtons) {
    RepeatWait -= dt;
    if (RepeatWait < 0) {
      Repeat = Buttons;
      RepeatWait = RepeatInterval;
    }
  } else {
    RepeatWait = RepeatDelay;
  }
}

void TKernel::ReadKeyboard() {
  uint8_t keys[256];
  std::memset(keys, 0, sizeof keys);
  Input->GetKeyboardState(keys);
  PushedKey = -1;
  bool wentDown = false;
  for (int i = 0; i < 256; ++i) {
    if (KeyState[i] == 0 && keys[i] != 0) {
      PushedKey = i;
      wentDown = true;
    }
    KeyState[i] = keys[i];
  }
  if (wentDown) Buttons |= btAnyKey;
  if ((Buttons & btAnyKey) && !(OldButtons & btAnyKey)) Pushed |= btAnyKey;
}

bool TKernel::FadeOut(int32_t step) {
  FadeLevel += step;
  if (FadeLevel >= 255) {
    FadeLevel = 255;
    return true;
  }
  return false;
}

bool TKernel::FadeIn(int32_t step) {
  FadeLevel -= step;
  if (FadeLevel <= 0) {
    FadeLevel = 0;
    return true;
  }
  return false;
}

bool TKernel::WhiteOut(int32_t step) {
  FadeWhite = true;
  return FadeOut(step);
}

bool TKernel::WhiteIn(int32_t step) {
  FadeWhite = true;
  return FadeIn(step);
}

char TKernel::GetLetter() const {
  for (int i = 0; i < 26; ++i)
    if (PushedKey == keycode::kLetters[i]) return static_cast<char>('A' + i);
  return 0;
}

void TKernel::Present() {
  if (Overlay) Overlay->DrawOverlay();
  if (Blackout) {
    Draw->Clear();
  } else if (FadeLevel > 0) {
    if (FadeWhite)
      Draw->WhiteFade(FadeLevel);
    else
      Draw->Fade(FadeLevel);
  }
  Draw->Update();
}

int32_t TKernel::ClassifyCpu(const char vendor[12], uint32_t highestLeaf, uint32_t signature) {
  int vendorCode = 0;
  if (std::memcmp(vendor, "AuthenticAMD", 12) == 0)
    vendorCode = 1;
  else if (std::memcmp(vendor, "GenuineIntel", 12) == 0)
    vendorCode = 2;
  if (highestLeaf == 0) return 0;
  uint32_t family = (signature >> 8) & 0xF;
  uint32_t model = (signature >> 4) & 0xF;
  if (vendorCode == 1) {
    if (family == 4) return 1;
    if (family == 5) {
      if (model <= 3) return 2;
      if (model <= 7) return 3;
      if (model == 8) return 4;
      if (model == 9) return 5;
      return 0;
    }
    if (family == 6) return 6;
    return 0;
  }
  if (vendorCode == 2) {
    if (family == 4) {
      switch (model) {
        case 0:
        case 1: return 7;
        case 2: return 8;
        case 3: return 9;
        case 4: return 10;
        case 5: return 11;
        case 7: return 12;
        case 8: return 13;
        default: return 0;
      }
    }
    if (family == 5) {
      if (model >= 1 && model <= 3) return 14;
      if (model == 4) return 15;
      return 0;
    }
    if (family == 6) {
      switch (model) {
        case 1: return 16;
        case 3:
        case 5: return 17;
        case 6: return 18;
        case 7:
        case 8: return 19;
        default: return 0;
      }
    }
  }
  return 0;
}

int32_t TKernel::GetCpuClass() const {
  uint32_t regs[4];
  if (!platform::ReadCpuid(0, regs)) return 0;
  char vendor[12];
  std::memcpy(vendor, &regs[1], 4);      // EBX
  std::memcpy(vendor + 4, &regs[3], 4);  // EDX
  std::memcpy(vendor + 8, &regs[2], 4);  // ECX
  uint32_t highest = regs[0];
  uint32_t signature = 0;
  if (highest != 0) {
    uint32_t leaf1[4];
    platform::ReadCpuid(1, leaf1);
    signature = leaf1[0];
  }
  return ClassifyCpu(vendor, highest, signature);
}
