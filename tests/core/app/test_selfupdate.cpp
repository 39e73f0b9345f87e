// The self-update against the local update server: quintar-cli "update check" and "update install" run for
// real over HTTP on loopback, each case on a fresh program folder that is compared file by file (contents
// and permission bits) with what it must hold afterwards.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>

#include "app/selfupdate.h"
#include "app/session.h"
#include "app/shell.h"
#include "testutil.h"
#include "tlsserver.h"
#include "updatesite.h"
#include "util/format.h"
#include "util/safefile.h"
#include "util/strutil.h"

using namespace quintar;
using namespace quintar::testserver;
using quintar::test::RunCli;
using quintar::test::RunCliAs;
using quintar::test::ScriptedHost;
using quintar::test::TempDir;
using quintar::test::TlsServer;
using quintar::test::WriteBytes;

namespace fs = std::filesystem;

namespace {

// A folder as it stands: every entry by its relative path, files with permission bits and content. Names
// holding ".~" (the leftovers that the next check removes) are left out unless asked for.
using Tree = std::map<std::string, std::string>;
std::string Octal(unsigned mode) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%o", mode);
  return buf;
}
Tree Snapshot(const std::string& dir, bool withLeftovers = false) {
  Tree t;
  for (auto it = fs::recursive_directory_iterator(dir); it != fs::recursive_directory_iterator(); ++it) {
    const std::string rel = it->path().lexically_relative(dir).generic_string();
    if (!withLeftovers && rel.find(".~") != std::string::npos) continue;
    struct stat st;
    ::lstat(it->path().c_str(), &st);
    if (S_ISDIR(st.st_mode))
      t[rel] = "folder";
    else if (S_ISREG(st.st_mode))
      t[rel] = Octal(st.st_mode & 07777) + " " + ReadWholeFile(it->path().string());
    else
      t[rel] = "other";
  }
  return t;
}

void WriteMode(const std::string& path, const std::string& bytes, mode_t mode) {
  fs::create_directories(fs::path(path).parent_path());
  WriteBytes(path, bytes);
  ::chmod(path.c_str(), mode);
}

// A program folder "prog/" with a program, notes, the files the default offer deletes, the user's data
// files and two leftovers of an earlier update; the data folder "data/" beside it.
struct ProgramFolder {
  TempDir root;
  ProgramFolder() {
    WriteMode(Prog() + "Quintar_7x35", "old program\n", 0755);
    WriteMode(Prog() + "quintar-notes.txt", "old notes\n", 0644);
    WriteMode(Prog() + "old-readme.txt", "readme\n", 0644);
    WriteMode(Prog() + "obsolete.dat", "obsolete\n", 0600);
    WriteMode(Prog() + "Quintar_7x35.ini", "[GLOBAL]\r\nChannelSize=7\r\n", 0644);
    WriteMode(Prog() + "Quintar_7x35.ldr", std::string("\x01\x02\x00\x03", 4), 0644);
    WriteMode(Prog() + "help/Zembra_RUS.html", "old help\n", 0644);
    WriteMode(Prog() + "Systems/7-10-0_0001.dat", "1 2 3 4 5 6 7\n", 0644);
    WriteMode(Prog() + "Quintar_7x35.~old", "left over\n", 0644);
    WriteMode(Prog() + "help/older.~del", "left over\n", 0644);
    WriteMode(root.File("victim.txt"), "outside\n", 0644);
    fs::create_directories(Data());
  }
  std::string Prog() const { return root.Path() + "prog/"; }
  std::string Data() const { return root.Path() + "data/"; }
};

