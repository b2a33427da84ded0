#pragma once
// The game's command line: one table of options (see cli.cpp) gives both the parser and the
// help text, so an option is one row there and one field here. Long options take their value
// as "--name VALUE" or "--name=VALUE"; -h is the one short option.
#include <optional>
#include <string>

#include "platform/letterbox.h"

struct TCommandLine {
  bool Help = false;
  bool Version = false;
  std::optional<bool> FullScreen;              // overrides the settings file's fullscreen
  std::optional<platform::ScaleMode> Scale;    // overrides both scale modes
  std::string SaveDir;                         // empty: the save file's usual place
  std::string Watch;                           // a replay to play in the window
  std::string Verify;                          // a replay to prove headless
  bool Workshop = false;                       // open the puzzle workshop instead of the title
  std::string Stages;                          // a stage set to play instead of the built-in stages
};

namespace cli {

// The version set in CMakeLists.txt.
const char* Version();
// The help text: the usage line, then one line per option.
std::string Usage();
// Reads argv[1..argc-1]. False, with a one-line reason in error, for an option it does not
// know, a missing or wrong value, a value given to an option that takes none, or an operand
// other than one replay file (FILE.vexa-replay, as a file manager passes it: watched) or one
// stage set (FILE.vexa-stages: played).
bool Parse(int argc, const char* const* argv, TCommandLine& out, std::string& error);

}  // namespace cli
