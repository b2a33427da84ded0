#include "platform/window.h"

#include <SDL.h>
#include <SDL_syswm.h>

#include "platform/letterbox.h"
#include "platform/resources.h"

#include <atomic>
#include <signal.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace platform {
namespace {

// The frame clock (StartTickClock): its period, the next tick's deadline, and the id of
// the running clock (0: stopped). Used by the main thread alone.
using TickClock = std::chrono::steady_clock;
TickClock::duration gTickPeriod{};
TickClock::time_point gNextTick{};
uint32_t gTickClock = 0;
uint32_t gLastTickClock = 0;

// The window's icon: the "V" block of the title art, black made transparent.
void SetWindowIcon(SDL_Window* win) {
  ResourceView view;
  if (!FindResource("BITMAP", "TITLE", view)) return;
  SDL_RWops* rw = SDL_RWFromConstMem(view.Data, static_cast<int>(view.Size));
  SDL_Surface* title = rw ? SDL_LoadBMP_RW(rw, 1) : nullptr;
  if (!title) return;
  SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormat(0, 80, 83, 32, SDL_PIXELFORMAT_ARGB8888);
  if (icon) {
    SDL_FillRect(icon, nullptr, 0);
    SDL_SetColorKey(title, SDL_TRUE, SDL_MapRGB(title->format, 0, 0, 0));
    SDL_Rect src{16, 17, 80, 83};
    SDL_BlitSurface(title, &src, icon, nullptr);
    SDL_SetWindowIcon(win, icon);
    SDL_FreeSurface(icon);
  }
  SDL_FreeSurface(title);
}

// Start-up measurement: with VEXA_EXIT_AFTER_FIRST_FRAME=1 in the environment, the first
// picture shown in a window reports on stderr how long the program took to get there (from
// its static initialisation, and as a wall-clock stamp for a caller that timed the exec)
// and asks the event loop to quit.
const auto gProgramStart = std::chrono::steady_clock::now();

void ReportFirstFrame() {
  static bool reported = false;
  if (reported) return;
  reported = true;
  const char* flag = std::getenv("VEXA_EXIT_AFTER_FIRST_FRAME");
  if (!flag || std::strcmp(flag, "1") != 0) return;
  const auto now = std::chrono::steady_clock::now();
  const double ms = std::chrono::duration<double, std::milli>(now - gProgramStart).count();
  const long long epochUs = std::chrono::duration_cast<std::chrono::microseconds>(
                                std::chrono::system_clock::now().time_since_epoch())
                                .count();
  std::fprintf(stderr, "vexa: first frame presented %.1f ms after start-up began (epoch %lld us)\n",
               ms, epochUs);
  SDL_Event quit;
  SDL_zero(quit);
  quit.type = SDL_QUIT;
  SDL_PushEvent(&quit);
}

// True when the machine has a graphics device OpenGL could drive: a DRM node under
// /dev/dri or the NVIDIA driver's control device. Without one, OpenGL is Mesa's software
// rasteriser, which spends about a fifth of a core and 90 MB (a compiler and its threads)
// to scale a 512 x 384 picture that SDL's own software renderer scales for a few percent.
bool HasGraphicsDevice() {
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator("/dev/dri", ec)) {
    const std::string name = entry.path().filename().string();
    if (std::string_view(name).starts_with("card") || std::string_view(name).starts_with("renderD"))
      return true;
  }
  return std::filesystem::exists("/dev/nvidiactl", ec);
}

#if defined(SDL_VIDEO_DRIVER_X11)
// The few Xlib calls that ask the X server whether a window manager runs, taken from the
// Xlib that SDL has loaded (so the game links nothing more).
struct XlibCalls {
  decltype(&::XInternAtom) InternAtom = nullptr;
  decltype(&::XGetWindowProperty) GetWindowProperty = nullptr;
  decltype(&::XFree) Free = nullptr;
  decltype(&::XSync) Sync = nullptr;
  decltype(&::XSetErrorHandler) SetErrorHandler = nullptr;
};

const XlibCalls* Xlib() {
  static const XlibCalls calls = [] {
    XlibCalls c;
    void* lib = SDL_LoadObject("libX11.so.6");
    if (!lib) return c;
    c.InternAtom = reinterpret_cast<decltype(c.InternAtom)>(SDL_LoadFunction(lib, "XInternAtom"));
    c.GetWindowProperty =
        reinterpret_cast<decltype(c.GetWindowProperty)>(SDL_LoadFunction(lib, "XGetWindowProperty"));
    c.Free = reinterpret_cast<decltype(c.Free)>(SDL_LoadFunction(lib, "XFree"));
    c.Sync = reinterpret_cast<decltype(c.Sync)>(SDL_LoadFunction(lib, "XSync"));
    c.SetErrorHandler =
        reinterpret_cast<decltype(c.SetErrorHandler)>(SDL_LoadFunction(lib, "XSetErrorHandler"));
    return c;  // the library stays loaded with SDL
  }();
  const bool complete = calls.InternAtom && calls.GetWindowProperty && calls.Free && calls.Sync &&
                        calls.SetErrorHandler;
  return complete ? &calls : nullptr;
}

