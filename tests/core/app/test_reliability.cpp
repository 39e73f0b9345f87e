// What must hold whatever the input files hold and however a write ends: bad files give a clear message
// and change nothing, a killed or failed write leaves the old or a whole new file, and the stakes file and
// the rating agree afterwards. The commands run as the real quintar-cli in fresh data folders.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <map>
#include <thread>

#include "app/session.h"
#include "combs/checkjournal.h"
#include "combs/ratings.h"
#include "combs/stakesfile.h"
#include "game/drawarchive.h"
#include "stats/configedit.h"
#include "testutil.h"
#include "util/format.h"
#include "util/inifile.h"
#include "util/safefile.h"
#include "util/strutil.h"

namespace quintar {
namespace {

using test::RunCli;
using test::TempDir;

// Every file of a folder with its bytes; lock files, which any writer may create, are left out.
std::map<std::string, std::string> Snapshot(const std::string& dir) {
  std::map<std::string, std::string> files;
  for (const auto& e : std::filesystem::directory_iterator(dir))
    if (e.is_regular_file() && e.path().extension() != ".lock")
      files[e.path().filename().string()] = ReadWholeFile(e.path().string());
  return files;
}

std::string DrawRecord(int number, std::initializer_list<int> nums, int bonus) {
  TDraw d = test::MakeDraw(number, nums, bonus, "5 Jan 2017");
  return std::string(reinterpret_cast<const char*>(&d), sizeof d);
}

// A made-up archive of n draws numbered from first (not real results).
std::string MadeUpArchive(int n, int first = 1) {
  TDrawArchive a = MakeDemoArchive(n, 11);
  std::string bytes;
  for (int i = 0; i < a.Count(); ++i) {
    TDraw d = a[i];
    d.Number = first + i;
    bytes.append(reinterpret_cast<const char*>(&d), sizeof d);
  }
  return bytes;
}

// The checked stakes of the stakes file against the stakes the rating counts: they must be equal.
struct Agreement {
  int Checked = 0, Rated = 0, Torn = 0;
};
Agreement Agree(const std::string& dir) {
  Agreement a;
  TStakesFile f(dir + "Quintar_7x35.lsk");
  f.OpenStakes();
  f.ForEachStake([&](int, const TStakeRec& r) {
    if (r.Checked && r.Draw >= 0) ++a.Checked;
    if (r.Checked && r.Matches.Count < 0) ++a.Torn;
  });
  TRatings ratings;
  if (FileExists(dir + "Quintar_7x35.lrt")) ratings.LoadFromFile(dir + "Quintar_7x35.lrt");
  for (const TRatingRec& r : ratings.Rows()) a.Rated += r.Stakes;
  return a;
}

// A data folder with a made-up archive of 200 draws (1..200) and unchecked stakes for draws 101..300 in
// several series and comments; the archive then grows to 300 draws so that `stakes check` has work.
void StakesToCheck(const std::string& dir, int series) {
  test::WriteBytes(dir + "Quintar_7x35.ldr", MadeUpArchive(100));
  for (int i = 0; i < series; ++i) {
    const int a = 1 + i % 29;
    ASSERT_EQ(RunCli({"--data-dir=" + dir, "stakes", "add", Format("%d;%d;%d;%d;%d;%d;%d", {a, a + 1, a + 2, a + 3, a + 4, a + 5, a + 6}),
                      "--draw=101", "--draws=200", "--comment=S" + std::to_string(i % 5)}),
              0);
  }
  test::WriteBytes(dir + "Quintar_7x35.ldr", MadeUpArchive(300));
}

bool IsRoot() { return ::geteuid() == 0; }

// A small tmpfs over a folder of its own (root only); unmounted with the object.
class SmallDisk {
 public:
  explicit SmallDisk(size_t bytes) {
    path_ = dir_.File("disk/");
    std::filesystem::create_directories(path_);
    mounted_ = IsRoot() && ::mount("tmpfs", path_.c_str(), "tmpfs", 0, ("size=" + std::to_string(bytes)).c_str()) == 0;
  }
  ~SmallDisk() {
    if (mounted_) ::umount2(path_.c_str(), MNT_DETACH);
  }
  bool Mounted() const { return mounted_; }
  const std::string& Path() const { return path_; }
  // Fills the disk up to `left` free bytes with a file of its own.
  void Fill(size_t left) {
    Free();
    struct statvfs v {};
    ::statvfs(path_.c_str(), &v);
    const size_t free = static_cast<size_t>(v.f_bavail) * v.f_frsize;
    test::WriteBytes(path_ + "filler", std::string(free > left ? free - left : 0, '\0'));
  }
  void Free() { ::unlink((path_ + "filler").c_str()); }

