#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/settings.h"
#include "tests/support/headless_game.h"

namespace {

using platform::ScaleMode;

// A fresh folder per test, removed afterwards; its config folder is XDG_CONFIG_HOME, so the
// player's own settings are never read.
class SettingsDir : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(Dir.empty()); }
  std::string Read() const { return vexa_test::ReadText(File); }
  void Put(const std::string& text) const {
    std::filesystem::create_directories(std::filesystem::path(File).parent_path());
    std::ofstream(File, std::ios::binary) << text;
  }
  vexa_test::PrivateFolder Folder;
  const std::string Dir = Folder.Path;
  const std::string File = Folder.At("config/vexa/vexa.conf");
};

void ExpectSettings(const TSettings& s, ScaleMode window, ScaleMode fullScreenScale,
                    bool fullScreen, const std::string& language, int effects, int music) {
  EXPECT_EQ(s.WindowScale, window);
  EXPECT_EQ(s.FullScreenScale, fullScreenScale);
  EXPECT_EQ(s.FullScreen, fullScreen);
  EXPECT_EQ(s.Language, language);
  EXPECT_EQ(s.EffectsVolume, effects);
  EXPECT_EQ(s.MusicVolume, music);
}

void ExpectDefaults(const TSettings& s) {
  ExpectSettings(s, ScaleMode::Whole, ScaleMode::Fit, false, "", 100, 100);
}

TEST(SettingsPath, ConfigHomeThenHome) {
  EXPECT_EQ(settingsfile::ChoosePath("/x/conf", "/home/p"), "/x/conf/vexa/vexa.conf");
  EXPECT_EQ(settingsfile::ChoosePath(nullptr, "/home/p"), "/home/p/.config/vexa/vexa.conf");
  EXPECT_EQ(settingsfile::ChoosePath("relative", "/home/p"), "/home/p/.config/vexa/vexa.conf");
  EXPECT_EQ(settingsfile::ChoosePath("", nullptr), "");
}

