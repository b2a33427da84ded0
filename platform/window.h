#pragma once
// The program's one window: an SDL window with a renderer that shows 32-bit XRGB pictures,
// the event loop that turns SDL events into the game's ticks, paint requests and key
// states, and a headless stand-in for tests. A window can keep a copy of the last
// presented picture (the replay runner's "shot"); the headless one always does.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/input_devices.h"
#include "platform/letterbox.h"

struct SDL_Renderer;

namespace platform {

enum class WindowEvent { Tick, Paint, Quit };

class Window {
 public:
  // Brings up SDL's video and event subsystems (and, when available, joystick) and opens
  // the window with the given client size, centred, not resizable, black. Returns null and
  // sets error when there is no display.
  static std::unique_ptr<Window> Create(const std::string& captionUtf8, int clientWidth,
                                        int clientHeight, std::string& error);
  // A window without SDL: presents only into its copy of the last picture.
  static std::unique_ptr<Window> CreateHeadless(int clientWidth, int clientHeight);

  ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  // Shows a picture of width x height XRGB8888 pixels (pitch in bytes), scaled by the
  // scale mode of the window or of full screen. Whole: windowed, the picture takes the
  // largest whole scale of the client area; fullScreen, it is placed at (offsetX, offsetY)
  // on a 640 x 480 logical display scaled as a whole. Fit: the picture fills the client
  // area or the screen at its own aspect ratio. False when the renderer fails.
  bool Present(const uint32_t* pixels, int width, int height, int pitch, bool fullScreen,
               int offsetX, int offsetY);
  // Switches between the window and full screen: the window covers its display at the
  // display's own resolution (no mode change), through the window manager's full-screen
  // state, or, on an X display without a window manager that offers one, by moving and
  // sizing the window over the display itself; switching back restores the window.
  bool SetFullScreen(bool on);
  // The scale modes of the window and of full screen (by default whole and fit).
  void SetScaleModes(ScaleMode windowed, ScaleMode fullScreen);

  // Whether Present keeps a copy of each picture for LastFrame and SaveLastFrame: on for a
  // headless window, off by default for a real one (the game never reads its pictures
  // back, and the copy would cost every frame).
  void SetKeepFrames(bool on) { KeepFrames = on; }
  // The last picture kept (empty when none was), and the size of the last one presented.
  const std::vector<uint32_t>& LastFrame() const { return Frame; }
  int LastFrameWidth() const { return FrameWidth; }
  int LastFrameHeight() const { return FrameHeight; }
  // Writes the last presented picture as a 24-bit BMP file.
  bool SaveLastFrame(const std::string& path) const;

  // The event loop: sleeps until the frame clock's next tick (see StartTickClock), a paint
  // request or quit, handling key and joystick events on the way. No other thread wakes
  // it for a tick.
  WindowEvent WaitEvent();
  // Handles pending events without waiting (key states, joystick removal).
  void PumpEvents();
  // The frame clock: WaitEvent answers Tick every intervalMs from now on. Returns the
  // clock's id (0 for an interval of 0); a clock started later replaces it. Main thread.
  static uint32_t StartTickClock(uint32_t intervalMs);
  // Stops the clock of that id (a replaced clock's id is ignored).
  static void StopTickClock(uint32_t id);
  // Sends a key event (a DirectInput scan code) through SDL's event queue and this window's
  // own handling of it, as a keyboard would, with Alt, Ctrl and Shift as held by earlier
  // injected events. For the replay runner; false where the window has no SDL.
  bool InjectKey(uint8_t dik, bool down);
  // Asks the event loop to end, as closing the window does.
  void RequestQuit();

  InputDevices& Input() { return Devices; }
  int ClientWidth() const { return ClientW; }
  int ClientHeight() const { return ClientH; }

 private:
  Window() = default;
  bool HandleEvent(const void* sdlEvent, WindowEvent* result);
  bool PresentRendered(SDL_Renderer* renderer, const uint32_t* pixels, int width, int height,
                       int pitch, bool full, ScaleMode mode, int offsetX, int offsetY);
  bool PresentDirect(const uint32_t* pixels, int width, int height, int pitch, bool full,
                     ScaleMode mode, int offsetX, int offsetY);
  void DropRenderer();

  struct SdlParts;
  std::unique_ptr<SdlParts> Sdl;
  InputDevices Devices;
  std::vector<uint32_t> Frame;
  int FrameWidth = 0;
  int FrameHeight = 0;
  bool KeepFrames = false;
  int ClientW = 0;
  int ClientH = 0;
  // Where the last picture went in the window's output, and that output's size: a mouse
  // position is turned into the picture's pixels through it.
  int DstX = 0, DstY = 0, DstW = 0, DstH = 0, OutW = 0, OutH = 0;
  // A mouse event at window position (x, y) in the picture's pixels; false outside it.
  bool ToPicture(int x, int y, int& px, int& py) const;
  uint16_t InjectedMods = 0;  // SDL_Keymod of the modifiers held by injected events
  ScaleMode WindowScale = ScaleMode::Whole;
  ScaleMode FullScreenScale = ScaleMode::Fit;
};

// Shows a message box (or writes the text to stderr where no display exists).
void ShowMessage(const std::string& captionUtf8, const std::string& textUtf8, bool error);

}  // namespace platform
