#include "game/replay.h"

#include <charconv>
#include <string>

#include "game/text_file.h"

namespace {

constexpr const char* kMagic = "vexa-replay";
constexpr const char* kButtonLetters = "udlrabe";  // bit 0 (up) .. bit 6 (ENTER)
constexpr int32_t kButtonBits = 7;
constexpr size_t kMaxLineLength = 256;
constexpr size_t kLineWidth = 72;  // runs are wrapped at about this many characters
constexpr const char* kEndNames[] = {"unfinished", "overflow", "retired", "cleared", "failed"};
constexpr const char* kGameNames[] = {"endless", "puzzle"};
constexpr const char* kDifficultyNames[] = {"easy", "normal", "hard"};

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
    s.remove_suffix(1);
  return s;
}

// A whole decimal number within [lo, hi].
template <typename T>
bool ParseNumber(std::string_view s, T lo, T hi, T& out) {
  T v{};
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc() || end != s.data() + s.size() || v < lo || v > hi) return false;
  out = v;
  return true;
}

// The index of `s` among `names`, or -1.
template <size_t N>
int32_t IndexOf(std::string_view s, const char* const (&names)[N]) {
  for (size_t i = 0; i < N; ++i)
    if (s == names[i]) return static_cast<int32_t>(i);
  return -1;
}

void WriteRun(std::string& out, uint8_t buttons, size_t count) {
  if (buttons == 0) out += '-';
  for (int32_t bit = 0; bit < kButtonBits; ++bit)
    if (buttons & (1u << bit)) out += kButtonLetters[bit];
  if (count > 1) out += std::to_string(count);
}

// One run "<letters><count>": its buttons and its length.
bool ParseRun(std::string_view token, uint8_t& buttons, size_t& count) {
  buttons = 0;
  size_t i = 0;
  if (i < token.size() && token[i] == '-') {
    ++i;
  } else {
    for (; i < token.size() && (token[i] < '0' || token[i] > '9'); ++i) {
      const char* at = std::char_traits<char>::find(kButtonLetters, kButtonBits, token[i]);
      if (!at) return false;
      const uint8_t bit = static_cast<uint8_t>(1u << (at - kButtonLetters));
      if (buttons & bit) return false;
      buttons |= bit;
    }
    if (buttons == 0) return false;
  }
  count = 1;
  if (i == token.size()) return true;
  return ParseNumber(token.substr(i), size_t{1}, TReplay::kMaxTicks, count);
}

// Applies one header line; false (with a message) when its value is not valid.
bool ApplyField(std::string_view key, std::string_view value, TReplay& r, std::string& error) {
  auto bad = [&] {
    error = "the replay's \"" + std::string(key) + "\" is not valid";
    return false;
  };
  int32_t i = 0;
  if (key == "game_version") {
    if (value.size() > 32) return bad();
    r.GameVersion = std::string(value);
  } else if (key == "game") {
    if ((i = IndexOf(value, kGameNames)) < 0) return bad();
    r.GameType = static_cast<uint8_t>(i);
  } else if (key == "difficulty") {
    if ((i = IndexOf(value, kDifficultyNames)) < 0) return bad();
    r.Difficulty = static_cast<uint8_t>(i);
  } else if (key == "stage") {
    if (!ParseNumber(value, 1, 9999, i)) return bad();
    r.Stage = i - 1;
  } else if (key == "stage_cells") {
    uint8_t cells[TReplay::kStageCells];
    if (!StageCellsFromText(value, cells)) return bad();
    r.StageData = std::string(value);
  } else if (key == "retries") {
    if (!ParseNumber(value, 0, INT32_MAX, r.Retries)) return bad();
  } else if (key == "stage_time") {
    if (!ParseNumber(value, 0, INT32_MAX, r.StageTime)) return bad();
  } else if (key == "seed") {
    if (!ParseNumber(value, uint32_t{0}, UINT32_MAX, r.Seed)) return bad();
  } else if (key == "tick_ms") {
    if (!ParseNumber(value, 1, 1000, r.TickMs)) return bad();
  } else if (key == "blink_wait") {
    if (!ParseNumber(value, 0, 1000000, r.BlinkWait)) return bad();
  } else if (key == "held_before") {
    uint8_t held = 0;
    size_t one = 0;
    if (!ParseRun(value, held, one) || one != 1) return bad();
    r.HeldBefore = held;
  } else if (key == "repeat_wait") {
    if (!ParseNumber(value, -1000000, 1000000, r.RepeatWait)) return bad();
  } else if (key == "date") {
    if (value.size() > 40) return bad();
    r.Date = std::string(value);
  } else if (key == "name") {
    if (value.size() > 10) return bad();
    for (char c : value)
      if (c < ' ' || c > '~') return bad();
    r.Name = std::string(value);
  } else if (key == "score") {
    if (!ParseNumber(value, 0, INT32_MAX, r.Score)) return bad();
  } else if (key == "level") {
    if (!ParseNumber(value, 1, 999, i)) return bad();
    r.Level = i - 1;
  } else if (key == "blocks") {
    if (!ParseNumber(value, 0, INT32_MAX, r.Blocks)) return bad();
  } else if (key == "ticks") {
    if (!ParseNumber(value, 0, static_cast<int32_t>(TReplay::kMaxTicks), r.Ticks)) return bad();
  } else if (key == "chain_record") {
    if (!ParseNumber(value, 0, 999, r.ChainRecord)) return bad();
  } else if (key == "end") {
    if ((i = IndexOf(value, kEndNames)) < 0) return bad();
    r.End = static_cast<TReplayEnd>(i);
  }
  // Keys this version does not know are skipped: a later game may add lines for people.
  return true;
}

}  // namespace

