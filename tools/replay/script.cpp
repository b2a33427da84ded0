#include "tools/replay/script.h"

#include <cctype>
#include <sstream>

#include "platform/keycodes.h"

namespace replay {
namespace {

bool ParseCount(const std::string& s, int32_t& out) {
  if (s.empty() || s.size() > 9) return false;
  for (char c : s)
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  out = std::stoi(s);
  return true;
}

bool ParseSmall(const std::string& s, int32_t low, int32_t high, int32_t& out) {
  return ParseCount(s, out) && out >= low && out <= high;
}

bool ValidClassName(const std::string& s) {
  if (s.empty() || s.size() > 64) return false;
  for (char c : s)
    if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '_')) return false;
  return true;
}

bool ValidName(const std::string& s) {
  if (s.empty() || s.size() > 100) return false;
  for (char c : s)
    if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-' || c == '.'))
      return false;
  return s != "." && s != "..";
}

}  // namespace

uint8_t KeyCode(const std::string& name) {
  if (name == "UP") return keycode::Up;
  if (name == "DOWN") return keycode::Down;
  if (name == "LEFT") return keycode::Left;
  if (name == "RIGHT") return keycode::Right;
  if (name == "ENTER") return keycode::Enter;
  if (name == "SPACE") return keycode::Space;
  if (name == "BACKSPACE") return keycode::Backspace;
  if (name == "ESCAPE") return keycode::Escape;
  if (name == "ALT") return keycode::Alt;
  if (name == "TAB") return keycode::Tab;
  if (name == "DELETE") return keycode::Delete;
  if (name == "HOME") return keycode::Home;
  if (name == "END") return keycode::End;
  if (name == "PAGEUP") return keycode::PageUp;
  if (name == "PAGEDOWN") return keycode::PageDown;
  if (name == "SHIFT") return keycode::LShift;
  if (name == "CTRL") return keycode::LCtrl;
  if (name.size() >= 2 && name.size() <= 3 && name[0] == 'F') {
    int32_t n = 0;
    if (ParseSmall(name.substr(1), 1, 10, n)) return static_cast<uint8_t>(keycode::F1 + n - 1);  // F1..F10 in a row
  }
  if (name.size() == 1) {
    char c = name[0];
    if (c >= 'A' && c <= 'Z') return keycode::kLetters[c - 'A'];
    if (c >= '1' && c <= '9') return static_cast<uint8_t>(keycode::Digit1 + (c - '1'));
    if (c == '0') return keycode::Digit0;
  }
  return 0;
}

bool ParseScript(const std::string& text, std::vector<Command>& out, int& errorLine,
                 std::string& error) {
  std::istringstream in(text);
  std::string line;
  int number = 0;
  out.clear();
  while (std::getline(in, line)) {
    ++number;
    size_t hash = line.find('#');
    if (hash != std::string::npos) line.erase(hash);
    std::istringstream words(line);
    std::vector<std::string> w;
    std::string word;
    while (words >> word) w.push_back(word);
    if (w.empty()) continue;
    Command c;
    c.Line = number;
    bool ok = false;
    const std::string& op = w[0];
    if (op == "wait" && w.size() == 2) {
      c.Kind = Op::Wait;
      ok = ParseCount(w[1], c.Count);
      if (!ok) error = "wait needs a tick count";
    } else if ((op == "down" || op == "up" || op == "tap" || op == "press" || op == "release") &&
               w.size() == 2) {
      c.Kind = op == "down"      ? Op::Down
               : op == "up"      ? Op::Up
               : op == "tap"     ? Op::Tap
               : op == "press"   ? Op::Press
                                 : Op::Release;
      c.Key = KeyCode(w[1]);
      ok = c.Key != 0;
      if (!ok) error = "unknown key '" + w[1] + "'";
    } else if (op == "shot" && w.size() == 2) {
      c.Kind = Op::Shot;
      c.Name = w[1];
      ok = ValidName(c.Name);
      if (!ok) error = "a shot name is letters, digits, '_', '-' and '.'";
    } else if (op == "dump" && w.size() == 1) {
      c.Kind = Op::Dump;
      ok = true;
    } else if (op == "workshop" && w.size() == 1) {
      c.Kind = Op::Workshop;
      ok = true;
    } else if (op == "click" && (w.size() == 3 || (w.size() == 4 && w[3] == "right"))) {
      c.Kind = Op::Click;
      c.Right = w.size() == 4;
      ok = ParseSmall(w[1], 0, 511, c.X) && ParseSmall(w[2], 0, 383, c.Y);
      if (!ok) error = "click needs a point of the picture (0..511 0..383) and maybe right";
    } else if (op == "wheel" && w.size() == 2) {
      c.Kind = Op::Wheel;
      const bool down = !w[1].empty() && w[1][0] == '-';
      ok = ParseSmall(down ? w[1].substr(1) : w[1], 1, 100, c.X);
      if (down) c.X = -c.X;
      if (!ok) error = "wheel needs a number of steps, 1..100 or -1..-100";
    } else if (op == "mem" && w.size() == 1) {
      c.Kind = Op::Mem;
      ok = true;
    } else if ((op == "play" || op == "settle") && w.size() == 2) {
      c.Kind = op == "play" ? Op::Play : Op::Settle;
      ok = ParseCount(w[1], c.Count);
      if (!ok) error = op + " needs a tick count";
    } else if (op == "random" && w.size() == 3) {
      c.Kind = Op::Random;
      int32_t seed = 0;
      ok = ParseCount(w[1], c.Count) && ParseCount(w[2], seed);
      c.Seed = static_cast<uint32_t>(seed);
      if (!ok) error = "random needs a tick count and a seed";
    } else if (op == "swap" && w.size() == 4) {
      c.Kind = Op::Swap;
      c.Dir = w[3] == "R" ? 'R' : (w[3] == "D" ? 'D' : '?');
      ok = c.Dir != '?' && ParseSmall(w[1], 0, c.Dir == 'R' ? 4 : 5, c.Col) &&
           ParseSmall(w[2], 0, c.Dir == 'D' ? 8 : 9, c.Row);
      if (!ok) error = "swap needs a column, a row and R or D, the pair inside the well";
    } else if (op == "until" && w.size() == 4) {
      c.Kind = Op::Until;
      c.Name = w[1];
      ok = ValidClassName(c.Name) && ParseSmall(w[2], 0, 1000, c.Row) && ParseCount(w[3], c.Count);
      if (!ok) error = "until needs a mode's class name, a phase and a tick count";
    } else {
      error = "cannot read '" + line + "'";
    }
    if (!ok) {
      errorLine = number;
      return false;
    }
    out.push_back(c);
  }
  return true;
}

}  // namespace replay
