// quintar-cli stats, quintar-cli prefetch: the statistics table of one method and the prefetch files.
#include <algorithm>

#include "app/cmdline.h"
#include "cli.h"
#include "util/format.h"
#include "util/safefile.h"
#include "util/strutil.h"

namespace quintar::cli {

void StartFullCatalogue(Session& s) {
  s.ReadSettings();
  s.Stats.Draws = &s.Archive.Draws();
  s.Stats.BuildCatalogue();
  s.LoadStatNames(s.FilePath(".flt"), false);
  s.Stats.FillChoosers(s.DrawsStatChooser, s.DrawsGraphChooser, false);
}

bool ChooseTableMethod(Session& s, const std::string& code) {
  const int method = s.Stats.IndexOfCode(code);
  if (method < 0) {
    PrintError(Format("Неизвестный код статистики: %s", {code}));
    return false;
  }
  const auto& methods = s.DrawsStatChooser.Methods;
  auto it = std::find(methods.begin(), methods.end(), method);
  if (it == methods.end()) {
    PrintError(Format("Статистика %s не показывается в таблице статистики", {code}));
    return false;
  }
  s.DrawsStatChooser.ItemIndex = static_cast<int>(it - methods.begin());
  return true;
}

namespace {

int SortColumnOption(const std::string& text) {
  if (auto n = TryStrToInt(Trim(text))) {
    if (*n < 0 || *n >= kDrawsStatColumns) throw UsageError("--sort: нет столбца " + text);
    return *n;
  }
  const int c = DrawsStatColumnOf(Trim(text));
  if (c < 0) throw UsageError("--sort: нет столбца " + text);
  return c;
}

}  // namespace

// stats CODE [--len=N] [--offset=K] [--sorted] [--prefetch] [--sort=COLUMN] [--desc]
bool StatsViewList(Context& c, TViewList& v) {
  if (c.args.positional.size() != 1) throw UsageError("stats: нужен код статистики");
  const int offset = IntOption(c.args, "offset", 0);
  if (offset < 0) throw UsageError("--offset: не меньше 0");
  std::optional<int> len;
  if (auto text = c.args.Get("len")) {
    len = TDrawsStat::ParseDrawsStatLen(*text);
    if (!len) throw UsageError(Format("--len: от %d до %d", {kDrawsStatLenMin, kDrawsStatLenMax}));
  }
  std::optional<int> sortColumn;
  if (auto text = c.args.Get("sort")) sortColumn = SortColumnOption(*text);

  Session& s = c.session;
  s.ViewsSuspended = true;  // nothing is computed before the table is set up
  s.ReadFormKeys();
  s.LoadArchive();
  if (c.host.errors) return false;
  StartFullCatalogue(s);
  if (!ChooseTableMethod(s, c.args.positional[0])) return false;
  if (len) s.DrawsStat.DrawsStatLen = *len;
  s.SortedView = c.args.Has("sorted");
  s.PrefetchsEnabled = c.args.Has("prefetch");
  if (sortColumn) s.DrawsStat.SetSort(*sortColumn, c.args.Has("desc"));
  else if (c.args.Has("desc")) s.DrawsStat.SetSort(s.DrawsStat.SortColumn(), true);
  s.SetDrawsOffset(offset);
  s.ViewsSuspended = false;
  s.ComputeDrawsStat(true);
  if (c.host.errors) return false;

  const auto& captions = DrawsStatCaptions();
  v.Captions.assign(captions.begin(), captions.end());
  v.RowCount = s.DrawsStat.RowCount();
  v.Cells = [&s](int r, std::vector<std::string>& cells) {
    const auto row = s.DrawsStat.Row(r).Cells();
    cells.assign(row.begin(), row.end());
  };
  return true;
}

int RunStats(Context& c) {
  TViewList v;
  if (!StatsViewList(c, v)) return kFailed;
  PrintViewList(v);
  return kOk;
}

// prefetch [--force] [--groups=LIST]
int RunPrefetch(Context& c) {
  if (!c.args.positional.empty()) throw UsageError("prefetch: лишние аргументы");
  TStatGroups groups;
  if (auto text = c.args.Get("groups")) {
    for (const auto& word : SplitAny(*text, ",;", true)) {
      auto g = TryStrToInt(Trim(word));
      if (!g || *g < 0 || *g >= static_cast<int>(groups.size())) throw UsageError("--groups: не номер группы: " + word);
      groups.set(static_cast<size_t>(*g));
    }
  }
  Session& s = c.session;
  s.ReadFormKeys();
  StartFullCatalogue(s);
  // The listed groups are built whether prefetching is on or not (the session's own rule would only drop
  // their files then); the missing files of the others as the session builds them.
  if (groups.any())
    for (int i = 0; i < s.Stats.Count(); ++i) {
      const size_t group = s.Stats.StatClass(i).GetGroup();
      if (s.Stats.IsPrefetchable(i) && group < groups.size() && groups.test(group)) s.BuildPrefetch(i);
    }
  s.BuildAllPrefetches(c.args.Has("force"), TStatGroups{});
  int present = 0, prefetchable = 0;
  for (int i = 0; i < s.Stats.Count(); ++i) {
    if (!s.Stats.IsPrefetchable(i)) continue;
    ++prefetchable;
    const std::string path = s.PrefetchFileName(i);
    if (PrefetchFileUsable(path)) {
      ++present;
      PrintLine(Format("%s\t%d", {s.Stats.CodeOf(i), FileSizeOf(path)}));
    }
  }
  PrintLine(Format("Файлов: %d из %d", {present, prefetchable}));
  return kOk;
}

}  // namespace quintar::cli