// While a check runs, an X error (a window manager's window that is already gone) is noted
// instead of ending the program, which Xlib's default handler would do.
bool gXError = false;
int NoteXError(Display*, XErrorEvent*) {
  gXError = true;
  return 0;
}

// The window ids held in a 32-bit WINDOW or ATOM property, at most max of them.
std::vector<unsigned long> ReadXIds(const XlibCalls& x, Display* d, ::Window w, Atom property,
                                    Atom type, long max) {
  std::vector<unsigned long> ids;
  Atom actualType = 0;
  int actualFormat = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  if (x.GetWindowProperty(d, w, property, 0, max, False, type, &actualType, &actualFormat, &count,
                          &after, &data) == Success &&
      data && actualType == type && actualFormat == 32) {
    const unsigned long* items = reinterpret_cast<const unsigned long*>(data);  // 32-bit data as longs
    ids.assign(items, items + count);
  }
  if (data) x.Free(data);
  return ids;
}
#endif

// True unless the window is on an X display where no window manager offers full screen:
// the manager's check window (_NET_SUPPORTING_WM_CHECK on the root, naming itself) is alive
// and _NET_SUPPORTED lists _NET_WM_STATE_FULLSCREEN. Without one, SDL's request to the
// manager is never answered: SDL draws for the screen's size into a window that kept its
// own. Other video systems have no such gap.
bool ManagerOffersFullScreen(SDL_Window* win) {
#if defined(SDL_VIDEO_DRIVER_X11)
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(win, &info) || info.subsystem != SDL_SYSWM_X11) return true;
  const XlibCalls* x = Xlib();
  if (!x) return true;
  Display* d = info.info.x11.display;
  const ::Window root = DefaultRootWindow(d);
  const Atom check = x->InternAtom(d, "_NET_SUPPORTING_WM_CHECK", False);
  const Atom supported = x->InternAtom(d, "_NET_SUPPORTED", False);
  const Atom fullscreen = x->InternAtom(d, "_NET_WM_STATE_FULLSCREEN", False);
  x->Sync(d, False);
  gXError = false;
  auto* previous = x->SetErrorHandler(NoteXError);
  bool offers = false;
  const std::vector<unsigned long> wm = ReadXIds(*x, d, root, check, XA_WINDOW, 1);
  if (wm.size() == 1) {
    const std::vector<unsigned long> self = ReadXIds(*x, d, wm[0], check, XA_WINDOW, 1);
    if (self.size() == 1 && self[0] == wm[0]) {
      for (unsigned long atom : ReadXIds(*x, d, root, supported, XA_ATOM, 4096))
        if (atom == fullscreen) offers = true;
    }
  }
  x->Sync(d, False);
  x->SetErrorHandler(previous);
  return offers && !gXError;
#else
  (void)win;
  return true;
#endif
}

// The picture at a whole scale, drawn from there into a fit rectangle with smoothing.
struct WholeScaled {
  SDL_Texture* Texture = nullptr;
  int W = 0;
  int H = 0;
};

// The texture to draw into a fit rectangle: the picture scaled by the largest whole factor
// within it (nearest pixel, into a texture of that size), which the renderer then smooths
// the rest of the way; the picture itself when that factor already fills the rectangle, or
// when the rectangle is smaller than the picture (or the renderer cannot draw into a
// texture), smoothed in one pass from its own size.
SDL_Texture* FitPicture(SDL_Renderer* r, SDL_Texture* picture, WholeScaled& up, const ViewRect& fit,
                        int width, int height) {
  const int k = FitPreScale(fit, width, height);
  if (k >= 1 && fit.W == width * k && fit.H == height * k) {
    SDL_SetTextureScaleMode(picture, SDL_ScaleModeNearest);
    return picture;  // the whole scale fills it already
  }
  if (k >= 1 && SDL_RenderTargetSupported(r)) {
    const int uw = width * k, uh = height * k;
    if (!up.Texture || up.W != uw || up.H != uh) {
      if (up.Texture) SDL_DestroyTexture(up.Texture);
      up.Texture = SDL_CreateTexture(r, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_TARGET, uw, uh);
      up.W = up.Texture ? uw : 0;
      up.H = up.Texture ? uh : 0;
      if (up.Texture) SDL_SetTextureScaleMode(up.Texture, SDL_ScaleModeLinear);
    }
    if (up.Texture && SDL_SetRenderTarget(r, up.Texture) == 0) {
      SDL_SetTextureScaleMode(picture, SDL_ScaleModeNearest);
      const int rc = SDL_RenderCopy(r, picture, nullptr, nullptr);
      SDL_SetRenderTarget(r, nullptr);
      if (rc == 0) return up.Texture;
    }
  }
  // Smaller than the picture, or no render targets: the smooth pass alone.
  SDL_SetTextureScaleMode(picture, SDL_ScaleModeLinear);
  return picture;
}

