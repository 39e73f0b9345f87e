// Combination list storage, list files and the clipboard form.
#include <gtest/gtest.h>

#include "combs/combslist.h"
#include "testutil.h"
#include "util/safefile.h"

using namespace quintar;
using quintar::test::TempDir;

namespace {

TComb Comb(std::initializer_list<int> nums) {
  TComb c{};
  int i = 0;
  for (int n : nums) c.n[i++] = static_cast<uint8_t>(n);
  return c;
}

TComb Numbered(int i) {
  return Comb({1 + i % 29, 2 + i % 29, 3 + i % 29, 4 + i % 29, 5 + i % 29, 6 + i % 29, 7 + i % 29});
}

}  // namespace

TEST(CombsList, CapacityOnlyGrowsAndReservedStorageStays) {
  TCombsList list;
  list.Reserve(1000);
  const TComb* block = list.Data();
  for (int i = 0; i < 1000; ++i) list.Append(Numbered(i));
  EXPECT_EQ(list.Data(), block);  // no reallocation within the reserved room
  EXPECT_EQ(list.Count(), 1000);
  list.Clear();
  EXPECT_EQ(list.Capacity(), 1000u);
  EXPECT_EQ(list.Data(), block);
  list.Reserve(10);
  EXPECT_EQ(list.Capacity(), 1000u);

  // Growing past the capacity keeps the entries.
  for (int i = 0; i < 1001; ++i) list.Append(Numbered(i));
  EXPECT_GE(list.Capacity(), 1001u);
  for (int i = 0; i < 1001; ++i) ASSERT_EQ(list[i], Numbered(i));

  TCombsList copy;
  copy.CopyFrom(list);
  ASSERT_EQ(copy.Count(), 1001);
  EXPECT_EQ(copy[1000], Numbered(1000));
  list.Clear();
  copy.CopyFrom(list);
  EXPECT_EQ(copy.Count(), 0);
  EXPECT_GE(copy.Capacity(), 1001u);
  copy.SetCount(3);
  EXPECT_EQ(copy[2], Numbered(2));  // the storage still holds the old entries
}

TEST(CombsList, SelectionsAreSortedMergedAndCut) {
  TRowSelection sel = {{8, 9}, {2, 4}, {3, 6}, {-5, 0}, {10, 20}, {7, 7}, {5, 3}, {12, 13}};
  TRowSelection n = NormalizeSelection(sel, 11);
  ASSERT_EQ(n.size(), 2u);
  EXPECT_EQ(n[0].First, 0);
  EXPECT_EQ(n[0].Last, 0);
  EXPECT_EQ(n[1].First, 2);
  EXPECT_EQ(n[1].Last, 10);
  EXPECT_EQ(SelectedRowCount(sel, 11), 10);
  EXPECT_EQ(SelectedRowCount(sel, 0), 0);
}

TEST(CombsFile, LinesThatCountAndLinesThatAreSkipped) {
  TComb c;
  ASSERT_TRUE(ParseCombsFileLine("1;2;3;4;5;6;7", c));
  EXPECT_EQ(c, Comb({1, 2, 3, 4, 5, 6, 7}));
  ASSERT_TRUE(ParseCombsFileLine(" 35 , 2;3 ,4;5;6;07 ", c));
  EXPECT_EQ(c, Comb({35, 2, 3, 4, 5, 6, 7}));
  // Only seven different numbers 1..35 make a combination: the filters test numbers as bits of a mask.
  for (const char* bad : {"1;x;3;4;5;6;7", "1;;3;4;5;6;300", "1;2;3;4;5;6;36", "0;2;3;4;5;6;7", "1;2;3;4;5;6;6",
                          "1;2;3;4;5;6;255", "1;2;3;4;5;6;-1"})
    EXPECT_FALSE(ParseCombsFileLine(bad, c)) << bad;
  EXPECT_FALSE(ParseCombsFileLine("", c));
  EXPECT_FALSE(ParseCombsFileLine("1;2;3;4;5;6;7;8", c));
  EXPECT_FALSE(ParseCombsFileLine("1;2;3;4;5;6;7;", c));
  EXPECT_FALSE(ParseCombsFileLine("1;2;3;4;5;6", c));
  EXPECT_FALSE(ParseCombsFileLine("1 2 3 4 5 6 7", c));

  TCombsList list;
  std::string text =
      "\xEF\xBB\xBF"
      "1;2;3;4;5;6;7\r\n"
      "\r\n"
      "1;2;3;4;5;6;7;8\r\n"
      "9,10,11,12,13,14,15\n"
      "заголовок\r"
      "16;17;18;19;20;21;22";
  EXPECT_EQ(AppendCombsText(text, list), 3);
  ASSERT_EQ(list.Count(), 3);
  EXPECT_EQ(list[0], Comb({1, 2, 3, 4, 5, 6, 7}));
  EXPECT_EQ(list[1], Comb({9, 10, 11, 12, 13, 14, 15}));
  EXPECT_EQ(list[2], Comb({16, 17, 18, 19, 20, 21, 22}));
}

