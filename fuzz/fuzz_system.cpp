// Stored number system files: lines of positions mapped onto the player's numbers.
#include "fuzzutil.h"
#include "online/storedsystems.h"

using namespace quintar;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  // The first byte chooses how many numbers the system is for (8..35).
  TByteArray numbers;
  const int n = 8 + data[0] % 28;
  for (int i = 1; i <= n; ++i) numbers.push_back(static_cast<uint8_t>(i));
  try {
    (void)SystemCombsFromText(fuzz::Bytes(data + 1, size - 1), numbers, "7-08-0_0001.dat");
  } catch (const std::exception&) {
  }
  return 0;
}
