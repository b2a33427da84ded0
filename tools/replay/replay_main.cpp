// vexa-replay: runs the game headless from a script, as fast as it can, with the same
// window, components and modes as the game itself.
//
//   vexa-replay [--seed N] [--dt MS] [--out DIR] [--wav FILE] [--volume EFFECTS,MUSIC]
//               [--language LANG] [--draw] [--keep-replays] [--stages FILE] SCRIPT
//
// --stages FILE plays the stage set FILE instead of the built-in stages, as the game's own
// --stages does (its progress goes to the progress file beside it).
//
// --keep-replays keeps the games played in ./replays, beside the runner's save file, as the
// game keeps them beside its own; without it nothing is kept.
//
// Only what is looked at is made: a tick draws its frame only when a shot follows it (the
// screens draw the whole frame every tick, so that one tick makes the picture complete),
// and sound is mixed only for --wav (otherwise the voices just advance, so their playing
// status is the same). The game's state does not depend on either. --draw draws and
// presents every frame, as the game does.
//
// It shows the game's own texts whatever the environment's locale; --language picks the
// language of the texts (as the game's language setting does), for pictures of a translation.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/mainform.h"
#include "engine/gamemode.h"
#include "engine/kernel.h"
#include "engine/random.h"
#include "game/gamemgr.h"
#include "game/savefile.h"
#include "game/stage_set_play.h"
#include "platform/audio_device.h"
#include "platform/i18n.h"
#include "platform/window.h"
#include "play/gamemain.h"
#include "tools/replay/autoplay.h"
#include "tools/replay/script.h"

namespace {

// Everything the mixer produced, as a 16-bit stereo (or mono) WAV file at the device's rate.
// --volume EFFECTS,MUSIC sets the two parts' loudness in percent, as the player's settings
// do: 100,0 renders the effects alone, 0,100 the music alone.
class WavWriter {
 public:
  bool Open(const std::string& path) {
    File = std::fopen(path.c_str(), "wb");
    if (!File) return false;
    uint8_t header[44] = {};
    return std::fwrite(header, 1, sizeof header, File) == sizeof header;
  }
  bool IsOpen() const { return File != nullptr; }
  void Write(const int16_t* samples, size_t count) {
    if (!File) return;
    for (size_t i = 0; i < count; ++i) {
      uint8_t b[2] = {static_cast<uint8_t>(samples[i]), static_cast<uint8_t>(samples[i] >> 8)};
      std::fwrite(b, 1, 2, File);
    }
    Bytes += count * 2;
  }
  bool Close(int rate, int channels) {
    if (!File) return true;
    auto put32 = [](uint8_t* p, uint32_t v) {
      for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
    };
    uint8_t h[44] = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ',
                     16, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 16, 0,
                     'd', 'a', 't', 'a', 0, 0, 0, 0};
    put32(h + 4, static_cast<uint32_t>(36 + Bytes));
    h[22] = static_cast<uint8_t>(channels);
    put32(h + 24, static_cast<uint32_t>(rate));
    put32(h + 28, static_cast<uint32_t>(rate * channels * 2));
    h[32] = static_cast<uint8_t>(channels * 2);
    put32(h + 40, static_cast<uint32_t>(Bytes));
    bool ok = std::fseek(File, 0, SEEK_SET) == 0 && std::fwrite(h, 1, 44, File) == 44;
    ok = std::fclose(File) == 0 && ok;
    File = nullptr;
    return ok;
  }

 private:
  FILE* File = nullptr;
  size_t Bytes = 0;
};

int Usage() {
  std::fprintf(stderr,
               "usage: vexa-replay [--seed N] [--dt MS] [--out DIR] [--wav FILE] "
               "[--volume EFFECTS,MUSIC] [--language LANG] [--draw] [--keep-replays] "
               "[--stages FILE] SCRIPT\n");
  return 2;
}

std::string NameText(const TRankEntry& r) {
  std::string s = RankName(r);
  for (char& c : s)
    if (c == ' ' || c == '=' || static_cast<unsigned char>(c) < 0x21) c = '_';
  return s.empty() ? "-" : s;
}

