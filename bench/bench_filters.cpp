// Filters over the full list of 6,724,520 combinations: the session's filter (keep and delete) against a
// plain loop in the same process that asks the same TestComb and writes the same combinations.
#include <filesystem>

#include "app/session.h"
#include "bench.h"
#include "combs/combsgen.h"
#include "combs/filters.h"

namespace {

using namespace quintar;

class QuietHost : public IHost {
 public:
  void ShowStatus(const std::string&) override {}
  void ShowMessage(MsgKind, const std::string&) override { ++messages; }
  bool Ask(AskKind, const std::string&) override { return false; }
  int messages = 0;
};

// The plain loop: prepare once, one TestComb per combination, kept ones written in order.
size_t PlainFilter(TCustomStat& stat, const TStatDrawArray& set, const TCombsList& in, TComb* out, int ref,
                   bool deleteFlag) {
  stat.LoadDraws(-1, ref, false);
  stat.PrepareTest(set);
  const bool keep = !deleteFlag;
  size_t k = 0;
  for (const TComb& c : in)
    if (stat.TestComb(c, set, ref, false, deleteFlag) == keep) out[k++] = c;
  return k;
}

}  // namespace

QUINTAR_BENCH(FilterFullList) {
  const std::string dir = (std::filesystem::temp_directory_path() / "quintar-bench-filters").string();
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  {
    QuietHost host;
    Session s(dir, host);
    s.Stats.Draws = &s.Archive.Draws();
    s.Stats.BuildCatalogue();
    s.RebuildStatLists(false, false);
    s.ReserveCombsLists();
    s.CombsGen(MakeGenParams(kGenModeFull, ""));
    s.SaveUndo(false);  // the filters read the undo copy; it stays the full list throughout
    TCombsList plainOut;
    plainOut.Reserve(COMBS_TOTAL);
    const int ref = FilterReferenceIndex(s.Archive.High(), s.DrawsOffset());

    struct Case {
      const char* code;
      std::vector<std::string> texts;
    };
    const Case cases[] = {{"NUMS", {"7"}}, {"EVEN", {"3:4"}}, {"SUMS", {"126", "127"}}};
    for (const Case& c : cases) {
      const int m = s.Stats.IndexOfCode(c.code);
      auto stat = s.Stats.CreateStat(m);
      TStatDrawArray table;
      stat->ListValues(s.LastIndex(), table);
      const TStatSelection rows = SelectRowsByText(*stat, table, c.texts);
      const TStatDrawArray set = SelectionValues(rows);
      for (bool deleteFlag : {false, true}) {
        size_t plainCount = 0;
        const double plain = bench::Time([&] {
          plainCount = PlainFilter(*stat, set, s.PreviousCombs, plainOut.Data(), ref, deleteFlag);
        }, 0.5, 3);
        for (bool split : {true, false}) {
          s.FilterSplit = split;
          const double t = bench::Time([&] {
            s.ClearFilterLog();
            s.ApplyStatFilter(stat.get(), deleteFlag, rows);
          }, 0.5, 3);
          if (static_cast<size_t>(s.CurrentCombs.Count()) != plainCount) report.Info("the counts differ!");
          report.Ratio(std::string(deleteFlag ? "delete " : "keep ") + c.code + " \"" + SelectionText(rows) +
                           "\" over 6724520 (" + std::to_string(s.CurrentCombs.Count()) + " left), " +
                           (split ? "two cores" : "one core") + ", vs plain loop " +
                           std::to_string(static_cast<int>(plain * 1000)) + " ms",
                       s.CurrentCombs.Count() == static_cast<int>(plainCount) ? t : 1e9, plain, 1.5);
        }
      }
    }
    if (host.messages) report.Info("messages were shown!");
  }
  std::filesystem::remove_all(dir);
}
