// The program entry: reads the player's settings and the command line, opens the window,
// builds the game over it and runs the event loop.
#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/mainform.h"
#include "app/settings.h"
#include "platform/audio_device.h"
#include "platform/i18n.h"
#include "platform/window.h"

namespace {

constexpr const char* kUsage = "usage: vexa [--fullscreen | --window] [--scale whole|fit]\n";

// What the command line asks for; each given option overrides the settings file.
struct CommandLine {
  std::optional<bool> FullScreen;
  std::optional<platform::ScaleMode> Scale;
  bool Help = false;
};

// False for an option it does not know or a missing or wrong value.
bool ParseCommandLine(int argc, char** argv, CommandLine& cl) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--fullscreen") {
      cl.FullScreen = true;
    } else if (arg == "--window") {
      cl.FullScreen = false;
    } else if (arg == "--scale" || arg.starts_with("--scale=")) {
      std::string value;
      if (arg == "--scale") {
        if (i + 1 >= argc) return false;
        value = argv[++i];
      } else {
        value = arg.substr(std::strlen("--scale="));
      }
      platform::ScaleMode mode;
      if (!settingsfile::ParseScaleMode(value, mode)) return false;
      cl.Scale = mode;
    } else if (arg == "--help" || arg == "-h") {
      cl.Help = true;
    } else {
      return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  CommandLine cl;
  if (!ParseCommandLine(argc, argv, cl)) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  if (cl.Help) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  std::vector<std::string> warnings;
  TSettings settings = settingsfile::Load(settingsfile::Path(), warnings);
  for (const std::string& w : warnings) std::fprintf(stderr, "vexa: %s\n", w.c_str());
  if (cl.FullScreen) settings.FullScreen = *cl.FullScreen;
  if (cl.Scale) settings.WindowScale = settings.FullScreenScale = *cl.Scale;
  platform::InitTranslations(settings.Language);
  platform::AudioDevice::SetVolumes(settings.EffectsVolume, settings.MusicVolume);

  std::string error;
  std::unique_ptr<platform::Window> window = platform::Window::Create("Ｖｅｘａ", 513, 384, error);
  if (!window) {
    std::fprintf(stderr, "vexa: %s; the game needs a graphical desktop to run.\n", error.c_str());
    return 1;
  }
  window->SetScaleModes(settings.WindowScale, settings.FullScreenScale);
  auto form = std::make_unique<TMainForm>(window.get());
  // After the components are bound to the window (their start-up puts it in a window) and
  // before the first frame.
  if (settings.FullScreen) window->SetFullScreen(true);
  try {
    form->FormShow();
  } catch (const std::exception& ex) {
    platform::ShowMessage("Vexa", ex.what(), true);
  }
  int rc = form->Run();
  form.reset();
  return rc;
}
