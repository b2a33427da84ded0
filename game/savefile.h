#pragma once
// The save file "vexa.dat": 308 bytes, little-endian, header "Vexa Ver1.02". Holds the
// reserved text, the ranking, the four options and the last-game / puzzle-progress block.
#include <sys/types.h>

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

// What loading found at a path.
enum class LoadStatus {
  Loaded,      // the saved fields are in the data
  Missing,     // no file there
  NotASave,    // shorter than 308 bytes, another header, or not a plain file: ignored
  Unreadable,  // a file is there but could not be opened or read
};

// Reasons a write did not happen, besides errno values.
constexpr int kNotAFile = -1;   // something other than a plain file is at the path
constexpr int kKeptUnread = -2;  // the file could not be read in this run, so it is kept

// Loads the first 308 bytes of the file at path into data (whatever follows them is never
// read). Only Loaded changes data. An Unreadable file is kept from then on: no write of this
// process replaces it, so a player's progress is never overwritten by defaults after a
// passing read error. error, when given, receives the errno of an Unreadable file.
LoadStatus LoadFrom(const std::string& path, GameData& data, int* error = nullptr);
// LoadFrom answered Loaded.
bool Load(const std::string& path, GameData& data);

// Writes data to path; 0 when written, otherwise the reason (an errno value or one of the
// codes above), with the old file left as it was.
//  - A symbolic link is followed to its file, which is written; the link stays a link.
//  - Normally the new image, followed by whatever the old file holds after 308 bytes (copied
//    in chunks, however long), goes to a temporary file of its own beside the file
//    ("<name>.tmp.<pid>.<random>"), which gets the old file's owner, group and mode, is
//    flushed and renamed over it; the folder is then flushed, so neither a crash nor a second
//    copy of the game saving at the same moment leaves a torn or empty file.
//  - The 308 bytes are written over the start of the file itself (nothing truncated, then
//    flushed) when it has more than one hard link, or when the temporary file cannot be made
//    or cannot be given the old owner (a shared file in a folder the player may not write).
//  - A file without any write permission, or one that cannot be read in this run, is left
//    alone, even by a user (root) whom the system would let write it; a folder or another
//    non-file at the path is never touched. A missing folder of the path is created.
int WriteTo(const std::string& path, const GameData& data);
// WriteTo answered 0.
bool Write(const std::string& path, const GameData& data);
// The reason for a failed write in words.
std::string Reason(int code);

// One line on standard error that a save to path failed and why, once per path and reason
// in a run.
void ReportWriteFailure(const std::string& path, int code);
// One line on standard error that the file at path could not be read and is kept.
void ReportUnreadable(const std::string& path, int error);

// Removes temporary files that a write cut short (a crash, a power cut) left beside the save
// file: only those with the name the writer gives them, owned by this user and over an hour
// old, so a write of another copy of the game going on now is never disturbed.
void RemoveStaleTemporaries(const std::string& path);

// For tests: the positioned read and write the file goes through (pread and pwrite unless
// replaced); null puts the system's back.
using ReadFn = ssize_t (*)(int fd, void* buf, size_t count, off_t offset);
using WriteFn = ssize_t (*)(int fd, const void* buf, size_t count, off_t offset);
void SetIoForTesting(ReadFn read, WriteFn write);

}  // namespace savefile
