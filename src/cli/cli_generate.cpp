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

namespace quintar::cli {

// combs list: lvCombs for the list that generate makes with the same options, or for a list file.
bool CombsViewList(Context& c, TViewList& v) {
  Session& s = c.session;
  const auto in = c.args.Get("in");
  if (in && (c.args.Has("mode") || c.args.Has("param") || c.args.Has("exclude") || c.args.Has("offset")))
    throw UsageError("combs list: --in не сочетается с --mode, --param, --exclude и --offset");
  if (in && in->empty()) throw UsageError("--in: нужно имя файла");
  s.ReserveCombsLists();
  if (in) {
    if (!s.ReadCombsFile(*in)) return false;
  } else {
    s.ReadSettings();
    const int mode = IntOption(c.args, "mode", s.Stats.CombsGen.Mode);
    if (mode < 0 || mode > 255) throw UsageError("--mode: режим от 0 до 4");
    const std::string param = c.args.Get("param").value_or(s.Stats.CombsGen.Params);
    const int exclude = IntOption(c.args, "exclude", 0);
    if (exclude < 0) throw UsageError("--exclude: количество тиражей от 0 до 2147483647");
    const int offset = IntOption(c.args, "offset", 0);
    if (offset < 0) throw UsageError("--offset: смещение от 0 до 2147483647");
    s.CombsGen(MakeGenParams(mode, param));
    if (exclude > 0) {
      s.LoadArchive();
      if (c.host.errors) return false;
      if (s.Archive.Empty()) {
        PrintError("Архив тиражей пуст.");
        return false;
      }
      s.SetDrawsOffset(offset);
      if (s.CanCombsDelExists(exclude)) s.CombsDelExists(exclude);
    }
  }
  if (c.host.errors) return false;
  v.Captions = Session::CombsListCaptions();
  v.RowCount = s.CurrentCombs.Count();
  v.Cells = [&s](int r, std::vector<std::string>& cells) { cells = s.CombsListCells(r); };
  v.Status = Format("Комбинаций: %d", {s.CurrentCombs.Count()});
  return true;
}

int RunCombs(Context& c) {
  if (c.args.positional.size() != 1 || c.args.positional[0] != "list")
    throw UsageError("combs: нужна подкоманда list");
  c.args.positional.clear();
  CheckOptions(c.args, {"mode", "param", "exclude", "offset", "in"});
  TViewList v;
  if (!CombsViewList(c, v)) return kFailed;
  PrintViewList(v);
  return c.host.errors ? kFailed : kOk;
}

}  // namespace quintar::cli
