// The options screen end to end: the replay runner plays the game headless from the scripts
// in tests/e2e, twice in one directory, so the second run starts from the first run's save.
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

namespace {

struct ReplayRun {
  int Status = -1;
  std::vector<std::string> Dumps;
  std::string Out;
};

// A directory of its own for a series of runs, removed at the end.
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
std::string Value(const std::string& dump, const std::string& key) {
  const std::string k = " " + key + "=";
  const size_t at = dump.find(k);
  if (at == std::string::npos) return "";
  const size_t from = at + k.size();
  return dump.substr(from, dump.find(' ', from) - from);
}

int32_t I32At(const std::vector<uint8_t>& b, size_t at) {
  return static_cast<int32_t>(b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) |
                              (static_cast<uint32_t>(b[at + 3]) << 24));
}

// The pixels of a rectangle of a shot (a 24-bit bottom-up BMP of 512 x 384).
std::vector<uint8_t> ShotRegion(const std::vector<uint8_t>& bmp, int l, int t, int r, int b) {
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

TEST(OptionsEndToEnd, DecidedChoicesAreSavedAndComeBackAfterARestart) {
  ReplayDir dir;
  ASSERT_FALSE(dir.Path.empty());

  ReplayRun first = dir.Play("config_save.txt");
  ASSERT_EQ(first.Status, 0) << first.Out;
  ASSERT_EQ(first.Dumps.size(), 3u) << first.Out;
  EXPECT_EQ(Value(first.Dumps[0], "mode"), "TConfigMode");
  EXPECT_EQ(Value(first.Dumps[0], "Item"), "0");
  EXPECT_EQ(Value(first.Dumps[0], "Values"), "0,0,0,0");
  EXPECT_EQ(Value(first.Dumps[1], "Values"), "4,0,1,0");
  EXPECT_EQ(Value(first.Dumps[1], "BlockType"), "0");  // previewed, not yet applied
  EXPECT_EQ(Value(first.Dumps[2], "mode"), "TTitleMode");
  EXPECT_EQ(Value(first.Dumps[2], "BlockType"), "4");
  EXPECT_EQ(Value(first.Dumps[2], "BgmType"), "1");
  EXPECT_EQ(Value(first.Dumps[2], "BackType"), "0");
  EXPECT_EQ(Value(first.Dumps[2], "ControlType"), "0");

  const std::vector<uint8_t> saved = dir.File("vexa.dat");
  ASSERT_EQ(saved.size(), 308u);
  EXPECT_EQ(std::string(saved.begin(), saved.begin() + 12), "Vexa Ver1.02");
  EXPECT_EQ(I32At(saved, 268), 4);
  EXPECT_EQ(I32At(saved, 272), 0);
  EXPECT_EQ(I32At(saved, 276), 1);
  EXPECT_EQ(I32At(saved, 280), 0);

  ReplayRun second = dir.Play("config_restart.txt");
  ASSERT_EQ(second.Status, 0) << second.Out;
  ASSERT_EQ(second.Dumps.size(), 3u) << second.Out;
  EXPECT_EQ(Value(second.Dumps[0], "mode"), "TTitleMode");
  EXPECT_EQ(Value(second.Dumps[0], "BlockType"), "4");
  EXPECT_EQ(Value(second.Dumps[0], "BgmType"), "1");
  EXPECT_EQ(Value(second.Dumps[1], "mode"), "TConfigMode");
  EXPECT_EQ(Value(second.Dumps[1], "Values"), "4,0,1,0");
  // Cancelled after a change: nothing moves.
  EXPECT_EQ(Value(second.Dumps[2], "mode"), "TTitleMode");
  EXPECT_EQ(Value(second.Dumps[2], "BlockType"), "4");
  EXPECT_EQ(dir.File("vexa.dat"), saved);

  // The sample blocks show the chosen set: the same picture when previewed and when
  // reopened after the restart, another one for the first set.
  const auto sample = [&](const char* shot) {
    return ShotRegion(dir.File(shot), 172, 76, 300, 108);
  };
  const std::vector<uint8_t> changed = sample("option_changed.bmp");
  ASSERT_EQ(changed.size(), 128u * 32u * 3u);
  EXPECT_EQ(sample("option_reopened.bmp"), changed);
  EXPECT_NE(sample("option_default.bmp"), changed);
}

}  // namespace
