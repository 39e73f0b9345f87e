// Stored number systems: file names, choosing the file for a count of numbers, mapping positions onto
// numbers and refusing bad lines with their file and line named.
#include <gtest/gtest.h>

#include "online/storedsystems.h"
#include "testutil.h"
#include "util/safefile.h"

using namespace quintar;
using quintar::test::ScriptedHost;
using quintar::test::TempDir;
using quintar::test::WriteBytes;

namespace {

TComb Comb(std::initializer_list<int> nums) {
  TComb c{};
  int i = 0;
  for (int n : nums) c.n[i++] = static_cast<uint8_t>(n);
  return c;
}

const TByteArray kEight = {5, 9, 12, 20, 21, 25, 30, 33};

}  // namespace

TEST(StoredSystems, FileNames) {
  EXPECT_EQ(SystemFileName(12, 0, 42), "7-12-0_0042.dat");
  EXPECT_EQ(SystemFileName(8, 3, 12345), "7-08-3_12345.dat");
  TempDir dir;
  EXPECT_EQ(SystemsDir(dir.Path()), dir.Path() + "Systems/");
  EXPECT_FALSE(SystemDownloaded(dir.Path(), 12, 0, 42));
  ASSERT_TRUE(ForceSystemsDir(dir.Path()));
  WriteBytes(SystemsDir(dir.Path()) + "7-12-0_0042.dat", "");
  EXPECT_TRUE(SystemDownloaded(dir.Path(), 12, 0, 42));
}

TEST(StoredSystems, PositionsBecomeNumbersInLineOrder) {
  const TCombsArray combs = SystemCombsFromText("1 3 5 6 7 8 2\r\n01*02+03,04.05/06:07 99\r\n", kEight, "s.dat");
  ASSERT_EQ(combs.size(), 2u);
  EXPECT_EQ(combs[0], Comb({5, 12, 21, 25, 30, 33, 9}));  // not sorted
  EXPECT_EQ(combs[1], Comb({5, 9, 12, 20, 21, 25, 30}));  // fields after the seventh are ignored
  // Every separator of the set, in runs.
  EXPECT_EQ(SystemCombsFromText("1 -2==3\\4__5||6~~;7", kEight, "s.dat")[0], Comb({5, 9, 12, 20, 21, 25, 30}));
  // Blank lines hold no combination.
  EXPECT_EQ(SystemCombsFromText("\r\n1 2 3 4 5 6 7\r\n  \r\n\r\n", kEight, "s.dat").size(), 1u);
}

TEST(StoredSystems, BadLinesNameFileAndLine) {
  auto error = [](std::string_view text) {
    try {
      SystemCombsFromText(text, kEight, "7-08-0_0001.dat");
    } catch (const EQuintar& e) {
      return std::string(e.what());
    }
    return std::string("no error");
  };
  EXPECT_EQ(error("1 2 3 4 5 6 7\r\n1 2 3 4 5 6 9\r\n"),
            "Строка 2 файла \"7-08-0_0001.dat\": позиция 9 вне диапазона 1..8.");
  EXPECT_EQ(error("0 2 3 4 5 6 7"), "Строка 1 файла \"7-08-0_0001.dat\": позиция 0 вне диапазона 1..8.");
  EXPECT_EQ(error("1 2 3 x4 5 6 7"), "Строка 1 файла \"7-08-0_0001.dat\": позиция \"x4\" не является целым числом.");
  EXPECT_EQ(error("1 2 3\t4 5 6 7 8"),
            "Строка 1 файла \"7-08-0_0001.dat\": позиция \"3\t4\" не является целым числом.");
  EXPECT_EQ(error("1 2 3 4 5 6"), "Строка 1 файла \"7-08-0_0001.dat\": указано позиций 6, а нужно 7.");
  EXPECT_EQ(error("1 2 3 4 5 6 1"), "Строка 1 файла \"7-08-0_0001.dat\": позиция 1 указана дважды.");
}

TEST(StoredSystems, LoadChoosesTheFileForTheCount) {
  TempDir dir;
  ScriptedHost host;
  TCombsArray combs;
  std::string name;

  // No folder at all.
  EXPECT_FALSE(LoadSystemCombs(dir.Path(), host, kEight, combs, name));
  EXPECT_EQ(name, "Система для 8 чисел не найдена или не загружена на компьютер!");
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].kind, MsgKind::Error);
  EXPECT_EQ(host.messages[0].text,
            "Система для 8 чисел не найдена или не загружена на компьютер!\r\rПеред системной игрой необходимо "
            "предварительно загрузить системы на Ваш компьютер через меню \"Системы\" - \"Загрузить\".");

  ForceSystemsDir(dir.Path());
  const std::string sys = SystemsDir(dir.Path());
  // Files for other counts, wrong names and folders are never taken.
  WriteBytes(sys + "7-09-0_0001.dat", "1 2 3 4 5 6 9\r\n");
  WriteBytes(sys + "7-08-0.dat", "1 2 3 4 5 6 7\r\n");
  WriteBytes(sys + "7-08-0_0002.txt", "1 2 3 4 5 6 7\r\n");
  ForceDirectories(sys + "7-08-0_0003.dat");
  EXPECT_FALSE(LoadSystemCombs(dir.Path(), host, kEight, combs, name));
  EXPECT_EQ(host.messages.size(), 2u);

  WriteBytes(sys + "7-08-1_0007.DAT", "1 3 5 6 7 8 2\r\n8 7 6 5 4 3 2\r\n");
  EXPECT_TRUE(LoadSystemCombs(dir.Path(), host, kEight, combs, name));
  EXPECT_EQ(name, sys + "7-08-1_0007.DAT");
  ASSERT_EQ(combs.size(), 2u);
  EXPECT_EQ(combs[0], Comb({5, 12, 21, 25, 30, 33, 9}));
  EXPECT_EQ(combs[1], Comb({33, 30, 25, 21, 20, 12, 9}));
  EXPECT_EQ(host.messages.size(), 2u);

  // A bad line: the load error box, no combinations.
  WriteBytes(sys + "7-08-1_0007.DAT", "1 2 3 4 5 6 7\r\n1 2 3 4 5 6 12\r\n");
  EXPECT_FALSE(LoadSystemCombs(dir.Path(), host, kEight, combs, name));
  EXPECT_TRUE(combs.empty());
  ASSERT_EQ(host.messages.size(), 3u);
  EXPECT_EQ(host.messages[2].text,
            "Ошибка загрузки комбинаций системы!\r\rСтрока 2 файла \"7-08-1_0007.DAT\": позиция 12 вне диапазона 1..8.");

  // An empty file reads no combination: no success, no message.
  WriteBytes(sys + "7-08-1_0007.DAT", "");
  EXPECT_FALSE(LoadSystemCombs(dir.Path(), host, kEight, combs, name));
  EXPECT_EQ(host.messages.size(), 3u);
}

TEST(StoredSystems, FileTimeMarksTheVersion) {
  TempDir dir;
  const std::string path = dir.File("7-12-0_0042.dat");
  WriteBytes(path, "1 2 3 4 5 6 7\r\n");
  const TDateTime created = EncodeDate(2019, 3, 14) + (15 * 3600 + 9 * 60 + 26) / 86400.0;
  ASSERT_TRUE(SetSystemFileTime(path, created));
  EXPECT_NEAR(SystemFileTime(path), created, 1.0 / 86400);
  EXPECT_EQ(SystemFileTime(dir.File("none.dat")), 0);
  EXPECT_FALSE(SetSystemFileTime(dir.File("none.dat"), created));
}
