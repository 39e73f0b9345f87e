// CSV import: any bytes, as a file of the exchange form in any of the encodings the import knows.
#include "fuzzutil.h"
#include "game/drawarchive.h"

using namespace quintar;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TDrawArchive a;
  try {
    a.ImportCsvText(CsvFileText(fuzz::Bytes(data, size)));
  } catch (const std::exception&) {
  }
  (void)a.ExportCsvText();
  return 0;
}
