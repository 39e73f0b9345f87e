// quintar-cli archive ...: the archive as a whole; its randomness against independent uniform draws.
#include "analysis/significance.h"
#include "cli.h"
#include "util/safefile.h"
#include "util/strutil.h"

namespace quintar::cli {

namespace {

// The window of --len draws (default the whole archive) ending --offset draws before the newest.
int Randomness(Context& c) {
  if (!c.args.positional.empty()) throw UsageError("archive randomness: лишние аргументы");
  const int len = IntOption(c.args, "len", 0);
  if (len < 0) throw UsageError("--len: количество тиражей от 1");
  const int offset = IntOption(c.args, "offset", 0);
  if (offset < 0) throw UsageError("--offset: смещение от 0 до 2147483647");
  Session& s = c.session;
  s.LoadArchive();
  if (c.host.errors) return kFailed;
  if (s.Archive.Empty()) {
    PrintError("Архив тиражей пуст.");
    return kFailed;
  }
  if (offset >= s.Archive.Count()) throw UsageError("--offset: смещение за пределами архива");
  const TRandomnessReport report = ArchiveRandomness(s.Archive.Draws(), s.Archive.High() - offset, len);
  for (const std::string& line : RandomnessLines(report)) PrintLine(line);
  if (auto html = c.args.Get("html")) {
    try {
      WriteFileAtomic(*html, RandomnessHtml(report));
    } catch (const std::exception& e) {
      PrintError(e.what());
      return kFailed;
    }
  }
  return kOk;
}

}  // namespace

int RunArchive(Context& c) {
  if (c.args.positional.empty()) throw UsageError("archive: нужна подкоманда");
  std::string sub = c.args.positional.front();
  c.args.positional.erase(c.args.positional.begin());
  if (sub == "randomness") return Randomness(c);
  throw UsageError("archive: неизвестная подкоманда " + sub);
}

}  // namespace quintar::cli
