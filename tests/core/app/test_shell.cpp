#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "app/language.h"
#include "app/session.h"
#include "app/shell.h"
#include "testutil.h"

using namespace quintar;
using quintar::test::MakeDraw;
using quintar::test::ScriptedHost;
using quintar::test::TempDir;
using quintar::test::WriteBytes;

TEST(Language, AbbreviationsAndModuleNames) {
  ASSERT_NE(FindLocale(1033), nullptr);
  EXPECT_STREQ(FindLocale(1033)->Abbrev, "ENU");
  EXPECT_STREQ(FindLocale(1049)->Abbrev, "RUS");
  EXPECT_STREQ(FindLocale(1031)->Abbrev, "DEU");
  EXPECT_EQ(FindLocale(1034), nullptr);
  EXPECT_EQ(PrimaryLanguage(2057), PrimaryLanguage(1033));
  EXPECT_EQ(LanguageModulePath("/opt/q/Quintar_7x35", "ENU"), "/opt/q/Quintar_7x35_ENU.lng");
  EXPECT_EQ(LanguageModulePath("/opt/q.d/Quintar_7x35.exe", "DEU"), "/opt/q.d/Quintar_7x35_DEU.lng");
  for (size_t i = 1; i < KnownLocales().size(); ++i) EXPECT_LT(KnownLocales()[i - 1].Lcid, KnownLocales()[i].Lcid);
}

TEST(Language, OnlyLanguagesWithModulesAreOffered) {
  TempDir dir;
  std::string prog = dir.File("Quintar_7x35");
  EXPECT_EQ(AvailableLanguages(prog), (std::vector<int>{1049}));
  // English is the stored default; without its module the base language is used.
  TLanguageChoice c = ChooseLanguage(prog, kDefaultLanguage);
  EXPECT_EQ(c.Lcid, kBaseLanguage);
  EXPECT_EQ(c.ModulePath, "");

  WriteBytes(dir.File("Quintar_7x35_ENU.lng"), "x");
  WriteBytes(dir.File("Quintar_7x35_DEU.lng"), "x");
  EXPECT_EQ(AvailableLanguages(prog), (std::vector<int>{1031, 1033, 1049}));
  c = ChooseLanguage(prog, 1033);
  EXPECT_EQ(c.Lcid, 1033);
  EXPECT_EQ(c.ModulePath, dir.File("Quintar_7x35_ENU.lng"));
  EXPECT_EQ(ChooseLanguage(prog, 1049).Lcid, 1049);
  EXPECT_EQ(ChooseLanguage(prog, 4242).Lcid, 1049);  // not a known locale
}

TEST(Language, HelpFileSearchOrder) {
  TempDir dir;
  std::filesystem::create_directories(dir.File("app/bin/help"));
  std::filesystem::create_directories(dir.File("app/help"));
  std::string prog = dir.File("app/bin/Quintar_7x35");
  const auto& exts = HelpFileExtensions();
  // Nothing exists: the last candidate, in the folder "help" beside the program's folder.
  EXPECT_EQ(FindHelpFile(prog, "RUS", exts), dir.File("app/help/Zembra_RUS.html"));
  WriteBytes(dir.File("app/help/Zembra_RUS.chm"), "x");
  EXPECT_EQ(FindHelpFile(prog, "RUS", exts), dir.File("app/help/Zembra_RUS.chm"));
  WriteBytes(dir.File("app/bin/help/Zembra_RUS.html"), "x");
  EXPECT_EQ(FindHelpFile(prog, "RUS", exts), dir.File("app/bin/help/Zembra_RUS.html"));
  WriteBytes(dir.File("app/bin/Zembra_RUS.html"), "x");
  EXPECT_EQ(FindHelpFile(prog, "RUS", exts), dir.File("app/bin/Zembra_RUS.html"));
  WriteBytes(dir.File("app/bin/Zembra_RUS.chm"), "x");
  EXPECT_EQ(FindHelpFile(prog, "RUS", exts), dir.File("app/bin/Zembra_RUS.chm"));
  EXPECT_TRUE(IsCompiledHelp("a/Zembra_RUS.CHM"));
  EXPECT_FALSE(IsCompiledHelp("a/Zembra_RUS.html"));
}

