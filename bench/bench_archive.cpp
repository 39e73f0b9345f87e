// The draw archive: CSV import of the real results and a full save/load round of the archive file.
#include <filesystem>

#include "bench.h"
#include "game/drawarchive.h"

QUINTAR_BENCH(ArchiveImportSaveLoad) {
  using namespace quintar;
  std::string csv = bench::SharedDataFile("draws-7x35-import.csv");
  if (csv.empty()) {
    report.Info("skipped: the real archive is not available");
    return;
  }
  std::string file = (std::filesystem::temp_directory_path() / "quintar-bench.ldr").string();
  double t = bench::Time([&] {
    TDrawArchive a;
    a.ImportCsv(csv);
    a.SaveToFile(file);
    TDrawArchive b;
    b.LoadFromFile(file);
  });
  std::filesystem::remove(file);
  report.Seconds("import 434 draws, save and load", t, 0.05);
}