TEST_F(SettingsDir, FirstStartWritesTheDefaultsAndLaterStartsKeepTheFile) {
  std::vector<std::string> warnings;
  ExpectDefaults(settingsfile::Load(File, warnings));  // folders made on the way
  EXPECT_TRUE(warnings.empty());
  const std::string written = Read();
  EXPECT_EQ(written, settingsfile::Format(TSettings{}));
  EXPECT_EQ(written.rfind("# ", 0), 0u);  // commented
  EXPECT_NE(written.find("\nversion = 1\n"), std::string::npos);
  struct stat st {};
  ASSERT_EQ(::stat((Dir + "/config/vexa").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  // What was written reads back without a word, and every setting round-trips.
  ExpectDefaults(settingsfile::Parse(written, "f", warnings));
  EXPECT_TRUE(warnings.empty());
  TSettings mine;
  mine.WindowScale = ScaleMode::Fit;
  mine.FullScreenScale = ScaleMode::Whole;
  mine.FullScreen = true;
  mine.Language = "de:en";
  mine.EffectsVolume = 0;
  mine.MusicVolume = 55;
  Put(settingsfile::Format(mine));
  const TSettings back = settingsfile::Load(File, warnings);
  EXPECT_TRUE(warnings.empty());
  ExpectSettings(back, ScaleMode::Fit, ScaleMode::Whole, true, "de:en", 0, 55);
  EXPECT_EQ(Read(), settingsfile::Format(mine));  // an existing file is never rewritten
}

TEST(SettingsParse, DamagedAndUnknownLinesAreSkippedWithOneWarningEach) {
  const std::string text =
      "\xEF\xBB\xBF# a comment\r\n"                        // 1: byte-order mark, CRLF
      "version = 1\r\n"                                    // 2
      "  fullscreen = YES   # trailing comment\n"          // 3
      "window_scale = fit\n"                               // 4
      "fullscreen_scale = sharp\n"                         // 5: bad value
      "volume = 50\n"                                      // 6: unknown key
      "music_volume 40\n"                                  // 7: no '='
      "effects_volume = 101\n"                             // 8: out of range
      "music_volume = 40\n"                                // 9
      "language = en\x01\n"                                // 10: control character
      "language = " + std::string(300, 'e') + "\n"         // 11: too long
      "language = <en>\n"                                  // 12: not a language
      "effects_volume = -5\n"                              // 13
      "\n"
      "   \t\n"
      "=\n";                                               // 16: no key
  std::vector<std::string> w;
  const TSettings s = settingsfile::Parse(text, "vexa.conf", w);
  // The full-screen scale, the effects and the language keep their defaults.
  ExpectSettings(s, ScaleMode::Fit, ScaleMode::Fit, true, "", 100, 40);
  ASSERT_EQ(w.size(), 9u);
  const char* lines[] = {":5:", ":6:", ":7:", ":8:", ":10:", ":11:", ":12:", ":13:", ":16:"};
  for (size_t i = 0; i < w.size(); ++i) {
    EXPECT_EQ(w[i].rfind(std::string("vexa.conf") + lines[i], 0), 0u) << w[i];
    for (char c : w[i]) EXPECT_TRUE(c >= 0x20 && c < 0x7f) << w[i];  // nothing raw echoed
    EXPECT_LT(w[i].size(), 120u) << w[i];
  }
  // A file from a later version: its new keys pass without a word, after one notice.
  w.clear();
  const TSettings later = settingsfile::Parse("version = 7\nshader = crt\nfullscreen = yes\n", "f", w);
  EXPECT_TRUE(later.FullScreen);
  ASSERT_EQ(w.size(), 1u);
  EXPECT_NE(w[0].find("newer"), std::string::npos);
}

TEST_F(SettingsDir, ReadingIsBoundedAndAnUnusableFileIsLeftAlone) {
  // Many bad lines: kMaxWarnings warnings and one line that counts the rest.
  std::string junk;
  for (int i = 0; i < 40; ++i) junk += "nonsense\n";
  junk += "fullscreen = yes\n";
  std::vector<std::string> w;
  EXPECT_TRUE(settingsfile::Parse(junk, "f", w).FullScreen);
  ASSERT_EQ(w.size(), static_cast<size_t>(settingsfile::kMaxWarnings) + 1);
  EXPECT_EQ(w.back(), "f: 30 more lines ignored");
  // More lines than the reader takes: the rest is not read.
  std::string many(static_cast<size_t>(settingsfile::kMaxLines), '\n');
  w.clear();
  EXPECT_FALSE(settingsfile::Parse(many + "fullscreen = yes\n", "f", w).FullScreen);
  EXPECT_EQ(w.size(), 1u);
  // A file longer than the reader takes: its beginning counts, the cut line does not.
  std::string big = "music_volume = 10\n" + std::string(settingsfile::kMaxBytes, '#') + "\n" +
                    "effects_volume = 10\n";
  Put(big);
  w.clear();
  TSettings s = settingsfile::Load(File, w);
  EXPECT_EQ(s.MusicVolume, 10);
  EXPECT_EQ(s.EffectsVolume, 100);
  ASSERT_EQ(w.size(), 1u);
  EXPECT_NE(w[0].find("longer than"), std::string::npos);
  // A folder in the file's place: the defaults, one warning, nothing written.
  std::filesystem::remove(File);
  std::filesystem::create_directories(File);
  w.clear();
  ExpectDefaults(settingsfile::Load(File, w));
  EXPECT_EQ(w.size(), 1u);
  EXPECT_TRUE(std::filesystem::is_directory(File));
  // Binary garbage is read without harm.
  std::filesystem::remove(File);
  std::string bytes;
  for (int i = 0; i < 4096; ++i) bytes += static_cast<char>((i * 131 + 7) & 0xff);
  Put(bytes);
  w.clear();
  ExpectDefaults(settingsfile::Load(File, w));
  EXPECT_FALSE(w.empty());
  EXPECT_LE(w.size(), static_cast<size_t>(settingsfile::kMaxWarnings) + 1);
}

}  // namespace
