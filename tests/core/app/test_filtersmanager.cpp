// The favourite statistics manager: its tree, its commands, what confirming stores, names import and
// export.
#include <gtest/gtest.h>

#include <set>

#include <algorithm>
#include <filesystem>

#include "app/cmdline.h"
#include "app/filtersmanager.h"
#include "app/session.h"
#include "testutil.h"
#include "util/inifile.h"
#include "util/strutil.h"
#include "util/safefile.h"

using namespace quintar;
using quintar::test::ScriptedHost;
using quintar::test::TempDir;
using quintar::test::WriteBytes;

namespace {

using TNode = TFiltersManager::TNode;

struct Fixture {
  TempDir dir;
  ScriptedHost host;
  Session s{dir.Path(), host};
  Fixture() { s.StartCatalogue(); }
  // The node of a method by its code.
  static TNode Find(const TFiltersManager& m, const std::string& code, const Session& s) {
    const int method = s.Stats.IndexOfCode(code);
    for (size_t g = 0; g < m.Groups().size(); ++g)
      for (size_t e = 0; e < m.Groups()[g].Entries.size(); ++e)
        if (m.Groups()[g].Entries[e].Method == method) return {static_cast<int>(g), static_cast<int>(e)};
    return {};
  }
};

}  // namespace

TEST(FiltersManager, TreeInCatalogueOrder) {
  Fixture f;
  TFiltersManager m(f.s);
  EXPECT_EQ(m.CountText(), "всего " + std::to_string(f.s.Stats.Count()) + " методов");
  ASSERT_FALSE(m.Empty());
  EXPECT_EQ(m.Groups()[0].Caption, "{ num } Числа тиража");
  EXPECT_EQ(m.Groups()[1].Group, 1);
  // Every method once, each under its own group, in catalogue order within the group.
  std::vector<int> seen(static_cast<size_t>(f.s.Stats.Count()), 0);
  for (const auto& g : m.Groups()) {
    int prev = -1;
    for (const auto& e : g.Entries) {
      ++seen[static_cast<size_t>(e.Method)];
      EXPECT_EQ(f.s.Stats.StatClass(e.Method).GetGroup(), g.Group);
      EXPECT_GT(e.Method, prev);
      prev = e.Method;
      EXPECT_TRUE(e.Checked);
      EXPECT_EQ(e.Text, f.s.Stats.DisplayName(e.Method));
    }
  }
  EXPECT_EQ(std::count(seen.begin(), seen.end(), 1), f.s.Stats.Count());
  // Options follow the catalogue.
  EXPECT_FALSE(m.SortOnName);
  EXPECT_TRUE(m.ShowGroupName);
  EXPECT_TRUE(m.ShowFlags);
}

TEST(FiltersManager, CommandsAndTheirRules) {
  Fixture f;
  TFiltersManager m(f.s);
  EXPECT_TRUE(m.CanCheckAll());
  EXPECT_FALSE(m.CanGroupNone());
  EXPECT_FALSE(m.CanRename());
  EXPECT_TRUE(m.CanNamesImport());
  m.Selected = {1, -1};  // the sums group
  EXPECT_TRUE(m.CanGroupNone());
  EXPECT_FALSE(m.CanRename());
  EXPECT_FALSE(m.CanInfo());
  m.GroupNone();
  for (const auto& e : m.Groups()[1].Entries) EXPECT_FALSE(e.Checked);
  EXPECT_TRUE(m.Groups()[0].Entries[0].Checked);
  m.Toggle({1, -1});  // a group node has no tick
  m.Selected = {1, 2};  // a method node selects its group
  m.GroupAll();
  for (const auto& e : m.Groups()[1].Entries) EXPECT_TRUE(e.Checked);
  m.Toggle({1, 2});
  EXPECT_FALSE(m.Groups()[1].Entries[2].Checked);
  m.CheckNone();
  m.CheckAll();
  EXPECT_TRUE(m.Groups()[1].Entries[2].Checked);

  const TNode nums = Fixture::Find(m, "NUMS", f.s);
  m.Selected = nums;
  ASSERT_TRUE(m.CanRename());
  EXPECT_EQ(m.RenameText(), "Числа тиража");
  m.Rename("  Мои числа ");
  EXPECT_EQ(m.Entry(nums).Text, "Мои числа");
  m.ResetName();
  EXPECT_EQ(m.Entry(nums).Text, "Числа тиража");
  m.Selected = {-1, -1};
  m.Rename("x");  // nothing selected: nothing happens
  EXPECT_EQ(m.Entry(nums).Text, "Числа тиража");
}

