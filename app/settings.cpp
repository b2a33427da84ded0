#include "app/settings.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

namespace settingsfile {
namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsSpace(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsSpace(s.back())) s.remove_suffix(1);
  return s;
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

// A piece of the file as it may appear in a warning: printable ASCII only, and short.
std::string Shown(std::string_view s) {
  constexpr size_t kShown = 32;
  std::string out;
  for (size_t i = 0; i < s.size() && i < kShown; ++i) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    out += (c >= 0x20 && c < 0x7f) ? static_cast<char>(c) : '?';
  }
  if (s.size() > kShown) out += "...";
  return "\"" + out + "\"";
}

bool ParseBool(std::string_view v, bool& out) {
  for (const char* yes : {"yes", "true", "on", "1"})
    if (EqualsNoCase(v, yes)) return out = true, true;
  for (const char* no : {"no", "false", "off", "0"})
    if (EqualsNoCase(v, no)) return out = false, true;
  return false;
}

// A whole number 0..100, digits only.
bool ParsePercent(std::string_view v, int& out) {
  if (v.empty() || v.size() > 3) return false;
  int n = 0;
  for (char c : v) {
    if (c < '0' || c > '9') return false;
    n = n * 10 + (c - '0');
  }
  if (n > 100) return false;
  out = n;
  return true;
}

// A locale name or a colon-separated list of them, as LANGUAGE takes: letters, digits and
// "_ . @ - :"; empty means the desktop's language.
bool ParseLanguage(std::string_view v, std::string& out) {
  if (v.size() > kMaxLanguageLength) return false;
  for (char c : v) {
    const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                    c == '_' || c == '.' || c == '@' || c == '-' || c == ':';
    if (!ok) return false;
  }
  out = std::string(v);
  return true;
}

// Collects the warnings of one file, at most kMaxWarnings, then one line for the rest.
class Warner {
 public:
  Warner(const std::string& name, std::vector<std::string>& out) : Name(name), Out(out) {}
  ~Warner() {
    if (Dropped > 0)
      Out.push_back(Name + ": " + std::to_string(Dropped) + " more line" +
                    (Dropped == 1 ? "" : "s") + " ignored");
  }
  Warner(const Warner&) = delete;
  Warner& operator=(const Warner&) = delete;
  void At(int line, const std::string& what) {
    if (Count >= kMaxWarnings) {
      ++Dropped;
      return;
    }
    ++Count;
    Out.push_back(Name + ":" + std::to_string(line) + ": " + what);
  }

 private:
  const std::string& Name;
  std::vector<std::string>& Out;
  int Count = 0;
  int Dropped = 0;
};

// Creates every missing folder of the path's directory part, private to the user as the
// XDG base directories are.
bool MakeParents(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos || slash == 0) return true;
  const std::string dir = path.substr(0, slash);
  for (size_t i = 1; i <= dir.size(); ++i) {
    if (i == dir.size() || dir[i] == '/') {
      const std::string part = dir.substr(0, i);
      if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
    }
  }
  return true;
}

// Writes text to a new file at path; never replaces a file that is already there. A write
// that fails part-way removes what it made. 0 or an errno value.
int WriteNew(const std::string& path, const std::string& text) {
  if (!MakeParents(path)) return errno;
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) return errno;
  size_t done = 0;
  int err = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      err = errno;
      break;
    }
    done += static_cast<size_t>(n);
  }
  if (::close(fd) != 0 && err == 0) err = errno;
  if (err != 0) ::unlink(path.c_str());
  return err;
}

}  // namespace

const char* ScaleModeName(platform::ScaleMode mode) {
  return mode == platform::ScaleMode::Fit ? "fit" : "whole";
}

bool ParseScaleMode(std::string_view text, platform::ScaleMode& mode) {
  if (EqualsNoCase(text, "whole")) return mode = platform::ScaleMode::Whole, true;
  if (EqualsNoCase(text, "fit")) return mode = platform::ScaleMode::Fit, true;
  return false;
}

std::string ChoosePath(const char* xdgConfigHome, const char* home) {
  // A relative XDG_CONFIG_HOME is invalid by the base-directory rules and is passed over.
  if (xdgConfigHome && xdgConfigHome[0] == '/') return std::string(xdgConfigHome) + "/vexa/vexa.conf";
  if (home && home[0] == '/') return std::string(home) + "/.config/vexa/vexa.conf";
  return {};
}

