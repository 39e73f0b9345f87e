#include <gtest/gtest.h>

#include "testutil.h"
#include "util/cp1251.h"
#include "util/inifile.h"
#include "util/safefile.h"

using namespace quintar;
using quintar::test::TempDir;

TEST(IniFile, RoundTripsCyrillicThroughWindows1251) {
  TempDir dir;
  std::string path = dir.File("a.ini");
  {
    IniFile ini(path);
    ini.WriteString("STRINGS_RUS", "NUMS", "Числа тиража «1»");
    ini.WriteInteger("GLOBAL", "MatrixCols", 5);
    ini.WriteBool("GLOBAL", "Flag", true);
    ini.WriteFloat("STAKES", "Cost", 0.5);
    ini.UpdateFile();
  }
  std::string raw = ReadWholeFile(path);
  EXPECT_NE(raw.find(Utf8ToCp1251("Числа тиража")), std::string::npos);
  EXPECT_NE(raw.find("\r\n"), std::string::npos);
  EXPECT_NE(raw.find("Cost=0,5"), std::string::npos);
  IniFile back(path);
  EXPECT_EQ(back.ReadString("strings_rus", "nums", ""), "Числа тиража «1»");
  EXPECT_EQ(back.ReadInteger("Global", "MATRIXCOLS", 0), 5);
  EXPECT_TRUE(back.ReadBool("GLOBAL", "Flag", false));
  EXPECT_DOUBLE_EQ(back.ReadFloat("STAKES", "Cost", 0), 0.5);
}

TEST(IniFile, DefaultsBooleansAndMalformedValues) {
  IniFile ini;
  ini.SetText("[S]\r\nb1=1\r\nb2=0\r\nb3=7\r\nb4=yes\r\nn= 12 \r\nf1=1.25\r\nf2=1,25\r\nbad=1x\r\n");
  EXPECT_TRUE(ini.ReadBool("S", "b1", false));
  EXPECT_FALSE(ini.ReadBool("S", "b2", true));
  EXPECT_TRUE(ini.ReadBool("S", "b3", false));   // any non-zero integer is true
  EXPECT_TRUE(ini.ReadBool("S", "b4", true));    // not an integer: the default
  EXPECT_FALSE(ini.ReadBool("S", "b4", false));
  EXPECT_EQ(ini.ReadInteger("S", "n", 0), 12);   // values are trimmed
  EXPECT_EQ(ini.ReadInteger("S", "bad", -1), -1);
  EXPECT_EQ(ini.ReadInteger("S", "missing", 42), 42);
  EXPECT_DOUBLE_EQ(ini.ReadFloat("S", "f1", 0), 1.25);
  EXPECT_DOUBLE_EQ(ini.ReadFloat("S", "f2", 0), 1.25);
  EXPECT_EQ(ini.ReadString("Other", "x", "def"), "def");
}

TEST(IniFile, SectionsKeysAndErasing) {
  IniFile ini;
  ini.SetText("[A]\nx=1\ny=2\n[B]\nz=3\n[a]\nx=9\n");
  EXPECT_EQ(ini.ReadSections().size(), 2u);  // [a] is the same section as [A]
  EXPECT_EQ(ini.ReadInteger("A", "x", 0), 1);
  ini.DeleteKey("a", "X");
  EXPECT_FALSE(ini.ValueExists("A", "x"));
  ini.EraseSection("b");
  EXPECT_FALSE(ini.SectionExists("B"));
  ini.WriteString("A", "Y", "new");
  EXPECT_EQ(ini.ReadSection("A").size(), 1u);
  EXPECT_EQ(ini.ReadString("A", "y", ""), "new");
}

TEST(IniFile, MissingOrUnwritableFiles) {
  TempDir dir;
  IniFile missing(dir.File("none.ini"));
  EXPECT_EQ(missing.ReadInteger("X", "y", 3), 3);
  IniFile bad(dir.File("no/such/folder/a.ini"));
  bad.WriteInteger("X", "y", 1);
  EXPECT_THROW(bad.UpdateFile(), FileError);
}
