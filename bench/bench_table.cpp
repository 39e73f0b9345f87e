// The statistics table and its prefetch files: building the files of the whole catalogue on two cores
// (each method against a plain loop over all combinations), then the table of every catalogue method
// over 1000 draws with its norms (against a plain loop counting the same draws' numbers).
#include <cstdio>
#include <cstdlib>
#include <map>

#include "app/session.h"
#include "bench.h"
#include "util/format.h"
#include "util/safefile.h"

namespace {

using namespace quintar;

volatile int64_t g_sink;

// Remembers when each prefetch file's build started.
struct TimingHost : IHost {
  void ShowStatus(const std::string& text) override {
    if (text.rfind("Создание файла предварительной выборки ", 0) == 0) starts.push_back({text, bench::NowSeconds()});
    if (text.empty() || text == kPrefetchAllStatus) ends.push_back(bench::NowSeconds());
  }
  void ShowMessage(MsgKind, const std::string& text) override { std::printf("  message: %s\n", text.c_str()); }
  bool Ask(AskKind, const std::string&) override { return true; }
  std::vector<std::pair<std::string, double>> starts;
  std::vector<double> ends;
};

// The reference: every combination's sum counted into a histogram by a plain nested loop.
double PlainFullSetLoop() {
  return bench::Time(
      [] {
        int64_t hist[225] = {};
        for (int a = 1; a <= 29; ++a)
          for (int b = a + 1; b <= 30; ++b)
            for (int c = b + 1; c <= 31; ++c)
              for (int d = c + 1; d <= 32; ++d)
                for (int e = d + 1; e <= 33; ++e)
                  for (int f = e + 1; f <= 34; ++f)
                    for (int g = f + 1; g <= 35; ++g) ++hist[a + b + c + d + e + f + g];
        g_sink = hist[126];
      },
      0.2, 2);
}

void Temp(std::string& dir) {
  char pattern[] = "/tmp/quintar-bench-table-XXXXXX";
  dir = mkdtemp(pattern);
  dir += "/";
}

void RemoveTree(const std::string& dir) {
  std::string cmd = "rm -rf '" + dir + "'";
  if (std::system(cmd.c_str()) != 0) std::printf("  could not remove %s\n", dir.c_str());
}

std::string WithRatio(double seconds, double ref) {
  char v[96];
  std::snprintf(v, sizeof v, "%.4f s x%.0f", seconds, ref > 0 ? seconds / ref : 0.0);
  return v;
}

}  // namespace

QUINTAR_BENCH(DrawsStatPrefetchAndTables) {
  std::string dir;
  Temp(dir);
  TimingHost host;
  Session s(dir, host);
  s.StartCatalogue();
  // 1005 draws: a window of 1000 draws with 5 held back for the "Факт" column.
  s.Archive = MakeDemoArchive(1005, 7);
  s.PrefetchsEnabled = true;
  s.PrefetchThreads = 2;

  const double ref = PlainFullSetLoop();
  report.Info(Format("reference: plain loop over all combinations %.4f s", {ref}));
  TStatGroups all;
  all.set();
  const double t0 = bench::NowSeconds();
  s.BuildAllPrefetches(true, all);
  const double whole = bench::NowSeconds() - t0;
  for (size_t i = 0; i < host.starts.size(); ++i) {
    // Each build ends at the next status after its start.
    double end = whole + t0;
    for (double e : host.ends)
      if (e > host.starts[i].second) {
        end = e;
        break;
      }
    std::string name = host.starts[i].first.substr(std::string("Создание файла предварительной выборки ").size());
    report.Info(Format("prefetch %-28s %s", {name, WithRatio(end - host.starts[i].second, ref)}));
  }
  report.Seconds(Format("prefetch files of the catalogue (%d files)", {static_cast<int>(host.starts.size())}), whole, 30.0);

  // The table of every method over 1000 draws, norms read from the files.
  s.DrawsStat.DrawsStatLen = 1000;
  s.SetDrawsOffset(5);
  const TDrawsStatWindow w = DrawsStatWindow(s.Archive.Count(), 5, 1000);
  const double tableRef = bench::Time([&] {
    int counts[36] = {};
    for (int i = w.First; i <= w.Last; ++i)
      for (int k = 0; k < NUMS_IN_DRAW; ++k) ++counts[s.Archive[i].Nums[k] % 36];
    g_sink = counts[7];
  });
  report.Info(Format("reference: plain count of the window's numbers %.7f s", {tableRef}));
  double worst = 0;
  std::string worstCode;
  for (int item = 0; item < s.DrawsStatChooser.Count(); ++item) {
    s.DrawsStatChooser.ItemIndex = item;
    const double t = bench::Time([&] { s.ComputeDrawsStat(true); }, 0.05, 2);
    const std::string code = s.Stats.CodeOf(s.DrawsStatChooser.Methods[static_cast<size_t>(item)]);
    report.Line("table over 1000 draws " + code, WithRatio(t, tableRef), "<= 0.020 s", t <= 0.020);
    if (t > worst) {
      worst = t;
      worstCode = code;
    }
  }
  report.Info(Format("slowest table: %s %.4f s", {worstCode, worst}));
  RemoveTree(dir);
}
