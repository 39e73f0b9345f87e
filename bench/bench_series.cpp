// The series, periods and chains (groups 8-10), then the whole catalogue.
//  - Per method of these groups: the statistics table over 1000 draws (5 held back for the "Факт"
//    column), and the filter over all 6,724,520 combinations on one core and split over two as the
//    session runs it, the selection being the table's three most frequent values.
//  - The catalogue line: the tables of every method over 1000 draws one after another, and one filter
//    pass per method over the full list on one core, with the slowest method of each named.
#include <algorithm>
#include <cstdio>

#include "bench.h"
#include "combs/filters.h"
#include "game/drawarchive.h"
#include "stats/drawsstat.h"
#include "stats/statlist.h"
#include "util/format.h"

namespace {

using namespace quintar;

struct Bench {
  TDrawArchive archive = MakeDemoArchive(1005, 11);
  TStatList list;
  TDrawsStatWindow window = DrawsStatWindow(1005, 5, 1000);
  Bench() {
    list.Draws = &archive.Draws();
    list.BuildCatalogue();
  }
  void Table(TCustomStat& stat, TDrawsStat& table) const {
    TDrawsStatInput in;
    in.Stat = &stat;
    in.Archive = &archive;
    in.Window = window;
    table.Compute(in);
  }
  // The three values of the table counted most often (fewer when it has fewer).
  TStatDrawArray Selection(int method) const {
    auto stat = list.CreateStat(method);
    TDrawsStat table;
    Table(*stat, table);
    TStatDrawArray rows;
    for (int r = 0; r < table.RowCount(); ++r) rows.push_back(table.Row(r).Rec);
    std::stable_sort(rows.begin(), rows.end(), [](const TStatDraw& a, const TStatDraw& b) { return a.Count > b.Count; });
    if (rows.size() > 3) rows.resize(3);
    return rows;
  }
};

}  // namespace

QUINTAR_BENCH(SeriesPeriodsChains) {
  Bench b;
  const TCombsArray& all = bench::AllCombs();
  std::vector<TComb> out(all.size());
  const int L = b.window.Last;
  double slowestTable = 0, slowestFilter = 0, worstRatio = 0;
  std::string slowestTableCode, slowestFilterCode, worstRatioCode;
  for (int m = 0; m < b.list.Count(); ++m) {
    const int group = b.list.StatClass(m).GetGroup();
    if (group < 8 || group > 10) continue;
    const std::string code = b.list.CodeOf(m);
    auto stat = b.list.CreateStat(m);
    TDrawsStat table;
    const double t = bench::Time([&] { b.Table(*stat, table); }, 0.02, 2);
    report.Line("table over 1000 draws " + code, Format("%.4f s", {t}), "<= 0.020 s", t <= 0.020);
    if (t > slowestTable) slowestTable = t, slowestTableCode = code;

    const TStatDrawArray selected = b.Selection(m);
    size_t written1 = 0, written2 = 0;
    const double one = bench::Time(
        [&] { written1 = FilterCombs(*stat, selected, all.data(), all.size(), out.data(), L, false, false, {}); }, 0.0, 2);
    const TStatCloner cloner = [&] { return b.list.CreateStat(m); };
    const double two = bench::Time(
        [&] { written2 = FilterCombs(*stat, selected, all.data(), all.size(), out.data(), L, false, false, cloner); }, 0.0, 2);
    const double ratio = two / one;
    report.Line(Format("filter by %s (%d kept)", {code, static_cast<int64_t>(written1)}),
                Format("%.0f/%.0f ms x%.2f", {one * 1000, two * 1000, ratio}), "<= 400 ms, x0.60",
                one <= 0.4 && ratio <= 0.6 && written1 == written2);
    if (one > slowestFilter) slowestFilter = one, slowestFilterCode = code;
    if (ratio > worstRatio) worstRatio = ratio, worstRatioCode = code;
  }
  report.Info(Format("series, periods and chains: slowest table %s %.4f s, slowest filter %s %.0f ms, highest two-core ratio %s x%.2f",
                     {slowestTableCode, slowestTable, slowestFilterCode, slowestFilter * 1000, worstRatioCode, worstRatio}));
  report.Info(Format("reference: the same work on two threads at once takes x%.2f of one thread's time", {bench::TwoThreadsReference()}));
}

QUINTAR_BENCH(WholeCatalogue) {
  Bench b;
  const TCombsArray& all = bench::AllCombs();
  std::vector<TComb> out(all.size());
  const int L = b.window.Last;
  double tables = 0, filters = 0, slowestTable = 0, slowestFilter = 0;
  std::string slowestTableCode, slowestFilterCode;
  for (int m = 0; m < b.list.Count(); ++m) {
    const std::string code = b.list.CodeOf(m);
    auto stat = b.list.CreateStat(m);
    TDrawsStat table;
    const double t0 = bench::NowSeconds();
    b.Table(*stat, table);
    const double t = bench::NowSeconds() - t0;
    tables += t;
    if (t > slowestTable) slowestTable = t, slowestTableCode = code;
    const TStatDrawArray selected = b.Selection(m);
    const double f0 = bench::NowSeconds();
    FilterCombs(*stat, selected, all.data(), all.size(), out.data(), L, false, false, {});
    const double f = bench::NowSeconds() - f0;
    filters += f;
    if (f > slowestFilter) slowestFilter = f, slowestFilterCode = code;
  }
  report.Line(Format("catalogue: tables of all %d methods over 1000 draws (slowest %s %.4f s)",
                     {b.list.Count(), slowestTableCode, slowestTable}),
              Format("%.3f s", {tables}), "every table <= 0.020 s", slowestTable <= 0.020);
  report.Line(Format("catalogue: one filter pass per method over the full list, one core (slowest %s %.0f ms)",
                     {slowestFilterCode, slowestFilter * 1000}),
              Format("%.2f s", {filters}), "every pass <= 400 ms", slowestFilter <= 0.4);
}