TEST(CombsFile, WriteAndReadBackLargeFile) {
  TempDir dir;
  TCombsList list;
  for (int i = 0; i < 20000; ++i) list.Append(Numbered(i));
  list.Append(Comb({35, 1, 34, 9, 10, 11, 12}));
  const std::string path = dir.File("list.lcv");
  SaveCombsFile(path, list);
  const std::string bytes = ReadWholeFile(path);
  EXPECT_EQ(bytes.substr(0, 32), "1;2;3;4;5;6;7\r\n2;3;4;5;6;7;8\r\n3;");
  EXPECT_EQ(bytes.substr(bytes.size() - 22), "\r\n35;1;34;9;10;11;12\r\n");
  EXPECT_EQ(bytes, CombsFileText(list));

  // Read back in chunks: lines cut at chunk ends are put together again.
  TCombsList back;
  back.Append(Comb({1, 1, 1, 1, 1, 1, 1}));
  AppendCombsFile(path, back);
  ASSERT_EQ(back.Count(), list.Count() + 1);
  for (int i = 0; i < list.Count(); ++i) ASSERT_EQ(back[i + 1], list[i]) << i;

  // CR-only line ends over more than one chunk.
  std::string cr;
  for (int i = 0; i < 9000; ++i) cr += std::to_string(8 + i % 9) + ";2;3;4;5;6;7\r";
  test::WriteBytes(dir.File("cr.lcv"), cr);
  TCombsList crList;
  AppendCombsFile(dir.File("cr.lcv"), crList);
  ASSERT_EQ(crList.Count(), 9000);
  EXPECT_EQ(crList[8999], Comb({16, 2, 3, 4, 5, 6, 7}));

  EXPECT_THROW(AppendCombsFile(dir.File("missing.lcv"), crList), FileError);
  EXPECT_THROW(SaveCombsFile(dir.File("no/such/folder.lcv"), list), FileError);
}

TEST(CombsClipboard, SelectedRowsInListOrder) {
  TCombsList list;
  list.Append(Comb({3, 11, 17, 20, 28, 31, 35}));
  list.Append(Comb({1, 2, 3, 4, 5, 6, 7}));
  list.Append(Comb({10, 20, 30, 31, 32, 33, 34}));
  EXPECT_EQ(CombsClipboardText(list, {{2, 2}, {0, 0}}),
            "03 11 17 20 28 31 35\n10 20 30 31 32 33 34\n");
  EXPECT_EQ(CombsClipboardText(list, {}), "");
  EXPECT_EQ(CombsClipboardText(list, {{0, 99}}).size(), 3u * 21);

  EXPECT_EQ(SplitTextLines("a\r\nb\nc\rd"), (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(SplitTextLines("a\r\n"), (std::vector<std::string>{"a"}));
  EXPECT_EQ(SplitTextLines("a\n\nb\n"), (std::vector<std::string>{"a", "", "b"}));
  EXPECT_TRUE(SplitTextLines("").empty());
}