// The program folder after the default offer: the package's files in place (its data file excepted), the
// DeleteBefore and DeleteAfter files gone, the Exec files' notes showing the old program before and the
// new one after the commit. The package's files are what the package itself writes when run by hand.
Tree InstalledTree(const Tree& before) {
  TempDir run;
  WriteMode(run.File("pkg.sh"), UpdateSite::DefaultPackage(), 0700);
  fs::create_directories(run.File("out"));
  EXPECT_TRUE(RunProgramAndWait(run.File("pkg.sh"), {}, run.File("out"), 10000).Succeeded());
  Tree t = before;
  t.erase("old-readme.txt");
  t.erase("obsolete.dat");
  for (const auto& [rel, v] : Snapshot(run.File("out")))
    if (rel != "Quintar_7x35.ini") t[rel] = v;
  const mode_t mask = ::umask(0);
  ::umask(mask);
  t["exec.log"] = Octal(0666 & ~mask) + " before: old\nafter: new\n";
  return t;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t e = text.find('\n', pos);
    if (e == std::string::npos) e = text.size();
    out.push_back(text.substr(pos, e - pos));
    pos = e + 1;
  }
  return out;
}

std::string Replace(std::string s, const std::string& base, const std::string& ver) {
  return ReplaceAll(ReplaceAll(s, "{base}", base), "{ver}", ver);
}

enum class After { Unchanged, Installed };

struct UpdateCase {
  const char* name;
  UpdateKind kind;
  std::vector<std::string> args;  // after "update"; "{base}" is the server's address, "{ver}" the offer's
  std::function<void(UpdateOffer&, const std::string& base)> offer;
  std::function<void(const ProgramFolder&, const std::string& base)> prepare;
  int rc;
  std::vector<std::string> out;  // standard output, line by line
  std::string err;               // a part of standard error ("" when anything goes)
  After after;
  bool packageAsked;
  bool checked = true;  // the check ran (and removed the leftovers)
  std::optional<std::vector<std::string>> asked{};  // when given: the paths asked for, in order
};

using Paths = std::vector<std::string>;

const std::string kCfg = "/files/autoupdates/Zembra_AU.cfg";

}  // namespace