std::string DumpLine(long tick, const TMainForm& form) {
  std::ostringstream o;
  TGameMode* deepest = form.Root->Deepest();
  const GameData& d = form.GameData;
  o << "tick=" << tick << " mode=" << deepest->ClassName() << " phase=" << deepest->Phase
    << " fade=" << form.Kernel->FadeLevel << " blackout=" << (form.Kernel->Blackout ? 1 : 0)
    << " BlockType=" << d.BlockType << " BackType=" << d.BackType << " BgmType=" << d.BgmType
    << " ControlType=" << d.ControlType << " LastScore=" << d.LastScore
    << " LastLevel=" << d.LastLevel << " LastBlocks=" << d.LastBlocks
    << " ContinueStage=" << d.ContinueStage << " LastDifficulty=" << int(d.LastDifficulty)
    << " MaxStage=" << d.MaxStage << " TitleChoice=" << int(d.TitleChoice)
    << " GameType=" << int(d.GameType) << " Difficulty=" << int(d.Difficulty)
    << " Stage=" << d.Stage << " StageTime=" << d.StageTime << " Retries=" << d.Retries
    << " BackRequest=" << (d.BackRequest ? 1 : 0) << " StageFailed=" << (d.StageFailed ? 1 : 0)
    << " RetryRequest=" << (d.RetryRequest ? 1 : 0);
  for (int i = 0; i < kRankRows; ++i) {
    const TRankEntry& r = d.Ranking[i];
    o << " Rank" << i << "=" << r.Score << "/" << r.Level << "/" << r.Blocks << "/"
      << int(r.Difficulty) << "/" << NameText(r);
  }
  o << deepest->DumpState();
  return o.str();
}

// Resident and peak resident memory of this process in KiB, from /proc.
void MemoryKb(long& rss, long& peak) {
  rss = peak = -1;
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) rss = std::strtol(line.c_str() + 6, nullptr, 10);
    if (line.rfind("VmHWM:", 0) == 0) peak = std::strtol(line.c_str() + 6, nullptr, 10);
  }
}

}  // namespace

