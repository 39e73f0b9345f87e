#include "app/language.h"

#include <algorithm>

#include "app/cmdline.h"
#include "util/safefile.h"

namespace quintar {

const std::vector<TLocaleInfo>& KnownLocales() {
  static const std::vector<TLocaleInfo> locales = {
      {1025, "ARA", "ar_SA"}, {1026, "BGR", "bg_BG"}, {1027, "CAT", "ca_ES"}, {1028, "CHT", "zh_TW"},
      {1029, "CSY", "cs_CZ"}, {1030, "DAN", "da_DK"}, {1031, "DEU", "de_DE"}, {1032, "ELL", "el_GR"},
      {1033, "ENU", "en_US"}, {1035, "FIN", "fi_FI"}, {1036, "FRA", "fr_FR"}, {1037, "HEB", "he_IL"},
      {1038, "HUN", "hu_HU"}, {1039, "ISL", "is_IS"}, {1040, "ITA", "it_IT"}, {1041, "JPN", "ja_JP"},
      {1042, "KOR", "ko_KR"}, {1043, "NLD", "nl_NL"}, {1044, "NOR", "nb_NO"}, {1045, "PLK", "pl_PL"},
      {1046, "PTB", "pt_BR"}, {1048, "ROM", "ro_RO"}, {1049, "RUS", "ru_RU"}, {1050, "HRV", "hr_HR"},
      {1051, "SKY", "sk_SK"}, {1052, "SQI", "sq_AL"}, {1053, "SVE", "sv_SE"}, {1055, "TRK", "tr_TR"},
      {1057, "IND", "id_ID"}, {1058, "UKR", "uk_UA"}, {1059, "BEL", "be_BY"}, {1060, "SLV", "sl_SI"},
      {1061, "ETI", "et_EE"}, {1062, "LVI", "lv_LV"}, {1063, "LTH", "lt_LT"}, {1066, "VIT", "vi_VN"},
      {1067, "HYE", "hy_AM"}, {1068, "AZE", "az_AZ"}, {1069, "EUQ", "eu_ES"}, {1071, "MKI", "mk_MK"},
      {1079, "KAT", "ka_GE"}, {1087, "KKZ", "kk_KZ"}, {1091, "UZB", "uz_UZ"}, {1092, "TTT", "tt_RU"},
      {2052, "CHS", "zh_CN"}, {2057, "ENG", "en_GB"}, {2058, "ESM", "es_MX"}, {2070, "PTG", "pt_PT"},
      {3082, "ESN", "es_ES"},
  };
  return locales;
}

const TLocaleInfo* FindLocale(int lcid) {
  const auto& all = KnownLocales();
  auto it = std::lower_bound(all.begin(), all.end(), lcid, [](const TLocaleInfo& l, int id) { return l.Lcid < id; });
  return it != all.end() && it->Lcid == lcid ? &*it : nullptr;
}

std::string LanguageModulePath(const std::string& programPath, const std::string& abbrev) {
  const std::string installed = InstalledFilesFolder(programPath);
  const std::string base = ChangeFileExt(programPath, "");
  return (installed.empty() ? base : installed + ExtractFileName(base)) + "_" + abbrev + ".lng";
}

std::vector<int> AvailableLanguages(const std::string& programPath) {
  std::vector<int> ids;
  for (const auto& l : KnownLocales()) {
    if (l.Lcid == kBaseLanguage || FileExists(LanguageModulePath(programPath, l.Abbrev))) ids.push_back(l.Lcid);
  }
  return ids;
}

TLanguageChoice ChooseLanguage(const std::string& programPath, int requested) {
  TLanguageChoice c;
  if (requested == kBaseLanguage) return c;
  const TLocaleInfo* l = FindLocale(requested);
  if (!l) return c;
  std::string module = LanguageModulePath(programPath, l->Abbrev);
  if (!FileExists(module)) return c;
  c.Lcid = requested;
  c.ModulePath = module;
  return c;
}

const std::vector<std::string>& HelpFileExtensions() {
  static const std::vector<std::string> exts = {".chm", ".html"};
  return exts;
}

std::string FindHelpFile(const std::string& programPath, const std::string& abbrev,
                         const std::vector<std::string>& extensions) {
  std::string dir = ExtractFilePath(programPath);
  std::string parent = dir;
  if (parent.size() > 1) parent = ExtractFilePath(parent.substr(0, parent.size() - 1));
  const std::string installed = InstalledFilesFolder(programPath);
  std::vector<std::string> folders = {dir, dir + "help/", parent + "help/"};
  if (!installed.empty()) folders.push_back(installed + "help/");
  std::string last;
  for (const auto& folder : folders) {
    for (const auto& ext : extensions) {
      last = folder + "Zembra_" + abbrev + ext;
      if (FileExists(last)) return last;
    }
  }
  return last;
}

}  // namespace quintar
