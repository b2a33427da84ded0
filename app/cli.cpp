#include "app/cli.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "app/settings.h"

#ifndef VEXA_VERSION
#define VEXA_VERSION "0"
#endif

namespace cli {
namespace {

// One option: its long name, its short letter (0 for none), the name of its value (null for
// a switch), its line of help, and what it does to the command line (false for a value it
// does not take).
struct Option {
  const char* Name;
  char Short;
  const char* Value;
  const char* Help;
  bool (*Take)(TCommandLine& cl, std::string_view value);
};

const Option kOptions[] = {
    {"help", 'h', nullptr, "show this help and exit",
     [](TCommandLine& cl, std::string_view) { cl.Help = true; return true; }},
    {"version", 0, nullptr, "print the version and exit",
     [](TCommandLine& cl, std::string_view) { cl.Version = true; return true; }},
    {"fullscreen", 0, nullptr, "start in full screen",
     [](TCommandLine& cl, std::string_view) { cl.FullScreen = true; return true; }},
    {"window", 0, nullptr, "start in a window",
     [](TCommandLine& cl, std::string_view) { cl.FullScreen = false; return true; }},
    {"scale", 0, "whole|fit",
     "scale in crisp whole steps (whole) or fill at 4:3 (fit)",
     [](TCommandLine& cl, std::string_view v) {
       platform::ScaleMode mode;
       if (!settingsfile::ParseScaleMode(v, mode)) return false;
       cl.Scale = mode;
       return true;
     }},
    {"save-dir", 0, "DIR", "keep the save file and the files beside it in DIR",
     [](TCommandLine& cl, std::string_view v) {
       if (v.empty()) return false;
       cl.SaveDir = v;
       return true;
     }},
    {"watch", 0, "FILE", "play a replay (FILE.vexa-replay alone does the same)",
     [](TCommandLine& cl, std::string_view v) {
       cl.Watch = v;
       return !v.empty();
     }},
    {"verify", 0, "FILE", "prove a replay's result headless; exit 1 when it fails",
     [](TCommandLine& cl, std::string_view v) {
       cl.Verify = v;
       return !v.empty();
     }},
    {"workshop", 0, nullptr, "open the puzzle workshop: make stages, prove and try them",
     [](TCommandLine& cl, std::string_view) { cl.Workshop = true; return true; }},
    {"stages", 0, "FILE", "play the stage set FILE (FILE.vexa-stages alone does the same)",
     [](TCommandLine& cl, std::string_view v) {
       cl.Stages = v;
       return !v.empty();
     }},
};

std::string Spelling(const Option& o) {
  std::string s = o.Short ? std::string("-") + o.Short + ", " : std::string("    ");
  s += std::string("--") + o.Name;
  if (o.Value) s += std::string(" ") + o.Value;
  return s;
}

}  // namespace

const char* Version() { return VEXA_VERSION; }

std::string Usage() {
  std::string text =
      "usage: vexa [OPTION]... [FILE.vexa-replay | FILE.vexa-stages]\n"
      "The letter-block puzzle game.\n\n";
  size_t width = 0;
  for (const Option& o : kOptions) width = std::max(width, Spelling(o).size());
  for (const Option& o : kOptions) {
    std::string s = Spelling(o);
    text += "  " + s + std::string(width - s.size() + 2, ' ') + o.Help + "\n";
  }
  text += "\nSettings are read from $XDG_CONFIG_HOME/vexa/vexa.conf, progress is kept in\n"
          "$XDG_DATA_HOME/vexa/vexa.dat. See vexa(6).\n";
  return text;
}

bool Parse(int argc, const char* const* argv, TCommandLine& out, std::string& error) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    const Option* found = nullptr;
    std::string_view value;
    bool inlineValue = false;
    if (arg.size() == 2 && arg[0] == '-' && arg[1] != '-') {
      for (const Option& o : kOptions)
        if (o.Short == arg[1]) found = &o;
    } else if (arg.starts_with("--") && arg.size() > 2) {
      std::string_view name = arg.substr(2);
      const size_t eq = name.find('=');
      if (eq != std::string_view::npos) {
        value = name.substr(eq + 1);
        name = name.substr(0, eq);
        inlineValue = true;
      }
      for (const Option& o : kOptions)
        if (name == o.Name) found = &o;
    } else if (arg.ends_with(".vexa-replay") && out.Watch.empty()) {
      out.Watch = arg;  // a replay opened from the file manager
      continue;
    } else if (arg.ends_with(".vexa-stages") && out.Stages.empty()) {
      out.Stages = arg;  // a stage set opened from the file manager
      continue;
    } else {
      error = "unexpected argument '" + std::string(arg) + "'";
      return false;
    }
    if (!found) {
      error = "unknown option '" + std::string(arg) + "'";
      return false;
    }
    if (!found->Value && inlineValue) {
      error = std::string("--") + found->Name + " takes no value";
      return false;
    }
    if (found->Value && !inlineValue) {
      if (i + 1 >= argc) {
        error = std::string("--") + found->Name + " needs a value: " + found->Value;
        return false;
      }
      value = argv[++i];
    }
    if (!found->Take(out, value)) {
      error = "wrong value '" + std::string(value) + "' for --" + found->Name + " (" +
              found->Value + ")";
      return false;
    }
  }
  return true;
}

}  // namespace cli