// One row of width pixels widened to twice its width at d, every pixel twice, in aligned
// 16-byte blocks where SSE2 is there.
void WidenRow2(const uint32_t* s, int width, uint32_t* d) {
  const int out = 2 * width;
  int p = 0;
#if defined(__SSE2__)
  for (; p < out && (reinterpret_cast<uintptr_t>(d + p) & 15) != 0; ++p) d[p] = s[p / 2];
  if ((reinterpret_cast<uintptr_t>(d + p) & 3) == 0) {
    if (p % 2 == 0) {
      for (; p + 4 <= out; p += 4) {
        const __m128i a = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(s + p / 2));
        _mm_store_si128(reinterpret_cast<__m128i*>(d + p), _mm_unpacklo_epi32(a, a));
      }
    } else {
      for (; p + 4 <= out; p += 4) {
        const int m = p / 2;  // the block is s[m], s[m+1], s[m+1], s[m+2]
        const __m128i a = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(s + m));
        const __m128i b = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(s + m + 1));
        _mm_store_si128(reinterpret_cast<__m128i*>(d + p), _mm_unpacklo_epi64(a, b));
      }
    }
  }
#endif
  for (; p < out; ++p) d[p] = s[p / 2];
}

// Nearest-pixel scaling of rows y0..y1-1 of an XRGB picture width pixels wide (rows
// srcPitch bytes apart) by the whole factor k into 32-bit pixels of a buffer with rows
// dstPitch bytes apart, the picture's top-left corner at (x, y). Twice: every output row
// widened from its source row. Otherwise each row is widened once and copied k - 1 times
// below itself.
void ScaleRows(const uint32_t* src, int srcPitch, int width, int y0, int y1, uint8_t* dst,
               int dstPitch, int x, int y, int k) {
  const size_t rowBytes = static_cast<size_t>(width) * k * 4;
  for (int sy = y0; sy < y1; ++sy) {
    const uint32_t* s = reinterpret_cast<const uint32_t*>(reinterpret_cast<const uint8_t*>(src) +
                                                          static_cast<size_t>(sy) * srcPitch);
    uint8_t* row = dst + static_cast<size_t>(y + sy * k) * dstPitch;
    uint32_t* d = reinterpret_cast<uint32_t*>(row) + x;
    if (k == 2) {
      WidenRow2(s, width, d);
      WidenRow2(s, width, reinterpret_cast<uint32_t*>(row + dstPitch) + x);
      continue;
    }
    if (k == 1) {
      std::memcpy(d, s, static_cast<size_t>(width) * 4);
    } else {
      for (int i = 0; i < width; ++i)
        for (int j = 0; j < k; ++j) *d++ = s[i];
    }
    const uint8_t* first = row + static_cast<size_t>(x) * 4;
    for (int r = 1; r < k; ++r)
      std::memcpy(row + static_cast<size_t>(r) * dstPitch + static_cast<size_t>(x) * 4, first, rowBytes);
  }
}

// Where the picture goes in an outW x outH output at a whole scale: windowed, the largest
// whole scale of the output (a smaller output gets a fractional size); in full screen, at
// its offset on a 640 x 480 display scaled as a whole.
SDL_Rect WholeRect(int ow, int oh, int width, int height, bool full, int offsetX, int offsetY) {
  if (full) {
    ViewRect screen = Letterbox(ow, oh, 640, 480);
    int s = screen.W / 640 > 0 ? screen.W / 640 : 1;
    if (screen.W < 640)
      return {screen.X + offsetX * screen.W / 640, screen.Y + offsetY * screen.H / 480,
              width * screen.W / 640, height * screen.H / 480};
    return {screen.X + offsetX * s, screen.Y + offsetY * s, width * s, height * s};
  }
  ViewRect box = Letterbox(ow, oh, width, height);
  return {box.X, box.Y, box.W, box.H};
}

// Black only where the picture does not reach: clearing the whole output first would
// write every pixel twice, which a software renderer pays for on each frame.
void FillBars(SDL_Renderer* r, int ow, int oh, const SDL_Rect& dst) {
  SDL_SetRenderDrawColor(r, 0, 0, 0, 255);
  const SDL_Rect bars[4] = {{0, 0, ow, dst.y},
                            {0, dst.y + dst.h, ow, oh - dst.y - dst.h},
                            {0, dst.y, dst.x, dst.h},
                            {dst.x + dst.w, dst.y, ow - dst.x - dst.w, dst.h}};
  for (const SDL_Rect& bar : bars)
    if (bar.w > 0 && bar.h > 0) SDL_RenderFillRect(r, &bar);
}

}  // namespace

