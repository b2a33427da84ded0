#pragma once
// Keyboard and joystick as the game reads them: a 256-byte keyboard state indexed by the
// DirectInput scan codes (0x80 = key down), kept from the window's key events, and the first
// joystick with its axes scaled to -100..100 and its first three buttons.
#include <cstdint>
#include <vector>

namespace platform {

// Maps an SDL scancode to its DirectInput scan code (DIK_*); 0 for keys without one.
uint8_t SdlScancodeToDik(int sdlScancode);
// The reverse, for scripts that name keys: the SDL scancode of a DIK code, or 0.
int DikToSdlScancode(uint8_t dik);

// A mouse press or wheel turn over the picture, in the picture's own pixels (512 x 384):
// Button 1 the left button, 3 the right one, 0 a wheel turn of Wheel steps (up positive).
struct MouseEvent {
  int32_t X = 0;
  int32_t Y = 0;
  uint8_t Button = 0;
  int32_t Wheel = 0;
};

struct JoystickReading {
  int32_t X = 0;  // -100..100
  int32_t Y = 0;  // -100..100
  uint8_t Buttons[3] = {0, 0, 0};
};

// A game controller's state as SDL's controller interface names it.
struct ControllerSnapshot {
  bool DpadUp = false, DpadDown = false, DpadLeft = false, DpadRight = false;
  int16_t LeftX = 0, LeftY = 0;  // -32768..32767
  bool South = false, East = false, Start = false;
};

// A controller read as the game's joystick: D-pad or left stick for the directions (the
// D-pad counts as full travel), south, east and start for the three buttons.
JoystickReading MapController(const ControllerSnapshot& c);

class InputDevices {
 public:
  InputDevices();
  ~InputDevices();
  InputDevices(const InputDevices&) = delete;
  InputDevices& operator=(const InputDevices&) = delete;

  // Keyboard: copies the 256-byte state the game sees this tick.
  void ReadKeyboard(uint8_t out[256]) const;
  // Sets a key's state at once (scripts and tests that stand in for a whole tick).
  void SetKey(uint8_t dik, bool down);
  // A key event from the window. Events wait in order until TakeKeyEvents hands them to the
  // game, so a key that goes down and up again between two ticks is still seen.
  void QueueKeyEvent(uint8_t dik, bool down);
  // Called once at the start of every tick: applies the waiting events in order. An event
  // waits for a later tick when its key already changed in this tick, and a key press also
  // waits while another key went down in this tick or the one before; later events of a
  // waiting key, and later presses, keep their order behind it. So a tap shorter than a tick
  // is down for one tick and up in the next, and letters typed faster than the ticks each
  // arrive as a press of their own (the game tells "a key went down" apart only across a
  // tick without one). A release never waits for another key.
  void TakeKeyEvents();
  void ReleaseAllKeys();

  // Mouse: presses and wheel turns wait in order until a screen that uses the mouse takes
  // them; only the newest few are kept, so a screen without mouse use lets them go.
  void QueueMouseEvent(const MouseEvent& e);
  std::vector<MouseEvent> TakeMouseEvents();

  // Joystick. OpenFirstJoystick looks for an attached joystick (SDL's joystick subsystem
  // must be initialised); false when there is none.
  bool OpenFirstJoystick();
  void CloseJoystick();
  bool HasJoystick() const;
  // Reads the joystick; false when it is gone (unplugged) or was never opened.
  bool PollJoystick(JoystickReading& out);
  // A scripted joystick for tests: present with the given reading.
  void SetFakeJoystick(bool present, const JoystickReading& reading);
  // Called by the event loop when a joystick is removed.
  void OnJoystickRemoved(int32_t instanceId);

 private:
  struct KeyEvent {
    uint8_t Dik;
    bool Down;
  };
  uint8_t Keys[256] = {};
  std::vector<KeyEvent> PendingKeys;
  bool PressedLastTick = false;
  std::vector<MouseEvent> PendingMouse;
  void* Joy = nullptr;         // SDL_Joystick*
  void* Controller = nullptr;  // SDL_GameController*, when the pad is a known controller
  int32_t JoyInstance = -1;
  bool FakePresent = false;
  JoystickReading Fake;
};

}  // namespace platform
