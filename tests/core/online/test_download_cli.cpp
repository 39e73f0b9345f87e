#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "testutil.h"
#include "util/safefile.h"

using quintar::test::RunCli;
using quintar::test::SharedDataFile;
using quintar::test::TempDir;

namespace {

// quintar-testserver run as its own process on a free port; its first output line is its address.
class ServerProcess {
 public:
  explicit ServerProcess(const std::vector<std::string>& args) {
    int fds[2];
    if (::pipe(fds) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
      ::dup2(fds[1], 1);
      ::close(fds[0]);
      ::close(fds[1]);
      std::vector<std::string> copy = args;
      std::string exe = QUINTAR_TESTSERVER;
      std::vector<char*> argv{exe.data()};
      for (auto& a : copy) argv.push_back(a.data());
      argv.push_back(nullptr);
      ::execv(exe.c_str(), argv.data());
      ::_exit(127);
    }
    ::close(fds[1]);
    FILE* f = ::fdopen(fds[0], "r");
    char line[256] = {};
    if (f && std::fgets(line, sizeof line, f)) url_ = line;
    if (f) std::fclose(f);
    while (!url_.empty() && (url_.back() == '\n' || url_.back() == '\r')) url_.pop_back();
  }
  ~ServerProcess() {
    if (pid_ > 0) {
      ::kill(pid_, SIGTERM);
      int status = 0;
      ::waitpid(pid_, &status, 0);
    }
  }
  const std::string& Url() const { return url_; }

 private:
  pid_t pid_ = -1;
  std::string url_;
};

}  // namespace

// From an empty archive, the whole real archive comes in through the command-line download, equal to the
// CSV import of the same draws and oldest first.
TEST(DownloadCli, RealArchiveEqualsTheCsvImport) {
  std::string csv = SharedDataFile("draws-7x35-import.csv");
  if (csv.empty()) GTEST_SKIP() << "the real archive data is not there";
  ServerProcess server({"--port=0", "--draws=" + csv, "--fault=gzip:june-2020", "--fault=redirect:july-2021"});
  ASSERT_EQ(server.Url().rfind("http://127.0.0.1:", 0), 0u) << server.Url();
  TempDir downloaded, imported;
  std::string out, err;
  ASSERT_EQ(RunCli({"--data-dir=" + downloaded.Path(), "download", "--base-url=" + server.Url()}, &out, &err), 0)
      << err;
  EXPECT_NE(out.find("march-2013\t0\n"), std::string::npos);
  EXPECT_NE(out.find("april-2018\t2\n"), std::string::npos);
  EXPECT_NE(out.find("august-2026\t1\n"), std::string::npos);
  EXPECT_TRUE(out.ends_with("Архив тиражей: 434\n")) << out;
  ASSERT_EQ(RunCli({"--data-dir=" + imported.Path(), "draws", "import", csv}), 0);
  EXPECT_EQ(quintar::ReadWholeFile(downloaded.File("Quintar_7x35.ldr")),
            quintar::ReadWholeFile(imported.File("Quintar_7x35.ldr")));
  // Nothing new the second time.
  ASSERT_EQ(RunCli({"--data-dir=" + downloaded.Path(), "download", "--base-url=" + server.Url()}, &out, &err), 0);
  EXPECT_EQ(out.rfind("august-2026\t0\n", 0), 0u) << out;
}

TEST(DownloadCli, RetriesAndExitCodes) {
  TempDir data, draws;
  quintar::test::WriteBytes(draws.File("d.csv"),
                            "5;\"7 Jun 2018\";1;2;3;4;5;6;7;8\r\n6;\"14 Jun 2018\";8;9;10;11;12;13;14;9\r\n");
  // The month after the newest draw of the archive is the first one read.
  quintar::test::WriteBytes(data.File("seed.csv"), "4;\"31 May 2018\";1;2;3;4;5;6;8;8\r\n");
  ASSERT_EQ(RunCli({"--data-dir=" + data.Path(), "draws", "import", data.File("seed.csv")}), 0);
  {
    ServerProcess server({"--draws=" + draws.File("d.csv"), "--fault=http500:june-2018:1"});
    std::string out, err;
    EXPECT_EQ(RunCli({"--data-dir=" + data.Path(), "download", "--base-url=" + server.Url()}, &out, &err), 1);
    EXPECT_NE(err.find("Ошибка загрузки архива тиражей с сайта: \"HTTP/1.1 500 Internal Server Error\"\n\nПовторить "
                       "попытку? [нет]"),
              std::string::npos)
        << err;
    EXPECT_EQ(out, "Архив тиражей: 1\n");
  }
  {
    ServerProcess server({"--draws=" + draws.File("d.csv"), "--fault=bad-bonus:june-2018:1"});
    std::string out, err;
    EXPECT_EQ(
        RunCli({"--data-dir=" + data.Path(), "download", "--retries=1", "--base-url=" + server.Url()}, &out, &err), 0)
        << err;
    EXPECT_NE(err.find("[да]"), std::string::npos);
    EXPECT_EQ(out.rfind("june-2018\t2\n", 0), 0u) << out;
    EXPECT_TRUE(out.ends_with("Архив тиражей: 3\n")) << out;
  }
  EXPECT_EQ(RunCli({"--data-dir=" + data.Path(), "download", "now"}), 2);
  EXPECT_EQ(RunCli({"--data-dir=" + data.Path(), "download", "--retries=x"}), 2);
  EXPECT_EQ(RunCli({"--data-dir=" + data.Path(), "download", "--retries=-1"}), 2);
  EXPECT_EQ(RunCli({"--data-dir=" + data.Path(), "download", "--base-url=ftp://127.0.0.1/"}), 2);
}