TEST(Shell, LinkAddresses) {
  EXPECT_EQ(LinkUrl("https://example.org/a"), "https://example.org/a");
  EXPECT_EQ(LinkUrl("HTTP://Example.org"), "HTTP://Example.org");
  EXPECT_EQ(LinkUrl("ftps://files.example.org"), "ftps://files.example.org");
  EXPECT_EQ(LinkUrl("example.org/page"), "http://example.org/page");
  EXPECT_EQ(LinkUrl("mailto:a@b"), "http://mailto:a@b");
}

TEST(Shell, OtherInstanceByProgramFileName) {
  TempDir dir;
  // A copy of a harmless program under the name of ours, started from another folder.
  std::string copy = dir.File("QuInTaR_Test_Instance");
  std::filesystem::copy_file("/bin/sleep", copy);
  ::chmod(copy.c_str(), 0755);
  EXPECT_FALSE(OtherInstanceRunning("quintar_test_instance"));
  pid_t pid = ::fork();
  if (pid == 0) {
    ::execl(copy.c_str(), copy.c_str(), "30", static_cast<char*>(nullptr));
    ::_exit(127);
  }
  bool seen = false;
  for (int i = 0; i < 200 && !seen; ++i) {
    seen = OtherInstanceRunning("quintar_test_instance");
    if (!seen) ::usleep(10000);
  }
  EXPECT_TRUE(seen);
  // Replacing the program file while it runs does not hide the process.
  std::filesystem::remove(copy);
  EXPECT_TRUE(OtherInstanceRunning("QUINTAR_TEST_INSTANCE"));
  ::kill(pid, SIGKILL);
  ::waitpid(pid, nullptr, 0);
  EXPECT_FALSE(OtherInstanceRunning("quintar_test_instance"));
  // This process never counts as another instance of itself.
  std::string self;
  for (const auto& p : RunningPrograms())
    if (p.Pid == static_cast<int>(::getpid())) self = p.FileName;
  ASSERT_FALSE(self.empty());
  EXPECT_FALSE(OtherInstanceRunning(self));
}

TEST(Session, DrawListColoursFollowTheOffsetAndTheSwitch) {
  TempDir dir;
  ScriptedHost host;
  Session s(dir.Path(), host);
  s.Archive.AppendDraw(MakeDraw(1, {1, 6, 11, 16, 21, 26, 35}, 1));
  s.Archive.AppendDraw(MakeDraw(2, {35, 2, 3, 4, 5, 7, 8}, 2));
  s.RefreshDrawsList(true);
  // Row 0 is the newest draw, inside the analysis window at offset 0.
  EXPECT_EQ(s.DrawListCellColor(0, 0), 0xFFAAAAu);
  EXPECT_EQ(s.DrawListCellColor(0, 1), ChannelColor(35, 5));
  EXPECT_EQ(s.DrawListCellColor(1, 10), 0xFFFFFFu);
  EXPECT_EQ(s.DrawListCellColor(1, 7), ChannelColor(35, 5));
  EXPECT_EQ(s.DrawListCellColor(2, 0), std::nullopt);
  s.SortedView = true;  // the colours follow the numbers as shown
  EXPECT_EQ(s.DrawListCellColor(0, 1), ChannelColor(2, 5));
  s.SetDrawsOffset(1);
  EXPECT_EQ(s.DrawListCellColor(0, 0), 0xFFFFFFu);
  EXPECT_EQ(s.DrawListCellColor(1, 0), 0xFFAAAAu);
  s.ColorDraws = false;
  EXPECT_EQ(s.DrawListCellColor(1, 3), 0xFFAAAAu);
  EXPECT_EQ(s.DrawListCellColor(0, 3), std::nullopt);
  EXPECT_TRUE(s.DrawNumberUsed(2));
  EXPECT_FALSE(s.DrawNumberUsed(2, 1));
  EXPECT_FALSE(s.DrawNumberUsed(3));
}
