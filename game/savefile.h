#pragma once
// The save file "vexa.dat": 308 bytes, little-endian, header "Vexa Ver1.02". Holds the
// reserved text, the ranking, the four options and the last-game / puzzle-progress block.
#include <cstddef>
#include <cstdint>
#include <string>

#include "game/gamedata.h"

namespace savefile {

constexpr size_t kSize = 308;
constexpr const char* kHeader = "Vexa Ver1.02";

// Where the save file lives: "vexa.dat" in the current directory when one exists there
// (where earlier versions kept it), otherwise vexa/vexa.dat in the XDG data directory
// ($XDG_DATA_HOME, or ~/.local/share), whose folder Write creates when it first saves.
std::string Path();
// Pins the save file to one path (the replay runner keeps it in its current directory);
// an empty path returns to the rule above.
void SetPathOverride(const std::string& path);
// The rule of Path for a given current-directory file, XDG_DATA_HOME and HOME.
std::string ChoosePath(bool localExists, const char* xdgDataHome, const char* home);

// The 308-byte image of the saved fields of data.
void Encode(const GameData& data, uint8_t out[kSize]);
// Reads the saved fields from an image; false (data unchanged) when it is shorter than 308
// bytes or its header text differs.
bool Decode(const uint8_t* bytes, size_t size, GameData& data);

// Loads the file at path into data; false when it is missing, short or foreign.
bool Load(const std::string& path, GameData& data);
// Writes data to path without ever leaving a torn file: the whole new image (followed by any
// bytes after 308 that the existing file holds) goes to a temporary file in the same
// directory, which is flushed and renamed over the old one. False, with the old file left as
// it was, when anything fails (including an existing file that is not writable).
bool Write(const std::string& path, const GameData& data);

}  // namespace savefile
