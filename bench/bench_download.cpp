// The draw results download: reading the month pages of the real archive, and the whole download of the
// real archive from the local results site into an empty folder (every month saved as it comes).
#include <filesystem>

#include "app/session.h"
#include "bench.h"
#include "game/drawarchive.h"
#include "online/download.h"
#include "resultssite.h"

namespace {

class QuietHost : public quintar::IHost {
 public:
  void ShowStatus(const std::string&) override {}
  void ShowMessage(quintar::MsgKind, const std::string&) override { ++messages; }
  bool Ask(quintar::AskKind, const std::string&) override {
    ++messages;
    return false;
  }
  int messages = 0;
};

}  // namespace

QUINTAR_BENCH(DownloadRealArchive) {
  using namespace quintar;
  std::string csv = bench::SharedDataFile("draws-7x35-import.csv");
  if (csv.empty()) {
    report.Info("skipped: the real archive is not available");
    return;
  }
  InstallDrawDateHooks();
  testserver::ResultsSite site;
  site.LoadCsv(csv);
  std::vector<std::string> pages;
  for (int m = 201804; m <= 202608; m = NextMonth(m)) pages.push_back(site.MonthPage(m));
  size_t draws = 0;
  double parse = bench::Time([&] {
    draws = 0;
    for (const auto& p : pages) draws += ReadMonthDraws(p, 20130301).size();
  });
  report.Seconds("read 101 month pages (" + std::to_string(draws) + " draws)", parse, 0.02);

  site.Start();
  std::string dir = (std::filesystem::temp_directory_path() / "quintar-bench-download").string();
  double t0 = bench::NowSeconds();
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  QuietHost host;
  Session s(dir, host);
  s.Online.ResultsUrl = site.BaseUrl();
  TDownloadResult r = s.DrawsDownload();
  double whole = bench::NowSeconds() - t0;
  std::filesystem::remove_all(dir);
  if (!r.Completed || s.Archive.Count() != 434 || host.messages) report.Info("the download did not complete!");
  report.Seconds("download " + std::to_string(r.Months.size()) + " months, local site (" +
                     std::to_string(s.Archive.Count()) + " draws)",
                 (r.Completed && s.Archive.Count() == 434) ? whole : 1e9, 10.0);
}