const char* ReplayEndName(TReplayEnd end) {
  const auto i = static_cast<size_t>(end);
  return i < std::size(kEndNames) ? kEndNames[i] : kEndNames[0];
}

std::string StageCellsToText(const uint8_t* cells) {
  std::string s;
  for (int32_t i = 0; i < TReplay::kStageCells; ++i) {
    if (i > 0 && i % 6 == 0) s += ' ';
    s += cells[i] < 26 ? static_cast<char>('A' + cells[i]) : '.';
  }
  return s;
}

bool StageCellsFromText(std::string_view text, uint8_t* cells) {
  int32_t n = 0;
  for (char c : text) {
    if (c == ' ') continue;
    if (n == TReplay::kStageCells) return false;
    if (c >= 'A' && c <= 'Z') {
      cells[n++] = static_cast<uint8_t>(c - 'A');
    } else if (c == '.') {
      cells[n++] = 26;
    } else {
      return false;
    }
  }
  return n == TReplay::kStageCells;
}

std::string WriteReplay(const TReplay& r) {
  std::string out;
  auto line = [&out](const char* key, const std::string& value) {
    out += key;
    out += " = ";
    out += value;
    out += '\n';
  };
  out += std::string(kMagic) + ' ' + std::to_string(TReplay::kFormat) + '\n';
  line("game_version", r.GameVersion);
  line("game", kGameNames[r.GameType == 0 ? 0 : 1]);
  if (r.IsEndless()) {
    line("difficulty", kDifficultyNames[r.Difficulty < 3 ? r.Difficulty : 0]);
  } else {
    line("stage", std::to_string(r.Stage + 1));
    line("stage_cells", r.StageData);
    line("retries", std::to_string(r.Retries));
    line("stage_time", std::to_string(r.StageTime));
  }
  line("seed", std::to_string(r.Seed));
  line("tick_ms", std::to_string(r.TickMs));
  line("blink_wait", std::to_string(r.BlinkWait));
  std::string held;
  WriteRun(held, static_cast<uint8_t>(r.HeldBefore), 1);
  line("held_before", held);
  line("repeat_wait", std::to_string(r.RepeatWait));
  line("date", r.Date);
  line("name", r.Name);
  line("score", std::to_string(r.Score));
  line("level", std::to_string(r.Level + 1));
  line("blocks", std::to_string(r.Blocks));
  line("ticks", std::to_string(r.Ticks));
  line("chain_record", std::to_string(r.ChainRecord));
  line("end", ReplayEndName(r.End));
  out += "buttons\n";
  // Runs follow each other without a space (each begins with a letter or '-', its count is
  // the digits after it; a space parts two letter runs where no count does), wrapped into
  // lines.
  size_t lineStart = out.size();
  for (size_t i = 0; i < r.Buttons.size();) {
    size_t j = i + 1;
    while (j < r.Buttons.size() && r.Buttons[j] == r.Buttons[i]) ++j;
    if (out.size() - lineStart >= kLineWidth) {
      out += '\n';
      lineStart = out.size();
    } else if (out.size() > lineStart && out.back() >= 'a' && out.back() <= 'z' &&
               r.Buttons[i] != 0) {
      out += ' ';  // two letter runs in a row, the first held for one tick: "u ur3"
    }
    WriteRun(out, r.Buttons[i], j - i);
    i = j;
  }
  if (out.size() > lineStart) out += '\n';
  return out;
}