struct Window::SdlParts {
  SDL_Window* Win = nullptr;
  SDL_Renderer* Renderer = nullptr;
  SDL_Texture* Texture = nullptr;
  int TextureW = 0;
  int TextureH = 0;
  WholeScaled Upscaled;
  // No graphics device: the window has no renderer of its own. The picture goes straight
  // into the window's surface, scaled there in one pass (whole scale); Renderer is then a
  // software renderer over that surface, made for fit mode only and dropped whenever the
  // surface changes. Repaint: the whole surface must be drawn and shown, bars included
  // (a new or resized surface, an expose, a change of mode); otherwise only the picture's
  // rectangle is.
  bool Direct = false;
  SDL_Surface* Surface = nullptr;
  int SurfaceW = 0;
  int SurfaceH = 0;
  bool Repaint = true;
  // The picture as it stands in the surface: a frame redraws and shows only the rows that
  // differ from it, and a frame like the last one costs the window system nothing.
  std::vector<uint32_t> Shown;
  int ShownW = 0;
  int ShownH = 0;
  bool FullScreen = false;
  // Full screen made by moving the window over the display (no window manager to ask);
  // Saved is where the window was.
  bool OwnFullScreen = false;
  SDL_Rect Saved{};
  bool JoystickSubsystem = false;
};

std::unique_ptr<Window> Window::Create(const std::string& caption, int clientWidth,
                                       int clientHeight, std::string& error) {
  if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS | SDL_INIT_TIMER) != 0) {
    error = std::string("no display available (") + SDL_GetError() + ")";
    return nullptr;
  }
  std::unique_ptr<Window> w(new Window());
  w->Sdl = std::make_unique<SdlParts>();
  w->ClientW = clientWidth;
  w->ClientH = clientHeight;
  // The window opens at the client size times the largest whole factor that fits the
  // display comfortably; the player may resize it.
  int scale = 1;
  SDL_Rect usable;
  if (SDL_GetDisplayUsableBounds(0, &usable) == 0)
    scale = InitialScale(usable.w, usable.h, clientWidth, clientHeight);
  w->Sdl->Win = SDL_CreateWindow(caption.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                 clientWidth * scale, clientHeight * scale,
                                 SDL_WINDOW_SHOWN | SDL_WINDOW_RESIZABLE);
  if (!w->Sdl->Win) {
    error = std::string("cannot open the window (") + SDL_GetError() + ")";
    w->Sdl.reset();
    SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS | SDL_INIT_TIMER);
    return nullptr;
  }
  // Hints set here give way to the player's own SDL_RENDER_DRIVER and
  // SDL_FRAMEBUFFER_ACCELERATION environment variables.
  bool direct = false;
  if (!HasGraphicsDevice()) {
    SDL_SetHint(SDL_HINT_RENDER_DRIVER, "software");
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    // The software renderer would scale into a surface of its own and copy that into the
    // window's; the window's surface itself takes the scaled picture instead, unless the
    // player asked for a renderer by name.
    const char* asked = std::getenv("SDL_RENDER_DRIVER");
    if (!asked || !*asked || std::strcmp(asked, "software") == 0) {
      SDL_Surface* surface = SDL_GetWindowSurface(w->Sdl->Win);
      if (surface) {
        direct = true;
        SDL_FillRect(surface, nullptr, 0);
        SDL_UpdateWindowSurface(w->Sdl->Win);
      }
    }
  }
  w->Sdl->Direct = direct;
  if (!direct) w->Sdl->Renderer = SDL_CreateRenderer(w->Sdl->Win, -1, 0);
  if (!direct && !w->Sdl->Renderer)
    w->Sdl->Renderer = SDL_CreateRenderer(w->Sdl->Win, -1, SDL_RENDERER_SOFTWARE);
  if (!direct && !w->Sdl->Renderer) {
    error = std::string("cannot draw into the window (") + SDL_GetError() + ")";
    SDL_DestroyWindow(w->Sdl->Win);
    w->Sdl.reset();
    SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS | SDL_INIT_TIMER);
    return nullptr;
  }
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
  SetWindowIcon(w->Sdl->Win);
  if (!direct) {
    SDL_SetRenderDrawColor(w->Sdl->Renderer, 0, 0, 0, 255);
    SDL_RenderClear(w->Sdl->Renderer);
    SDL_RenderPresent(w->Sdl->Renderer);
  }
  // A joystick is optional: a failing joystick subsystem only leaves the keyboard.
  SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
  w->Sdl->JoystickSubsystem = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
  return w;
}

std::unique_ptr<Window> Window::CreateHeadless(int clientWidth, int clientHeight) {
  std::unique_ptr<Window> w(new Window());
  w->KeepFrames = true;
  w->ClientW = clientWidth;
  w->ClientH = clientHeight;
  return w;
}

