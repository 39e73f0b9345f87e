// Prefetch files: 12-byte value records and their trailer.
#include "fuzzutil.h"
#include "stats/prefetch.h"

using namespace quintar;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    (void)ReadPrefetchFile(fuzz::InputFile("Quintar_7x35_NUMS.dfc", data, size));
  } catch (const std::exception&) {
  }
  return 0;
}
