// The rating over a large stakes file: recomputing it from 1,000,000 checked stakes streams the file and
// folds each stake into its row; sorting and saving a rating of many rows.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <random>

#include "bench.h"
#include "combs/ratings.h"
#include "combs/stakesfile.h"
#include "util/format.h"

namespace {

using namespace quintar;

constexpr int kStakes = 1000000;
constexpr int kComments = 400;

std::string Comment(int i) {
  return Format("%.2d.%.3d: проверка @ FULL#RAND + TSD#SUMS:%d#LMV:5#SF:1", {i % 7 + 1, i, 100 + i});
}

// Checked stakes; the comment changes every run stakes (1: every stake).
void WriteCheckedStakes(const std::string& path, int run) {
  std::mt19937 rng(4242);
  std::vector<TStakeRec> proto;
  for (int c = 0; c < kComments; ++c) {
    TStakeRec r = EmptyStake();
    r.Kind = skScript;
    r.Checked = 1;
    r.Numbers.Count = 7;
    r.SetComment(Comment(c));
    proto.push_back(r);
  }
  std::FILE* f = std::fopen(path.c_str(), "wb");
  std::vector<TStakeRec> block;
  block.reserve(4096);
  for (int i = 0; i < kStakes; ++i) {
    TStakeRec r = proto[static_cast<size_t>((i / run) % kComments)];
    r.Draw = 1000 + i / 2500;
    r.Matches.Count = static_cast<int32_t>(rng() % 5);
    r.Profit = r.Matches.Count >= 3 ? 40000 : -10000;
    block.push_back(r);
    if (block.size() == 4096 || i + 1 == kStakes) {
      std::fwrite(block.data(), sizeof(TStakeRec), block.size(), f);
      block.clear();
    }
  }
  std::fclose(f);
}

}  // namespace

QUINTAR_BENCH(RatingsRefreshMillion) {
  const std::string dir =
      (std::filesystem::temp_directory_path() / ("quintar-bench-ratings-" + std::to_string(::getpid()))).string();
  std::filesystem::create_directories(dir);
  const std::string path = dir + "/Quintar_7x35.lsk";

  for (int run : {2500, 1}) {
    WriteCheckedStakes(path, run);
    TStakesFile file(path);
    file.OpenStakes();
    TRatings ratings;
    const double seconds = bench::Time([&] { RebuildRating(file, ratings); }, 0.5, 2);
    report.Seconds(run == 1 ? "  the same with the comment changing at every stake"
                            : "rebuild the rating from 1,000,000 checked stakes (400 comments in runs)",
                   seconds, run == 1 ? 3.0 : 1.5);
    int64_t stakes = 0;
    for (const auto& r : ratings.Rows()) stakes += r.Stakes;
    report.Line("  rows and stakes counted", std::to_string(ratings.Count()) + " / " + std::to_string(stakes),
                "400 / 1000000", ratings.Count() == kComments && stakes == kStakes);
    file.CloseStakes();
  }

  // A rating of 20,000 rows: a header click sorts and saves it.
  TRatings big;
  std::mt19937 rng(99);
  for (int i = 0; i < 20000; ++i) {
    TRatingRec r = MakeRatingRec(Comment(i));
    for (int k = 0; k < 5; ++k) {
      r.Counts[k] = static_cast<int32_t>(rng() % 1000);
      r.Stakes += r.Counts[k];
      r.Guessed += k * r.Counts[k];
    }
    r.Profit = static_cast<int64_t>(rng() % 2000000) - 1000000;
    big.Append(r);
  }
  const std::string lrt = dir + "/Quintar_7x35.lrt";
  for (int col : {0, 3}) {
    bool descending = false;
    const double sortSave = bench::Time([&] {
      big.Sort(col, descending);
      big.SaveToFile(lrt);
      descending = !descending;
    }, 0.5, 4);
    report.Seconds(col == 0 ? "sort a rating of 20,000 rows by name and save it"
                            : "  the same by the average",
                   sortSave, 0.25);
  }
  std::filesystem::remove_all(dir);
}
