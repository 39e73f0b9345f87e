// Inputs from other players or other programs load in linear time: a script line with 80,000 option
// fields, a settings file with 20,000 keys (read at every start), an import of 300,000 draws.
#include <filesystem>

#include "bench.h"
#include "game/drawarchive.h"
#include "scripts/scriptline.h"
#include "stats/statlist.h"
#include "util/safefile.h"

QUINTAR_BENCH(HostileInputsLoadInLinearTime) {
  using namespace quintar;
  std::string line = "FULL:0#FIRST";
  for (int i = 0; i < 80000; ++i) line += i % 2 ? "#CLR" : "#NEX";
  line += "| | | | | | | |";
  double t = bench::Time([&] { (void)TextToScriptOptions(ScriptLineField(line, kOptionsField)); });
  report.Seconds("script line with 80,000 option fields", t, 1.0);

  const std::string ini = (std::filesystem::temp_directory_path() / "quintar-bench-keys.ini").string();
  std::string text = "[GLOBAL]\r\n";
  for (int i = 0; i < 20000; ++i) text += "Key" + std::to_string(i) + "=" + std::to_string(i) + "\r\n";
  text += "[SHREDDING]\r\n";
  for (int i = 0; i < 20000; ++i) text += "F" + std::to_string(i) + "=N1+N2\r\n";
  WriteFileAtomic(ini, text);
  t = bench::Time([&] {
    TStatList stats;
    stats.ReadSettings(ini);
    stats.LoadStatNames(ini, true);
  });
  std::filesystem::remove(ini);
  report.Seconds("settings file with 40,000 keys", t, 1.0);

  std::string csv;
  for (int i = 1; i <= 300000; ++i)
    csv += std::to_string(i) + ";\"5 Jan 2017\";" + std::to_string(1 + i % 29) + ";30;31;32;33;34;35;1\r\n";
  t = bench::Time([&] {
    TDrawArchive a;
    a.ImportCsvText(csv);
  });
  report.Seconds("import of 300,000 draws", t, 2.0);
}
