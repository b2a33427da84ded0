#include "platform/input_devices.h"

#include <SDL.h>

#include <cstring>

namespace platform {
namespace {

struct KeyPair {
  SDL_Scancode Sdl;
  uint8_t Dik;
};

// The PC keyboard: SDL scancodes to DirectInput scan codes (set-1 codes, extended keys
// with 128 added).
constexpr KeyPair kKeyTable[] = {
    {SDL_SCANCODE_ESCAPE, 1},         {SDL_SCANCODE_1, 2},
    {SDL_SCANCODE_2, 3},              {SDL_SCANCODE_3, 4},
    {SDL_SCANCODE_4, 5},              {SDL_SCANCODE_5, 6},
    {SDL_SCANCODE_6, 7},              {SDL_SCANCODE_7, 8},
    {SDL_SCANCODE_8, 9},              {SDL_SCANCODE_9, 10},
    {SDL_SCANCODE_0, 11},             {SDL_SCANCODE_MINUS, 12},
    {SDL_SCANCODE_EQUALS, 13},        {SDL_SCANCODE_BACKSPACE, 14},
    {SDL_SCANCODE_TAB, 15},           {SDL_SCANCODE_Q, 16},
    {SDL_SCANCODE_W, 17},             {SDL_SCANCODE_E, 18},
    {SDL_SCANCODE_R, 19},             {SDL_SCANCODE_T, 20},
    {SDL_SCANCODE_Y, 21},             {SDL_SCANCODE_U, 22},
    {SDL_SCANCODE_I, 23},             {SDL_SCANCODE_O, 24},
    {SDL_SCANCODE_P, 25},             {SDL_SCANCODE_LEFTBRACKET, 26},
    {SDL_SCANCODE_RIGHTBRACKET, 27},  {SDL_SCANCODE_RETURN, 28},
    {SDL_SCANCODE_LCTRL, 29},         {SDL_SCANCODE_A, 30},
    {SDL_SCANCODE_S, 31},             {SDL_SCANCODE_D, 32},
    {SDL_SCANCODE_F, 33},             {SDL_SCANCODE_G, 34},
    {SDL_SCANCODE_H, 35},             {SDL_SCANCODE_J, 36},
    {SDL_SCANCODE_K, 37},             {SDL_SCANCODE_L, 38},
    {SDL_SCANCODE_SEMICOLON, 39},     {SDL_SCANCODE_APOSTROPHE, 40},
    {SDL_SCANCODE_GRAVE, 41},         {SDL_SCANCODE_LSHIFT, 42},
    {SDL_SCANCODE_BACKSLASH, 43},     {SDL_SCANCODE_Z, 44},
    {SDL_SCANCODE_X, 45},             {SDL_SCANCODE_C, 46},
    {SDL_SCANCODE_V, 47},             {SDL_SCANCODE_B, 48},
    {SDL_SCANCODE_N, 49},             {SDL_SCANCODE_M, 50},
    {SDL_SCANCODE_COMMA, 51},         {SDL_SCANCODE_PERIOD, 52},
    {SDL_SCANCODE_SLASH, 53},         {SDL_SCANCODE_RSHIFT, 54},
    {SDL_SCANCODE_KP_MULTIPLY, 55},   {SDL_SCANCODE_LALT, 56},
    {SDL_SCANCODE_SPACE, 57},         {SDL_SCANCODE_CAPSLOCK, 58},
    {SDL_SCANCODE_F1, 59},            {SDL_SCANCODE_F2, 60},
    {SDL_SCANCODE_F3, 61},            {SDL_SCANCODE_F4, 62},
    {SDL_SCANCODE_F5, 63},            {SDL_SCANCODE_F6, 64},
    {SDL_SCANCODE_F7, 65},            {SDL_SCANCODE_F8, 66},
    {SDL_SCANCODE_F9, 67},            {SDL_SCANCODE_F10, 68},
    {SDL_SCANCODE_NUMLOCKCLEAR, 69},  {SDL_SCANCODE_SCROLLLOCK, 70},
    {SDL_SCANCODE_KP_7, 71},          {SDL_SCANCODE_KP_8, 72},
    {SDL_SCANCODE_KP_9, 73},          {SDL_SCANCODE_KP_MINUS, 74},
    {SDL_SCANCODE_KP_4, 75},          {SDL_SCANCODE_KP_5, 76},
    {SDL_SCANCODE_KP_6, 77},          {SDL_SCANCODE_KP_PLUS, 78},
    {SDL_SCANCODE_KP_1, 79},          {SDL_SCANCODE_KP_2, 80},
    {SDL_SCANCODE_KP_3, 81},          {SDL_SCANCODE_KP_0, 82},
    {SDL_SCANCODE_KP_PERIOD, 83},     {SDL_SCANCODE_NONUSBACKSLASH, 86},
    {SDL_SCANCODE_F11, 87},           {SDL_SCANCODE_F12, 88},
    {SDL_SCANCODE_F13, 100},          {SDL_SCANCODE_F14, 101},
    {SDL_SCANCODE_F15, 102},          {SDL_SCANCODE_INTERNATIONAL2, 0x70},
    {SDL_SCANCODE_INTERNATIONAL1, 0x73}, {SDL_SCANCODE_INTERNATIONAL4, 0x79},
    {SDL_SCANCODE_INTERNATIONAL5, 0x7B}, {SDL_SCANCODE_INTERNATIONAL3, 0x7D},
    {SDL_SCANCODE_KP_EQUALS, 0x8D},   {SDL_SCANCODE_KP_ENTER, 0x9C},
    {SDL_SCANCODE_RCTRL, 0x9D},       {SDL_SCANCODE_MUTE, 0xA0},
    {SDL_SCANCODE_VOLUMEDOWN, 0xAE},  {SDL_SCANCODE_VOLUMEUP, 0xB0},
    {SDL_SCANCODE_KP_COMMA, 0xB3},    {SDL_SCANCODE_KP_DIVIDE, 0xB5},
    {SDL_SCANCODE_PRINTSCREEN, 0xB7}, {SDL_SCANCODE_RALT, 0xB8},
    {SDL_SCANCODE_PAUSE, 0xC5},       {SDL_SCANCODE_HOME, 0xC7},
    {SDL_SCANCODE_UP, 0xC8},          {SDL_SCANCODE_PAGEUP, 0xC9},
    {SDL_SCANCODE_LEFT, 0xCB},        {SDL_SCANCODE_RIGHT, 0xCD},
    {SDL_SCANCODE_END, 0xCF},         {SDL_SCANCODE_DOWN, 0xD0},
    {SDL_SCANCODE_PAGEDOWN, 0xD1},    {SDL_SCANCODE_INSERT, 0xD2},
    {SDL_SCANCODE_DELETE, 0xD3},      {SDL_SCANCODE_LGUI, 0xDB},
    {SDL_SCANCODE_RGUI, 0xDC},        {SDL_SCANCODE_APPLICATION, 0xDD},
    {SDL_SCANCODE_POWER, 0xDE},       {SDL_SCANCODE_SLEEP, 0xDF},
};

int32_t ScaleAxis(Sint16 v) {
  // -32768..32767 onto -100..100, symmetric around 0.
  int32_t x = v;
  if (x < -32767) x = -32767;
  return x * 100 / 32767;
}

}  // namespace

JoystickReading MapController(const ControllerSnapshot& c) {
  JoystickReading r;
  r.X = ScaleAxis(c.LeftX);
  r.Y = ScaleAxis(c.LeftY);
  if (c.DpadLeft) r.X = -100;
  if (c.DpadRight) r.X = 100;
  if (c.DpadUp) r.Y = -100;
  if (c.DpadDown) r.Y = 100;
  r.Buttons[0] = c.South ? 0x80 : 0;
  r.Buttons[1] = c.East ? 0x80 : 0;
  r.Buttons[2] = c.Start ? 0x80 : 0;
  return r;
}

uint8_t SdlScancodeToDik(int sdlScancode) {
  for (const KeyPair& k : kKeyTable)
    if (k.Sdl == sdlScancode) return k.Dik;
  return 0;
}

int DikToSdlScancode(uint8_t dik) {
  for (const KeyPair& k : kKeyTable)
    if (k.Dik == dik) return k.Sdl;
  return 0;
}

InputDevices::InputDevices() = default;

InputDevices::~InputDevices() { CloseJoystick(); }

void InputDevices::ReadKeyboard(uint8_t out[256]) const { std::memcpy(out, Keys, 256); }

void InputDevices::SetKey(uint8_t dik, bool down) {
  if (dik != 0) Keys[dik] = down ? 0x80 : 0;
}

void InputDevices::QueueKeyEvent(uint8_t dik, bool down) {
  if (dik == 0) return;
  // A backlog far beyond any typing speed means nobody takes the events (no ticks run):
  // keep the newest state of each key rather than grow without bound.
  constexpr size_t kMaxPending = 512;
  if (PendingKeys.size() >= kMaxPending) {
    for (const KeyEvent& e : PendingKeys) Keys[e.Dik] = e.Down ? 0x80 : 0;
    PendingKeys.clear();
  }
  PendingKeys.push_back({dik, down});
}

void InputDevices::TakeKeyEvents() {
  bool changed[256] = {};   // keys that changed in this tick
  bool blocked[256] = {};   // keys with an event left waiting: their later events wait too
  bool downWaits = PressedLastTick;
  bool pressed = false;
  // The events left waiting are moved to the front in place: a tick never allocates.
  size_t kept = 0;
  for (const KeyEvent& e : PendingKeys) {
    const bool isDown = Keys[e.Dik] != 0;
    if (!blocked[e.Dik] && e.Down == isDown) continue;  // a repeat, or up while up: no change
    const bool wait = blocked[e.Dik] || changed[e.Dik] || (e.Down && (pressed || downWaits));
    if (wait) {
      PendingKeys[kept++] = e;
      blocked[e.Dik] = true;
      if (e.Down) downWaits = true;  // key presses keep their order
      continue;
    }
    changed[e.Dik] = true;
    if (e.Down) pressed = true;
    Keys[e.Dik] = e.Down ? 0x80 : 0;
  }
  PendingKeys.resize(kept);
  PressedLastTick = pressed;
}

void InputDevices::ReleaseAllKeys() {
  std::memset(Keys, 0, sizeof Keys);
  PendingKeys.clear();
  PressedLastTick = false;
}

void InputDevices::QueueMouseEvent(const MouseEvent& e) {
  constexpr size_t kMaxMouse = 32;
  if (PendingMouse.size() >= kMaxMouse) PendingMouse.erase(PendingMouse.begin());
  PendingMouse.push_back(e);
}

std::vector<MouseEvent> InputDevices::TakeMouseEvents() {
  std::vector<MouseEvent> out;
  out.swap(PendingMouse);
  return out;
}

bool InputDevices::OpenFirstJoystick() {
  if (FakePresent) return true;
  if (Joy) return true;
  if (!SDL_WasInit(SDL_INIT_JOYSTICK)) return false;
  int n = SDL_NumJoysticks();
  // A pad that SDL's controller database knows is read through the controller interface.
  if (SDL_WasInit(SDL_INIT_GAMECONTROLLER)) {
    for (int i = 0; i < n; ++i) {
      if (!SDL_IsGameController(i)) continue;
      SDL_GameController* gc = SDL_GameControllerOpen(i);
      if (gc) {
        Controller = gc;
        Joy = SDL_GameControllerGetJoystick(gc);
        JoyInstance = SDL_JoystickInstanceID(static_cast<SDL_Joystick*>(Joy));
        return true;
      }
    }
  }
  for (int i = 0; i < n; ++i) {
    SDL_Joystick* j = SDL_JoystickOpen(i);
    if (j) {
      Joy = j;
      JoyInstance = SDL_JoystickInstanceID(j);
      return true;
    }
  }
  return false;
}

void InputDevices::CloseJoystick() {
  if (Controller)
    SDL_GameControllerClose(static_cast<SDL_GameController*>(Controller));
  else if (Joy)
    SDL_JoystickClose(static_cast<SDL_Joystick*>(Joy));
  Controller = nullptr;
  Joy = nullptr;
  JoyInstance = -1;
}

bool InputDevices::HasJoystick() const { return FakePresent || Joy != nullptr; }

bool InputDevices::PollJoystick(JoystickReading& out) {
  out = JoystickReading{};
  if (FakePresent) {
    out = Fake;
    return true;
  }
  if (!Joy) return false;
  SDL_Joystick* j = static_cast<SDL_Joystick*>(Joy);
  if (!SDL_JoystickGetAttached(j)) return false;
  if (Controller) {
    SDL_GameController* gc = static_cast<SDL_GameController*>(Controller);
    ControllerSnapshot c;
    c.DpadUp = SDL_GameControllerGetButton(gc, SDL_CONTROLLER_BUTTON_DPAD_UP);
    c.DpadDown = SDL_GameControllerGetButton(gc, SDL_CONTROLLER_BUTTON_DPAD_DOWN);
    c.DpadLeft = SDL_GameControllerGetButton(gc, SDL_CONTROLLER_BUTTON_DPAD_LEFT);
    c.DpadRight = SDL_GameControllerGetButton(gc, SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
    c.LeftX = SDL_GameControllerGetAxis(gc, SDL_CONTROLLER_AXIS_LEFTX);
    c.LeftY = SDL_GameControllerGetAxis(gc, SDL_CONTROLLER_AXIS_LEFTY);
    c.South = SDL_GameControllerGetButton(gc, SDL_CONTROLLER_BUTTON_A);
    c.East = SDL_GameControllerGetButton(gc, SDL_CONTROLLER_BUTTON_B);
    c.Start = SDL_GameControllerGetButton(gc, SDL_CONTROLLER_BUTTON_START);
    out = MapController(c);
    return true;
  }
  if (SDL_JoystickNumAxes(j) >= 2) {
    out.X = ScaleAxis(SDL_JoystickGetAxis(j, 0));
    out.Y = ScaleAxis(SDL_JoystickGetAxis(j, 1));
  }
  int buttons = SDL_JoystickNumButtons(j);
  for (int b = 0; b < 3 && b < buttons; ++b) out.Buttons[b] = SDL_JoystickGetButton(j, b) ? 0x80 : 0;
  return true;
}

void InputDevices::SetFakeJoystick(bool present, const JoystickReading& reading) {
  FakePresent = present;
  Fake = reading;
}

void InputDevices::OnJoystickRemoved(int32_t instanceId) {
  if (Joy && instanceId == JoyInstance) CloseJoystick();
}

}  // namespace platform