TEST(SelfUpdateCli, CheckAndInstallAgainstTheUpdateServer) {
  const std::string cur = ProgramVersion();
  const std::string ver = Format("%s.%d", {cur.substr(0, cur.rfind('.')), BuildNumber(cur) + 12});
  const std::vector<std::string> offered = {"Установленная версия\t" + cur, "Предлагаемая версия\t" + ver,
                                            "Описание\tИсправления ошибок", "Новая версия\tда",
                                            "Новая версия " + ver, "Исправлены ошибки поиска."};
  auto plus = [](std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
  };
  const std::vector<std::string> same = {"Установленная версия\t" + cur, "Предлагаемая версия\t" + cur,
                                         "Описание\tИсправления ошибок", "Новая версия\tнет",
                                         "Обновлений не найдено!"};
  const std::vector<std::string> installed = plus(offered, {"Обновление установлено: " + ver});
  const std::string installError = "Ошибка установки обновления!\n\n";
  const std::string checkError = "Ошибка поиска обновлений!\n\n";
  const std::string pkg = "/files/autoupdates/Quintar_7x35-" + ver + ".upd";

  const std::vector<UpdateCase> cases = {
      {"a newer build is offered", UpdateKind::Newer, {"check", "--base-url={base}//"}, nullptr, nullptr, 100,
       offered, "", After::Unchanged, false, true, Paths{kCfg, "/files/autoupdates/UpdDescr/UpdDescr_RUS_" + ver + ".txt"}},
      {"the same build: no update", UpdateKind::Same, {"check", "--base-url={base}"}, nullptr, nullptr, 0, same, "",
       After::Unchanged, false, true, Paths{kCfg}},
      {"the same build: nothing to install", UpdateKind::Same, {"install", "--base-url={base}"}, nullptr, nullptr, 3,
       same, "", After::Unchanged, false},
      {"only build numbers are compared", UpdateKind::Newer, {"check", "--base-url={base}"},
       [&](UpdateOffer& o, const std::string&) { o.VerId = Format("9.9.9.%d", {BuildNumber(cur)}); }, nullptr, 0,
       {"Установленная версия\t" + cur, Format("Предлагаемая версия\t9.9.9.%d", {BuildNumber(cur)}),
        "Описание\tИсправления ошибок", "Новая версия\tнет", "Обновлений не найдено!"},
       "", After::Unchanged, false},
      {"a newer build is installed", UpdateKind::Newer, {"install", "--base-url={base}"}, nullptr, nullptr, 0,
       installed, "Файл данных не заменён: Quintar_7x35.ini", After::Installed, true},
      {"a wrong checksum", UpdateKind::WrongChecksum, {"install", "--base-url={base}"}, nullptr, nullptr, 1, offered,
       installError + kBadChecksum, After::Unchanged, true},
      {"no checksum: nothing is downloaded", UpdateKind::NoChecksum, {"install", "--base-url={base}"}, nullptr,
       nullptr, 1, {}, checkError + kNoChecksum, After::Unchanged, false},
      {"a truncated package", UpdateKind::Truncated, {"install", "--base-url={base}"}, nullptr, nullptr, 1, offered,
       installError, After::Unchanged, true},
      {"a failing package", UpdateKind::Failing, {"install", "--base-url={base}"}, nullptr, nullptr, 1, offered,
       "завершился с кодом 3.", After::Unchanged, true},
      {"a slow server", UpdateKind::Slow, {"install", "--base-url={base}"}, nullptr, nullptr, 1, offered,
       installError + "Read timed out", After::Unchanged, true},
      {"a list entry outside the program folder", UpdateKind::Newer, {"install", "--base-url={base}"},
       [](UpdateOffer& o, const std::string&) { o.Program = {{"DeleteBefore", "help/../../victim.txt"}}; }, nullptr,
       1, offered, installError + Format(kBadUpdateName, {"help/../../victim.txt"}), After::Unchanged, false},
      {"an absolute path in a list", UpdateKind::Newer, {"install", "--base-url={base}"},
       [&](UpdateOffer& o, const std::string&) { o.Global = {{"DeleteAfter", "old-readme.txt;/etc/hostname"}}; },
       nullptr, 1, offered, installError + Format(kBadUpdateName, {"/etc/hostname"}), After::Unchanged, false},
      {"a package name with a folder", UpdateKind::Newer, {"install", "--base-url={base}"},
       [](UpdateOffer& o, const std::string&) { o.OriginalFileName = "../run.sh"; }, nullptr, 1, offered,
       installError + Format(kBadUpdateName, {"../run.sh"}), After::Unchanged, false},
      {"a redirect to another host", UpdateKind::Newer, {"install", "--base-url={base}"},
       [](UpdateOffer& o, const std::string& base) {
         o.DownloadUrl = base + "/files/autoupdates/redirect?to=http://192.0.2.1/pkg.upd";
       },
       nullptr, 1, offered, installError + "Адрес \"http://192.0.2.1/pkg.upd\" не допускается", After::Unchanged,
       false},
      {"a redirect on this machine is followed", UpdateKind::Newer, {"install", "--base-url={base}"},
       [&](UpdateOffer& o, const std::string& base) {
         o.DownloadUrl = base + "/files/autoupdates/redirect?to=" + base + pkg;
       },
       nullptr, 0, installed, "", After::Installed, true},
      {"a remote descriptor naming a local package", UpdateKind::Newer, {"install", "--base-url={base}"},
       [](UpdateOffer& o, const std::string&) { o.DownloadUrl = "/etc/hostname"; }, nullptr, 1, {},
       checkError + "Пакет обновления по локальному пути", After::Unchanged, false},
      {"plain http to another host is refused before any request", UpdateKind::Newer,
       {"check", "--descriptor=http://192.0.2.1/files/autoupdates/Zembra_AU.cfg"}, nullptr, nullptr, 1, {},
       checkError + "Адрес \"http://192.0.2.1/files/autoupdates/Zembra_AU.cfg\" не допускается", After::Unchanged,
       false, true, Paths{}},
      {"a failed commit is undone", UpdateKind::Newer, {"install", "--base-url={base}"},
       [](UpdateOffer& o, const std::string&) { o.Program = {{"DeleteBefore", "old-readme.txt"}}; },
       [](const ProgramFolder& f, const std::string&) {
         // The last file to be committed cannot be moved aside: a folder holds its ".~old" name.
         WriteMode(f.Prog() + "quintar-notes.txt.~old/keep", "x", 0644);
       },
       1, offered, installError + "Переименование файла", After::Unchanged, true},
      {"a descriptor in UTF-8 and the descriptions tried in order", UpdateKind::Newer,
       {"check", "--base-url={base}", "--language=1033"},
       [&](UpdateOffer& o, const std::string&) {
         o.Utf8 = true;
         o.Description = "Новое: ёлка ☺";
         o.Descriptions = {{"UpdDescr_" + ver + ".txt", "Общее описание\r\nвторая строка"}};
       },
       nullptr, 100,
       {"Установленная версия\t" + cur, "Предлагаемая версия\t" + ver, "Описание\tНовое: ёлка ☺", "Новая версия\tда",
        "Общее описание", "вторая строка"},
       "", After::Unchanged, false, true,
       Paths{kCfg, "/files/autoupdates/UpdDescr/UpdDescr_ENU_" + ver + ".txt",
        "/files/autoupdates/UpdDescr/UpdDescr_1033_" + ver + ".txt",
        "/files/autoupdates/UpdDescr/UpdDescr_" + ver + ".txt"}},
      {"language 0 tries only the plain description", UpdateKind::Newer,
       {"check", "--base-url={base}", "--language=0"}, nullptr, nullptr, 100,
       plus(std::vector<std::string>(offered.begin(), offered.begin() + 4), {kNoUpdateDescription}), "",
       After::Unchanged, false, true, Paths{kCfg, "/files/autoupdates/UpdDescr/UpdDescr_" + ver + ".txt"}},
      {"the address from the settings file", UpdateKind::Newer, {"check"}, nullptr,
       [](const ProgramFolder& f, const std::string& base) {
         WriteBytes(f.Data() + "Quintar_7x35.ini", "[ONLINE]\r\nUpdateUrl=" + base + "\r\n");
       },
       100, offered, "", After::Unchanged, false},
      {"no address at all", UpdateKind::Newer, {"check"}, nullptr, nullptr, 1, {}, "Адрес сервера обновлений не задан",
       After::Unchanged, false, false},
      {"both sources", UpdateKind::Newer, {"check", "--base-url={base}", "--descriptor=/x"}, nullptr, nullptr, 2, {},
       "--base-url или --descriptor", After::Unchanged, false, false},
      {"an unknown step", UpdateKind::Newer, {"upgrade", "--base-url={base}"}, nullptr, nullptr, 2, {}, "",
       After::Unchanged, false, false},
  };

  for (const UpdateCase& c : cases) {
    SCOPED_TRACE(c.name);
    UpdateSite site;
    site.SetKind(c.kind);
    site.SetSlowMs(15000);
    site.Start();
    const std::string base = site.BaseUrl();
    ASSERT_EQ(site.OfferedVersion(), c.kind == UpdateKind::Same ? cur : ver);
    UpdateOffer offer;
    if (c.offer) c.offer(offer, base);
    site.SetOffer(offer);
    ProgramFolder f;
    if (c.prepare) c.prepare(f, base);
    const Tree before = Snapshot(f.Prog());

    std::vector<std::string> args = {"--data-dir=" + f.Data(), "update"};
    for (const std::string& a : c.args) args.push_back(Replace(a, base, ver));
    args.push_back("--program-dir=" + f.Prog());
    std::string out, err;
    EXPECT_EQ(RunCli(args, &out, &err), c.rc) << err;
    EXPECT_EQ(Lines(out), c.out) << out;
    if (!c.err.empty()) {
      EXPECT_NE(err.find(c.err), std::string::npos) << err;
    }
    EXPECT_EQ(err.find("Ошибка системы"), std::string::npos) << err;

    EXPECT_EQ(Snapshot(f.Prog()), c.after == After::Installed ? InstalledTree(before) : before);
    // The update's own files are gone in every case; the leftovers went with the check.
    const Tree now = Snapshot(f.Prog(), true);
    for (const auto& [rel, v] : now) {
      EXPECT_NE(rel.rfind("SelfUpdate", 0), 0u) << rel;
      EXPECT_EQ(rel.find("UpdDescr_"), std::string::npos) << rel;
      EXPECT_EQ(rel.find(".~new"), std::string::npos) << rel;
    }
    EXPECT_EQ(now.count("Quintar_7x35.~old") + now.count("help/older.~del"), c.checked ? 0u : 2u);
    EXPECT_EQ(ReadWholeFile(f.root.File("victim.txt")), "outside\n");
    EXPECT_EQ(site.Requests(pkg) > 0, c.packageAsked);
    if (c.asked) {
      EXPECT_EQ(site.Asked(), *c.asked);
    }
    if (!site.Asked().empty()) {
      EXPECT_EQ(site.LastHeader("Accept-Encoding"), "gzip, deflate, sdch");
      EXPECT_EQ(site.LastHeader("User-Agent"), kUserAgent);
    }
  }
}

