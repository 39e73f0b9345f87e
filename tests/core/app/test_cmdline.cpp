#include <gtest/gtest.h>

#include "app/cmdline.h"
#include "app/formsettings.h"
#include "app/language.h"
#include "testutil.h"
#include "util/safefile.h"

using namespace quintar;

TEST(CommandLine, SwitchForms) {
  for (const char* a : {"-LOADONLY", "/loadonly", "--LoadOnly", "\\loadonly", "loadonly"})
    EXPECT_TRUE(CommandLine({a}).HasSwitch("loadonly")) << a;
  EXPECT_FALSE(CommandLine({"loadonly=1"}).HasSwitch("loadonly"));
  EXPECT_FALSE(CommandLine({"---loadonly"}).HasSwitch("loadonly"));
  EXPECT_TRUE(CommandLine({"x", "No-Language"}).HasSwitch("no-language"));
  CommandLine c({"--data-dir=/tmp/q", "restart"});
  EXPECT_EQ(c.Value("data-dir").value(), "/tmp/q");
  EXPECT_FALSE(c.Value("other").has_value());
}

TEST(DataFolder, ExplicitFolderIsCreatedAndWins) {
  test::TempDir dir;
  std::string want = dir.File("sub/data");
  std::string got = ResolveDataFolder("/usr/bin/quintar-cli", want);
  EXPECT_TRUE(DirectoryExists(want));
  EXPECT_EQ(got.back(), '/');
  EXPECT_NE(got.find("sub/data"), std::string::npos);
}

TEST(DataFolder, ProgramFolderWhenWritableElseXdgData) {
  test::TempDir dir;
  ::setenv("XDG_DATA_HOME", dir.File("xdg").c_str(), 1);
  std::string got = ResolveDataFolder("/no-such-folder/quintar-cli", std::nullopt);
  EXPECT_EQ(got, dir.File("xdg/Quintar_7x35/"));
  EXPECT_TRUE(DirectoryExists(got));
  ForceDirectories(dir.File("prog"));
  EXPECT_EQ(ResolveDataFolder(dir.File("prog/quintar-cli"), std::nullopt), dir.File("prog/"));
}

// An installed program (<prefix>/bin beside <prefix>/share/quintar-7x35/help) keeps its data in the XDG
// folder even where it may write into its own folder, and reads pages, modules and the manual from share.
TEST(DataFolder, InstalledProgramReadsShareAndWritesXdg) {
  test::TempDir dir;
  ::setenv("XDG_DATA_HOME", dir.File("xdg").c_str(), 1);
  const std::string program = dir.File("usr/bin/Quintar_7x35");
  ForceDirectories(dir.File("usr/bin"));
  EXPECT_EQ(InstalledFilesFolder(program), "");
  EXPECT_EQ(ProgramFilesFolder(program), dir.File("usr/bin/"));
  ForceDirectories(dir.File("usr/share/quintar-7x35"));  // no help folder: not an install
  EXPECT_EQ(ResolveDataFolder(program, std::nullopt), dir.File("usr/bin/"));

  ForceDirectories(dir.File("usr/share/quintar-7x35/help"));
  const std::string share = dir.File("usr/share/quintar-7x35/");
  EXPECT_EQ(InstalledFilesFolder(program), share);
  EXPECT_EQ(ProgramFilesFolder(program), share);
  EXPECT_EQ(ResolveDataFolder(program, std::nullopt), dir.File("xdg/Quintar_7x35/"));
  EXPECT_EQ(ResolveDataFolder(program, dir.File("mine")), dir.File("mine/"));
  EXPECT_EQ(LanguageModulePath(program, "ENU"), share + "Quintar_7x35_ENU.lng");
  // The help file: the install's when nothing is beside the program, the program folder's first.
  EXPECT_EQ(FindHelpFile(program, "RUS", HelpFileExtensions()), share + "help/Zembra_RUS.html");
  WriteFileAtomic(dir.File("usr/bin/Zembra_RUS.html"), "<html></html>");
  EXPECT_EQ(FindHelpFile(program, "RUS", HelpFileExtensions()), dir.File("usr/bin/Zembra_RUS.html"));
}

TEST(FormSettings, EveryWriteReachesTheFile) {
  test::TempDir dir;
  FormSettings f(dir.File("Quintar_7x35.frm"));
  EXPECT_EQ(f.ReadFormInt("TFormMain", "DrawsStatLen", 1000), 1000);
  EXPECT_TRUE(f.ReadFormBool("TFormMain", "ColorDraws", true));
  f.WriteFormInt("TFormMain", "DrawsStatLen", 250);
  f.WriteFormBool("TFormMain", "ColorDraws", false);
  f.WriteFormBool("TFormGraph", "ColorDraws", true);
  FormSettings g(dir.File("Quintar_7x35.frm"));
  EXPECT_EQ(g.ReadFormInt("tformmain", "drawsstatlen", 0), 250);
  EXPECT_FALSE(g.ReadFormBool("TFormMain", "ColorDraws", true));
  EXPECT_TRUE(g.ReadFormBool("TFormGraph", "ColorDraws", false));
  EXPECT_NE(ReadWholeFile(dir.File("Quintar_7x35.frm")).find("[TFormMain]\r\n"), std::string::npos);
}
