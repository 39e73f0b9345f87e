// The stakes file at its largest: checking 1,000,000 unchecked stakes streams the file without holding it
// in memory, and the grid reads only the rows it shows.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>

#include "app/session.h"
#include "bench.h"
#include "combs/stakesfile.h"
#include "combs/stakesview.h"
#include "game/drawarchive.h"

namespace {

using namespace quintar;

constexpr int kStakes = 1000000;

TDrawArchive BenchArchive() {
  TDrawArchive a;
  std::string csv = bench::SharedDataFile("draws-7x35-import.csv");
  if (!csv.empty()) a.ImportCsv(csv);
  if (a.Empty()) a = MakeDemoArchive(434, 7);
  return a;
}

// Unchecked stakes in runs of 2,500 per draw of the archive, written straight to the file.
void WriteStakes(const std::string& path, const TDrawArchive& archive) {
  std::mt19937 rng(12345);
  TStakePrices prices;
  prices.Cost = 10000;
  std::FILE* f = std::fopen(path.c_str(), "wb");
  std::vector<TStakeRec> block;
  block.reserve(4096);
  for (int i = 0; i < kStakes; ++i) {
    TComb c{};
    bool used[MAX_NUMBER + 1] = {};
    for (int k = 0; k < NUMS_IN_DRAW;) {
      int n = static_cast<int>(rng() % MAX_NUMBER) + 1;
      if (!used[n]) {
        used[n] = true;
        c[k++] = static_cast<uint8_t>(n);
      }
    }
    const int draw = archive[(i / 2500) % archive.Count()].Number;
    block.push_back(MakeStakeRecord(draw, 1000, &c, prices.Fn(), skScript));
    if (block.size() == 4096 || i + 1 == kStakes) {
      std::fwrite(block.data(), sizeof(TStakeRec), block.size(), f);
      block.clear();
    }
  }
  std::fclose(f);
}

}  // namespace

QUINTAR_BENCH(StakesCheckMillion) {
  const TDrawArchive archive = BenchArchive();
  const std::string dir = (std::filesystem::temp_directory_path() / ("quintar-bench-stakes-" + std::to_string(::getpid()))).string();
  std::filesystem::create_directories(dir);
  const std::string path = dir + "/Quintar_7x35.lsk";
  WriteStakes(path, archive);

  TStakesFile file(path);
  file.OpenStakes();
  TStakePrices prices;
  prices.Cost = 10000;
  prices.Profits = {{3, 50000}, {4, 500000}, {5, 50000000}, {6, 1000000000}, {7, 100000000000}};
  int checked = 0;
  TStakeCheckHooks hooks;
  hooks.Result = prices.Fn();
  hooks.Checked = [&](const TStakeRec&) { ++checked; };
  hooks.Status = [](const std::string&) {};
  const double rssBefore = bench::ResidentMiB();
  const bool peakReset = bench::ResetPeakResident();
  double t0 = bench::NowSeconds();
  file.CheckStakes(archive, hooks);
  const double seconds = bench::NowSeconds() - t0;
  const double grown = (peakReset ? bench::PeakResidentMiB() : bench::ResidentMiB()) - rssBefore;
  report.Info("stakes checked: " + std::to_string(checked) + " of " + std::to_string(file.Count()) +
              ", file " + std::to_string(file.FileSize() >> 20) + " MiB");
  report.Seconds("CheckStakes over 1,000,000 unchecked stakes", seconds, 3.0);
  char v[64];
  std::snprintf(v, sizeof v, "%.1f MiB", grown);
  report.Line("  resident memory growth during the check", v, "<= 16 MiB", grown <= 16.0);
  const TStakeRec last = file.ReadStake(-1);
  report.Line("  every stake checked and written back", std::to_string(checked), "1000000",
              checked == kStakes && last.Checked == 1 && last.Matches.Count >= 0);

  // The grid: opening it shows the count and the last screen; scrolling reads only the rows shown.
  file.CloseStakes();
  double open = bench::Time([&] {
    TStakesFile grid(path);
    grid.OpenStakes();
    const int n = grid.Count();
    for (int row = n - 40; row < n; ++row)
      for (int col = 0; col < kStakeGridCols; ++col) (void)StakeGridCell(grid.ReadStake(row), col);
  }, 0.2, 3);
  report.Seconds("open the grid on 1,000,000 stakes (last 40 rows)", open, 0.05);
  TStakesFile grid(path);
  grid.OpenStakes();
  std::mt19937 rng(7);
  double screen = bench::Time([&] {
    const int top = static_cast<int>(rng() % static_cast<unsigned>(grid.Count() - 40));
    for (int row = top; row < top + 40; ++row)
      for (int col = 0; col < kStakeGridCols; ++col) (void)StakeGridCellParts(grid.ReadStake(row), col);
  }, 0.2, 20);
  report.Seconds("  a 40-row screen at a random position", screen, 0.005);

  // Deleting half of the stakes streams the file too.
  bench::ResetPeakResident();
  const double rssRewrite = bench::ResidentMiB();
  t0 = bench::NowSeconds();
  grid.RewriteStakes([](int index, const TStakeRec&) { return index % 2 == 0; });
  const double rewrite = bench::NowSeconds() - t0;
  std::snprintf(v, sizeof v, "%.3f s, memory +%.1f MiB", rewrite, bench::PeakResidentMiB() - rssRewrite);
  report.Info(std::string("RewriteStakes keeping every second stake: ") + v);
  grid.CloseStakes();
  std::filesystem::remove_all(dir);
}

