#pragma once
// TReplay: one recorded game, as the game screen played it. It holds what makes the game
// happen again (the game's set-up, the seed of the random generator, the tick interval and
// the game buttons held in every tick) and what a person wants to see in a list (date,
// name, result).
//
// On disk a replay is text: a first line "vexa-replay <format>", then "key = value" lines,
// then a line "buttons" followed by runs of ticks. A run is the held buttons as letters (u
// d l r a b e for up, down, left, right, A, B, ENTER; "-" for none) followed by the number
// of ticks they were held (omitted when 1). Runs follow each other without spaces, except
// between two letter runs where the first has no count: "-143a4-6r-3u ur3". Reading is
// bounded in every length and count, so a damaged or hostile file only gives a message.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// How a recorded game ended.
enum class TReplayEnd : int32_t {
  Unfinished = 0,  // the recording stopped before the game ended
  Overflow,        // endless: the stack reached the top
  Retired,         // left through the pause menu
  Cleared,         // puzzle: the well was emptied
  Failed,          // puzzle: no more runs could be made
};

const char* ReplayEndName(TReplayEnd end);

struct TReplay {
  static constexpr int32_t kFormat = 1;
  // Bounds of what a replay may hold: about three hours of play at 50 ticks a second.
  static constexpr size_t kMaxTicks = 540000;
  static constexpr size_t kMaxFileSize = 4u << 20;
  static constexpr int32_t kStageCells = 60;

  int32_t Format = kFormat;
  std::string GameVersion;
  // The game's set-up.
  uint8_t GameType = 0;  // 0 endless, 1 puzzle
  uint8_t Difficulty = 0;
  int32_t Stage = 0;      // puzzle: the stage index shown to the player (0-based)
  int32_t Retries = 0;    // puzzle: the tries before this one
  int32_t StageTime = 0;  // puzzle: the clock carried over from earlier tries
  std::string StageData;  // puzzle: 60 cells row by row, 'A'..'Z' or '.' for empty
  uint32_t Seed = 0;
  int32_t TickMs = 20;
  // The face's wait before its first blink, drawn before the seed (the blinks draw from the
  // generator, so the first one must come at the same tick).
  int32_t BlinkWait = 0;
  // The kernel's key-repeat state when the game screen started.
  uint16_t HeldBefore = 0;
  int32_t RepeatWait = 0;
  // The game buttons held in each tick, from the screen's first tick.
  std::vector<uint8_t> Buttons;

  // What a list shows, and what --verify checks.
  std::string Date;  // UTC, ISO 8601
  std::string Name;  // the ranking name, once entered
  int32_t Score = 0;
  int32_t Level = 0;  // 0-based, as the ranking keeps it
  int32_t Blocks = 0;
  int32_t Ticks = 0;  // ticks played until the game ended
  int32_t ChainRecord = 0;
  TReplayEnd End = TReplayEnd::Unfinished;

  bool IsEndless() const { return GameType == 0; }
};

// The replay as text.
std::string WriteReplay(const TReplay& replay);

// Reads a replay's text. False with a one-line message when it is not a replay this game can read:
// damaged, truncated, too large, or of another format version.
bool ParseReplay(std::string_view text, TReplay& out, std::string& error);

// Reads a replay file from disk (at most kMaxFileSize bytes).
bool LoadReplayFile(const std::string& path, TReplay& out, std::string& error);

// Writes a replay file through a temporary file in the same folder and a rename, so a crash
// never leaves half a replay under the real name.
bool SaveReplayFile(const std::string& path, const TReplay& replay);

// The stage cells as replay text, and back (false when the text is not 60 cells).
std::string StageCellsToText(const uint8_t* cells);
bool StageCellsFromText(std::string_view text, uint8_t* cells);
