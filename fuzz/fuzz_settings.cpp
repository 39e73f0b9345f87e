// The settings files: INI text, the catalogue settings with the catalogue they build, favourites and names.
#include "fuzzutil.h"
#include "stats/statlist.h"
#include "util/cp1251.h"
#include "util/inifile.h"

using namespace quintar;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  IniFile ini;
  ini.SetText(Cp1251ToUtf8(fuzz::Bytes(data, size)));
  (void)ini.ToText();
  for (const std::string& section : ini.ReadSections())
    for (const std::string& key : ini.ReadSection(section)) (void)ini.ReadInteger(section, key, 0);
  const std::string path = fuzz::InputFile("Quintar_7x35.ini", data, size);
  try {
    TStatList stats;
    stats.ReadSettings(path);
    stats.BuildCatalogue();
    stats.LoadStatNames(path, true);
    for (int i = 0; i < stats.Count(); ++i) (void)stats.StatMethodText(i, true);
  } catch (const std::exception&) {
  }
  return 0;
}
