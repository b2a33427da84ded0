#pragma once
// TStageSet: a set of puzzle stages made by a player (or the game's own 50, shipped as one),
// kept as a text file "NAME.vexa-stages" that a person can read and edit:
//
//   vexa-stages 1
//   name = MY FIRST SET
//   author = someone
//
//   stage 1
//   ......
//   ...  (ten rows of six cells, the well's top row first)
//   .B.AC.
//
//   stage 2
//   ...
//
// The first line names the format. "key = value" lines (name, author; each at most once,
// both may be left out) come before the first stage. Every stage begins with a line
// "stage N", N counting up from 1, followed directly by its ten rows: six cells each, a
// letter A-Z or '.' for an empty cell. Blank lines and lines starting with '#' may stand
// anywhere else. Reading is bounded in size, line length and stage count, so a damaged or
// hostile file only gives a one-line message.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct TStageSet {
  static constexpr int32_t kFormat = 1;
  static constexpr size_t kMaxStages = 50;
  static constexpr int32_t kCells = 60;
  static constexpr int32_t kColumns = 6;
  static constexpr int32_t kRows = 10;
  static constexpr uint8_t kEmptyCell = 26;
  static constexpr size_t kMaxFileSize = 64 * 1024;
  static constexpr size_t kMaxLine = 200;
  static constexpr size_t kMaxName = 40;
  static constexpr size_t kMaxAuthor = 60;
  static constexpr const char* kExtension = ".vexa-stages";

  using Stage = std::array<uint8_t, kCells>;

  std::string Name;    // printable ASCII, at most kMaxName characters
  std::string Author;  // printable ASCII, at most kMaxAuthor characters
  std::vector<Stage> Stages;  // cells row by row as the game's stage data: 0..25, 26 empty
};

// The set as text. A cell outside 0..25 is written as empty; the name and the author are
// written printable (other characters become '?'), cut to their lengths and without spaces
// around them, so that what is written always reads back.
std::string WriteStageSet(const TStageSet& set);
// Reads a set's text. False with a one-line message ("line N: ...") when it is not a set this
// game can read: damaged, truncated, too large or of another format version. A set with no
// stage is read (a set being made may have none yet).
bool ParseStageSet(std::string_view text, TStageSet& out, std::string& error);
// Reads a set file (at most kMaxFileSize bytes of it).
bool LoadStageSet(const std::string& path, TStageSet& out, std::string& error);
// Writes a set file through a temporary file in the same folder and a rename, so a crash
// never leaves half a set under the real name.
bool SaveStageSet(const std::string& path, const TStageSet& set);

// The stages/ folder beside the given save file.
std::string StageSetFolder(const std::string& saveFilePath);
// The set files (*.vexa-stages) in a folder, sorted by name; none when it does not exist.
std::vector<std::string> StageSetFiles(const std::string& folder);
