#pragma once
// The replay runner's script: one command a line, '#' starts a comment.
#include <cstdint>
#include <string>
#include <vector>

namespace replay {

enum class Op {
  Wait, Down, Up, Tap, Press, Release, Shot, Dump, Play, Random, Swap, Settle, Until, Mem,
  Workshop, Click, Wheel
};

struct Command {
  Op Kind = Op::Wait;
  int32_t Count = 0;   // wait, play, random, settle, until: ticks (at most)
  uint8_t Key = 0;     // down / up / tap / press / release: DirectInput scan code
  std::string Name;    // shot: picture name; until: class name of the mode
  uint32_t Seed = 0;   // random
  int32_t Col = 0;     // swap
  int32_t Row = 0;     // swap; until: phase
  char Dir = 'R';      // swap: 'R' with the right neighbour, 'D' with the one below
  int32_t X = 0;       // click: the picture's pixel; wheel: steps (up positive)
  int32_t Y = 0;       // click
  bool Right = false;  // click: the right button
  int Line = 0;
};

// The DirectInput scan code of a key name (UP DOWN LEFT RIGHT ENTER SPACE BACKSPACE
// ESCAPE ALT TAB DELETE HOME END PAGEUP PAGEDOWN SHIFT CTRL F1..F10, A..Z, 0..9), or 0.
uint8_t KeyCode(const std::string& name);

// Parses a whole script. On a line it cannot read, returns false with that line's number
// and a message.
bool ParseScript(const std::string& text, std::vector<Command>& out, int& errorLine,
                 std::string& error);

}  // namespace replay
