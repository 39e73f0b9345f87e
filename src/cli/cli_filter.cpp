// quintar-cli filter CODE --select="TEXT;TEXT" (--keep|--delete) ...: the statistics table of a method
// over the analysis window (as quintar-cli stats shows it), the rows whose value texts are given
// selected, and the keep or delete command applied to a combination list.
#include <algorithm>

#include "cli.h"
#include "combs/combsgen.h"
#include "combs/filters.h"
#include "util/format.h"
#include "util/strutil.h"

namespace quintar::cli {

namespace {

// Row of the table whose value text is text, -1 when none.
int RowOfText(const TDrawsStat& table, const std::string& text) {
  for (int r = 0; r < table.RowCount(); ++r)
    if (table.Row(r).ValueText() == text) return r;
  return -1;
}

}  // namespace

int RunFilter(Context& c) {
  if (c.args.positional.size() != 1) throw UsageError("filter: нужен код статистики");
  const auto select = c.args.Get("select");
  if (!select) throw UsageError("filter: нужен ключ --select=\"ЗНАЧЕНИЕ;ЗНАЧЕНИЕ\"");
  if (c.args.Has("keep") == c.args.Has("delete")) throw UsageError("filter: нужен один из ключей --keep или --delete");
  const bool deleteFlag = c.args.Has("delete");
  int len = kDrawsStatLenDefault;
  if (auto text = c.args.Get("len")) {
    auto v = TDrawsStat::ParseDrawsStatLen(*text);
    if (!v) throw UsageError(Format("--len: от %d до %d", {kDrawsStatLenMin, kDrawsStatLenMax}));
    len = *v;
  }
  const int offset = IntOption(c.args, "offset", 0);
  if (offset < 0) throw UsageError("--offset: смещение от 0 до 2147483647");
  const auto in = c.args.Get("in");
  const auto out = c.args.Get("out");
  if ((in && in->empty()) || (out && out->empty())) throw UsageError("--in, --out: нужно имя файла");
  std::vector<std::string> texts;
  for (const auto& word : SplitAny(*select, ";", false)) {
    std::string t = Trim(word);
    if (!t.empty()) texts.push_back(t);
  }
  if (texts.empty()) throw UsageError("--select: не заданы значения");

  Session& s = c.session;
  s.ViewsSuspended = true;  // nothing is computed before the table is set up
  s.ReadFormKeys();
  s.LoadArchive();
  if (c.host.errors) return kFailed;
  StartFullCatalogue(s);
  if (!ChooseTableMethod(s, c.args.positional[0])) return kFailed;
  s.DrawsStat.DrawsStatLen = len;
  s.SortedView = c.args.Has("sorted");
  s.PrefetchsEnabled = false;
  s.SetDrawsOffset(offset);
  s.ViewsSuspended = false;
  s.ComputeDrawsStat(true);
  if (c.host.errors) return kFailed;

  // Selecting the rows whose "Значение" texts are given selects those values.
  s.DrawsStat.ClearSelection();
  for (const auto& text : texts) {
    const int r = RowOfText(s.DrawsStat, text);
    if (r < 0) {
      PrintError(Format("Значение \"%s\" отсутствует в таблице статистики %s!", {text, s.Stats.CodeOf(s.DrawsStatChooser.SelectedMethod())}));
      return kFailed;
    }
    s.DrawsStat.SetSelected(r, true);
  }

  s.ReserveCombsLists();
  if (in) {
    if (!s.CombsOpen(*in)) return kFailed;
  } else {
    s.CombsGen(MakeGenParams(kGenModeFull, ""));
  }
  if (c.host.errors) return kFailed;
  if (deleteFlag)
    s.StatFilter_Exclude();
  else
    s.StatFilter_Include();
  PrintLine(Format("Комбинаций: %d", {s.CurrentCombs.Count()}));
  if (out && !s.WriteCombsFile(*out)) return kFailed;
  return c.host.errors ? kFailed : kOk;
}

}  // namespace quintar::cli
