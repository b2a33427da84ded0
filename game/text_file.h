#pragma once
// The small text files kept beside the save file (replays, stage sets and their progress):
// read within a bound, and written whole through a temporary file in the same folder and a
// rename, so a crash never leaves half a file under the real name.
#include <cstddef>
#include <string>

// Reads at most maxBytes + 1 bytes (one more than a valid file may hold, so the reader can
// tell an oversized file), in pieces, so a huge file or an endless device costs no more.
// False, with "cannot open PATH" or "cannot read PATH", when it cannot be read.
bool ReadTextFile(const std::string& path, size_t maxBytes, std::string& text,
                  std::string& error);

// Writes text as the whole file. False when it could not; the old file is then untouched.
bool WriteTextFile(const std::string& path, const std::string& text);