Window::~Window() {
  Devices.CloseJoystick();
  if (Sdl) {
    if (Sdl->Upscaled.Texture) SDL_DestroyTexture(Sdl->Upscaled.Texture);
    if (Sdl->Texture) SDL_DestroyTexture(Sdl->Texture);
    if (Sdl->Renderer) SDL_DestroyRenderer(Sdl->Renderer);
    if (Sdl->Win) SDL_DestroyWindow(Sdl->Win);
    if (Sdl->JoystickSubsystem) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS | SDL_INIT_TIMER);
  }
}

void Window::DropRenderer() {
  if (Sdl->Upscaled.Texture) SDL_DestroyTexture(Sdl->Upscaled.Texture);
  Sdl->Upscaled = WholeScaled{};
  if (Sdl->Texture) SDL_DestroyTexture(Sdl->Texture);
  Sdl->Texture = nullptr;
  Sdl->TextureW = Sdl->TextureH = 0;
  if (Sdl->Renderer) SDL_DestroyRenderer(Sdl->Renderer);
  Sdl->Renderer = nullptr;
}

bool Window::Present(const uint32_t* pixels, int width, int height, int pitch, bool fullScreen,
                     int offsetX, int offsetY) {
  if (!pixels || width <= 0 || height <= 0 || pitch < width * 4) return false;
  FrameWidth = width;
  FrameHeight = height;
  if (KeepFrames) {
    Frame.resize(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y)
      std::memcpy(&Frame[static_cast<size_t>(y) * width],
                  reinterpret_cast<const uint8_t*>(pixels) + static_cast<size_t>(y) * pitch,
                  static_cast<size_t>(width) * 4);
  }
  if (!Sdl) return true;
  const bool full = fullScreen || Sdl->FullScreen;
  const ScaleMode mode = full ? FullScreenScale : WindowScale;
  bool ok;
  if (!Sdl->Direct) {
    ok = PresentRendered(Sdl->Renderer, pixels, width, height, pitch, full, mode, offsetX, offsetY);
    SDL_RenderPresent(Sdl->Renderer);
  } else {
    ok = PresentDirect(pixels, width, height, pitch, full, mode, offsetX, offsetY);
  }
  ReportFirstFrame();
  return ok;
}

bool Window::PresentRendered(SDL_Renderer* r, const uint32_t* pixels, int width, int height,
                             int pitch, bool full, ScaleMode mode, int offsetX, int offsetY) {
  if (!Sdl->Texture || Sdl->TextureW != width || Sdl->TextureH != height) {
    if (Sdl->Texture) SDL_DestroyTexture(Sdl->Texture);
    Sdl->Texture = SDL_CreateTexture(r, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING,
                                     width, height);
    Sdl->TextureW = Sdl->Texture ? width : 0;
    Sdl->TextureH = Sdl->Texture ? height : 0;
    if (!Sdl->Texture) return false;
  }
  if (SDL_UpdateTexture(Sdl->Texture, nullptr, pixels, pitch) != 0) return false;
  int ow = 0, oh = 0;
  SDL_GetRendererOutputSize(r, &ow, &oh);
  SDL_Rect dst;
  SDL_Texture* shown = Sdl->Texture;
  if (mode == ScaleMode::Fit) {
    const ViewRect fit = FitRect(ow, oh, width, height);
    dst = {fit.X, fit.Y, fit.W, fit.H};
    shown = FitPicture(r, Sdl->Texture, Sdl->Upscaled, fit, width, height);
    if (!shown) return false;
  } else {
    dst = WholeRect(ow, oh, width, height, full, offsetX, offsetY);
    SDL_SetTextureScaleMode(shown, SDL_ScaleModeNearest);
  }
  FillBars(r, ow, oh, dst);
  DstX = dst.x, DstY = dst.y, DstW = dst.w, DstH = dst.h, OutW = ow, OutH = oh;
  return SDL_RenderCopy(r, shown, nullptr, &dst) == 0;
}

