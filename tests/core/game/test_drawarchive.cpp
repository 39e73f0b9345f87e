#include <gtest/gtest.h>

#include "game/drawarchive.h"
#include "testutil.h"
#include "util/safefile.h"

using namespace quintar;
using quintar::test::MakeDraw;
using quintar::test::TempDir;

namespace {
TDrawArchive Archive(std::initializer_list<int> numbers) {
  TDrawArchive a;
  int k = 0;
  for (int n : numbers) {
    ++k;
    a.AppendDraw(MakeDraw(n, {k % 35 + 1, 2, 3, 4, 5, 6, 7}, 1, "1 Jan 2020"));
  }
  return a;
}
}  // namespace

TEST(DrawArchive, FileRecordsByteForByte) {
  TempDir dir;
  TDrawArchive a;
  a.AppendDraw(MakeDraw(1144, {4, 5, 9, 13, 25, 32, 33}, 7, "19 Apr 2018"));
  a.AppendDraw(MakeDraw(1145, {9, 14, 15, 19, 24, 34, 35}, 12, "26 Apr 2018"));
  a.SaveToFile(dir.File("a.ldr"));
  std::string bytes = ReadWholeFile(dir.File("a.ldr"));
  ASSERT_EQ(bytes.size(), 48u);
  const std::string first("\x78\x04\x00\x00\x04\x05\x09\x0D\x19\x20\x21\x07\x0B" "19 Apr 2018", 24);
  EXPECT_EQ(bytes.substr(0, 24), first);
  TDrawArchive b;
  b.LoadFromFile(dir.File("a.ldr"));
  ASSERT_EQ(b.Count(), 2);
  EXPECT_EQ(b[1].Number, 1145);
  EXPECT_EQ(b[1].Date(), "26 Apr 2018");
}

TEST(DrawArchive, TrailingPartialRecordIsNotRead) {
  TempDir dir;
  TDrawArchive a = Archive({1, 2, 3});
  a.SaveToFile(dir.File("a.ldr"));
  std::string bytes = ReadWholeFile(dir.File("a.ldr")) + std::string("\x01\x02\x03\x04", 4);
  test::WriteBytes(dir.File("b.ldr"), bytes);
  TDrawArchive b;
  b.LoadFromFile(dir.File("b.ldr"));
  EXPECT_EQ(b.Count(), 3);
  TDrawArchive missing;
  missing.LoadFromFile(dir.File("none.ldr"));
  EXPECT_TRUE(missing.Empty());
}

TEST(DrawArchive, IndexOfDrawInAnyOrder) {
  TDrawArchive a = Archive({10, 11, 12, 13, 14, 15, 16, 17});
  for (int n = 10; n <= 17; ++n) EXPECT_EQ(a.IndexOfDraw(n), n - 10);
  EXPECT_EQ(a.IndexOfDraw(9), -1);
  EXPECT_EQ(a.IndexOfDraw(18), -1);
  // Gaps and numbers out of order: the walk or the fallback scan still finds each draw.
  TDrawArchive b = Archive({5, 100, 7, 3, 50, 51, 2, 1000, 6});
  int numbers[] = {5, 100, 7, 3, 50, 51, 2, 1000, 6};
  for (int i = 0; i < 9; ++i) EXPECT_EQ(b.IndexOfDraw(numbers[i]), i) << numbers[i];
  EXPECT_EQ(b.IndexOfDraw(4), -1);
  TDrawArchive same = Archive({7, 7});
  EXPECT_EQ(same.IndexOfDraw(7), 0);
  EXPECT_EQ(TDrawArchive().IndexOfDraw(1), -1);
}

TEST(DrawArchive, NewestFirstHelpers) {
  TDrawArchive empty;
  EXPECT_EQ(empty.NextDrawNumber(0), 1);
  EXPECT_EQ(empty.DateAfterDraw(0, 1), 20130301);
  TDrawArchive a;
  a.AppendDraw(MakeDraw(1, {1, 2, 3, 4, 5, 6, 7}, 1, "5 Jan 2017"));
  a.AppendDraw(MakeDraw(2, {8, 9, 10, 11, 12, 13, 14}, 2, "12 Jan 2017"));
  a.AppendDraw(MakeDraw(3, {15, 16, 17, 18, 19, 20, 21}, 3, "19 Jan 2017"));
  EXPECT_EQ(a.NextDrawNumber(0), 4);
  EXPECT_EQ(a.NextDrawNumber(2), 2);
  EXPECT_EQ(a.NextDrawNumber(3), -1);
  EXPECT_EQ(a.NextDrawNumber(-1), -1);
  EXPECT_EQ(a.NextDrawText(0), "");
  EXPECT_EQ(a.NextDrawText(2), "8;9;10;11;12;13;14");  // offset count-1: the second oldest
  EXPECT_EQ(a.NextDrawText(3), "");
  EXPECT_EQ(a.DrawFromNewest(0).Number, 3);
  EXPECT_EQ(a.CombFromNewest(2)[0], 1);
  EXPECT_EQ(a.CombFromNewest(3), TComb{});
  InstallDrawDateHooks();
  EXPECT_EQ(a.DateAfterDraw(0, 1), 20170120);
  EXPECT_EQ(a.DateAfterDraw(2, 30), 20170204);
  EXPECT_EQ(a.DateAfterDraw(5, 1), 20130301);
}

TEST(DrawArchive, DeleteAndReplace) {
  TDrawArchive a = Archive({1, 2, 3});
  a.DeleteDraw(1);
  EXPECT_EQ(a.Count(), 2);
  EXPECT_EQ(a[1].Number, 3);
  try {
    a.DeleteDraw(5);
    FAIL();
  } catch (const EQuintar& e) {
    EXPECT_STREQ(e.what(), "Запись со индексом 5 в файле данных не найдена!");
  }
}

TEST(DrawArchive, DrawDialogCheck) {
  uint8_t nums[7];
  uint8_t bonus = 0;
  EXPECT_TRUE(CheckDrawText("1;2;3;4;5;6;7;20", nums, bonus));
  EXPECT_EQ(bonus, 20);
  EXPECT_TRUE(CheckDrawText("7, 6 ,5;4;3;2;1;1", nums, bonus));
  EXPECT_EQ(nums[0], 7);  // order as typed
  EXPECT_FALSE(CheckDrawText("1;2;3;4;5;6;6;1", nums, bonus));
  EXPECT_FALSE(CheckDrawText("1;2;3;4;5;6;36;1", nums, bonus));
  EXPECT_FALSE(CheckDrawText("1;2;3;4;5;6;7;21", nums, bonus));
  EXPECT_FALSE(CheckDrawText("1;2;3;4;5;6;7;0", nums, bonus));
  EXPECT_FALSE(CheckDrawText("1;2;3;4;5;6;7", nums, bonus));
  EXPECT_FALSE(CheckDrawText("1;2;3;4;5;6;7;8;9", nums, bonus));
  EXPECT_FALSE(CheckDrawText("1 2 3 4 5 6 7 8", nums, bonus));
  EXPECT_FALSE(CheckDrawText("1;2;3;4;5;6;x;8", nums, bonus));
  EXPECT_EQ(DrawEditText(MakeDraw(1, {3, 1, 2, 4, 5, 6, 7}, 9)), "3;1;2;4;5;6;7;9");
}