int main(int argc, char** argv) {
  uint32_t seed = 0;
  bool haveSeed = false;
  uint32_t dt = 20;
  std::string outDir = ".";
  std::string wavPath;
  std::string language = "C";
  std::string scriptPath;
  bool drawAll = false;
  bool keepReplays = false;
  std::string stagesPath;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    auto value = [&](std::string& v) {
      if (i + 1 >= argc) return false;
      v = argv[++i];
      return true;
    };
    std::string v;
    if (a == "--seed") {
      if (!value(v)) return Usage();
      seed = static_cast<uint32_t>(std::strtoul(v.c_str(), nullptr, 10));
      haveSeed = true;
    } else if (a == "--dt") {
      if (!value(v)) return Usage();
      dt = static_cast<uint32_t>(std::strtoul(v.c_str(), nullptr, 10));
      if (dt != 20 && dt != 40) {
        std::fprintf(stderr, "vexa-replay: --dt must be 20 or 40\n");
        return 2;
      }
    } else if (a == "--volume") {
      int effects = -1, music = -1;
      char rest = 0;
      if (!value(v) || std::sscanf(v.c_str(), "%d,%d%c", &effects, &music, &rest) != 2 ||
          effects < 0 || effects > 100 || music < 0 || music > 100) {
        std::fprintf(stderr, "vexa-replay: --volume takes EFFECTS,MUSIC in percent (0..100)\n");
        return 2;
      }
      platform::AudioDevice::SetVolumes(effects, music);
    } else if (a == "--out") {
      if (!value(outDir)) return Usage();
    } else if (a == "--wav") {
      if (!value(wavPath)) return Usage();
    } else if (a == "--draw") {
      drawAll = true;
    } else if (a == "--keep-replays") {
      keepReplays = true;
    } else if (a == "--stages") {
      if (!value(stagesPath) || stagesPath.empty()) return Usage();
    } else if (a == "--language") {
      if (!value(language) || language.empty()) return Usage();
    } else if (!a.empty() && a[0] == '-') {
      return Usage();
    } else if (scriptPath.empty()) {
      scriptPath = a;
    } else {
      return Usage();
    }
  }
  if (scriptPath.empty()) return Usage();
  std::unique_ptr<TStageSetPlay> stageSet;
  if (!stagesPath.empty()) {
    stageSet = std::make_unique<TStageSetPlay>();
    std::string setError;
    if (!stageSet->Load(stagesPath, setError)) {
      std::fprintf(stderr, "vexa-replay: %s: %s\n", stagesPath.c_str(), setError.c_str());
      return 2;
    }
  }

  std::ifstream in(scriptPath, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "vexa-replay: cannot read %s\n", scriptPath.c_str());
    return 2;
  }
  std::stringstream text;
  text << in.rdbuf();
  std::vector<replay::Command> commands;
  int errorLine = 0;
  std::string error;
  if (!replay::ParseScript(text.str(), commands, errorLine, error)) {
    std::fprintf(stderr, "vexa-replay: %s:%d: %s\n", scriptPath.c_str(), errorLine, error.c_str());
    return 2;
  }

  // Headless: SDL's dummy video and audio drivers.
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  if (haveSeed) vexa::FixRandomSeed(seed);
  // Sound is mixed in step with the ticks, never by a device's clock, so a run is
  // deterministic and the effects' playing status follows game time.
  platform::AudioDevice::SetManualMode(true);
  WavWriter wav;
  if (!wavPath.empty() && !wav.Open(wavPath)) {
    std::fprintf(stderr, "vexa-replay: cannot write %s\n", wavPath.c_str());
    return 2;
  }
  savefile::SetPathOverride("vexa.dat");  // the runner keeps its save file where it runs
  platform::InitTranslations(language);

  std::string winError;
  std::unique_ptr<platform::Window> window = platform::Window::Create("Ｖｅｘａ", 513, 384, winError);
  if (!window) {
    std::fprintf(stderr, "vexa-replay: %s\n", winError.c_str());
    return 1;
  }
  window->SetKeepFrames(true);  // for shots
  TMainForm::Settings settings;
  settings.FrameInterval = dt;
  settings.KeepReplays = keepReplays;
  auto form = std::make_unique<TMainForm>(window.get(), settings);
  if (stageSet) form->PlayStageSet(std::move(stageSet));

  long tick = 0;
  std::vector<int16_t> samples;
  long carried = 0;  // the remainder of rate x dt / 1000, so no frame is lost
  auto runTick = [&]() {
    form->HITimerTimer();
    // Two 10 ms passes of the sequencer per 20 ms, then exactly this tick's samples.
    for (uint32_t ms = 0; ms < dt; ms += 10) form->KorMidi.RunPass();
    int channels = platform::AudioDevice::OpenChannels();
    int rate = platform::AudioDevice::OpenRate();
    if (channels > 0 && rate > 0) {
      long total = static_cast<long>(rate) * dt + carried;
      int frames = static_cast<int>(total / 1000);
      carried = total % 1000;
      samples.resize(static_cast<size_t>(frames) * channels);
      if (wav.IsOpen()) {
        platform::AudioDevice::Render(samples.data(), frames);
        wav.Write(samples.data(), samples.size());
      } else {
        platform::AudioDevice::Skip(frames);
      }
    }
    ++tick;
  };
  // One step of an input maker: its key tapped (down for a tick, up for a tick, so the next
  // tap is a new press), or one tick without a key.
  auto step = [&](uint8_t key) {
    if (key == 0) {
      runTick();
      return;
    }
    window->Input().SetKey(key, true);
    runTick();
    window->Input().SetKey(key, false);
    runTick();
  };
  auto gaveUp = [&](const replay::Command& c, const char* what) {
    std::printf("warning line=%d tick=%ld %s\n", c.Line, tick, what);
    std::fflush(stdout);
  };
  // shotNext[i]: a shot may follow command i before any further tick runs, so the last
  // tick of command i must draw its frame. Commands that may run no tick at all (a settle
  // on a settled field, a wait of 0) pass the need on to the command before them.
  std::vector<bool> shotNext(commands.size(), false);
  for (size_t i = commands.size(); i-- > 1;) {
    const replay::Command& k = commands[i];
    const bool alwaysTicks =
        ((k.Kind == replay::Op::Wait || k.Kind == replay::Op::Random) && k.Count > 0) ||
        k.Kind == replay::Op::Tap;
    if (k.Kind == replay::Op::Shot)
      shotNext[i - 1] = true;
    else if (!alwaysTicks)
      shotNext[i - 1] = shotNext[i];
  }
  auto drawing = [&](bool on) { form->KorDraw.SetDrawing(on || drawAll); };
  replay::AutoPlayer player(haveSeed ? seed : 1);
  for (size_t index = 0; index < commands.size(); ++index) {
    const replay::Command& c = commands[index];
    // Commands whose number of ticks is known draw only their last one (or two: a random
    // key's step takes two); the others draw all of theirs when a shot follows.
    drawing(shotNext[index] && c.Kind != replay::Op::Wait && c.Kind != replay::Op::Random);
    switch (c.Kind) {
      case replay::Op::Wait:
        for (int32_t i = 0; i < c.Count; ++i) {
          if (i == c.Count - 1) drawing(shotNext[index]);
          runTick();
        }
        break;
      case replay::Op::Down:
        window->Input().SetKey(c.Key, true);
        break;
      case replay::Op::Up:
        window->Input().SetKey(c.Key, false);
        break;
      case replay::Op::Tap:
        window->Input().SetKey(c.Key, true);
        runTick();
        window->Input().SetKey(c.Key, false);
        break;
      case replay::Op::Press:
      case replay::Op::Release:
        // Through SDL's event queue and the window's own key handling, as a keyboard's
        // events arrive between two ticks.
        if (!window->InjectKey(c.Key, c.Kind == replay::Op::Press))
          std::fprintf(stderr, "vexa-replay: line %d: the key event could not be sent\n", c.Line);
        break;
      case replay::Op::Shot: {
        std::string path = outDir + "/" + c.Name + ".bmp";
        if (!window->SaveLastFrame(path))
          std::fprintf(stderr, "vexa-replay: line %d: no picture to write to %s\n", c.Line,
                       path.c_str());
        break;
      }
      case replay::Op::Dump:
        std::printf("%s\n", DumpLine(tick, *form).c_str());
        std::fflush(stdout);
        break;
      case replay::Op::Workshop:
        // The workshop in place of whatever screen runs, as vexa --workshop opens it.
        form->Root->DeleteChild();
        form->StartWorkshop();
        break;
      case replay::Op::Click:
      case replay::Op::Wheel: {
        // Arrives between two ticks, as a mouse's events do; the screen takes it in the next.
        platform::MouseEvent m;
        if (c.Kind == replay::Op::Click) {
          m.X = c.X;
          m.Y = c.Y;
          m.Button = c.Right ? 3 : 1;
        } else {
          m.Wheel = c.X;
        }
        window->Input().QueueMouseEvent(m);
        break;
      }
      case replay::Op::Mem: {
        long rss = 0, peak = 0;
        MemoryKb(rss, peak);
        std::printf("mem tick=%ld rss_kb=%ld peak_kb=%ld\n", tick, rss, peak);
        std::fflush(stdout);
        break;
      }
      case replay::Op::Play: {
        const long end = tick + c.Count;
        while (tick < end) {
          TGameMainMode* g = replay::RunningGame(*form);
          if (!g || g->IsOver || g->Cleared) break;
          step(player.NextKey(*g, replay::SwapKey(*form), replay::RaiseKey(*form)));
        }
        break;
      }
      case replay::Op::Random: {
        replay::RandomKeys keys(c.Seed);
        const long end = tick + c.Count;
        while (tick < end) {
          drawing(shotNext[index] && end - tick <= 2);
          step(keys.NextKey());
        }
        break;
      }
      case replay::Op::Swap: {
        bool done = false;
        for (long waited = 0; !done; ++waited) {
          TGameMainMode* g = replay::RunningGame(*form);
          if (!g || waited >= 1000) {
            gaveUp(c, g ? "swap-not-possible" : "swap-without-game");
            break;
          }
          step(replay::KeyTowardSwap(*g, c.Col, c.Row, c.Dir, replay::SwapKey(*form), done));
        }
        break;
      }
      case replay::Op::Settle: {
        for (long waited = 0;; ++waited) {
          const TGameMainMode* g = replay::RunningGame(*form);
          if (!g) break;
          if (replay::Settled(*g)) break;
          if (waited >= c.Count) {
            gaveUp(c, "settle-timeout");
            break;
          }
          runTick();
        }
        break;
      }
      case replay::Op::Until: {
        for (long waited = 0;; ++waited) {
          const TGameMode* deepest = form->Root->Deepest();
          if (c.Name == deepest->ClassName() && deepest->Phase == c.Row) break;
          if (waited >= c.Count) {
            gaveUp(c, "until-timeout");
            break;
          }
          runTick();
        }
        break;
      }
    }
  }
  int channels = platform::AudioDevice::OpenChannels();
  int rate = platform::AudioDevice::OpenRate();
  form.reset();
  window.reset();
  if (!wav.Close(rate > 0 ? rate : platform::AudioDevice::kPreferredRate,
                 channels > 0 ? channels : 2)) {
    std::fprintf(stderr, "vexa-replay: cannot write %s\n", wavPath.c_str());
    return 2;
  }
  return 0;
}