bool Window::PresentDirect(const uint32_t* pixels, int width, int height, int pitch, bool full,
                           ScaleMode mode, int offsetX, int offsetY) {
  SDL_Surface* surface = SDL_GetWindowSurface(Sdl->Win);
  if (!surface) return false;
  if (surface != Sdl->Surface || surface->w != Sdl->SurfaceW || surface->h != Sdl->SurfaceH) {
    DropRenderer();  // a renderer draws into the surface it was made for
    Sdl->Surface = surface;
    Sdl->SurfaceW = surface->w;
    Sdl->SurfaceH = surface->h;
    Sdl->Repaint = true;
  }
  if (mode == ScaleMode::Fit) {
    // The smooth pass is the software renderer's, drawing into the window's surface.
    if (!Sdl->Renderer) Sdl->Renderer = SDL_CreateSoftwareRenderer(surface);
    if (!Sdl->Renderer) return false;
    const bool ok =
        PresentRendered(Sdl->Renderer, pixels, width, height, pitch, full, mode, offsetX, offsetY);
    SDL_RenderFlush(Sdl->Renderer);
    Sdl->Repaint = true;  // a later whole-scale frame redraws the bars of its own size
    return SDL_UpdateWindowSurface(Sdl->Win) == 0 && ok;
  }
  SDL_Rect dst = WholeRect(surface->w, surface->h, width, height, full, offsetX, offsetY);
  DstX = dst.x, DstY = dst.y, DstW = dst.w, DstH = dst.h, OutW = surface->w, OutH = surface->h;
  if (Sdl->Repaint) SDL_FillRect(surface, nullptr, 0);
  const int k = dst.w / width;
  const bool inside = dst.x >= 0 && dst.y >= 0 && dst.x + dst.w <= surface->w &&
                      dst.y + dst.h <= surface->h;
  bool ok = true;
  if (k >= 1 && dst.w == width * k && dst.h == height * k && inside &&
      surface->format->format == SDL_PIXELFORMAT_RGB888) {
    if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0) return false;
    uint8_t* out = static_cast<uint8_t*>(surface->pixels);
    if (Sdl->Repaint || Sdl->ShownW != width || Sdl->ShownH != height) {
      Sdl->Shown.resize(static_cast<size_t>(width) * height);
      Sdl->ShownW = width;
      Sdl->ShownH = height;
      for (int y = 0; y < height; ++y)
        std::memcpy(&Sdl->Shown[static_cast<size_t>(y) * width],
                    reinterpret_cast<const uint8_t*>(pixels) + static_cast<size_t>(y) * pitch,
                    static_cast<size_t>(width) * 4);
      ScaleRows(pixels, pitch, width, 0, height, out, surface->pitch, dst.x, dst.y, k);
    } else {
      // Runs of changed rows, each shown as one rectangle; runs close together (or beyond
      // the few rectangles sent at once) are joined.
      constexpr int kMaxRects = 8;
      constexpr int kJoinGap = 8;
      SDL_Rect rects[kMaxRects];
      int count = 0;
      const size_t rowBytes = static_cast<size_t>(width) * 4;
      for (int y = 0; y < height; ++y) {
        const uint8_t* row = reinterpret_cast<const uint8_t*>(pixels) + static_cast<size_t>(y) * pitch;
        uint32_t* kept = &Sdl->Shown[static_cast<size_t>(y) * width];
        if (std::memcmp(row, kept, rowBytes) == 0) continue;
        std::memcpy(kept, row, rowBytes);
        ScaleRows(pixels, pitch, width, y, y + 1, out, surface->pitch, dst.x, dst.y, k);
        const SDL_Rect band{dst.x, dst.y + y * k, dst.w, k};
        SDL_Rect* last = count > 0 ? &rects[count - 1] : nullptr;
        if (last && (band.y - (last->y + last->h) <= kJoinGap * k || count == kMaxRects))
          last->h = band.y + band.h - last->y;
        else
          rects[count++] = band;
      }
      if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
      if (count == 0) return true;  // nothing changed: nothing to show
      return SDL_UpdateWindowSurfaceRects(Sdl->Win, rects, count) == 0;
    }
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
  } else {
    // A fractional size (an output smaller than the picture) or a surface in another
    // format: SDL's own nearest-pixel scaling and conversion, the whole rectangle each time.
    Sdl->ShownW = Sdl->ShownH = 0;
    SDL_Surface* picture = SDL_CreateRGBSurfaceWithFormatFrom(
        const_cast<uint32_t*>(pixels), width, height, 32, pitch, SDL_PIXELFORMAT_RGB888);
    if (!picture) return false;
    SDL_Rect to = dst;
    ok = SDL_BlitScaled(picture, nullptr, surface, &to) == 0;
    SDL_FreeSurface(picture);
  }
  if (Sdl->Repaint) {
    Sdl->Repaint = false;
    return SDL_UpdateWindowSurface(Sdl->Win) == 0 && ok;
  }
  SDL_Rect shown;
  const SDL_Rect all{0, 0, surface->w, surface->h};
  if (!SDL_IntersectRect(&dst, &all, &shown)) return ok;
  return SDL_UpdateWindowSurfaceRects(Sdl->Win, &shown, 1) == 0 && ok;
}

