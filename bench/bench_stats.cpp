// The statistic engine's bulk work: a filter's TestComb over every combination, the full enumeration
// of CombValues behind a prefetch file, and statistics tables over the real archive.
#include <cstdio>

#include "bench.h"
#include "game/drawarchive.h"
#include "stats/statlist.h"

namespace {

using namespace quintar;

// All 6,724,520 combinations in ascending order.
const TCombsArray& AllCombs() {
  static const TCombsArray all = [] {
    TCombsArray v;
    v.reserve(COMBS_TOTAL);
    TComb c{};
    for (int a = 1; a <= 29; ++a)
      for (int b = a + 1; b <= 30; ++b)
        for (int d = b + 1; d <= 31; ++d)
          for (int e = d + 1; e <= 32; ++e)
            for (int f = e + 1; f <= 33; ++f)
              for (int g = f + 1; g <= 34; ++g)
                for (int h = g + 1; h <= 35; ++h) {
                  c = {{static_cast<uint8_t>(a), static_cast<uint8_t>(b), static_cast<uint8_t>(d), static_cast<uint8_t>(e),
                        static_cast<uint8_t>(f), static_cast<uint8_t>(g), static_cast<uint8_t>(h)}};
                  v.push_back(c);
                }
    return v;
  }();
  return all;
}

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
  report.Seconds("tables of all 26 methods over 434 draws", t, 0.02);
}
