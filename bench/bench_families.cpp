// The families of differences, sequences, channels, matrix, segments and shredding formulas: for every
// method, TestComb over all 6,724,520 combinations on one core, then the filter that writes the kept
// combinations on one core and split over two as the session runs it (each half with its own object and
// prepared lookups). Line: TestComb time, one-core / two-core filter time and their ratio.
#include <cstdio>
#include <memory>
#include <thread>

#include "bench.h"
#include "combs/filters.h"
#include "game/drawarchive.h"
#include "stats/statlist.h"
#include "util/format.h"

namespace {

using namespace quintar;

volatile int64_t g_sink;

}  // namespace

namespace quintar::bench {

double TwoThreadsReference() {
  auto work = [] {
    int64_t s = 0;
    for (int64_t i = 0; i < 60000000; ++i) s += i ^ (s >> 3);
    g_sink = s;
  };
  const double one = bench::Time(work, 0.0, 2);
  const double two = bench::Time(
      [&] {
        std::thread t(work);
        work();
        t.join();
      },
      0.0, 2);
  return two / one;
}

}  // namespace quintar::bench

QUINTAR_BENCH(FamilyFiltersAllCombinations) {
  const TCombsArray& all = bench::AllCombs();
  TDrawArchive archive;
  const std::string csv = bench::SharedDataFile("draws-7x35-import.csv");
  if (!csv.empty())
    archive.ImportCsv(csv);
  else
    archive = MakeDemoArchive(434, 7);
  TStatList list;
  list.Draws = &archive.Draws();
  list.BuildCatalogue();
  const int L = archive.High();
  std::vector<TComb> out(all.size());

  double slowest = 0, worstRatio = 0;
  std::string slowestCode, worstRatioCode;
  for (int m = 0; m < list.Count(); ++m) {
    const int group = list.StatClass(m).GetGroup();
    if (group < 2 || (group > 6 && group != 12)) continue;
    const std::string code = list.CodeOf(m);
    auto stat = list.CreateStat(m);
    // The values of the newest draw are the selection.
    TStatDrawArray selected;
    TStatContext context;
    TLastValueArray last;
    stat->DrawValues(L, L, false, selected, context, last);
    size_t kept = 0;
    const double tests = bench::Time(
        [&] {
          stat->LoadDraws(-1, L, false);
          stat->PrepareTest(selected);
          kept = 0;
          for (const TComb& c : all) kept += stat->TestComb(c, selected, L, false, false) ? 1 : 0;
        },
        0.0, 2);
    // The filter itself, writing the kept combinations: on one core, then split over two.
    size_t written1 = 0, written2 = 0;
    const double one = bench::Time(
        [&] { written1 = FilterCombs(*stat, selected, all.data(), all.size(), out.data(), L, false, false, {}); },
        0.0, 2);
    const TStatCloner cloner = [&] { return list.CreateStat(m); };
    const double two = bench::Time(
        [&] { written2 = FilterCombs(*stat, selected, all.data(), all.size(), out.data(), L, false, false, cloner); },
        0.0, 2);
    const double ratio = two / one;
    const bool ok = tests <= 0.25 && ratio <= 0.6 && written1 == kept && written2 == kept;
    report.Line(Format("filter by %s (%d kept)", {code, static_cast<int64_t>(kept)}),
                Format("%.0f ms, %.0f/%.0f ms x%.2f", {tests * 1000, one * 1000, two * 1000, ratio}),
                "<= 250 ms, x0.60", ok);
    if (tests > slowest) slowest = tests, slowestCode = code;
    if (ratio > worstRatio) worstRatio = ratio, worstRatioCode = code;
  }
  report.Info(Format("slowest TestComb over the list: %s %.0f ms; highest two-core ratio: %s x%.2f",
                     {slowestCode, slowest * 1000, worstRatioCode, worstRatio}));
  report.Info(Format("reference: the same work on two threads at once takes x%.2f of one thread's time", {bench::TwoThreadsReference()}));
}
