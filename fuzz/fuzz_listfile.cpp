// Combination list files and the clipboard form.
#include "combs/combslist.h"
#include "fuzzutil.h"

using namespace quintar;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TCombsList list;
  AppendCombsText(fuzz::Bytes(data, size), list);
  for (int i = 0; i < list.Count(); ++i)
    if (!IsValidComb(list[i])) __builtin_trap();  // the reader lets only whole combinations through
  TCombsList fromFile;
  try {
    AppendCombsFile(fuzz::InputFile("list.lcv", data, size), fromFile);
  } catch (const std::exception&) {
  }
  if (fromFile.Count() != list.Count()) __builtin_trap();  // the streamed reader reads the same lines
  for (const std::string& line : SplitTextLines(fuzz::Bytes(data, size))) {
    TComb c;
    try {
      TextToComb(line, c);
    } catch (const std::exception&) {
    }
  }
  return 0;
}
