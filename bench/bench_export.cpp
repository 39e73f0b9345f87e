// Spreadsheet export: the statistics table of the real archive (window of 1000 draws, 20 columns), the
// stakes grid of 100,000 stakes and a list of 1,000,000 combinations written as workbooks, with the
// resident memory the last one adds (the workbook is streamed row by row).
#include <unistd.h>

#include <filesystem>

#include "app/excelexport.h"
#include "app/session.h"
#include "bench.h"
#include "combs/stakesview.h"
#include "stats/drawsstat.h"
#include "util/format.h"

namespace {

using namespace quintar;

class QuietHost : public IHost {
 public:
  void ShowStatus(const std::string&) override {}
  void ShowMessage(MsgKind, const std::string& text) override { messages.push_back(text); }
  bool Ask(AskKind, const std::string&) override { return true; }
  std::vector<std::string> messages;
};

std::string BenchDir() {
  const std::string dir =
      (std::filesystem::temp_directory_path() / ("quintar-bench-export-" + std::to_string(::getpid()))).string();
  std::filesystem::create_directories(dir);
  return dir;
}

TExportSource SourceOf(const std::vector<std::string>& captions, const char* table, TExportKind kind) {
  TExportSource src;
  src.Kind = kind;
  src.Table = table;
  for (const auto& c : captions) src.Columns.push_back({c, 64, eaRight});
  return src;
}

// Wall seconds of the export; the process's CPU seconds go to cpu (the machine may be shared).
double ExportSeconds(const TExportSource& src, const std::string& dir, const char* file, double& cpu) {
  TExportRequest req;
  req.Title = req.SheetName = "Bench";
  TExcelExport ex;
  ex.Open(src, req, dir + "/Quintar_7x35.ini");
  const double t0 = bench::NowSeconds(), c0 = bench::CpuSeconds();
  ex.Export(dir + "/" + file);
  cpu = bench::CpuSeconds() - c0;
  return bench::NowSeconds() - t0;
}

}  // namespace

QUINTAR_BENCH(ExportStatsTable) {
  const std::string dir = BenchDir();
  {
    // Twenty columns of one thousand rows with the shapes of the statistics table's cells.
    std::vector<std::string> captions;
    for (int c = 0; c < 20; ++c) captions.push_back(Format("Столбец %d", {c}));
    TExportSource src = SourceOf(captions, "lvDrawsStat", TExportKind::List);
    src.RowCount = 1000;
    src.Cells = [](int r, std::vector<std::string>& cells) {
      cells.push_back(Format("%d;%d;%d", {r % 35 + 1, r % 7, r % 11}));
      for (int c = 1; c < 20; ++c) {
        if (c % 4 == 0) cells.push_back(Format("%.5f", {(r * 31 + c) / 7.0}));
        else if (c % 4 == 1) cells.push_back(std::to_string(r * c));
        else if (c % 4 == 2) cells.push_back(c == 6 ? "-" : Format("%.2f%%", {(r % 100) * 1.0}));
        else cells.push_back(std::to_string(1000 - r));
      }
    };
    double cpu = 0;
    report.Seconds("export of the statistics table, 1000 rows x 20 columns", ExportSeconds(src, dir, "stats.xlsx", cpu), 1.0);
    report.Info(Format("  CPU time %.3f s", {cpu}));
  }
  std::filesystem::remove_all(dir);
}

QUINTAR_BENCH(ExportStakesGrid) {
  const std::string dir = BenchDir();
  {
    TExportSource src = SourceOf(StakeGridCaptions(), "sgStakes", TExportKind::Grid);
    src.RowCount = 100000;
    src.Cells = [](int r, std::vector<std::string>& cells) {
      TStakeRec rec{};
      rec.Version = 2;
      rec.Kind = 0;
      rec.Draw = 1000 + r / 100;
      rec.Checked = r % 3 != 0;
      rec.Sample = 6724520 - r;
      rec.Numbers.Count = NUMS_IN_DRAW;
      for (int i = 0; i < NUMS_IN_DRAW; ++i) {
        rec.Numbers.Nums[i] = static_cast<uint8_t>(1 + i * 5 + r % 5);
        rec.DrawNums[i] = static_cast<uint8_t>(1 + i * 4 + r % 4);
      }
      rec.Matches.Count = rec.Checked ? r % 4 : -1;
      for (int i = 0; i < rec.Matches.Count; ++i) rec.Matches.Nums[i] = static_cast<uint8_t>(1 + i * 5);
      rec.Profit = rec.Checked ? (r % 4 == 3 ? 40000 : -10000) : 0;
      rec.SetComment(Format("Сценарий %d", {r % 17}));
      cells = StakeGridCells(rec);
    };
    double cpu = 0;
    report.Seconds("export of the stakes grid, 100,000 stakes", ExportSeconds(src, dir, "stakes.xlsx", cpu), 3.0);
    report.Info(Format("  CPU time %.3f s", {cpu}));
  }
  std::filesystem::remove_all(dir);
}

QUINTAR_BENCH(ExportCombsList) {
  const std::string dir = BenchDir();
  {
    QuietHost host;
    Session s(dir, host);
    const TCombsArray& all = bench::AllCombs();
    s.CurrentCombs.Clear();
    for (int i = 0; i < 1000000; ++i) s.CurrentCombs.Append(all[static_cast<size_t>(i) * 6]);
    TExportSource src = SourceOf(Session::CombsListCaptions(), "lvCombs", TExportKind::List);
    src.RowCount = s.CurrentCombs.Count();
    src.Cells = [&s](int r, std::vector<std::string>& cells) { cells = s.CombsListCells(r); };
    const double before = bench::ResidentMiB();
    const bool peakReset = bench::ResetPeakResident();
    double cpu = 0;
    const double seconds = ExportSeconds(src, dir, "combs.xlsx", cpu);
    const double growth = (peakReset ? bench::PeakResidentMiB() : bench::ResidentMiB()) - before;
    report.Seconds("export of a list of 1,000,000 combinations", seconds, 5.0);
    report.Info(Format("  CPU time %.3f s", {cpu}));
    report.Line("resident memory growth of that export", Format("%.1f MiB", {growth}), "<= 50 MiB", growth <= 50.0);
  }
  std::filesystem::remove_all(dir);
}
