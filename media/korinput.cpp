#include "media/korinput.h"

#include <cstring>

#include "platform/window.h"

TKorInput::~TKorInput() { ReleaseAll(); }

bool TKorInput::Init(platform::Window* wnd) {
  ReleaseAll();
  Wnd = wnd;
  if (!wnd) return false;
  Devices = &wnd->Input();
  // A joystick is optional: when none is attached the keyboard alone drives the game.
  HasJoystick = Devices->OpenFirstJoystick();
  Ready = true;
  return true;
}

bool TKorInput::GetState(InputState& out) {
  if (!Ready) return false;
  out = InputState{};
  uint8_t* e = out.Bytes();
  // A pad may come and go while the game runs (the window takes up a new one).
  HasJoystick = Devices->HasJoystick();
  if (HasJoystick) {
    platform::JoystickReading j;
    if (!Devices->PollJoystick(j)) {
      // The joystick is gone (unplugged): drop it and go on with the keyboard alone, so
      // losing a pad never locks the player out.
      Devices->CloseJoystick();
      HasJoystick = false;
    } else {
      if (j.Y < -50) out.Up = 1;
      if (j.Y > 50) out.Down = 1;
      if (j.X < -50) out.Left = 1;
      if (j.X > 50) out.Right = 1;
      if (j.Buttons[0]) out.A = 1;
      if (j.Buttons[1]) out.B = 1;
      if (j.Buttons[2]) out.Enter = 1;
    }
  }
  uint8_t keys[256];
  GetKeyboardState(keys);
  const uint8_t* codes = KeyCodes.Bytes();
  for (int i = 0; i < 7; ++i)
    if (keys[codes[i]] != 0) e[i] = keys[codes[i]];
  return true;
}

bool TKorInput::GetKeyboardState(uint8_t buf[256]) {
  if (!Ready) return false;
  std::memset(buf, 0, 256);
  Devices->ReadKeyboard(buf);
  return true;
}

bool TKorInput::GetKeys(InputState& out) const {
  if (!Ready) return false;
  out = KeyCodes;
  return true;
}

bool TKorInput::SetKeys(const InputState& in) {
  if (!Ready) return false;
  KeyCodes = in;
  return true;
}

void TKorInput::TakeKeyEvents() {
  if (Ready && Devices) Devices->TakeKeyEvents();
}

std::vector<platform::MouseEvent> TKorInput::TakeMouseEvents() {
  if (Ready && Devices) return Devices->TakeMouseEvents();
  return {};
}

void TKorInput::ReleaseAll() {
  if (Devices) Devices->CloseJoystick();
  Devices = nullptr;
  Ready = false;
  HasJoystick = false;
}
