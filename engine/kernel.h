#pragma once
// TKernel: the frame-service object every mode and actor shares. It holds the four media
// components, turns the input into button bits with key repeat once per tick, scans the
// keyboard for a newly pressed key, keeps the fade state and presents each finished frame.
#include <cstdint>

class TKorDraw;
class TKorSound;
class TKorInput;
class TKorMidi;

enum : uint16_t {
  btUp = 0x001,
  btDown = 0x002,
  btLeft = 0x004,
  btRight = 0x008,
  btA = 0x010,
  btB = 0x020,
  btEnter = 0x040,
  btAnyKey = 0x100,
};

// Where the game buttons come from instead of the input devices (a replay being watched).
class TButtonSource {
 public:
  virtual ~TButtonSource() = default;
  // The game buttons held in the next tick.
  virtual uint16_t NextButtons() = 0;
};

// Something drawn over every finished frame just before it is shown (the marks of a replay
// being watched).
class TFrameOverlay {
 public:
  virtual ~TFrameOverlay() = default;
  virtual void DrawOverlay() = 0;
};

class TKernel {
 public:
  // All four components are always there and are never null: every mode, actor and the
  // kernel itself call them without asking. A component that could not start (no window,
  // no audio device, no synthesiser) is still passed; it answers false on every call and
  // the game runs on without it. Tests pass components that were never started.
  TKernel(TKorDraw* draw, TKorSound* sound, TKorInput* input, TKorMidi* midi);

  void Tick(int32_t dt);
  // The held game buttons of one tick, from the input devices or the button source.
  void ReadButtons(int32_t dt);
  // A tick's held game buttons: what went down since the last tick, and what repeats.
  void SetButtons(uint16_t held, int32_t dt);
  void ReadKeyboard();
  bool FadeOut(int32_t step);
  bool FadeIn(int32_t step);
  bool WhiteOut(int32_t step);
  bool WhiteIn(int32_t step);
  char GetLetter() const;
  void Present();
  int32_t GetCpuClass() const;
  // The class table itself, for a given CPUID vendor text, highest leaf and signature.
  static int32_t ClassifyCpu(const char vendor[12], uint32_t highestLeaf, uint32_t signature);

  TKorDraw* Draw;
  TKorSound* Sound;
  TKorInput* Input;
  TKorMidi* Midi;
  uint8_t KeyState[256] = {};
  int32_t FadeLevel = 0;
  bool FadeWhite = false;
  bool Blackout = false;
  uint16_t Buttons = 0;
  uint16_t OldButtons = 0;
  uint16_t Pushed = 0;
  uint16_t Repeat = 0;
  int32_t PushedKey = 0;
  int32_t RepeatWait = 160;
  int32_t RepeatWaitBefore = 160;  // RepeatWait as the last tick began
  TButtonSource* ButtonSource = nullptr;  // not owned; nullptr: the input devices
  TFrameOverlay* Overlay = nullptr;       // not owned; nullptr: none
  int32_t RepeatDelay = 160;
  int32_t RepeatInterval = 40;
};
