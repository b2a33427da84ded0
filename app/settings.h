#pragma once
// The player's settings that the save file has no room for: how the picture is scaled in a
// window and in full screen, whether the game starts in full screen, the language of its
// texts and the loudness of effects and music. They live in a small commented text file of
// "key = value" lines with a version line, $XDG_CONFIG_HOME/vexa/vexa.conf (by default
// ~/.config/vexa/vexa.conf), which the game writes with its defaults the first time. The
// reader takes what it understands: a damaged or unknown line is skipped with a warning, and
// every length and count it reads is bounded.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/letterbox.h"

struct TSettings {
  platform::ScaleMode WindowScale = platform::ScaleMode::Whole;
  platform::ScaleMode FullScreenScale = platform::ScaleMode::Fit;
  bool FullScreen = false;   // start in full screen
  std::string Language;      // empty: the desktop's language
  int EffectsVolume = 100;   // percent
  int MusicVolume = 100;     // percent
};

namespace settingsfile {

constexpr int kVersion = 1;
// What the reader takes at most: the first kMaxBytes of the file, kMaxLines lines of at most
// kMaxLineLength bytes, kMaxWarnings warnings (then one line saying more were left out).
constexpr size_t kMaxBytes = 16384;
constexpr int kMaxLines = 500;
constexpr size_t kMaxLineLength = 256;
constexpr int kMaxWarnings = 10;
constexpr size_t kMaxLanguageLength = 64;

// Where the file lives for the given XDG_CONFIG_HOME and HOME: $XDG_CONFIG_HOME/vexa/vexa.conf
// when that is an absolute path, else ~/.config/vexa/vexa.conf; empty when neither is
// usable (the game then runs on its defaults).
std::string ChoosePath(const char* xdgConfigHome, const char* home);
// The rule above for this process's environment.
std::string Path();

// Reads settings from the text of a file; every line that is not taken adds one warning,
// "<name>:<line>: <what>", to warnings. Settings a line does not set keep their defaults.
TSettings Parse(std::string_view text, const std::string& name, std::vector<std::string>& warnings);
// The file's text for the given settings, with the comments that explain each key.
std::string Format(const TSettings& settings);

// Reads the file at path. A missing file is written with the defaults (its folders made
// first) and the defaults are returned; a file that cannot be read, or is not a plain file,
// gives the defaults and a warning, and is left alone. Never throws.
TSettings Load(const std::string& path, std::vector<std::string>& warnings);

// "whole" / "fit".
const char* ScaleModeName(platform::ScaleMode mode);
// Reads "whole" or "fit"; false for anything else.
bool ParseScaleMode(std::string_view text, platform::ScaleMode& mode);

}  // namespace settingsfile