TEST(SelfUpdateCli, UnverifiableCertificateAndAFolderThatIsNotWritable) {
  ProgramFolder f;
  const Tree before = Snapshot(f.Prog());
  TlsServer tls("-no_ssl3");
  if (tls.Ready()) {  // the openssl program is installed with the build's packages
    std::string out, err;
    EXPECT_EQ(RunCli({"--data-dir=" + f.Data(), "update", "install",
                      "--descriptor=" + tls.Url() + "files/autoupdates/Zembra_AU.cfg", "--program-dir=" + f.Prog()},
                     &out, &err),
              1);
    EXPECT_EQ(out, "");
    EXPECT_EQ(err.rfind("Ошибка поиска обновлений!\n\n", 0), 0u) << err;
    EXPECT_NE(err.find("certificate"), std::string::npos) << err;
    EXPECT_EQ(Snapshot(f.Prog()), before);
  }

  // Another user may read the program folder but not write it: the check works from a private folder, the
  // install is refused before anything is downloaded.
  UpdateSite site;
  site.Start();
  ::chmod(f.root.Path().c_str(), 0755);
  ::chmod(f.Data().c_str(), 0777);
  fs::create_directories(f.root.File("tmp"));
  ::chmod(f.root.File("tmp").c_str(), 01777);
  ::setenv("TMPDIR", f.root.File("tmp").c_str(), 1);
  std::string out, err;
  const int nobody = 65534;
  const std::vector<std::string> common = {"--data-dir=" + f.Data(), "update"};
  auto run = [&](const char* step) {
    std::vector<std::string> a = common;
    a.push_back(step);
    a.push_back("--base-url=" + site.BaseUrl());
    a.push_back("--program-dir=" + f.Prog());
    return RunCliAs(::geteuid() == 0 ? nobody : -1, a, &out, &err);
  };
  if (::geteuid() != 0 && ::access(f.Prog().c_str(), W_OK) == 0) GTEST_SKIP() << "no other user to run as";
  EXPECT_EQ(run("check"), 100) << err;
  EXPECT_EQ(run("install"), 1);
  EXPECT_NE(err.find("Ошибка установки обновления!\n\nНет доступа на запись в папку программы"), std::string::npos)
      << err;
  EXPECT_EQ(site.Requests("/files/autoupdates/Quintar_7x35-" + site.OfferedVersion() + ".upd"), 0);
  EXPECT_EQ(Snapshot(f.Prog()), before);
  EXPECT_TRUE(fs::is_empty(f.root.File("tmp")));  // the private folder went too
  ::unsetenv("TMPDIR");
}

