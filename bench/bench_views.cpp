// The analysis views on the real archive and on a 2,000-draw synthetic one: the graphs of every graph
// statistic over 1000 draws (the slowest counts), the card, the layout scheme with its five comparison
// lists, the repeats analysis with depth 100, the details window's property list, and the sum
// distribution with its enumeration of all combinations.
#include <cstdio>
#include <cstdlib>

#include "analysis/details.h"
#include "app/session.h"
#include "bench.h"
#include "game/drawarchive.h"
#include "util/format.h"

namespace {

using namespace quintar;

volatile int64_t g_sink;

struct QuietHost : IHost {
  void ShowStatus(const std::string&) override {}
  void ShowMessage(MsgKind, const std::string& text) override { std::printf("  message: %s\n", text.c_str()); }
  bool Ask(AskKind, const std::string&) override { return true; }
};

void ViewsOn(bench::Report& report, const std::string& label, const TDrawArchive& archive) {
  char pattern[] = "/tmp/quintar-bench-views-XXXXXX";
  const std::string dir = std::string(mkdtemp(pattern)) + "/";
  QuietHost host;
  {
    Session s(dir, host);
    s.StartCatalogue();
    s.Archive = archive;
    s.Views.LayoutLen = 1000;
    s.Views.LayoutCompareLen = {50, 100, 200, 500, 1000};

    // Graphs: every graph statistic of the catalogue over 1000 draws; the slowest is the figure.
    double slowest = 0;
    std::string slowestCode;
    for (int m = 0; m < s.Stats.Count(); ++m) {
      if (!s.Stats.IsGraph(m) || !s.Stats.StatClass(m).IsBuilt()) continue;
      const double t = bench::Time([&] { g_sink = s.Views.ComputeGraphsOf(m, 1000).Mode; }, 0.0, 2);
      if (t > slowest) {
        slowest = t;
        slowestCode = s.Stats.CodeOf(m);
      }
    }
    report.Seconds(label + ": graphs over 1000 draws, slowest statistic " + slowestCode, slowest, 0.020);

    report.Seconds(label + ": card", bench::Time([&] { s.Views.RefreshCard(true); }, 0.1, 3), 0.020);
    report.Seconds(label + ": layout scheme (1000 draws) and five comparison lists",
                   bench::Time(
                       [&] {
                         s.Views.RefreshLayout(true);
                         s.Views.RefreshLayoutCompare(true);
                       },
                       0.1, 3),
                   0.020);
    report.Seconds(label + ": repeats of the whole archive, depth 100",
                   bench::Time([&] { g_sink = static_cast<int64_t>(s.Views.AnalyzeRepeats(1 << 30, 100)->Rows.size()); },
                               0.1, 3),
                   0.020);
    const TDetailsInput in = s.Views.DrawDetailsInput(s.Archive.High());
    size_t props = 0;
    report.Seconds(label + ": details property list",
                   bench::Time([&] { props = s.Views.ShowDetails(in)->Props.size(); }, 0.1, 3), 0.020);
    report.Info(Format("%s: %d properties", {label, static_cast<int>(props)}));
    report.Seconds(label + ": sum distribution (all combinations enumerated)",
                   bench::Time([&] { g_sink = s.Views.TotalSumCombs()->AMax; }, 0.2, 3), 0.100);
  }
  const std::string cmd = "rm -rf '" + dir + "'";
  if (std::system(cmd.c_str()) != 0) std::printf("  could not remove %s\n", dir.c_str());
}

}  // namespace

QUINTAR_BENCH(AnalysisViews) {
  const std::string csv = bench::SharedDataFile("draws-7x35-import.csv");
  if (!csv.empty()) {
    TDrawArchive real;
    real.ImportCsv(csv);
    ViewsOn(report, "real archive", real);
  } else {
    report.Info("the real archive is not available");
  }
  ViewsOn(report, "2000 synthetic draws", MakeDemoArchive(2000, 7));
}
