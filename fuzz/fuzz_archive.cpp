// The draw archive file: 24-byte records read as they are, then the list, lookups and the CSV form.
#include "fuzzutil.h"
#include "game/drawarchive.h"

using namespace quintar;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = fuzz::InputFile("Quintar_7x35.ldr", data, size);
  TDrawArchive a;
  try {
    a.LoadFromFile(path);
  } catch (const std::exception&) {
    return 0;
  }
  for (int r = 0; r < a.Count() && r < 64; ++r) {
    (void)a.DrawFromNewest(r);
    (void)a.IndexOfDraw(a.DrawFromNewest(r).Number);
    (void)a.NextDrawNumber(r);
    (void)a.NextDrawText(r);
    try {
      (void)a.DateAfterDraw(r, 1);
    } catch (const std::exception&) {
    }
  }
  const std::string csv = a.ExportCsvText();
  TDrawArchive b;
  try {
    b.ImportCsvText(csv);
  } catch (const std::exception&) {
  }
  return 0;
}
