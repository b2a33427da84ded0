#pragma once
// TKorInput: keyboard and the first joystick, reduced to seven game inputs (four
// directions, three buttons), plus the whole keyboard state for letter entry.
#include <cstdint>

#include <vector>

#include "platform/input_devices.h"
#include "platform/keycodes.h"

namespace platform {
class Window;
class InputDevices;
}  // namespace platform

// Seven bytes: the state of the seven game inputs (0 = up), or their key assignment (one
// scan code of platform/keycodes.h each).
struct InputState {
  uint8_t Up = 0;
  uint8_t Down = 0;
  uint8_t Left = 0;
  uint8_t Right = 0;
  uint8_t A = 0;
  uint8_t B = 0;
  uint8_t Enter = 0;

  uint8_t* Bytes() { return &Up; }
  const uint8_t* Bytes() const { return &Up; }
};
static_assert(sizeof(InputState) == 7, "InputState is seven bytes");

// The default assignment: cursor keys, Z, X, C.
constexpr InputState kDefaultKeyCodes{keycode::Up, keycode::Down, keycode::Left, keycode::Right,
                                      keycode::Z, keycode::X, keycode::C};

class TKorInput {
 public:
  TKorInput() = default;
  ~TKorInput();
  TKorInput(const TKorInput&) = delete;
  TKorInput& operator=(const TKorInput&) = delete;

  bool Init(platform::Window* wnd);
  bool GetState(InputState& out);
  bool GetKeyboardState(uint8_t buf[256]);
  bool GetKeys(InputState& out) const;
  bool SetKeys(const InputState& in);
  // Hands the key events that arrived since the last tick to this tick (called once per
  // tick, before the state is read): a tap between two ticks is not lost.
  void TakeKeyEvents();
  void ReleaseAll();
  // The mouse presses and wheel turns since the last call, oldest first (none without a
  // window).
  std::vector<platform::MouseEvent> TakeMouseEvents();

  platform::Window* Wnd = nullptr;
  InputState KeyCodes = kDefaultKeyCodes;
  bool Ready = false;
  bool HasJoystick = false;

 private:
  platform::InputDevices* Devices = nullptr;
};