TEST(FiltersManager, AllUntickedMeansAllAndDefaultNamesInAnotherCaseAreEmpty) {
  Fixture f;
  {
    TFiltersManager m(f.s);
    m.CheckNone();
    m.Selected = Fixture::Find(m, "NUMS", f.s);
    m.Rename("ЧИСЛА ТИРАЖА");  // the default name in capitals
    m.Selected = Fixture::Find(m, "SUMS", f.s);
    m.Rename("Моя сумма");
    m.SortOnName = true;
    m.Confirm();
  }
  const TStatList& list = f.s.Stats;
  EXPECT_TRUE(list.ShowAll);
  for (const auto& meth : list.Methods) EXPECT_TRUE(meth.Favorite);
  EXPECT_EQ(list.Method(list.IndexOfCode("NUMS")).Caption, "");
  EXPECT_EQ(list.Method(list.IndexOfCode("SUMS")).Caption, "Моя сумма");
  EXPECT_TRUE(list.Ordered);
  EXPECT_TRUE(f.s.IsIdle());
  EXPECT_NE(std::find(f.host.statuses.begin(), f.host.statuses.end(), "Подождите пожалуйста..."),
            f.host.statuses.end());
  // The favourites file: no favourite selection, only the own names that differ.
  IniFile ini(f.s.FilePath(".flt"));
  EXPECT_EQ(ini.ReadString("FILTERS", "Favorites", "?"), "");
  EXPECT_TRUE(ini.ReadBool("FILTERS", "Ordered", false));
  EXPECT_EQ(ini.ReadString("STRINGS_RUS", "NUMS", "none"), "none");
  EXPECT_EQ(ini.ReadString("STRINGS_RUS", "SUMS", ""), "Моя сумма");
  // The choosers show the new name, sorted.
  const auto& items = f.s.DrawsStatChooser.Items;
  EXPECT_NE(std::find_if(items.begin(), items.end(),
                         [](const std::string& t) { return t.find("Моя сумма") != std::string::npos; }),
            items.end());
  EXPECT_TRUE(std::is_sorted(items.begin(), items.end(),
                             [](const std::string& a, const std::string& b) { return AnsiCompareText(a, b) < 0; }));
}

TEST(FiltersManager, SomeTickedLimitTheChoosers) {
  Fixture f;
  {
    TFiltersManager m(f.s);
    m.CheckNone();
    m.Toggle(Fixture::Find(m, "NUMS", f.s));
    m.Toggle(Fixture::Find(m, "SUMS", f.s));
    m.Confirm();
  }
  EXPECT_FALSE(f.s.Stats.ShowAll);
  EXPECT_EQ(f.s.Stats.FavoritesText(), "NUMS,SUMS");
  EXPECT_EQ(f.s.DrawsStatChooser.Count(), 2);
  EXPECT_EQ(f.s.DrawsStatChooser.ItemIndex, 0);
  // Opening the manager again shows the ticks as stored.
  TFiltersManager again(f.s);
  EXPECT_TRUE(again.Entry(Fixture::Find(again, "NUMS", f.s)).Checked);
  EXPECT_FALSE(again.Entry(Fixture::Find(again, "EVEN", f.s)).Checked);
}

