// quintar-cli generate ...: a new combination list, optionally without the last draws, optionally saved.
#include "cli.h"
#include "combs/combsgen.h"
#include "util/format.h"

namespace quintar::cli {

namespace {

void PrintCount(const Session& s) { PrintLine(Format("Комбинаций: %d", {s.CurrentCombs.Count()})); }

}  // namespace

int RunGenerate(Context& c) {
  if (!c.args.positional.empty()) throw UsageError("generate: лишние аргументы");
  Session& s = c.session;
  s.ReadSettings();  // the generator's defaults live with the catalogue settings
  const int mode = IntOption(c.args, "mode", s.Stats.CombsGen.Mode);
  if (mode < 0 || mode > 255) throw UsageError("--mode: режим от 0 до 4");
  const std::string param = c.args.Get("param").value_or(s.Stats.CombsGen.Params);
  const int exclude = IntOption(c.args, "exclude", 0);
  if (exclude < 0) throw UsageError("--exclude: количество тиражей от 0 до 2147483647");
  const int offset = IntOption(c.args, "offset", 0);
  if (offset < 0) throw UsageError("--offset: смещение от 0 до 2147483647");
  const auto out = c.args.Get("out");
  if (out && out->empty()) throw UsageError("--out: нужно имя файла");

  s.ReserveCombsLists();
  s.CombsGen(MakeGenParams(mode, param));
  PrintCount(s);

  if (exclude > 0) {
    s.LoadArchive();
    if (c.host.errors) return kFailed;
    if (s.Archive.Empty()) {
      PrintError("Архив тиражей пуст.");
      return kFailed;
    }
    s.SetDrawsOffset(offset);
    if (s.CanCombsDelExists(exclude)) s.CombsDelExists(exclude);
    PrintCount(s);
  }

  if (out && !s.WriteCombsFile(*out)) return kFailed;
  return c.host.errors ? kFailed : kOk;
}

}  // namespace quintar::cli
