// The language of the player's texts: the C locale keeps the game's own texts, an English
// locale (or the language setting) reads the English catalogue of the build tree.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "platform/i18n.h"
#include "play/faceactor.h"
#include "play/gamemain.h"
#include "screens/ending.h"

namespace {

// Puts back the locale variables and the C locale's texts when it goes.
class LocaleScope {
 public:
  LocaleScope() {
    for (int i = 0; i < kCount; ++i) {
      const char* v = std::getenv(kNames[i]);
      if (v) Saved[i] = v;
    }
  }
  ~LocaleScope() {
    for (int i = 0; i < kCount; ++i) {
      if (Saved[i])
        setenv(kNames[i], Saved[i]->c_str(), 1);
      else
        unsetenv(kNames[i]);
    }
    platform::InitTranslations("C");
  }
  static void Set(const char* language, const char* lcAll, const char* lang) {
    const char* values[kCount] = {language, lcAll, nullptr, lang};
    for (int i = 0; i < kCount; ++i) {
      if (values[i])
        setenv(kNames[i], values[i], 1);
      else
        unsetenv(kNames[i]);
    }
  }

 private:
  static constexpr int kCount = 4;
  static constexpr const char* kNames[kCount] = {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"};
  std::optional<std::string> Saved[kCount];
};

std::string Shown(const std::string& balloon) {
  TFaceActor face(nullptr, 376, 20, nullptr, 0);
  face.BalloonText = balloon;
  return face.ShownBalloonText();
}

bool IsAscii(const char* s) {
  for (; *s; ++s)
    if (static_cast<unsigned char>(*s) >= 0x80) return false;
  return true;
}

void ExpectOwnTexts(const char* how) {
  SCOPED_TRACE(how);
  EXPECT_EQ(Shown("2連鎖！"), "2連鎖！");
  EXPECT_EQ(Shown(std::string("12") + kChainText), "12連鎖！");
  EXPECT_EQ(Shown(kLevelUpText), "レベルアップ！");
  for (const char* line : TEndingMode::CreditLines) {
    if (!line) continue;
    EXPECT_EQ(platform::Translate(line), line);
  }
}

void ExpectEnglish(const char* how) {
  SCOPED_TRACE(how);
  EXPECT_EQ(Shown("2連鎖！"), "2 CHAIN!");
  EXPECT_EQ(Shown("12連鎖！"), "12 CHAIN!");
  EXPECT_EQ(Shown(kLevelUpText), "LEVEL UP!");
  EXPECT_STREQ(platform::Translate("おしまい"), "THE END");
  // Every credit line has its English line, in plain letters.
  for (const char* line : TEndingMode::CreditLines) {
    if (!line) continue;
    const char* english = platform::Translate(line);
    EXPECT_STRNE(english, line);
    EXPECT_TRUE(english[0] && IsAscii(english)) << line << " -> " << english;
  }
}

TEST(Translations, TheCLocaleKeepsTheGamesTextsAndEnglishReadsTheCatalogue) {
  LocaleScope scope;
  // The replay runner and the tests force C whatever the environment says.
  LocaleScope::Set("en", nullptr, "en_US.UTF-8");
  platform::InitTranslations("C");
  ExpectOwnTexts("forced C");
  // LANGUAGE alone does not translate the C locale, as in every gettext program.
  LocaleScope::Set("en", nullptr, "C");
  platform::InitTranslations("");
  ExpectOwnTexts("LANG=C LANGUAGE=en");
  // An English locale, even one that is not installed on this machine.
  LocaleScope::Set(nullptr, nullptr, "en_GB.UTF-8");
  platform::InitTranslations("");
  ExpectEnglish("LANG=en_GB.UTF-8");
  LocaleScope::Set(nullptr, "en_US.UTF-8", "ja_JP.UTF-8");
  platform::InitTranslations("");
  ExpectEnglish("LC_ALL=en_US.UTF-8 LANG=ja_JP.UTF-8");
  // The language setting overrides the locale; Japanese has no catalogue: the own texts.
  LocaleScope::Set(nullptr, nullptr, "C");
  platform::InitTranslations("en");
  ExpectEnglish("setting en");
  LocaleScope::Set(nullptr, nullptr, "en_US.UTF-8");
  platform::InitTranslations("ja");
  ExpectOwnTexts("setting ja");
  platform::InitTranslations("POSIX");
  ExpectOwnTexts("setting POSIX");
}

}  // namespace
