// The program entry: reads the player's settings and the command line, opens the window,
// builds the game over it and runs the event loop.
#include <errno.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "app/cli.h"
#include "app/mainform.h"
#include "app/replay_verify.h"
#include "app/settings.h"
#include "game/replay_session.h"
#include "game/savefile.h"
#include "game/stage_set_play.h"
#include "platform/audio_device.h"
#include "platform/i18n.h"
#include "platform/window.h"

namespace {

// SDL, left to itself, falls back to its invisible off-screen driver where no desktop answers,
// and the game would run unseen until killed. Unless SDL_VIDEODRIVER names a driver (the
// tests and the replay runner ask for the dummy one), SDL is offered only the desktops this
// session names: X11 (preferred, as SDL does) and Wayland. False, with the reason in error,
// when the session names none.
bool OfferDesktopVideoDrivers(std::string& error) {
  const char* chosen = std::getenv("SDL_VIDEODRIVER");
  if (chosen && *chosen) return true;
  std::string drivers;
  const char* x11 = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  if (x11 && *x11) drivers = "x11";
  if (wayland && *wayland) drivers += drivers.empty() ? "wayland" : ",wayland";
  if (drivers.empty()) {
    error = "no display (neither DISPLAY nor WAYLAND_DISPLAY is set)";
    return false;
  }
  setenv("SDL_VIDEODRIVER", drivers.c_str(), 1);
  return true;
}

// --save-dir: the save file, and every file kept beside it, go to dir, made when missing. A
// folder that cannot be made is reported here; the game then runs on, and each save that
// fails says so, as for any save file it cannot write.
void UseSaveDir(const std::string& dir) {
  std::string made;
  for (size_t i = 0; i <= dir.size(); ++i) {
    if (i < dir.size() && dir[i] != '/') continue;
    made = dir.substr(0, i);
    if (made.empty()) continue;
    if (::mkdir(made.c_str(), 0755) != 0 && errno != EEXIST) {
      std::fprintf(stderr, "vexa: cannot make the save folder %s: %s\n", made.c_str(),
                   std::strerror(errno));
      break;
    }
  }
  savefile::SetPathOverride(dir + (dir.ends_with('/') ? "" : "/") + "vexa.dat");
}

// --verify: plays the replay headless and tells what it reached against what it claims.
// A replay for --watch; false, with the reason told, when it cannot be played.
bool LoadReplayToWatch(const std::string& path, TReplay& replay) {
  std::string error;
  if (LoadReplayFile(path, replay, error) && TReplaySession::CanPlay(replay, error)) return true;
  std::fprintf(stderr, "vexa: %s: %s\n", path.c_str(), error.c_str());
  return false;
}

int VerifyReplayFile(const std::string& path) {
  TReplay replay;
  std::string error;
  TReplayProof proof;
  if (!LoadReplayFile(path, replay, error) || !VerifyReplay(replay, proof, error)) {
    std::fprintf(stderr, "vexa: %s: %s\n", path.c_str(), error.c_str());
    return 1;
  }
  std::fputs(DescribeProof(replay, proof).c_str(), stdout);
  return proof.Matches ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  TCommandLine cl;
  std::string error;
  if (!cli::Parse(argc, argv, cl, error)) {
    std::fprintf(stderr, "vexa: %s\n%s", error.c_str(), cli::Usage().c_str());
    return 2;
  }
  if (cl.Help) {
    std::fputs(cli::Usage().c_str(), stdout);
    return 0;
  }
  if (cl.Version) {
    std::printf("vexa %s\n", cli::Version());
    return 0;
  }
  if (!cl.Verify.empty()) return VerifyReplayFile(cl.Verify);
  if (!cl.Stages.empty() && !cl.Watch.empty()) {
    std::fprintf(stderr, "vexa: a replay is watched or a stage set is played, not both\n%s",
                 cli::Usage().c_str());
    return 2;
  }
  TReplay watched;
  if (!cl.Watch.empty() && !LoadReplayToWatch(cl.Watch, watched)) return 1;
  // A stage set that cannot be played is told in one line; the game does not start on the
  // built-in stages in its place.
  std::unique_ptr<TStageSetPlay> stageSet;
  if (!cl.Stages.empty()) {
    stageSet = std::make_unique<TStageSetPlay>();
    if (!stageSet->Load(cl.Stages, error)) {
      std::fprintf(stderr, "vexa: %s: %s\n", cl.Stages.c_str(), error.c_str());
      return 1;
    }
  }
  if (!OfferDesktopVideoDrivers(error)) {
    std::fprintf(stderr, "vexa: %s; the game needs a graphical desktop to run.\n", error.c_str());
    return 1;
  }
  if (!cl.SaveDir.empty()) UseSaveDir(cl.SaveDir);
  std::vector<std::string> warnings;
  TSettings settings = settingsfile::Load(settingsfile::Path(), warnings);
  for (const std::string& w : warnings) std::fprintf(stderr, "vexa: %s\n", w.c_str());
  if (cl.FullScreen) settings.FullScreen = *cl.FullScreen;
  if (cl.Scale) settings.WindowScale = settings.FullScreenScale = *cl.Scale;
  platform::InitTranslations(settings.Language);
  platform::AudioDevice::SetVolumes(settings.EffectsVolume, settings.MusicVolume);

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
  if (!cl.Watch.empty()) form->StartWatching(std::move(watched));
  else if (cl.Workshop) form->StartWorkshop();
  if (stageSet) form->PlayStageSet(std::move(stageSet));
  try {
    form->FormShow();
  } catch (const std::exception& ex) {
    platform::ShowMessage("Vexa", ex.what(), true);
  }
  int rc = form->Run();
  form.reset();
  return rc;
}
