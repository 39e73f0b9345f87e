// The statistic engine's bulk work: a filter's TestComb over every combination, the full enumeration
// of CombValues behind a prefetch file, and statistics tables over the real archive.
#include <cstdio>

#include "bench.h"
#include "game/drawarchive.h"
#include "stats/statlist.h"
#include "util/format.h"

namespace {

using namespace quintar;

using bench::AllCombs;

TStatDrawArray Keys(std::initializer_list<int> parts1) {
  TStatDrawArray s;
  for (int k : parts1) {
    TStatDraw v;
    v.Key = MakeKey32(k);
    s.push_back(v);
  }
  return s;
}

}  // namespace

// A filter asks TestComb once per combination of the full list.
QUINTAR_BENCH(StatFilterAllCombinations) {
  const TCombsArray& all = AllCombs();
  TDrawsArray draws;
  TStatList list;
  list.Draws = &draws;
  list.BuildCatalogue();
  struct Case {
    const char* code;
    TStatDrawArray selected;
    double target;
  };
  const Case cases[] = {
      {"NUMS", Keys({3, 7, 11, 19, 23, 29, 31, 35}), 0.25},
      {"SUMS", Keys({100, 101, 102, 103, 104, 105, 120, 121, 122, 123, 124, 125, 126, 127}), 0.25},
      {"EVNV", Keys({1, 5, 9, 17, 33, 65, 100, 115, 127}), 0.25},
      {"S2T3", Keys({0, 1, 2}), 0.4},
  };
  for (const auto& c : cases) {
    auto stat = list.CreateStat(list.IndexOfCode(c.code));
    stat->LoadDraws(-1, -1, false);
    stat->PrepareTest(c.selected);
    size_t kept = 0;
    double t = bench::Time([&] {
      kept = 0;
      for (const TComb& comb : all) kept += stat->TestComb(comb, c.selected, -1, false, false) ? 1 : 0;
    });
    report.Seconds(std::string("filter 6724520 combinations by ") + c.code, t, c.target);
  }
}

// Building a prefetch file computes CombValues for every combination.
QUINTAR_BENCH(StatCombValuesAllCombinations) {
  const TCombsArray& all = AllCombs();
  TDrawsArray draws;
  TStatList list;
  list.Draws = &draws;
  list.BuildCatalogue();
  for (const char* code : {"NUMS", "SUMS", "PRMV"}) {
    auto stat = list.CreateStat(list.IndexOfCode(code));
    double t = bench::Time(
        [&] {
          TStatDrawArray values;
          for (const TComb& comb : all) stat->CombValues(comb, values);
        },
        0.0);
    report.Seconds(std::string("values of 6724520 combinations by ") + code, t, 2.0);
  }
}

// The statistics table of every method over the whole real archive.
QUINTAR_BENCH(StatTablesRealArchive) {
  std::string csv = bench::SharedDataFile("draws-7x35-import.csv");
  if (csv.empty()) {
    report.Info("skipped: the real archive is not available");
    return;
  }
  TDrawArchive archive;
  archive.ImportCsv(csv);
  TStatList list;
  list.Draws = &archive.Draws();
  list.BuildCatalogue();
  double t = bench::Time([&] {
    for (int m = 0; m < list.Count(); ++m) {
      auto stat = list.CreateStat(m);
      TStatDrawArray values;
      TStatContext context;
      TLastValueArray last;
      stat->ListValues(archive.High(), values);
      for (int i = 0; i <= archive.High(); ++i) stat->DrawValues(i, archive.High(), false, values, context, last);
    }
  });
  report.Seconds(Format("tables of all %d methods over 434 draws", {list.Count()}), t, 0.02);
}