// The desktop program's way through the core: the offer, the messages, a distribution build and a package
// that never ends.
TEST(SelfUpdateCore, OfferMessagesDistributionAndAHangingPackage) {
  UpdateSite site;
  site.Start();
  ProgramFolder f;
  const Tree before = Snapshot(f.Prog());
  ScriptedHost host;
  Session s(f.Data(), host);
  TSelfUpdate& u = s.SelfUpdate;
  u.ProgramDir = f.Prog();
  const std::string source = UpdateDescriptorAddress(site.BaseUrl());

  // A distribution build tells and never installs; it leaves the folder alone altogether.
  u.Distribution = true;
  bool offered = false, offeredInstall = true;
  u.Offer = [&](const TUpdateCheck& c, bool canInstall) {
    offered = true;
    offeredInstall = canInstall;
    EXPECT_EQ(c.Record.VerId, site.OfferedVersion());
    return true;
  };
  EXPECT_FALSE(u.CheckUpdate(source, false, 1049));
  EXPECT_TRUE(offered);
  EXPECT_FALSE(offeredInstall);
  EXPECT_TRUE(host.messages.empty());
  try {
    u.Install(u.Check(source, 1049));
    ADD_FAILURE() << "a distribution build installed";
  } catch (const EUpdate& e) {
    EXPECT_TRUE(e.Install);
    EXPECT_STREQ(e.what(), kDistributionInstalls);
  }
  EXPECT_EQ(Snapshot(f.Prog(), true).count("Quintar_7x35.~old"), 1u);
  EXPECT_EQ(site.Requests("/files/autoupdates/Quintar_7x35-" + site.OfferedVersion() + ".upd"), 0);

  // A package still running after the time-out is ended and the install fails; busy meanwhile. The check
  // before it puts back an old file whose new one never took its place.
  WriteMode(f.Prog() + "lib/engine.so.~old", "engine\n", 0755);
  Tree restored = before;
  restored["lib"] = "folder";
  restored["lib/engine.so"] = "755 engine\n";
  u.Distribution = false;
  u.Tuning.ProgramTimeoutMs = 300;
  UpdateOffer hang;
  hang.Package = "#!/bin/sh\nprintf 'x' > Quintar_7x35\nsleep 30\n";
  site.SetOffer(hang);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(u.CheckUpdate(source, true, 1049));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].kind, MsgKind::Error);
  EXPECT_EQ(host.messages[0].text,
            std::string(kUpdateInstallError) + "\r\r" + Format(kUpdateTimeout, {f.Prog() + "SelfUpdate/quintar-update.sh"}));
  EXPECT_EQ(Snapshot(f.Prog(), true), restored);
  EXPECT_TRUE(s.IsIdle());
  EXPECT_EQ(host.busyChanges.front(), true);
  EXPECT_EQ(host.statuses.back(), "");

  // No update: silence at start-up, the information box on demand; a failed check is shown.
  site.SetKind(UpdateKind::Same);
  host.messages.clear();
  EXPECT_FALSE(u.CheckUpdate(source, true, 1049));
  EXPECT_TRUE(host.messages.empty());
  EXPECT_FALSE(u.CheckUpdate(source, false, 1049));
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].kind, MsgKind::Information);
  EXPECT_EQ(host.messages[0].text, kNoUpdates);
  site.Stop();
  EXPECT_FALSE(u.CheckUpdate(source, true, 1049));
  ASSERT_EQ(host.messages.size(), 2u);
  EXPECT_EQ(host.messages[1].text.rfind(std::string(kUpdateCheckError) + "\r\r", 0), 0u);

  // The commands need a server address; the switch keeps its state in the window settings.
  EXPECT_FALSE(u.CanCheckUpdate());
  EXPECT_FALSE(u.StartupCheck(1049));
  s.Online.UpdateUrl = site.BaseUrl();
  EXPECT_TRUE(u.CanCheckUpdate());
  EXPECT_TRUE(u.AutoSelfUpdateChecked());
  u.AutoSelfUpdate();
  EXPECT_FALSE(u.AutoSelfUpdateChecked());
  EXPECT_FALSE(s.Frm.ReadFormBool(kMainForm, "AutoUpdates", true));
}

