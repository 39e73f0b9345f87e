// quintar-cli filter CODE --select="TEXT;TEXT" (--keep|--delete) ...: the statistics table of a method
// over the analysis window, the rows whose value texts are given selected, and the filter applied to a
// combination list.
#include <algorithm>

#include "cli.h"
#include "combs/combsgen.h"
#include "combs/filters.h"
#include "util/format.h"
#include "util/strutil.h"

namespace quintar::cli {

namespace {

// The value rows of the statistics table: every pre-listed value and every value of the window's draws.
TStatDrawArray WindowValues(Session& s, TCustomStat& stat, int len) {
  const int last = s.LastIndex();
  const int first = std::max(0, last - len + 1);
  TStatDrawArray list;
  TStatContext context;
  TLastValueArray lastValues;
  stat.ListValues(last, list);
  for (int i = first; i <= last; ++i) stat.DrawValues(i, last, s.SortedView, list, context, lastValues);
  return list;
}

}  // namespace

int RunFilter(Context& c) {
  if (c.args.positional.size() != 1) throw UsageError("filter: нужен код статистики");
  const auto select = c.args.Get("select");
  if (!select) throw UsageError("filter: нужен ключ --select=\"ЗНАЧЕНИЕ;ЗНАЧЕНИЕ\"");
  if (c.args.Has("keep") == c.args.Has("delete")) throw UsageError("filter: нужен один из ключей --keep или --delete");
  const bool deleteFlag = c.args.Has("delete");
  const int len = IntOption(c.args, "len", 1000);
  if (len < 1) throw UsageError("--len: количество тиражей от 1 до 2147483647");
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
  s.StartCatalogue();
  s.LoadArchive();
  if (c.host.errors) return kFailed;
  s.SortedView = c.args.Has("sorted");
  s.SetDrawsOffset(offset);

  const std::string code = c.args.positional[0];
  const int method = s.Stats.IndexOfCode(code);
  if (method < 0) {
    PrintError(Format("Неизвестный код статистики: %s", {code}));
    return kFailed;
  }
  // The log line names the method as the statistics view shows it, when the view offers it.
  auto& chooser = s.DrawsStatChooser;
  auto item = std::find(chooser.Methods.begin(), chooser.Methods.end(), method);
  chooser.ItemIndex = item == chooser.Methods.end() ? -1 : static_cast<int>(item - chooser.Methods.begin());

  auto stat = s.Stats.CreateStat(method);
  const TStatDrawArray table = WindowValues(s, *stat, len);
  std::string missing;
  const TStatSelection rows = SelectRowsByText(*stat, table, texts, &missing);
  if (rows.empty()) {
    PrintError(Format("Значение \"%s\" отсутствует в таблице статистики %s!", {missing, s.Stats.CodeOf(method)}));
    return kFailed;
  }

  s.ReserveCombsLists();
  if (in) {
    if (!s.CombsOpen(*in)) return kFailed;
  } else {
    s.CombsGen(MakeGenParams(kGenModeFull, ""));
  }
  if (c.host.errors) return kFailed;
  s.SaveUndo(false);
  s.ApplyStatFilter(stat.get(), deleteFlag, rows);
  PrintLine(Format("Комбинаций: %d", {s.CurrentCombs.Count()}));
  if (out && !s.WriteCombsFile(*out)) return kFailed;
  return c.host.errors ? kFailed : kOk;
}

}  // namespace quintar::cli
