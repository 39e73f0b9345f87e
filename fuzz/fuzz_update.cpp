// The update descriptor: the record read from it, and the rules every name and address of it meets.
#include "app/selfupdate.h"
#include "fuzzutil.h"

using namespace quintar;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const TUpdateRecord r = ReadUpdateRecord(fuzz::Bytes(data, size), "Quintar_7x35", "1.0.0.1");
  (void)BuildNumber(r.VerId);
  (void)UpdateAddressRefusal(r.DownloadUrl);
  (void)IsWebAddress(r.DownloadUrl);
  (void)UpdateDescriptorAddress(r.DownloadUrl);
  for (const auto* list : {&r.GlobalDeleteBefore, &r.GlobalDeleteAfter, &r.GlobalExecBefore, &r.GlobalExecAfter,
                           &r.DeleteBefore, &r.DeleteAfter, &r.ExecBefore, &r.ExecAfter})
    for (const std::string& entry : *list) (void)IsProgramDataFile(entry);
  return 0;
}