bool ParseReplay(std::string_view text, TReplay& out, std::string& error) {
  if (text.size() > TReplay::kMaxFileSize) {
    error = "the replay is too large";
    return false;
  }
  TReplay r;
  r.GameVersion.clear();
  bool inButtons = false;
  bool first = true;
  int32_t lineNo = 0;
  while (!text.empty()) {
    const size_t eol = text.find('\n');
    std::string_view raw = text.substr(0, eol);
    text.remove_prefix(eol == std::string_view::npos ? text.size() : eol + 1);
    ++lineNo;
    if (raw.size() > kMaxLineLength) {
      error = "line " + std::to_string(lineNo) + " of the replay is too long";
      return false;
    }
    const std::string_view lineText = Trim(raw);
    if (first) {
      first = false;
      int32_t format = 0;
      if (lineText.substr(0, 12) != std::string(kMagic) + ' ' ||
          !ParseNumber(lineText.substr(12), 1, 1000000, format)) {
        error = "this is not a replay of this game";
        return false;
      }
      if (format != TReplay::kFormat) {
        error = "the replay is of format " + std::to_string(format) + "; this game reads format " +
                std::to_string(TReplay::kFormat);
        return false;
      }
      continue;
    }
    if (lineText.empty() || lineText.front() == '#') continue;
    if (!inButtons) {
      if (lineText == "buttons") {
        inButtons = true;
        continue;
      }
      const size_t eq = lineText.find('=');
      if (eq == std::string_view::npos) {
        error = "line " + std::to_string(lineNo) + " of the replay is not \"key = value\"";
        return false;
      }
      if (!ApplyField(Trim(lineText.substr(0, eq)), Trim(lineText.substr(eq + 1)), r, error))
        return false;
      continue;
    }
    // A run starts at a letter or '-' and takes the digits after it; spaces may part runs.
    std::string_view rest = lineText;
    while (!rest.empty()) {
      if (rest.front() == ' ' || rest.front() == '\t') {
        rest.remove_prefix(1);
        continue;
      }
      size_t end = 1;
      while (end < rest.size() && rest[end] >= 'a' && rest[end] <= 'z' && rest[0] != '-') ++end;
      while (end < rest.size() && rest[end] >= '0' && rest[end] <= '9') ++end;
      const std::string_view token = rest.substr(0, end);
      rest.remove_prefix(end);
      uint8_t buttons = 0;
      size_t count = 0;
      if (!ParseRun(token, buttons, count)) {
        error = "line " + std::to_string(lineNo) + " of the replay holds a run that is not valid";
        return false;
      }
      if (count > TReplay::kMaxTicks - r.Buttons.size()) {
        error = "the replay is longer than a game can be";
        return false;
      }
      r.Buttons.insert(r.Buttons.end(), count, buttons);
    }
  }
  if (first) {
    error = "the replay is empty";
    return false;
  }
  if (!inButtons) {
    error = "the replay ends before its buttons";
    return false;
  }
  if (r.IsEndless()) {
    // An endless game has no stage: whatever stage lines the file holds mean nothing.
    r.Stage = r.Retries = r.StageTime = 0;
    r.StageData.clear();
  } else if (r.StageData.empty()) {
    error = "the puzzle replay holds no stage";
    return false;
  }
  out = std::move(r);
  return true;
}

bool LoadReplayFile(const std::string& path, TReplay& out, std::string& error) {
  std::string text;
  return ReadTextFile(path, TReplay::kMaxFileSize, text, error) && ParseReplay(text, out, error);
}

bool SaveReplayFile(const std::string& path, const TReplay& replay) {
  return WriteTextFile(path, WriteReplay(replay));
}
