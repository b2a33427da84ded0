#pragma once
// The replay runner's script: one command a line, '#' starts a comment.
#include <cstdint>
#include <string>
#include <vector>

namespace replay {

enum class Op { Wait, Down, Up, Tap, Shot, Dump };

struct Command {
  Op Kind = Op::Wait;
  int32_t Count = 0;   // wait
  uint8_t Key = 0;     // down / up / tap: DirectInput scan code
  std::string Name;    // shot
  int Line = 0;
};

// The DirectInput scan code of a key name (UP DOWN LEFT RIGHT ENTER SPACE BACKSPACE
// ESCAPE, A..Z, 0..9), or 0.
uint8_t KeyCode(const std::string& name);

// Parses a whole script. On a line it cannot read, returns false with that line's number
// and a message.
bool ParseScript(const std::string& text, std::vector<Command>& out, int& errorLine,
                 std::string& error);

}  // namespace replay