bool Window::SetFullScreen(bool on) {
  if (!Sdl) return true;
  if (Sdl->FullScreen == on) return true;
  SDL_Window* win = Sdl->Win;
  if (on) {
    if (ManagerOffersFullScreen(win)) {
      if (SDL_SetWindowFullscreen(win, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) return false;
      Sdl->OwnFullScreen = false;
    } else {
      // No window manager to ask: the window moves over the whole display itself (on such
      // a display nothing else frames or places it).
      SDL_Rect display;
      const int index = SDL_GetWindowDisplayIndex(win);
      if (SDL_GetDisplayBounds(index < 0 ? 0 : index, &display) != 0) return false;
      SDL_GetWindowPosition(win, &Sdl->Saved.x, &Sdl->Saved.y);
      SDL_GetWindowSize(win, &Sdl->Saved.w, &Sdl->Saved.h);
      SDL_SetWindowPosition(win, display.x, display.y);
      SDL_SetWindowSize(win, display.w, display.h);
      SDL_RaiseWindow(win);
      Sdl->OwnFullScreen = true;
    }
  } else if (Sdl->OwnFullScreen) {
    SDL_SetWindowSize(win, Sdl->Saved.w, Sdl->Saved.h);
    SDL_SetWindowPosition(win, Sdl->Saved.x, Sdl->Saved.y);
    Sdl->OwnFullScreen = false;
  } else if (SDL_SetWindowFullscreen(win, 0) != 0) {
    return false;
  }
  Sdl->FullScreen = on;
  Sdl->Repaint = true;
  SDL_ShowCursor(on ? SDL_DISABLE : SDL_ENABLE);
  return true;
}

void Window::SetScaleModes(ScaleMode windowed, ScaleMode fullScreen) {
  WindowScale = windowed;
  FullScreenScale = fullScreen;
  if (Sdl) Sdl->Repaint = true;
}

bool Window::SaveLastFrame(const std::string& path) const {
  if (Frame.empty() || Frame.size() != static_cast<size_t>(FrameWidth) * FrameHeight) return false;
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormatFrom(
      const_cast<uint32_t*>(Frame.data()), FrameWidth, FrameHeight, 32, FrameWidth * 4,
      SDL_PIXELFORMAT_RGB888);
  if (!s) return false;
  SDL_Surface* rgb = SDL_ConvertSurfaceFormat(s, SDL_PIXELFORMAT_BGR24, 0);
  SDL_FreeSurface(s);
  if (!rgb) return false;
  bool ok = SDL_SaveBMP(rgb, path.c_str()) == 0;
  SDL_FreeSurface(rgb);
  return ok;
}

uint32_t Window::StartTickClock(uint32_t intervalMs) {
  if (intervalMs == 0) return 0;
  gTickPeriod = std::chrono::milliseconds(intervalMs);
  gNextTick = TickClock::now() + gTickPeriod;
  if (++gLastTickClock == 0) gLastTickClock = 1;
  gTickClock = gLastTickClock;
  return gTickClock;
}

void Window::StopTickClock(uint32_t id) {
  if (id != 0 && id == gTickClock) gTickClock = 0;
}

void Window::RequestQuit() {
  SDL_Event quit;
  SDL_zero(quit);
  quit.type = SDL_QUIT;
  SDL_PushEvent(&quit);
}

bool Window::InjectKey(uint8_t dik, bool down) {
  if (!Sdl) return false;
  const SDL_Scancode code = static_cast<SDL_Scancode>(DikToSdlScancode(dik));
  if (code == SDL_SCANCODE_UNKNOWN) return false;
  uint16_t mod = 0;
  switch (code) {
    case SDL_SCANCODE_LALT: mod = KMOD_LALT; break;
    case SDL_SCANCODE_RALT: mod = KMOD_RALT; break;
    case SDL_SCANCODE_LCTRL: mod = KMOD_LCTRL; break;
    case SDL_SCANCODE_RCTRL: mod = KMOD_RCTRL; break;
    case SDL_SCANCODE_LSHIFT: mod = KMOD_LSHIFT; break;
    case SDL_SCANCODE_RSHIFT: mod = KMOD_RSHIFT; break;
    default: break;
  }
  // A keyboard reports the modifiers as they are after the event.
  InjectedMods = static_cast<uint16_t>(down ? (InjectedMods | mod) : (InjectedMods & ~mod));
  SDL_Event e;
  SDL_zero(e);
  e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
  e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
  e.key.keysym.scancode = code;
  e.key.keysym.sym = SDL_GetKeyFromScancode(code);
  e.key.keysym.mod = InjectedMods;
  if (SDL_PushEvent(&e) != 1) return false;
  PumpEvents();
  return true;
}

bool Window::ToPicture(int x, int y, int& px, int& py) const {
  if (!Sdl || DstW <= 0 || DstH <= 0 || FrameWidth <= 0 || FrameHeight <= 0) return false;
  // The output may have more pixels than the window has points (a high-density display).
  int ww = 0, wh = 0;
  SDL_GetWindowSize(Sdl->Win, &ww, &wh);
  if (ww > 0 && wh > 0 && OutW > 0 && OutH > 0) {
    x = static_cast<int>(static_cast<int64_t>(x) * OutW / ww);
    y = static_cast<int>(static_cast<int64_t>(y) * OutH / wh);
  }
  if (x < DstX || y < DstY || x >= DstX + DstW || y >= DstY + DstH) return false;
  px = static_cast<int>(static_cast<int64_t>(x - DstX) * FrameWidth / DstW);
  py = static_cast<int>(static_cast<int64_t>(y - DstY) * FrameHeight / DstH);
  return true;
}

bool Window::HandleEvent(const void* p, WindowEvent* result) {
  const SDL_Event& e = *static_cast<const SDL_Event*>(p);
  switch (e.type) {
    case SDL_QUIT:
      *result = WindowEvent::Quit;
      return true;
    case SDL_WINDOWEVENT:
      if (e.window.event == SDL_WINDOWEVENT_EXPOSED ||
          e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
        if (Sdl) Sdl->Repaint = true;
        *result = WindowEvent::Paint;
        return true;
      }
      if (e.window.event == SDL_WINDOWEVENT_FOCUS_LOST) Devices.ReleaseAllKeys();
      return false;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      // Alt+Enter switches between the window and full screen; the game never sees that
      // press. Every release goes through: Enter let go while Alt is held must still come
      // up for the game, or it would stay down and swallow the next press.
      if (e.type == SDL_KEYDOWN && e.key.keysym.sym == SDLK_RETURN &&
          (e.key.keysym.mod & KMOD_ALT)) {
        if (!e.key.repeat) {
          SetFullScreen(!Sdl->FullScreen);
          *result = WindowEvent::Paint;
          return true;
        }
        return false;
      }
      Devices.QueueKeyEvent(SdlScancodeToDik(e.key.keysym.scancode), e.type == SDL_KEYDOWN);
      return false;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEWHEEL: {
      MouseEvent m;
      int wx = 0, wy = 0;
      if (e.type == SDL_MOUSEBUTTONDOWN) {
        if (e.button.button != SDL_BUTTON_LEFT && e.button.button != SDL_BUTTON_RIGHT) return false;
        m.Button = e.button.button == SDL_BUTTON_LEFT ? 1 : 3;
        wx = e.button.x;
        wy = e.button.y;
      } else {
        m.Wheel = e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y;
        if (m.Wheel == 0) return false;
        SDL_GetMouseState(&wx, &wy);
      }
      if (ToPicture(wx, wy, m.X, m.Y)) Devices.QueueMouseEvent(m);
      return false;
    }
    case SDL_JOYDEVICEADDED:
    case SDL_CONTROLLERDEVICEADDED:
      // A pad plugged in while the game runs is taken up when none is in use.
      if (!Devices.HasJoystick()) Devices.OpenFirstJoystick();
      return false;
    case SDL_JOYDEVICEREMOVED:
      Devices.OnJoystickRemoved(e.jdevice.which);
      if (!Devices.HasJoystick()) Devices.OpenFirstJoystick();
      return false;
    default:
      return false;
  }
}

WindowEvent Window::WaitEvent() {
  if (!Sdl) return WindowEvent::Quit;
  for (;;) {
    SDL_Event e;
    if (gTickClock != 0) {
      // Asleep until the deadline or an event; the deadlines lie a period apart, so the
      // ticks do not drift with the time a frame takes. A tick late by a whole period is
      // dropped rather than made up.
      const TickClock::time_point now = TickClock::now();
      if (now >= gNextTick) {
        gNextTick += gTickPeriod;
        if (now >= gNextTick) gNextTick = now + gTickPeriod;
        return WindowEvent::Tick;
      }
      const auto wait = std::chrono::ceil<std::chrono::milliseconds>(gNextTick - now);
      if (!SDL_WaitEventTimeout(&e, static_cast<int>(wait.count()))) continue;
    } else if (!SDL_WaitEvent(&e)) {
      return WindowEvent::Quit;
    }
    WindowEvent result;
    if (HandleEvent(&e, &result)) return result;
  }
}

void Window::PumpEvents() {
  if (!Sdl) return;
  SDL_Event e;
  while (SDL_PollEvent(&e)) {
    WindowEvent ignored;
    HandleEvent(&e, &ignored);
  }
}

void ShowMessage(const std::string& caption, const std::string& text, bool error) {
  const char* driver = SDL_GetCurrentVideoDriver();
  bool display = driver && std::strcmp(driver, "dummy") != 0 && std::strcmp(driver, "offscreen") != 0;
  // The text always reaches standard error, so it is there also when nobody sees the box.
  std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
  if (!display) return;
  // The box waits for a click in a loop of its own, where SDL's way of turning SIGTERM and
  // SIGINT into a quit event would never be heard: while it shows, those signals end the
  // game at once (its files are never half written, so nothing is lost).
  struct sigaction ends {}, oldTerm {}, oldInt {};
  ends.sa_handler = SIG_DFL;
  sigemptyset(&ends.sa_mask);
  sigaction(SIGTERM, &ends, &oldTerm);
  sigaction(SIGINT, &ends, &oldInt);
  SDL_ShowSimpleMessageBox(error ? SDL_MESSAGEBOX_ERROR : SDL_MESSAGEBOX_INFORMATION,
                           caption.c_str(), text.c_str(), nullptr);
  sigaction(SIGTERM, &oldTerm, nullptr);
  sigaction(SIGINT, &oldInt, nullptr);
}

}  // namespace platform
