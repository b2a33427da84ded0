#include "platform/i18n.h"

#include <libintl.h>
#include <unistd.h>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#ifndef VEXA_LOCALEDIR
#define VEXA_LOCALEDIR "/usr/local/share/locale"
#endif

namespace platform {
namespace {

constexpr const char* kDomain = "vexa";

// The C and POSIX locales (and no locale at all) show the game's own texts.
bool IsOriginalLocale(const char* name) {
  return name == nullptr || name[0] == '\0' || std::strcmp(name, "C") == 0 ||
         std::strcmp(name, "POSIX") == 0;
}

// The messages locale the environment asks for, in the order the C library reads it.
const char* RequestedMessagesLocale() {
  for (const char* var : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(var);
    if (value && value[0]) return value;
  }
  return nullptr;
}

std::string ExecutableDir() {
  char path[4096];
  const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return {};
  path[n] = '\0';
  std::string dir(path);
  const size_t slash = dir.rfind('/');
  return slash == std::string::npos ? std::string() : dir.substr(0, slash);
}

// The build tree keeps its compiled catalogues in locale/ beside the programs; an install
// puts them in share/locale beside bin/, wherever the prefix was moved to.
std::string CatalogueDir() {
  const std::string exeDir = ExecutableDir();
  if (!exeDir.empty()) {
    for (const char* rel : {"/locale", "/../share/locale"}) {
      std::error_code ec;
      const std::string dir = exeDir + rel;
      if (std::filesystem::is_directory(dir, ec)) return dir;
    }
  }
  return VEXA_LOCALEDIR;
}

// gettext ignores LANGUAGE while the messages locale is C; C.UTF-8 (always present in the C
// library) stands in when the locale asked for is C or is not installed here.
void UseLanguageList(const char* languages) {
  setenv("LANGUAGE", languages, 1);
  const char* chosen = std::setlocale(LC_MESSAGES, "");
  if (IsOriginalLocale(chosen)) std::setlocale(LC_MESSAGES, "C.UTF-8");
}

void ChooseLanguage(const std::string& languageOverride) {
  if (!languageOverride.empty()) {
    if (IsOriginalLocale(languageOverride.c_str()))
      std::setlocale(LC_MESSAGES, "C");
    else
      UseLanguageList(languageOverride.c_str());
    return;
  }
  if (std::setlocale(LC_MESSAGES, "")) return;  // gettext follows it, and LANGUAGE
  // The locale asked for is not installed: its language still decides.
  const char* requested = RequestedMessagesLocale();
  if (IsOriginalLocale(requested)) {
    std::setlocale(LC_MESSAGES, "C");
    return;
  }
  const char* languages = std::getenv("LANGUAGE");
  UseLanguageList(languages && languages[0] ? languages : requested);
}

}  // namespace

void InitTranslations(const std::string& languageOverride) {
  bindtextdomain(kDomain, CatalogueDir().c_str());
  // The game's texts are UTF-8 whatever the locale's character set.
  bind_textdomain_codeset(kDomain, "UTF-8");
  ChooseLanguage(languageOverride);
  // Setting the default domain again is gettext's signal that LANGUAGE may have changed:
  // translations looked up before are not taken from its cache.
  const char* domain = textdomain(nullptr);
  if (domain) textdomain(std::string(domain).c_str());
}

const char* Translate(const char* text) {
  // An empty id would answer the catalogue's header.
  if (!text || !text[0]) return text;
  return dgettext(kDomain, text);
}

const char* TranslateCount(const char* text, uint32_t n) {
  if (!text || !text[0]) return text;
  return dngettext(kDomain, text, text, n);
}

}  // namespace platform
