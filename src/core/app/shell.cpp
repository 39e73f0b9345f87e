#include "app/shell.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <thread>

#include "game/game.h"
#include "util/format.h"
#include "util/safefile.h"
#include "util/strutil.h"

namespace quintar {

namespace {

std::string ProgramFileOf(const std::string& pidDir) {
  char buf[PATH_MAX];
  ssize_t n = ::readlink((pidDir + "/exe").c_str(), buf, sizeof buf - 1);
  if (n > 0) {
    std::string path(buf, static_cast<size_t>(n));
    // A program file deleted or replaced while it runs keeps its name with this mark.
    const std::string deleted = " (deleted)";
    if (path.size() > deleted.size() && path.compare(path.size() - deleted.size(), deleted.size(), deleted) == 0)
      path.resize(path.size() - deleted.size());
    return ExtractFileName(path);
  }
  // Processes of other users hide their program file; the first word of the command line names it.
  std::ifstream f(pidDir + "/cmdline", std::ios::binary);
  std::string argv0;
  std::getline(f, argv0, '\0');
  return ExtractFileName(argv0);
}

}  // namespace

std::vector<TProcessEntry> RunningPrograms() {
  std::vector<TProcessEntry> list;
  DIR* d = ::opendir("/proc");
  if (!d) return list;
  while (dirent* e = ::readdir(d)) {
    auto pid = TryStrToInt(e->d_name);
    if (!pid || *pid <= 0) continue;
    std::string name = ProgramFileOf(std::string("/proc/") + e->d_name);
    if (!name.empty()) list.push_back({*pid, name});
  }
  ::closedir(d);
  return list;
}

bool OtherInstanceRunning(std::string_view programFileName) {
  const int self = static_cast<int>(::getpid());
  for (const auto& p : RunningPrograms()) {
    if (p.Pid != self && AnsiSameText(p.FileName, programFileName)) return true;
  }
  return false;
}

TProgramRun RunProgramAndWait(const std::string& file, const std::vector<std::string>& args,
                              const std::string& workDir, int timeoutMs, const std::function<void()>& idle) {
  // Everything the child needs is made before the fork: after it only async-signal-safe calls are made.
  std::vector<std::string> argvText{file};
  argvText.insert(argvText.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& a : argvText) argv.push_back(a.data());
  argv.push_back(nullptr);
  int report[2];  // the child writes its errno here when the program cannot be started
  if (::pipe2(report, O_CLOEXEC) != 0) throw EQuintar(SysErrorText(errno));
  const pid_t pid = ::fork();
  if (pid < 0) {
    int err = errno;
    ::close(report[0]);
    ::close(report[1]);
    throw EQuintar(SysErrorText(err));
  }
  if (pid == 0) {
    ::setpgid(0, 0);
    int err = 0;
    int in = ::open("/dev/null", O_RDONLY);
    if (in < 0 || ::dup2(in, 0) < 0 || ::dup2(2, 1) < 0) err = errno;
    if (!err && ::chdir(workDir.c_str()) != 0) err = errno;
    if (!err) {
      sigset_t none;
      sigemptyset(&none);
      ::sigprocmask(SIG_SETMASK, &none, nullptr);
      ::signal(SIGPIPE, SIG_DFL);
      ::close_range(3, ~0U, CLOSE_RANGE_CLOEXEC);
      ::execv(file.c_str(), argv.data());
      err = errno;
    }
    ssize_t w = ::write(report[1], &err, sizeof err);
    (void)w;
    ::_exit(127);
  }
  ::setpgid(pid, pid);  // also here, so that the group exists whichever side runs first
  ::close(report[1]);
  int childErr = 0;
  ssize_t got;
  do {
    got = ::read(report[0], &childErr, sizeof childErr);
  } while (got < 0 && errno == EINTR);
  ::close(report[0]);
  if (got == static_cast<ssize_t>(sizeof childErr)) {
    ::waitpid(pid, nullptr, 0);
    throw EQuintar(SysErrorText(childErr));
  }
  TProgramRun run;
  int status = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    pid_t r = ::waitpid(pid, &status, WNOHANG);
    if (r == pid) break;
    if (r < 0 && errno != EINTR) throw EQuintar(SysErrorText(errno));
    if (std::chrono::steady_clock::now() >= deadline) {
      ::kill(-pid, SIGKILL);
      ::kill(pid, SIGKILL);
      while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
      }
      run.TimedOut = true;
      return run;
    }
    if (idle) idle();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  if (WIFSIGNALED(status)) run.Signal = WTERMSIG(status);
  if (WIFEXITED(status)) run.ExitCode = WEXITSTATUS(status);
  return run;
}

std::string LinkUrl(std::string_view text) {
  for (const char* scheme : {"http://", "https://", "ftp://", "ftps://"}) {
    if (StartsWithText(text, scheme)) return std::string(text);
  }
  return "http://" + std::string(text);
}

bool IsCompiledHelp(std::string_view path) { return EndsWithText(path, ".chm"); }

#ifndef QUINTAR_URL_MAIN_SITE
#define QUINTAR_URL_MAIN_SITE ""
#define QUINTAR_URL_BLOG ""
#define QUINTAR_URL_VIDEO ""
#define QUINTAR_URL_ARTICLES ""
#define QUINTAR_URL_VK ""
#define QUINTAR_URL_OK ""
#define QUINTAR_URL_AUTHOR ""
#define QUINTAR_URL_TELEGRAM ""
#endif

const TMakerLinks& MakerLinks() {
  // The addresses are chosen when the program is built.
  static const TMakerLinks links{QUINTAR_URL_MAIN_SITE, QUINTAR_URL_BLOG, QUINTAR_URL_VIDEO,
                                 QUINTAR_URL_ARTICLES,  QUINTAR_URL_VK,   QUINTAR_URL_OK,
                                 QUINTAR_URL_AUTHOR,    QUINTAR_URL_TELEGRAM};
  return links;
}

}  // namespace quintar