 private:
  TempDir dir_;
  std::string path_;
  bool mounted_ = false;
};

// quintar-cli started in the background and killed with SIGKILL after ms milliseconds.
void KillCliAfter(const std::vector<std::string>& args, int ms) {
  pid_t pid = ::fork();
  if (pid == 0) {
    std::vector<std::string> copy = args;
    std::vector<char*> argv{const_cast<char*>(QUINTAR_CLI)};
    for (auto& a : copy) argv.push_back(a.data());
    argv.push_back(nullptr);
    if (!std::freopen("/dev/null", "w", stdout) || !std::freopen("/dev/null", "w", stderr)) ::_exit(127);
    ::execv(QUINTAR_CLI, argv.data());
    ::_exit(127);
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
  ::kill(pid, SIGKILL);
  int status = 0;
  ::waitpid(pid, &status, 0);
}

}  // namespace

// Bad input: the command fails with its message and exit 1, and no file of the data folder changes.
TEST(Reliability, BadInputFilesChangeNothing) {
  struct Case {
    const char* name;
    std::map<std::string, std::string> files;  // data folder files; "in.*" are the command's input
    std::vector<std::string> args;             // "@" stands for the data folder
    const char* message;
  };
  const std::string archive = MadeUpArchive(5);
  const Case cases[] = {
      {"CSV with a NUL after a field", {{"in.csv", std::string("3\0" "5", 3)}, {"Quintar_7x35.ldr", archive}},
       {"draws", "import", "@in.csv"}, kCsvNotText},
      {"UTF-16 CSV without a byte-order mark", {{"in.csv", std::string("1\0;\0\"\0", 6)}, {"Quintar_7x35.ldr", archive}},
       {"draws", "import", "@in.csv"}, kCsvNotText},
      {"draw number without a successor", {{"Quintar_7x35.ldr", archive}},
       {"draws", "add", "1;2;3;4;5;6;7;1", "--number=2147483647"}, kBadDrawNumberText},
      {"next draw after the highest number",
       {{"Quintar_7x35.ldr", DrawRecord(2147483646, {1, 2, 3, 4, 5, 6, 7}, 1)}},
       {"draws", "add", "1;2;3;4;5;6;8;1"}, kBadDrawNumberText},
      {"draw number in use", {{"Quintar_7x35.ldr", archive}}, {"draws", "add", "1;2;3;4;5;6;8;1", "--number=3"},
       "Тираж с номером 3 уже есть в архиве!"},
      {"stakes file of another version", {{"Quintar_7x35.lsk", std::string(313, '\x7f')}}, {"stakes", "list"},
       "не является файлом ставок этой версии программы"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    for (const auto& [name, bytes] : c.files) test::WriteBytes(dir.File(name), bytes);
    std::vector<std::string> args{"--data-dir=" + dir.Path()};
    for (std::string a : c.args) {
      if (a[0] == '@') a = dir.File(a.substr(1));
      args.push_back(a);
    }
    const auto before = Snapshot(dir.Path());
    std::string out, err;
    EXPECT_EQ(RunCli(args, &out, &err), 1) << out;
    EXPECT_NE(err.find(c.message), std::string::npos) << err;
    EXPECT_EQ(Snapshot(dir.Path()), before);
  }
}

// What the readers take: UTF-16 and UTF-8 files with a byte-order mark read like the exchange form, list
// lines that are not seven different numbers 1..35 are passed over, settings come into their range.
TEST(Reliability, ReadersTakeOnlyWhatIsValid) {
  TempDir dir;
  const std::string dd = "--data-dir=" + dir.Path();
  const std::string text = "1;\"5 Jan 2017\";3;11;17;20;28;31;35;5\r\n2;\"12 Jan 2017\";1;2;3;4;5;6;7;20\r\n";
  std::string le = "\xFF\xFE", be = "\xFE\xFF";
  for (char ch : text) {
    le += ch;
    le += '\0';
    be += '\0';
    be += ch;
  }
  std::string out;
  for (const std::string& bytes : {le, be, "\xEF\xBB\xBF" + text}) {
    std::filesystem::remove(dir.File("Quintar_7x35.ldr"));
    test::WriteBytes(dir.File("in.csv"), bytes);
    ASSERT_EQ(RunCli({dd, "draws", "import", dir.File("in.csv")}, &out), 0);
    EXPECT_EQ(out, "Архив тиражей: 2\n");
    ASSERT_EQ(RunCli({dd, "draws", "export", dir.File("out.csv")}), 0);
    EXPECT_EQ(ReadWholeFile(dir.File("out.csv")), text);
  }

  test::WriteBytes(dir.File("list.lcv"),
                   "1;2;3;4;5;6;7\r\n1;2;3;4;5;6;96\r\n1;2;3;4;5;6;6\r\n0;1;2;3;4;5;6\r\n35;34;33;32;31;30;29\r\n");
  ASSERT_EQ(RunCli({dd, "generate", "--mode=4", "--param=" + dir.File("list.lcv")}, &out), 0);
  EXPECT_EQ(out, "Комбинаций: 2\n");

  // The money settings stay where the sums of a 65,535-draw series of 8-number stakes fit in 64 bits.
  TConfigEditor editor({});
  EXPECT_FALSE(editor.SetCostText("900000000000000"));
  EXPECT_TRUE(editor.SetCostText("1000000000"));
  IniFile ini(dir.File("Quintar_7x35.ini"));
  ini.WriteString("STAKES", "Cost", "900000000000000");
  ini.UpdateFile();
  TStatList stats;
  stats.ReadSettings(dir.File("Quintar_7x35.ini"));
  EXPECT_EQ(stats.Config.Cost, MoneyFromDouble(kMaxMoneySetting));
  EXPECT_GT(static_cast<double>(INT64_MAX), 8.0 * 65535 * static_cast<double>(MoneyFromDouble(kMaxMoneySetting)));
}

// Sums of money saturate: rows of a rating never wrap round, however many stakes they count.
TEST(Reliability, MoneySumsSaturate) {
  EXPECT_EQ(AddMoney(INT64_MAX - 1, 5), INT64_MAX);
  EXPECT_EQ(AddMoney(INT64_MIN + 1, -5), INT64_MIN);
  EXPECT_EQ(AddMoney(-7, 5), -2);
  TRatings ratings;
  TStakeRec s = MakeStakeRecord(1, 1, nullptr, {});
  s.Checked = 1;
  s.Matches.Count = 2;
  s.Profit = -9'000'000'000'000'000'000;
  ratings.AddToRating(s);
  ratings.AddToRating(s);
  TRatingRec delta = ratings[0];
  ratings.FoldRow(delta);
  EXPECT_EQ(ratings[0].Stakes, 4);
  EXPECT_EQ(ratings[0].Profit, INT64_MIN);
  EXPECT_EQ(RatingCell(ratings[0], 4, remAbsolute).find('+'), std::string::npos);
}

// kill -9 in the middle of an append of a long series: the file is the old one (the unfinished series
// cut off at the next open, the file as it was kept in a copy) or the old one plus the whole series.
TEST(Reliability, KilledAppendLeavesTheOldFileOrTheWholeSeries) {
  TempDir dir;
  const std::string dd = "--data-dir=" + dir.Path();
  test::WriteBytes(dir.File("Quintar_7x35.ldr"), MadeUpArchive(10));
  ASSERT_EQ(RunCli({dd, "stakes", "add", "1;2;3;4;5;6;7", "--draws=3"}), 0);
  const int64_t old = FileSizeOf(dir.File("Quintar_7x35.lsk"));
  const int64_t whole = old + 2 * 65535 * kStakeRecSize;
  for (int ms : {5, 15, 30, 60, 120, 400}) {
    SCOPED_TRACE(ms);
    KillCliAfter({dd, "stakes", "add", "1;2;3;4;5;6;8", "--draws=65535"}, ms);
    std::string out, err;
    ASSERT_EQ(RunCli({dd, "stakes", "list"}, &out, &err), 0) << err;
    const int64_t size = FileSizeOf(dir.File("Quintar_7x35.lsk"));
    EXPECT_TRUE(size == old || size == whole) << size;
    EXPECT_FALSE(FileExists(dir.File("Quintar_7x35.lsk.add")));
    if (size == whole) break;
  }
  // A record cut short at the end of a file of this version is cut off; the copy keeps every byte.
  const std::string bytes = ReadWholeFile(dir.File("Quintar_7x35.lsk")).substr(0, static_cast<size_t>(old));
  test::WriteBytes(dir.File("Quintar_7x35.lsk"), bytes + bytes.substr(0, 100));
  for (const auto& e : std::filesystem::directory_iterator(dir.Path()))
    if (e.path().string().find(".lsk.bak") != std::string::npos) std::filesystem::remove(e.path());
  ASSERT_EQ(RunCli({dd, "stakes", "list"}), 0);
  EXPECT_EQ(ReadWholeFile(dir.File("Quintar_7x35.lsk")), bytes);
  EXPECT_EQ(ReadWholeFile(dir.File("Quintar_7x35.lsk.bak")), bytes + bytes.substr(0, 100));
}

// A check that dies between its steps: after the journal was written but before the block went to the
// stakes file (with a record torn there), after the stakes were written but before the rating was saved,
// and at random moments. The next check leaves the stakes file and the rating in agreement.
TEST(Reliability, InterruptedCheckKeepsStakesAndRatingInAgreement) {
  TempDir base;
  StakesToCheck(base.Path(), 40);  // 8,000 stakes: two blocks
  enum When { kBeforeBlock, kTornBlock, kBeforeRating };
  for (When when : {kBeforeBlock, kTornBlock, kBeforeRating}) {
    SCOPED_TRACE(when);
    TempDir dir;
    for (const auto& e : std::filesystem::directory_iterator(base.Path()))
      std::filesystem::copy_file(e.path(), dir.File(e.path().filename().string()));
    pid_t pid = ::fork();
    if (pid == 0) {
      test::ScriptedHost host;
      Session s(dir.Path(), host);
      s.LoadArchive();
      s.ReadSettings();
      if (!s.LoadStakes()) ::_exit(3);
      s.LoadRating(false);
      TStakeCheckHooks hooks;
      hooks.Result = s.StakePrices().Fn();
      int blocks = 0, offered = 0;
      hooks.BeforeWrite = [&](const std::vector<std::pair<int32_t, TStakeRec>>& recs) {
        if (++blocks < 2 || when == kBeforeRating) return;
        if (when == kTornBlock) {
          // Half of the block's first record reaches the file.
          FILE* f = std::fopen(s.Stakes.Path().c_str(), "r+b");
          std::fseek(f, static_cast<long>(recs[0].first) * kStakeRecSize, SEEK_SET);
          std::fwrite(&recs[0].second, 1, 20, f);
          std::fclose(f);
        }
        ::_exit(9);
      };
      hooks.Checked = [&](const TStakeRec&) {
        if (when == kBeforeRating && ++offered == 8000) ::_exit(9);
      };
      s.CheckStakesRated(s.Stakes, hooks);
      ::_exit(0);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 9) << status;
    EXPECT_TRUE(CheckJournalExists(CheckJournalPath(dir.File("Quintar_7x35.lsk"))));
    std::string err;
    ASSERT_EQ(RunCli({"--data-dir=" + dir.Path(), "stakes", "check"}, nullptr, &err), 0) << err;
    const Agreement a = Agree(dir.Path());
    EXPECT_EQ(a.Checked, 8000);
    EXPECT_EQ(a.Rated, 8000);
    EXPECT_EQ(a.Torn, 0);
    EXPECT_FALSE(CheckJournalExists(CheckJournalPath(dir.File("Quintar_7x35.lsk"))));
  }
  for (int ms : {3, 8, 15, 30}) {
    SCOPED_TRACE(ms);
    TempDir dir;
    for (const auto& e : std::filesystem::directory_iterator(base.Path()))
      std::filesystem::copy_file(e.path(), dir.File(e.path().filename().string()));
    KillCliAfter({"--data-dir=" + dir.Path(), "stakes", "check"}, ms);
    ASSERT_EQ(RunCli({"--data-dir=" + dir.Path(), "stakes", "check"}), 0);
    const Agreement a = Agree(dir.Path());
    EXPECT_EQ(a.Checked, 8000);
    EXPECT_EQ(a.Rated, 8000);
  }
}

// A full disk (a small tmpfs, so only as root): an old-version stakes file without room for its copy is
// kept; a check that runs out of room leaves stakes and rating in agreement; the archive stays whole.
TEST(Reliability, FullDiskLosesNothing) {
  SmallDisk disk(8 << 20);
  if (!disk.Mounted()) GTEST_SKIP() << "needs root to mount a small tmpfs";
  const std::string dir = disk.Path(), dd = "--data-dir=" + dir;
  test::WriteBytes(dir + "Quintar_7x35.ldr", MadeUpArchive(50));
  const std::string old = std::string(1, '\1') + std::string(62000 - 1, '\5');
  test::WriteBytes(dir + "Quintar_7x35.lsk", old);
  test::WriteBytes(dir + "one.lsc", "FULL:0#FIRST| | | | | | | |\r\n");
  disk.Fill(20000);
  std::string err;
  EXPECT_EQ(RunCli({dd, "script", "run", dir + "one.lsc"}, nullptr, &err), 1);
  EXPECT_NE(err.find("Файл ставок оставлен без изменений."), std::string::npos) << err;
  EXPECT_EQ(ReadWholeFile(dir + "Quintar_7x35.lsk"), old);
  const std::string archive = ReadWholeFile(dir + "Quintar_7x35.ldr");
  test::WriteBytes(dir + "in.csv", "1000;\"5 Jan 2017\";1;2;3;4;5;6;7;1\r\n");
  disk.Fill(0);
  EXPECT_EQ(RunCli({dd, "draws", "import", dir + "in.csv"}), 1);
  EXPECT_EQ(ReadWholeFile(dir + "Quintar_7x35.ldr"), archive);
  disk.Free();
  std::filesystem::remove(dir + "Quintar_7x35.lsk");
  for (const auto& e : std::filesystem::directory_iterator(dir))
    if (e.path().filename().string().rfind("Quintar_7x35.lsk.bak", 0) == 0) std::filesystem::remove(e.path());

  StakesToCheck(dir, 10);  // 2,000 stakes
  const std::string stakes = ReadWholeFile(dir + "Quintar_7x35.lsk");
  for (size_t left : {0u, 200'000u, 700'000u}) {
    SCOPED_TRACE(left);
    test::WriteBytes(dir + "Quintar_7x35.lsk", stakes);
    std::filesystem::remove(dir + "Quintar_7x35.lrt");
    RemoveCheckJournal(CheckJournalPath(dir + "Quintar_7x35.lsk"));
    disk.Fill(left);
    RunCli({dd, "stakes", "check"});
    disk.Free();
    ASSERT_EQ(RunCli({dd, "stakes", "check"}, nullptr, &err), 0) << err;
    const Agreement a = Agree(dir);
    EXPECT_EQ(a.Checked, 2000);
    EXPECT_EQ(a.Rated, 2000);
  }
}

// A folder without write access (as another user): the real reason is shown, not the text about a
// second copy of the program, and a stakes file of another version there is left as it is.
TEST(Reliability, ReadOnlyFolderShowsTheRealCause) {
  TempDir dir;
  const int uid = IsRoot() ? 65534 : -1;
  const std::string dd = "--data-dir=" + dir.Path();
  test::WriteBytes(dir.File("Quintar_7x35.ldr"), MadeUpArchive(5));
  ::chmod(dir.Path().c_str(), 0555);
  std::string err;
  const int rc = test::RunCliAs(uid, {dd, "stakes", "list"}, nullptr, &err);
  if (rc == 126) GTEST_SKIP() << "cannot run as another user here";
  EXPECT_EQ(rc, 1);
  EXPECT_NE(err.find("Permission denied"), std::string::npos) << err;
  EXPECT_EQ(err.find("монопольный доступ"), std::string::npos) << err;
  ::chmod(dir.Path().c_str(), 0755);
  const std::string old = std::string(1, '\1') + std::string(62000 - 1, '\5');
  test::WriteBytes(dir.File("Quintar_7x35.lsk"), old);
  ::chmod(dir.File("Quintar_7x35.lsk").c_str(), 0666);
  test::WriteBytes(dir.File("one.lsc"), "FULL:0#FIRST| | | | | | | |\r\n");
  ::chmod(dir.File("one.lsc").c_str(), 0644);
  ::chmod(dir.Path().c_str(), 0555);
  EXPECT_EQ(test::RunCliAs(uid, {dd, "script", "run", dir.File("one.lsc")}, nullptr, &err), 1);
  EXPECT_NE(err.find("Файл ставок оставлен без изменений."), std::string::npos) << err;
  ::chmod(dir.Path().c_str(), 0755);
  EXPECT_EQ(ReadWholeFile(dir.File("Quintar_7x35.lsk")), old);
}

// Two processes writing the archive at once lose nothing; the prefetch files of listed groups are built
// with prefetching off; temporary files left by killed writes go at the next start, held ones stay.
TEST(Reliability, ConcurrentWritersAndLeftovers) {
  TempDir dir;
  const std::string dd = "--data-dir=" + dir.Path();
  test::WriteBytes(dir.File("Quintar_7x35.ldr"), MadeUpArchive(20));
  std::vector<pid_t> pids;
  for (int i = 0; i < 6; ++i) {
    pid_t pid = ::fork();
    if (pid == 0) {
      for (int k = 0; k < 5; ++k)
        if (RunCli({dd, "draws", "add", Format("%d;2;3;4;5;6;7;1", {8 + i})}) != 0) ::_exit(1);
      ::_exit(0);
    }
    pids.push_back(pid);
  }
  for (pid_t pid : pids) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  EXPECT_EQ(FileSizeOf(dir.File("Quintar_7x35.ldr")), 50 * static_cast<int64_t>(sizeof(TDraw)));

  test::WriteBytes(dir.File("Quintar_7x35.ldr.tmpAbC123"), std::string(1000, 'x'));
  test::WriteBytes(dir.File("Quintar_7x35.~tmp"), std::string(312, 'x'));
  test::WriteBytes(dir.File("Quintar_7x35.ini.tmpzzzzzz"), "x");
  test::WriteBytes(dir.File("Other.ldr.tmpAbC123"), "x");
  AtomicFileWriter writer(dir.File("Quintar_7x35.frm"));  // a write in progress in this process
  std::string out;
  ASSERT_EQ(RunCli({dd, "prefetch", "--groups=1"}, &out), 0);
  EXPECT_FALSE(FileExists(dir.File("Quintar_7x35.ldr.tmpAbC123")));
  EXPECT_FALSE(FileExists(dir.File("Quintar_7x35.~tmp")));
  EXPECT_FALSE(FileExists(dir.File("Quintar_7x35.ini.tmpzzzzzz")));
  EXPECT_TRUE(FileExists(dir.File("Other.ldr.tmpAbC123")));
  EXPECT_TRUE(FileExists(writer.TempPath()));
  // Group 1 (digits) is built although prefetching is off; nothing else is.
  EXPECT_NE(out.find("Файлов: "), std::string::npos);
  EXPECT_EQ(out.find("Файлов: 0 "), std::string::npos) << out;
}

}  // namespace quintar
