// quintar-cli generate ...: a new combination list, optionally without the last draws, optionally saved.
#include "cli.h"
#include "combs/combsgen.h"
#include "util/format.h"

namespace quintar::cli {

namespace {

void PrintCount(const Session& s) { PrintLine(Format("Комбинаций: %d", {s.CurrentCombs.Count()})); }

// The options of generate and combs list: the generator's defaults live with the catalogue settings.
struct TGenOptions {
  int mode = 0;
  std::string param;
  int exclude = 0;
  int offset = 0;
};

TGenOptions ReadGenOptions(Context& c) {
  Session& s = c.session;
  s.ReadSettings();
  TGenOptions o;
  o.mode = IntOption(c.args, "mode", s.Stats.CombsGen.Mode);
  if (o.mode < 0 || o.mode > 255) throw UsageError("--mode: режим от 0 до 4");
  o.param = c.args.Get("param").value_or(s.Stats.CombsGen.Params);
  o.exclude = IntOption(c.args, "exclude", 0);
  if (o.exclude < 0) throw UsageError("--exclude: количество тиражей от 0 до 2147483647");
  o.offset = IntOption(c.args, "offset", 0);
  if (o.offset < 0) throw UsageError("--offset: смещение от 0 до 2147483647");
  return o;
}

// Deletes the combinations of the last o.exclude draws before the offset; false after a message.
bool DropLastDraws(Context& c, const TGenOptions& o) {
  Session& s = c.session;
  s.LoadArchive();
  if (c.host.errors) return false;
  if (s.Archive.Empty()) {
    PrintError("Архив тиражей пуст.");
    return false;
  }
  s.SetDrawsOffset(o.offset);
  if (s.CanCombsDelExists(o.exclude)) s.CombsDelExists(o.exclude);
  return true;
}

}  // namespace

int RunGenerate(Context& c) {
  if (!c.args.positional.empty()) throw UsageError("generate: лишние аргументы");
  Session& s = c.session;
  const TGenOptions o = ReadGenOptions(c);
  const auto out = c.args.Get("out");
  if (out && out->empty()) throw UsageError("--out: нужно имя файла");

  s.ReserveCombsLists();
  s.CombsGen(MakeGenParams(o.mode, o.param));
  PrintCount(s);

  if (o.exclude > 0) {
    if (!DropLastDraws(c, o)) return kFailed;
    PrintCount(s);
  }

  if (out && !s.WriteCombsFile(*out)) return kFailed;
  return c.host.errors ? kFailed : kOk;
}

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
    const TGenOptions o = ReadGenOptions(c);
    s.CombsGen(MakeGenParams(o.mode, o.param));
    if (o.exclude > 0 && !DropLastDraws(c, o)) return false;
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
