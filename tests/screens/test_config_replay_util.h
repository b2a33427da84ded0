#pragma once
// Running the replay runner from a test: a directory of its own for a series of runs (so a
// later run starts from the save file an earlier one left), the dump lines of a run, and
// the pixels of its shots.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace replay_test {

struct ReplayRun {
  int Status = -1;
  std::vector<std::string> Dumps;
  std::string Out;
};

// A directory of its own for a series of runs, removed at the end. Scripts are read from
// tests/e2e.
class ReplayDir {
 public:
  ReplayDir() {
    char tmpl[] = "/tmp/vexa-e2e-XXXXXX";
    if (mkdtemp(tmpl)) Path = tmpl;
  }
  ~ReplayDir() {
    std::error_code ec;
    if (!Path.empty()) std::filesystem::remove_all(Path, ec);
  }
  ReplayRun Play(const std::string& script) const {
    const std::string src = std::string(VEXA_SOURCE_DIR) + "/tests/e2e/" + script;
    const std::string cmd = "cd '" + Path + "' && '" + VEXA_REPLAY_EXE + "' --seed 7 '" + src + "' 2>&1";
    ReplayRun r;
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return r;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.Out.append(buf, n);
    const int st = pclose(p);
    r.Status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    std::istringstream lines(r.Out);
    std::string line;
    while (std::getline(lines, line))
      if (line.rfind("tick=", 0) == 0) r.Dumps.push_back(line);
    return r;
  }
  std::vector<uint8_t> File(const std::string& name) const {
    std::ifstream f(Path + "/" + name, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
  }
  std::string Path;
};

// The value of key in a dump line ("" when absent).
inline std::string Value(const std::string& dump, const std::string& key) {
  const std::string k = " " + key + "=";
  const size_t at = dump.find(k);
  if (at == std::string::npos) return "";
  const size_t from = at + k.size();
  return dump.substr(from, dump.find(' ', from) - from);
}

inline int32_t I32At(const std::vector<uint8_t>& b, size_t at) {
  return static_cast<int32_t>(b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) |
                              (static_cast<uint32_t>(b[at + 3]) << 24));
}

// The pixels of a rectangle of a shot (a 24-bit bottom-up BMP of 512 x 384).
inline std::vector<uint8_t> ShotRegion(const std::vector<uint8_t>& bmp, int l, int t, int r, int b) {
  std::vector<uint8_t> out;
  if (bmp.size() < 54) return out;
  const uint32_t offset = I32At(bmp, 10);
  const int w = I32At(bmp, 18), h = I32At(bmp, 22);
  const size_t row = (static_cast<size_t>(w) * 3 + 3) & ~size_t{3};
  if (w != 512 || h != 384 || bmp.size() < offset + row * h) return out;
  for (int y = t; y < b; ++y)
    for (int x = l; x < r; ++x)
      for (int c = 0; c < 3; ++c) out.push_back(bmp[offset + (h - 1 - y) * row + x * 3 + c]);
  return out;
}

}  // namespace replay_test