// The command as the program runs it: the session checks 1,000,000 unchecked stakes, folding each checked
// one into the rating (stakes of 40 script lines), then the grid opens on the file.
QUINTAR_BENCH(StakesSessionCheckMillion) {
  const std::string dir =
      (std::filesystem::temp_directory_path() / ("quintar-bench-session-stakes-" + std::to_string(::getpid()))).string();
  std::filesystem::create_directories(dir);
  {
    ConsoleHost host(false);
    Session s(dir, host);
    s.Archive = BenchArchive();
    s.Stats.Config.Cost = 10000;
    s.Stats.Config.Profits = {{3, 50000}, {4, 500000}, {5, 50000000}, {6, 1000000000}, {7, 100000000000}};
    WriteStakes(s.Stakes.Path(), s.Archive);
    {
      // Comments of 40 script lines, so the rating gets 40 rows; as a script makes them, the stakes of one
      // line come in runs (here 500 at a time).
      std::fstream io(s.Stakes.Path(), std::ios::in | std::ios::out | std::ios::binary);
      TStakeRec r{};
      for (int i = 0; i < kStakes; ++i) {
        io.seekg(static_cast<std::streamoff>(i) * kStakeRecSize);
        io.read(reinterpret_cast<char*>(&r), sizeof r);
        r.SetComment("01.000: строка " + std::to_string(i / 500 % 40) + " @ FULL#RAND");
        io.seekp(static_cast<std::streamoff>(i) * kStakeRecSize);
        io.write(reinterpret_cast<const char*>(&r), sizeof r);
      }
    }
    double t0 = bench::NowSeconds();
    const bool opened = s.LoadStakes();
    const double open = bench::NowSeconds() - t0;
    report.Seconds("Session::LoadStakes on 1,000,000 stakes (the grid's row count)", open, 0.05);
    const double screen = bench::Time([&] {
      for (int row = s.Stakes.Count() - 40; row < s.Stakes.Count(); ++row)
        for (int col = 0; col < kStakeGridCols; ++col) (void)StakeGridCellParts(s.Stakes.ReadStake(row), col);
    }, 0.1, 5);
    report.Seconds("  the grid's last screen", screen, 0.005);

    const double rssBefore = bench::ResidentMiB();
    const bool peakReset = bench::ResetPeakResident();
    t0 = bench::NowSeconds();
    const double cpu0 = bench::CpuSeconds();
    s.CheckStakes();
    const double seconds = bench::NowSeconds() - t0;
    report.Info("check: " + std::to_string(bench::CpuSeconds() - cpu0) + " s of CPU (the journal of each block included)");
    const double grown = (peakReset ? bench::PeakResidentMiB() : bench::ResidentMiB()) - rssBefore;
    report.Seconds("Session::CheckStakes over 1,000,000 unchecked stakes, rating folded and saved", seconds, 3.0);
    char v[64];
    std::snprintf(v, sizeof v, "%.1f MiB", grown);
    report.Line("  resident memory growth during the check", v, "<= 16 MiB", grown <= 16.0);
    int rated = 0;
    for (const auto& row : s.Ratings.Rows()) rated += row.Stakes;
    report.Line("  every stake checked and rated", std::to_string(rated), "1000000",
                opened && rated == kStakes && s.Stakes.ReadStake(-1).Checked == 1);
    s.CloseStakesFile();
  }
  std::filesystem::remove_all(dir);
}
