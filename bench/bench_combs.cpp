// Combination lists: the full generation and the exclusion of the last draws over the full list, each
// against a plain loop doing the same amount of memory traffic in the same process.
#include <memory>

#include "bench.h"
#include "combs/combsgen.h"
#include "game/drawarchive.h"

namespace {

volatile unsigned g_sink;

// The reference for generation: a plain nested loop writing every combination's 7 bytes.
void PlainNestedLoop(uint8_t* out) {
  uint8_t* p = out;
  for (int a = 1; a <= 29; ++a)
    for (int b = a + 1; b <= 30; ++b)
      for (int c = b + 1; c <= 31; ++c)
        for (int d = c + 1; d <= 32; ++d)
          for (int e = d + 1; e <= 33; ++e)
            for (int f = e + 1; f <= 34; ++f)
              for (int g = f + 1; g <= 35; ++g) {
                p[0] = static_cast<uint8_t>(a);
                p[1] = static_cast<uint8_t>(b);
                p[2] = static_cast<uint8_t>(c);
                p[3] = static_cast<uint8_t>(d);
                p[4] = static_cast<uint8_t>(e);
                p[5] = static_cast<uint8_t>(f);
                p[6] = static_cast<uint8_t>(g);
                p += 7;
              }
  g_sink = p[-1] + out[3];
}

}  // namespace

QUINTAR_BENCH(CombsGenerateFull) {
  using namespace quintar;
  const size_t bytes = static_cast<size_t>(COMBS_TOTAL) * sizeof(TComb);
  std::unique_ptr<uint8_t[]> plain(new uint8_t[bytes]);
  TCombsList list;
  list.Reserve(COMBS_TOTAL);
  // Both targets are written once first, so that neither pays for first-touch page faults.
  PlainNestedLoop(plain.get());
  GenerateCombs(kGenModeFull, {}, list);
  double ref = bench::Time([&] { PlainNestedLoop(plain.get()); }, 0.5, 3);
  double t = bench::Time(
      [&] {
        GenerateCombs(kGenModeFull, {}, list);
        g_sink = list[list.Count() - 1].n[6];
      },
      0.5, 3);
  report.Ratio("generate all 6,724,520 combinations", t, ref, 1.5);
}

QUINTAR_BENCH(CombsExcludeLastDraws) {
  using namespace quintar;
  std::string csv = bench::SharedDataFile("draws-7x35-import.csv");
  if (csv.empty()) {
    report.Info("skipped: the real archive is not available");
    return;
  }
  TDrawArchive archive;
  archive.ImportCsv(csv);
  TCombsList from, to;
  from.Reserve(COMBS_TOTAL);
  to.Reserve(COMBS_TOTAL);
  GenerateCombs(kGenModeFull, {}, from);
  // The reference: a plain loop copying every combination into the other list.
  auto copyLoop = [&] {
    to.Clear();
    for (const TComb& c : from) to.Append(c);
    g_sink = to[to.Count() - 1].n[0];
  };
  copyLoop();
  double ref = bench::Time(copyLoop, 0.5, 3);
  const int n = archive.Count();
  double t = bench::Time([&] { ExcludeLastDraws(archive, 0, n, from, to, {}); }, 0.5, 3);
  report.Ratio("exclude the last 434 draws from the full list", t, ref, 3.0);
  if (to.Count() != COMBS_TOTAL - n) report.Line("exclusion result", std::to_string(to.Count()), "6724086", false);
}
