// Prefetch files: their bytes, building, opening, rebuilding, failures; and the session's table
// commands that use them.
#include <gtest/gtest.h>

#include <cstring>

#include "app/cmdline.h"
#include "app/session.h"
#include "stats/prefetch.h"
#include "testutil.h"
#include "util/safefile.h"

namespace quintar {
namespace {

using test::MakeDraw;
using test::ScriptedHost;
using test::TempDir;

std::string Int16(int v) {
  int16_t x = static_cast<int16_t>(v);
  return std::string(reinterpret_cast<const char*>(&x), 2);
}
std::string Int32(int32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); }

struct PrefetchSession {
  TempDir dir;
  ScriptedHost host;
  Session s{dir.Path(), host};
  PrefetchSession() {
    s.StartCatalogue();
    s.PrefetchsEnabled = true;
  }
  int Method(const std::string& code) {
    int m = s.Stats.IndexOfCode(code);
    EXPECT_GE(m, 0) << code;
    return m;
  }
  // A valid file of one record for every prefetchable method, so that nothing needs building.
  void FakeAll() {
    ForceDirectories(PrefetchFolder(dir.Path()));
    TStatDrawArray one(1);
    one[0].Key = MakeKey(1);
    one[0].Count = 5;
    for (int i = 0; i < s.Stats.Count(); ++i)
      if (s.Stats.IsPrefetchable(i)) WriteFileAtomic(s.PrefetchFileName(i), PrefetchBytes(one));
  }
};

TEST(Prefetch, EvenCountsFileByteForByteAndTheListStays) {
  PrefetchSession t;
  t.s.CurrentCombs.Append(TComb{1, 2, 3, 4, 5, 6, 7});
  t.s.CurrentCombs.Append(TComb{9, 10, 11, 12, 13, 14, 15});
  const int m = t.Method("EVEN");
  const std::string path = t.s.PrefetchFileName(m);
  EXPECT_EQ(path, t.dir.Path() + "Prefetchs/Quintar_7x35_EVEN.dfc");
  ASSERT_TRUE(t.s.BuildPrefetch(m));

  // 17 even and 18 odd numbers: k even numbers in C(17,k) * C(18,7-k) combinations.
  std::string expected;
  int32_t lo = INT32_MAX, hi = 0;
  for (int k = 0; k <= 7; ++k) {
    const int32_t n = static_cast<int32_t>(CombCount(17, k) * CombCount(18, 7 - k));
    expected += Int16(k) + Int16(0) + Int16(0) + Int16(0) + Int32(n);
    lo = std::min(lo, n);
    hi = std::max(hi, n);
  }
  expected += Int32(lo) + Int32(hi) + Int32(0);
  EXPECT_EQ(ReadWholeFile(path), expected);
  EXPECT_EQ(lo, 19448);

  ASSERT_EQ(t.s.CurrentCombs.Count(), 2);
  EXPECT_EQ(t.s.CurrentCombs[1][6], 15);
  EXPECT_TRUE(t.s.IsIdle());
  EXPECT_NE(std::find(t.host.statuses.begin(), t.host.statuses.end(),
                      "Создание файла предварительной выборки Quintar_7x35_EVEN.dfc..."),
            t.host.statuses.end());
}

TEST(Prefetch, NumbersAllOccurEquallyOften) {
  PrefetchSession t;
  t.s.PrefetchThreads = 1;  // the single-threaded path gives the same file
  auto data = t.s.OpenPrefetch(t.Method("NUMS"));  // missing: built first
  ASSERT_TRUE(data);
  ASSERT_EQ(data->Records.size(), 35u);
  for (int i = 0; i < 35; ++i) {
    EXPECT_EQ(data->Records[static_cast<size_t>(i)].Key.Part(1), i + 1);
    EXPECT_EQ(data->Records[static_cast<size_t>(i)].Count, 1344904);
  }
  EXPECT_EQ(data->MinCount, 1344904);
  EXPECT_EQ(data->MaxCount, 1344904);
  EXPECT_EQ(FileSizeOf(t.s.PrefetchFileName(t.Method("NUMS"))), 36 * 12);
}

TEST(Prefetch, OpeningRules) {
  PrefetchSession t;
  const int even = t.Method("EVEN");
  // Switched off, or a method that is not prefetchable: nothing, and no file.
  t.s.PrefetchsEnabled = false;
  EXPECT_FALSE(t.s.OpenPrefetch(even));
  EXPECT_FALSE(FileExists(t.s.PrefetchFileName(even)));
  t.s.PrefetchsEnabled = true;
  const int sumc = t.Method("SUMC");
  EXPECT_FALSE(t.s.Stats.IsPrefetchable(sumc));
  EXPECT_FALSE(t.s.OpenPrefetch(sumc));

  // A file of size 0 counts as missing and is rebuilt.
  ForceDirectories(PrefetchFolder(t.dir.Path()));
  WriteFileAtomic(t.s.PrefetchFileName(even), "");
  auto data = t.s.OpenPrefetch(even);
  ASSERT_TRUE(data);
  EXPECT_EQ(data->Records.size(), 8u);
  EXPECT_TRUE(t.host.messages.empty());

  // A damaged file is reported and gives no norms.
  WriteFileAtomic(t.s.PrefetchFileName(even), std::string(13, '\1'));
  EXPECT_FALSE(t.s.OpenPrefetch(even));
  ASSERT_EQ(t.host.messages.size(), 1u);
  EXPECT_EQ(t.host.messages[0].text.rfind("Ошибка открытия файла данных для полного набора вариантов!\r\rИмя файла: " +
                                              t.s.PrefetchFileName(even) + "\r\r",
                                          0),
            0u);
}

TEST(Prefetch, FailedBuildLeavesNoFile) {
  PrefetchSession t;
  // The folder's name is taken by a file: the folder cannot be made.
  WriteFileAtomic(t.dir.Path() + "Prefetchs", "x");
  const int even = t.Method("EVEN");
  EXPECT_FALSE(t.s.BuildPrefetch(even));
  ASSERT_EQ(t.host.messages.size(), 1u);
  EXPECT_EQ(t.host.messages[0].text.rfind("Ошибка создания файла данных для полного набора вариантов!\r\rИмя файла: ", 0),
            0u);
  EXPECT_TRUE(t.s.IsIdle());
  // The table then goes on without norms.
  t.s.Archive.AppendDraw(MakeDraw(1, {2, 4, 6, 1, 3, 5, 7}, 1));
  t.s.DrawsStatTypeChange(0);
  t.s.DrawsStatCalc();
  EXPECT_FALSE(t.s.DrawsStat.NormsAvailable());
  EXPECT_EQ(t.s.DrawsStat.Cell(0, dscNorm), "-");
}

TEST(Prefetch, BuildAllKeepsExistingFilesUnlessTheirGroupChanged) {
  PrefetchSession t;
  t.FakeAll();
  const int even = t.Method("EVEN");
  const int sums = t.Method("SUMS");
  DeleteFileIfExists(t.s.PrefetchFileName(even));
  // Off and not forced: nothing happens.
  t.s.PrefetchsEnabled = false;
  t.s.BuildAllPrefetches(false, {});
  EXPECT_FALSE(FileExists(t.s.PrefetchFileName(even)));
  // "fullrefresh" builds the missing file only and ends the program.
  EXPECT_TRUE(t.s.StartupPrefetches(CommandLine(std::vector<std::string>{"fullrefresh"})));
  EXPECT_EQ(FileSizeOf(t.s.PrefetchFileName(even)), 9 * 12);
  EXPECT_EQ(FileSizeOf(t.s.PrefetchFileName(sums)), 2 * 12);
  // A changed group with prefetching off: its files go (they hold the old settings' values), the rest stay.
  t.s.BuildAllPrefetches(false, TStatGroups{}.set(1));
  EXPECT_FALSE(FileExists(t.s.PrefetchFileName(sums)));
  EXPECT_EQ(FileSizeOf(t.s.PrefetchFileName(even)), 9 * 12);
  // With prefetching on, the files of a changed group are built anew, the others are kept.
  WriteFileAtomic(t.s.PrefetchFileName(sums), PrefetchBytes(TStatDrawArray(1)));
  t.s.PrefetchsEnabled = true;
  t.s.BuildAllPrefetches(false, TStatGroups{}.set(1));
  EXPECT_EQ(FileSizeOf(t.s.PrefetchFileName(sums)), (224 - 28 + 2) * 12);
  EXPECT_EQ(FileSizeOf(t.s.PrefetchFileName(t.Method("NUMS"))), 2 * 12);
  t.s.PrefetchsEnabled = false;
  // Without switches and with prefetching off nothing is built and the program goes on.
  DeleteFileIfExists(t.s.PrefetchFileName(even));
  EXPECT_FALSE(t.s.StartupPrefetches(CommandLine(std::vector<std::string>{})));
  EXPECT_FALSE(FileExists(t.s.PrefetchFileName(even)));
  EXPECT_TRUE(t.s.IsIdle());
}

// A new channel size makes the channel methods' files anew (their values changed); the matrix and segment
// files and the others stay.
TEST(Prefetch, ConfigurationRebuildsTheFilesOfItsChangedGroups) {
  PrefetchSession t;
  t.FakeAll();
  TConfigData c = t.s.ConfigData();
  c.ChannelSize = 6;
  TStatGroups changed;
  ASSERT_TRUE(t.s.EditConfig(c, &changed));
  EXPECT_EQ(changed, TStatGroups{}.set(3));
  const TPrefetchData chan = ReadPrefetchFile(t.s.PrefetchFileName(t.Method("CHAN")));
  ASSERT_EQ(chan.Records.size(), 6u);
  // Every number is in C(34, 6) combinations; a channel counts its numbers' appearances.
  for (int g = 1; g <= 5; ++g) EXPECT_EQ(chan.Records[static_cast<size_t>(g - 1)].Count, 6 * CombCount(34, 6));
  EXPECT_EQ(chan.Records[5].Count, 5 * CombCount(34, 6));  // channel 6 holds 31..35
  EXPECT_EQ(ReadPrefetchFile(t.s.PrefetchFileName(t.Method("CHN6"))).Records.size(), 6u);  // 0..5 numbers
  EXPECT_EQ(t.s.Stats.IndexOfCode("CHN7"), -1);
  for (const char* kept : {"COLS", "SGMS", "NUMS", "SHR1"}) EXPECT_EQ(FileSizeOf(t.s.PrefetchFileName(t.Method(kept))), 2 * 12) << kept;
  EXPECT_TRUE(t.host.messages.empty());
}

TEST(DrawsStatSession, RecomputesOnlyWhenAnInputChanged) {
  TempDir dir;
  ScriptedHost host;
  Session s(dir.Path(), host);
  s.StartCatalogue();
  EXPECT_FALSE(s.CanDrawsStatCalc());  // empty archive
  for (int i = 0; i < 30; ++i) s.Archive.AppendDraw(MakeDraw(500 + i, {1 + i % 20, 2 + i % 20, 3 + i % 20, 21, 22, 23, 35}, 1));
  ASSERT_TRUE(s.CanDrawsStatCalc());
  auto computations = [&] {
    return std::count(host.statuses.begin(), host.statuses.end(), std::string(kDrawsStatStatus));
  };
  s.ComputeDrawsStat(false);
  EXPECT_EQ(computations(), 1);
  EXPECT_EQ(s.DrawsStat.RowCount(), 35);  // NUMS is the first entry
  s.ComputeDrawsStat(false);
  EXPECT_EQ(computations(), 1);
  s.DrawsStatCalc();
  EXPECT_EQ(computations(), 2);
  EXPECT_FALSE(s.DrawsStatLenEnter("0"));
  EXPECT_FALSE(s.DrawsStatLenEnter("abc"));
  EXPECT_EQ(computations(), 2);
  EXPECT_TRUE(s.DrawsStatLenEnter("10"));
  EXPECT_EQ(computations(), 3);
  EXPECT_EQ(s.DrawsStat.Window().Length(), 10);
  EXPECT_EQ(s.DrawsStat.Totals().SumCount, 70);
  s.SetDrawsOffset(3);
  EXPECT_EQ(computations(), 4);
  EXPECT_EQ(s.DrawsStat.Window().Last, 26);
  s.DrawsStatTypeChange(2);  // EVEN
  EXPECT_EQ(computations(), 5);
  EXPECT_EQ(s.DrawsStat.MethodComputed(), s.Stats.IndexOfCode("EVEN"));
  // The switches are written to the window-settings file.
  EXPECT_FALSE(s.CanDrawsStatShowTotalLine());
  s.DrawsStatShowTotalLine();
  EXPECT_FALSE(s.ShowTotalLine);
  EXPECT_FALSE(s.Frm.ReadFormBool(kMainForm, "ShowTotalLine", true));
  EXPECT_EQ(computations(), 6);
  s.DrawsStat.DrawsStatLen = 77;
  s.WriteDrawsStatKeys();
  Session again(dir.Path(), host);
  again.ReadFormKeys();
  EXPECT_EQ(again.DrawsStat.DrawsStatLen, 77);
  EXPECT_FALSE(again.ShowTotalLine);
  EXPECT_FALSE(again.PrefetchsEnabled);
  EXPECT_TRUE(s.IsIdle());
}

}  // namespace
}  // namespace quintar