TEST(FiltersManager, NamesExportImportAndCancel) {
  Fixture f;
  const std::string exported = f.dir.File("names.flt");
  {
    TFiltersManager m(f.s);
    m.Selected = Fixture::Find(m, "EVEN", f.s);
    m.Rename("Чётные");
    ASSERT_TRUE(m.NamesExport(exported));
    // The catalogue keeps the names of the program's own file.
    EXPECT_EQ(f.s.Stats.Method(f.s.Stats.IndexOfCode("EVEN")).Caption, "");
    EXPECT_EQ(m.Entry(m.Selected).Text, "Чётные");
    m.Cancel();
  }
  IniFile ini(exported);
  EXPECT_EQ(ini.ReadString("STRINGS_RUS", "EVEN", ""), "Чётные");
  EXPECT_EQ(ini.ReadString("STRINGS_RUS", "NUMS", ""), "Числа тиража");  // every name
  EXPECT_EQ(ini.ReadString("FILTERS", "Favorites", "none"), "none");      // no favourites section

  // Import into a fresh dialog: the names come from the file, the ticks stay as the dialog had them.
  IniFile other(f.dir.File("other.flt"));
  other.WriteString("STRINGS_RUS", "SUMS", "Сумма из файла");
  other.WriteString("FILTERS", "Favorites", "NUMS");
  other.UpdateFile();
  {
    TFiltersManager m(f.s);
    m.Toggle(Fixture::Find(m, "DIGS", f.s));
    ASSERT_TRUE(m.NamesImport(f.dir.File("other.flt")));
    EXPECT_EQ(m.Entry(Fixture::Find(m, "SUMS", f.s)).Text, "Сумма из файла");
    EXPECT_FALSE(m.Entry(Fixture::Find(m, "DIGS", f.s)).Checked);
    EXPECT_TRUE(m.Entry(Fixture::Find(m, "EVEN", f.s)).Checked);
    EXPECT_TRUE(f.s.Stats.ShowAll);  // the file's favourites were not read
    m.Cancel();
  }
  EXPECT_EQ(f.s.Stats.Method(f.s.Stats.IndexOfCode("SUMS")).Caption, "");  // cancelled

  // A file that cannot be read: the message, the tree as it was.
  {
    TFiltersManager m(f.s);
    std::filesystem::create_directories(f.dir.File("dir.flt"));
    EXPECT_FALSE(m.NamesImport(f.dir.File("dir.flt")));
    ASSERT_FALSE(f.host.messages.empty());
    EXPECT_EQ(f.host.messages.back().text.rfind("Ошибка загрузки списка фильтров!", 0), 0u);
  }
}

// Descriptions: the pages shipped beside the program files, and the address a statistic gives.
TEST(StatDescriptions, ShippedPagesAndTheirAddresses) {
  const std::string shipped = ExtractFilePath(QUINTAR_CLI) + "help/";
  TStatList list;
  list.BuildCatalogue();
  // Every method of the catalogue has its page; indexed methods share one.
  std::set<std::string> pages;
  for (int i = 0; i < list.Count(); ++i) {
    const TStatClassInfo& cls = list.StatClass(i);
    const std::string page = shipped + StatPageName(cls, list.Param(i));
    EXPECT_TRUE(FileExists(page)) << page;
    EXPECT_NE(ReadWholeFile(page).find("<title>"), std::string::npos) << page;
    pages.insert(page);
  }
  EXPECT_EQ(list.Count(), 182);
  EXPECT_EQ(pages.size(), 109u);  // the pages of the indexed classes (POSx, CHNx, SDNx ...) serve several methods each

  // The address is the page's path while the page exists, else the help file's page, else nothing.
  TempDir dir;
  ScriptedHost host;
  Session s(dir.Path(), host);
  const std::string before = StatPagesFolder();
  EXPECT_EQ(before, ExtractFilePath(CurrentProgramPath()) + "help/");
  s.StartCatalogue();
  SetStatPagesFolder(shipped);
  s.DrawsStatChooser.ItemIndex = 0;
  const int nums = s.DrawsStatChooser.SelectedMethod();
  ASSERT_EQ(s.Stats.CodeOf(nums), "NUMS");
  EXPECT_EQ(s.FiltersInfo(), shipped + "Filters_1049_NUMS.htm");
  EXPECT_TRUE(host.messages.empty());
  SetStatPagesFolder(dir.Path());
  EXPECT_EQ(s.FiltersInfo(), "");
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].kind, MsgKind::Information);
  EXPECT_EQ(host.messages[0].text, "Описание статистики не найдено!");
  WriteBytes(dir.File("Quintar.chm"), "chm");
  SetStatHelpFile(dir.File("Quintar.chm"));
  EXPECT_EQ(s.StatHelpUrl(nums), "ms-its:" + dir.File("Quintar.chm") + "::/Filters_1049_NUMS.htm");
  SetStatHelpFile("");
  s.DrawsStatChooser.ItemIndex = -1;
  EXPECT_FALSE(s.CanFiltersInfo());
  SetStatPagesFolder(before);
}
