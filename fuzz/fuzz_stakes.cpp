// The stakes file: opening (with its repairs), the grid, checking against a small archive, the lookups.
#include "combs/ratings.h"
#include "combs/stakesfile.h"
#include "combs/stakesview.h"
#include "fuzzutil.h"

using namespace quintar;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = fuzz::InputFile("Quintar_7x35.lsk", data, size);
  static const TDrawArchive archive = MakeDemoArchive(40, 1);
  try {
    TStakesFile f(path);
    f.OpenStakes();
    if (f.IsOldVersion()) return 0;
    f.ForEachStake([](int, const TStakeRec& r) { (void)StakeGridCells(r); });
    (void)f.FindLastDrawsStart(100);
    TStakePrices prices;
    prices.Cost = 10000;
    prices.Profits = {{3, 20000}, {7, 1000000000}};
    TStakeCheckHooks hooks;
    hooks.Result = prices.Fn();
    TRatings ratings;
    hooks.Checked = [&](const TStakeRec& r) { ratings.AddToRating(r); };
    f.CheckStakes(archive, hooks);
    RebuildRating(f, ratings);
    f.RewriteStakes([](int i, const TStakeRec& r) { return i % 2 == 0 || r.IsSeparator(); });
    f.CloseStakes();
  } catch (const std::exception&) {
  }
  return 0;
}