std::string Path() { return ChoosePath(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME")); }

TSettings Parse(std::string_view text, const std::string& name, std::vector<std::string>& warnings) {
  TSettings s;
  Warner warn(name, warnings);
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);  // a byte-order mark
  bool newer = false;  // written by a later version: its new keys are not ours to judge
  int lineNo = 0;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (++lineNo > kMaxLines) {
      warn.At(lineNo, "more than " + std::to_string(kMaxLines) + " lines; the rest is ignored");
      break;
    }
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.size() > kMaxLineLength) {
      warn.At(lineNo, "line longer than " + std::to_string(kMaxLineLength) + " bytes, ignored");
      continue;
    }
    bool control = false;
    for (char c : line)
      if ((static_cast<unsigned char>(c) < 0x20 && c != '\t') || c == 0x7f) control = true;
    if (control) {
      warn.At(lineNo, "control characters in the line, ignored");
      continue;
    }
    line = Trim(line);
    if (line.empty() || line.front() == '#') continue;
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos) {
      warn.At(lineNo, Shown(line) + " is not a \"key = value\" line, ignored");
      continue;
    }
    const std::string_view key = Trim(line.substr(0, eq));
    std::string_view value = line.substr(eq + 1);
    if (const size_t hash = value.find('#'); hash != std::string_view::npos)
      value = value.substr(0, hash);  // a comment after the value
    value = Trim(value);
    auto bad = [&](const char* expected) {
      warn.At(lineNo, std::string(key) + ": " + Shown(value) + " is not " + expected +
                          ", ignored");
    };
    if (key == "version") {
      int v = 0;
      bool digits = !value.empty() && value.size() <= 6;
      for (char c : value)
        if (c < '0' || c > '9') digits = false;
      if (digits) v = std::atoi(std::string(value).c_str());
      if (!digits || v < 1) {
        bad("a version number");
      } else if (v > kVersion) {
        newer = true;
        warn.At(lineNo, "written by a newer version (" + std::to_string(v) +
                            "); only the settings this version knows are read");
      }
    } else if (key == "fullscreen") {
      if (!ParseBool(value, s.FullScreen)) bad("yes or no");
    } else if (key == "window_scale") {
      if (!ParseScaleMode(value, s.WindowScale)) bad("whole or fit");
    } else if (key == "fullscreen_scale") {
      if (!ParseScaleMode(value, s.FullScreenScale)) bad("whole or fit");
    } else if (key == "language") {
      if (!ParseLanguage(value, s.Language)) bad("a language such as en, C or de:en");
    } else if (key == "effects_volume") {
      if (!ParsePercent(value, s.EffectsVolume)) bad("a whole number from 0 to 100");
    } else if (key == "music_volume") {
      if (!ParsePercent(value, s.MusicVolume)) bad("a whole number from 0 to 100");
    } else if (!newer) {
      warn.At(lineNo, "unknown setting " + Shown(key) + ", ignored");
    }
  }
  return s;
}

std::string Format(const TSettings& s) {
  std::string t;
  t += "# Vexa's settings. Each line is \"key = value\"; a line starting with # is a comment.\n";
  t += "# Change them while the game is not running. A line the game cannot read is skipped\n";
  t += "# with a warning on standard error; delete this file to get the defaults back.\n";
  t += "version = " + std::to_string(kVersion) + "\n";
  t += "\n";
  t += "# Start in full screen (yes) or in a window (no); Alt+Enter switches while playing.\n";
  t += "# The options --fullscreen and --window override it.\n";
  t += std::string("fullscreen = ") + (s.FullScreen ? "yes" : "no") + "\n";
  t += "\n";
  t += "# How the picture is scaled in a window and in full screen:\n";
  t += "#   whole  the largest whole-number scale, black around it: every pixel crisp\n";
  t += "#   fit    that scale, then one smooth pass to fill the space at 4:3\n";
  t += "# The option --scale whole|fit overrides both.\n";
  t += std::string("window_scale = ") + ScaleModeName(s.WindowScale) + "\n";
  t += std::string("fullscreen_scale = ") + ScaleModeName(s.FullScreenScale) + "\n";
  t += "\n";
  t += "# The language of the game's texts: for example en, or C for the game's own texts;\n";
  t += "# a list such as de:en is tried in order. Empty follows the desktop (LANGUAGE,\n";
  t += "# LC_ALL, LC_MESSAGES, LANG).\n";
  t += "language =" + (s.Language.empty() ? "" : " " + s.Language) + "\n";
  t += "\n";
  t += "# Loudness of the sound effects and of the music, 0 (silent) to 100 (full).\n";
  t += "effects_volume = " + std::to_string(s.EffectsVolume) + "\n";
  t += "music_volume = " + std::to_string(s.MusicVolume) + "\n";
  return t;
}

TSettings Load(const std::string& path, std::vector<std::string>& warnings) {
  if (path.empty()) return {};
  // Non-blocking, so that a FIFO put in the file's place cannot hold up the start.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    const int err = errno;
    if (err != ENOENT) {
      warnings.push_back(path + ": cannot be read (" + std::strerror(err) + "); using the defaults");
      return {};
    }
    const TSettings defaults;
    if (const int werr = WriteNew(path, Format(defaults)); werr != 0 && werr != EEXIST)
      warnings.push_back(path + ": cannot write the default settings (" + std::strerror(werr) + ")");
    return defaults;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    warnings.push_back(path + ": not a plain file; using the defaults");
    return {};
  }
  std::string text(kMaxBytes + 1, '\0');
  size_t got = 0;
  int err = 0;
  while (got < text.size()) {
    const ssize_t n = ::read(fd, text.data() + got, text.size() - got);
    if (n < 0) {
      if (errno == EINTR) continue;
      err = errno;
      break;
    }
    if (n == 0) break;
    got += static_cast<size_t>(n);
  }
  ::close(fd);
  if (err != 0) {
    warnings.push_back(path + ": cannot be read (" + std::strerror(err) + "); using the defaults");
    return {};
  }
  text.resize(got);
  if (got > kMaxBytes) {
    // Only whole lines of the first kMaxBytes are read.
    text.resize(kMaxBytes);
    const size_t lastNewline = text.rfind('\n');
    text.resize(lastNewline == std::string::npos ? 0 : lastNewline + 1);
    warnings.push_back(path + ": longer than " + std::to_string(kMaxBytes) +
                       " bytes; only its beginning is read");
  }
  return Parse(text, path, warnings);
}

}  // namespace settingsfile
