#include "game/stage_set.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "game/text_file.h"

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kMagic = "vexa-stages ";

bool Printable(char c) { return c >= ' ' && c <= '~'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// A header value as written: printable, cut to its length, no spaces around it.
std::string CleanValue(const std::string& value, size_t limit) {
  std::string s;
  for (char c : value) s += Printable(c) ? c : '?';
  std::string_view v = Trim(s);
  if (v.size() > limit) v = Trim(v.substr(0, limit));
  return std::string(v);
}

// A number of at most four digits, nothing else.
bool SmallNumber(std::string_view s, int32_t& out) {
  if (s.empty() || s.size() > 4) return false;
  out = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
    out = out * 10 + (c - '0');
  }
  return true;
}

}  // namespace

std::string WriteStageSet(const TStageSet& set) {
  std::string text = std::string(kMagic) + std::to_string(TStageSet::kFormat) + "\n";
  text += "name = " + CleanValue(set.Name, TStageSet::kMaxName) + "\n";
  text += "author = " + CleanValue(set.Author, TStageSet::kMaxAuthor) + "\n";
  const size_t count = std::min(set.Stages.size(), TStageSet::kMaxStages);
  for (size_t s = 0; s < count; ++s) {
    text += "\nstage " + std::to_string(s + 1) + "\n";
    for (int32_t r = 0; r < TStageSet::kRows; ++r) {
      for (int32_t c = 0; c < TStageSet::kColumns; ++c) {
        const uint8_t v = set.Stages[s][TStageSet::kColumns * r + c];
        text += v < 26 ? static_cast<char>('A' + v) : '.';
      }
      text += '\n';
    }
  }
  return text;
}

bool ParseStageSet(std::string_view text, TStageSet& out, std::string& error) {
  if (text.size() > TStageSet::kMaxFileSize) {
    error = "the file is larger than a stage set may be (" +
            std::to_string(TStageSet::kMaxFileSize / 1024) + " KiB)";
    return false;
  }
  TStageSet set;
  bool haveName = false, haveAuthor = false;
  int32_t lineNo = 0;
  int32_t rowsDue = 0;  // rows of the current stage still to come
  auto fail = [&](const std::string& why) {
    error = "line " + std::to_string(lineNo) + ": " + why;
    return false;
  };
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find('\n', at);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(at, end - at);
    at = end + 1;
    ++lineNo;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.size() > TStageSet::kMaxLine) return fail("the line is too long");
    if (lineNo == 1) {
      int32_t format = 0;
      if (line.substr(0, kMagic.size()) != kMagic) return fail("not a stage set file");
      if (!SmallNumber(line.substr(kMagic.size()), format)) return fail("no format number");
      if (format != TStageSet::kFormat)
        return fail("format " + std::to_string(format) + " is not one this game reads");
      continue;
    }
    if (rowsDue > 0) {
      if (line.size() != static_cast<size_t>(TStageSet::kColumns))
        return fail("a stage row has six cells");
      TStageSet::Stage& stage = set.Stages.back();
      const int32_t row = TStageSet::kRows - rowsDue;
      for (int32_t c = 0; c < TStageSet::kColumns; ++c) {
        const char ch = line[c];
        if (ch >= 'A' && ch <= 'Z')
          stage[TStageSet::kColumns * row + c] = static_cast<uint8_t>(ch - 'A');
        else if (ch == '.')
          stage[TStageSet::kColumns * row + c] = TStageSet::kEmptyCell;
        else
          return fail("a cell is a letter A-Z or '.' for an empty one");
      }
      --rowsDue;
      continue;
    }
    const std::string_view trimmed = Trim(line);
    if (trimmed.empty() || trimmed.front() == '#') continue;
    if (trimmed.substr(0, 6) == "stage ") {
      int32_t n = 0;
      if (!SmallNumber(Trim(trimmed.substr(6)), n)) return fail("no stage number");
      if (set.Stages.size() >= TStageSet::kMaxStages)
        return fail("a set holds at most " + std::to_string(TStageSet::kMaxStages) + " stages");
      if (n != static_cast<int32_t>(set.Stages.size()) + 1)
        return fail("stage " + std::to_string(set.Stages.size() + 1) + " was expected here");
      set.Stages.emplace_back();
      set.Stages.back().fill(TStageSet::kEmptyCell);
      rowsDue = TStageSet::kRows;
      continue;
    }
    const size_t eq = trimmed.find('=');
    if (eq == std::string_view::npos) return fail("neither a stage nor a key = value line");
    if (!set.Stages.empty()) return fail("the name and the author come before the stages");
    const std::string_view key = Trim(trimmed.substr(0, eq));
    const std::string_view value = Trim(trimmed.substr(eq + 1));
    for (char c : value)
      if (!Printable(c)) return fail("a value has a character that cannot be shown");
    if (key == "name") {
      if (haveName) return fail("a second name");
      if (value.size() > TStageSet::kMaxName) return fail("the name is too long");
      haveName = true;
      set.Name = value;
    } else if (key == "author") {
      if (haveAuthor) return fail("a second author");
      if (value.size() > TStageSet::kMaxAuthor) return fail("the author is too long");
      haveAuthor = true;
      set.Author = value;
    } else {
      std::string shown;
      for (char c : key.substr(0, 20)) shown += Printable(c) ? c : '?';
      return fail("unknown key '" + shown + "'");
    }
  }
  if (lineNo == 0) {
    error = "the file is empty";
    return false;
  }
  if (rowsDue > 0) {
    error = "stage " + std::to_string(set.Stages.size()) + " ends after " +
            std::to_string(TStageSet::kRows - rowsDue) + " of its 10 rows";
    return false;
  }
  out = std::move(set);
  return true;
}

bool LoadStageSet(const std::string& path, TStageSet& out, std::string& error) {
  std::string text;
  return ReadTextFile(path, TStageSet::kMaxFileSize, text, error) &&
         ParseStageSet(text, out, error);
}

bool SaveStageSet(const std::string& path, const TStageSet& set) {
  return WriteTextFile(path, WriteStageSet(set));
}

std::string StageSetFolder(const std::string& saveFilePath) {
  const fs::path dir = fs::path(saveFilePath).parent_path();
  return (dir.empty() ? fs::path(".") : dir).string() + "/stages";
}

std::vector<std::string> StageSetFiles(const std::string& folder) {
  std::vector<std::string> files;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const fs::path& p = it->path();
    if (p.extension() == TStageSet::kExtension && it->is_regular_file(ec))
      files.push_back(p.string());
  }
  std::sort(files.begin(), files.end());
  return files;
}
