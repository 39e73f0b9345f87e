// A test of 100 tables over the last 400 draws of the real archive: 40,000 stakes made through the stakes
// file, the tables file saved and every stake checked and folded into the rating.
#include <unistd.h>

#include <filesystem>

#include "app/session.h"
#include "bench.h"
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

constexpr int kTables = 100;
constexpr int kTests = 400;

}  // namespace

QUINTAR_BENCH(TablesTest100x400) {
  const std::string dir =
      (std::filesystem::temp_directory_path() / ("quintar-bench-tables-" + std::to_string(::getpid()))).string();
  std::filesystem::create_directories(dir);
  {
    QuietHost host;
    Session s(dir, host);
    s.Stats.Config.Cost = 10000;
    s.Stats.Config.Profits = {{3, 50000}, {4, 500000}, {5, 50000000}, {6, 1000000000}, {7, 100000000000}};
    s.LoadStakes();
    const std::string csv = bench::SharedDataFile("draws-7x35-import.csv");
    if (!csv.empty()) s.Archive.ImportCsv(csv);
    if (s.Archive.Count() < kTests + 1) s.Archive = MakeDemoArchive(434, 7);
    // Half the tables walk from a start combination (50 combinations, steps -12..12), half follow the
    // previous draw.
    for (int k = 0; k < kTables / 2; ++k) {
      TComb c{};
      for (int i = 0; i < NUMS_IN_DRAW; ++i) c[i] = static_cast<uint8_t>(1 + (k + 5 * i) % MAX_NUMBER);
      s.CurrentCombs.Append(c);
    }
    TTableDialogInput in;
    in.Name = "Старт";
    in.Step = 7;
    s.Tables.Add(in, {{0, kTables / 2 - 1}});
    for (int k = 0; k < kTables / 2; ++k) {
      in.Name = Format("Тираж %d", {k});
      in.FromLastDraw = true;
      in.Step = k % 25 - 12;
      s.Tables.Add(in, {});
    }
    std::vector<int> rows;
    for (int r = 0; r < s.Tables.Count(); ++r) rows.push_back(r);

    const double t0 = bench::NowSeconds();
    s.Tables.StakeTest(rows, kTests);
    const double seconds = bench::NowSeconds() - t0;

    int checked = 0;
    s.Stakes.ForEachStake([&](int, const TStakeRec& r) { checked += r.Checked && r.Kind == skTable ? 1 : 0; });
    for (const auto& m : host.messages) report.Info("message: " + m);
    report.Line("TablesTest100x400 stakes made and checked", std::to_string(checked), "40000",
                s.Tables.Count() == kTables && checked == kTables * kTests && host.messages.empty());
    report.Seconds("test of 100 tables over 400 draws (40,000 stakes)", seconds, 2.0);
  }
  std::filesystem::remove_all(dir);
}