TEST(SelfUpdateRules, AddressesVersionsAndDataFiles) {
  const struct {
    const char* url;
    bool allowed;
  } urls[] = {
      {"https://updates.example/files/x", true},   {"HTTPS://updates.example/", true},
      {"http://127.0.0.1:8080/x", true},          {"http://127.45.6.7/", true},
      {"http://localhost/x", true},                {"http://LocalHost:99/", true},
      {"http://[::1]:8080/x", true},               {"http://updates.example/x", false},
      {"http://127.0.0.1.nip.example/", false},    {"http://user@127.0.0.1@evil.example/", false},
      {"http://[::2]/", false},                    {"ftp://127.0.0.1/x", false},
      {"file:///etc/passwd", false},               {"http://", false},
  };
  for (const auto& u : urls) EXPECT_EQ(UpdateAddressRefusal(u.url).empty(), u.allowed) << u.url;

  const struct {
    const char* version;
    int build;
  } builds[] = {{"13.6.1.200", 200}, {"1.0.0.13", 13}, {"1,2-3_44", 44}, {"1.0.0", 0}, {"1.0.0.x", 0}, {"", 0}};
  for (const auto& b : builds) EXPECT_EQ(BuildNumber(b.version), b.build) << b.version;

  const struct {
    const char* base;
    const char* descriptor;
  } addresses[] = {
      {"http://127.0.0.1:1", "http://127.0.0.1:1/files/autoupdates/Zembra_AU.cfg"},
      {" https://u.example//upd// ", "https://u.example/upd/files/autoupdates/Zembra_AU.cfg"},
      {"/srv/updates/", "/srv/updates/files/autoupdates/Zembra_AU.cfg"},
  };
  for (const auto& a : addresses) EXPECT_EQ(UpdateDescriptorAddress(a.base), a.descriptor) << a.base;

  const struct {
    const char* rel;
    bool data;
  } files[] = {
      {"Quintar_7x35.ldr", true},      {"quintar_7x35.INI", true},        {"Quintar_7x35.lsk.bak.2", true},
      {"Quintar_7x35-3.log", true},    {"ScriptLog_2024-01-01.txt", true}, {"scripts/mine.LSC", true},
      {"Prefetchs/NUMS.pft", true},    {"systems\\7-10-0_0001.dat", true}, {"./Quintar_7x35.frm", true},
      {"Quintar_7x35", false},         {"help/Quintar_7x35.ini", false},  {"Quintar_7x35_ENU.lng", false},
      {"quintar-cli", false},          {"PrefetchsX/a", false},
  };
  for (const auto& d : files) EXPECT_EQ(IsProgramDataFile(d.rel), d.data) << d.rel;

  // A descriptor: sections and keys ignore case, lists are trimmed, a missing VerId is the running one.
  TUpdateRecord r = ReadUpdateRecord(
      "[globaloptions]\nDeleteBefore= a.txt ;; b/c.txt \n[QUINTAR_7X35]\ndescription=\xC8\xF1\xEF\xF0\n"
      "downloadurl=https://u.example/p.upd\n",
      "Quintar_7x35", "1.2.3.4");
  EXPECT_EQ(r.VerId, "1.2.3.4");
  EXPECT_EQ(r.Description, "Испр");
  EXPECT_EQ(r.DownloadUrl, "https://u.example/p.upd");
  EXPECT_EQ(r.GlobalDeleteBefore, (std::vector<std::string>{"a.txt", "b/c.txt"}));
}
