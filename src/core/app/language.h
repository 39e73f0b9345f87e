// Interface languages and the help file. Russian (locale 1049) is built into the program; every other
// language comes from a language module beside the program file, named after it and the language's
// three-letter abbreviation: /opt/q/Quintar_7x35 -> /opt/q/Quintar_7x35_ENU.lng (an installed program:
// /usr/share/quintar-7x35/Quintar_7x35_ENU.lng). The help file is "Zembra_<abbreviation>" with an extension
// the desktop can open.
#pragma once

#include <string>
#include <vector>

namespace quintar {

inline constexpr int kBaseLanguage = 1049;
inline constexpr int kDefaultLanguage = 1033;  // the "Language" key's default

struct TLocaleInfo {
  int Lcid;
  const char* Abbrev;  // three-letter abbreviation of the language ("ENU")
  const char* Name;    // locale name ("en_US")
};

// The locales the program knows, in ascending order of identifier.
const std::vector<TLocaleInfo>& KnownLocales();
// The locale with that identifier, or nullptr.
const TLocaleInfo* FindLocale(int lcid);
// The primary language of a locale identifier (its lower 10 bits).
inline int PrimaryLanguage(int lcid) { return lcid & 0x3FF; }

// "<program file path without extension>_<abbreviation>.lng"; an installed program's modules are in the
// folder of its installed files.
std::string LanguageModulePath(const std::string& programPath, const std::string& abbrev);
// The base language and every known locale whose module exists, ascending.
std::vector<int> AvailableLanguages(const std::string& programPath);

// The language a start-up applies: the requested one when it is the base language or its module exists,
// else the base language.
struct TLanguageChoice {
  int Lcid = kBaseLanguage;
  std::string ModulePath;  // "" for the base language
};
TLanguageChoice ChooseLanguage(const std::string& programPath, int requested);

// The help file for a language: "Zembra_<abbreviation>" with each extension in turn, looked for in the
// program's folder, in its subfolder "help", in the folder "help" beside it and, for an installed program,
// in the folder "help" of its installed files. The first that exists is returned; when none does, the last
// candidate.
std::string FindHelpFile(const std::string& programPath, const std::string& abbrev,
                         const std::vector<std::string>& extensions);
// The extensions the desktop program looks for, in order of preference.
const std::vector<std::string>& HelpFileExtensions();

// Errors of the language commands.
inline constexpr const char* kLanguageModuleNotFound = "Языковый модуль \"%s\" не найден!";
inline constexpr const char* kLanguageModuleNotLoaded = "Не удалось загрузить языковый модуль \"%s\"!\r\r%s";

}  // namespace quintar
