#include "testutil.h"

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace quintar::test {

TempDir::TempDir() {
  std::string tmpl = (std::filesystem::temp_directory_path() / "quintar-test-XXXXXX").string();
  std::vector<char> buf(tmpl.begin(), tmpl.end());
  buf.push_back('\0');
  if (!::mkdtemp(buf.data())) std::abort();
  path_ = std::string(buf.data()) + "/";
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

std::string SharedDataFile(const std::string& name) {
  std::string p = std::string(QUINTAR_SHARED_DATA) + "/" + name;
  return std::filesystem::exists(p) ? p : "";
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream f(path, std::ios::binary);
  f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

namespace {
std::string Slurp(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}
}  // namespace

int RunCli(const std::vector<std::string>& args, std::string* out, std::string* err) {
  return RunCliAs(-1, args, out, err);
}

int RunCliAs(int uid, const std::vector<std::string>& args, std::string* out, std::string* err) {
  TempDir io;
  ::chmod(io.Path().c_str(), 0777);
  std::string outPath = io.File("out"), errPath = io.File("err");
  pid_t pid = ::fork();
  if (pid == 0) {
    std::vector<char*> argv;
    std::string exe = QUINTAR_CLI;
    argv.push_back(exe.data());
    std::vector<std::string> copy = args;
    for (auto& a : copy) argv.push_back(a.data());
    argv.push_back(nullptr);
    if (!std::freopen(outPath.c_str(), "w", stdout) || !std::freopen(errPath.c_str(), "w", stderr)) ::_exit(127);
    if (uid >= 0 && (::setgroups(0, nullptr) != 0 || ::setgid(static_cast<gid_t>(uid)) != 0 ||
                     ::setuid(static_cast<uid_t>(uid)) != 0))
      ::_exit(126);
    ::execv(exe.c_str(), argv.data());
    ::_exit(127);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  if (out) *out = Slurp(outPath);
  if (err) *err = Slurp(errPath);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TDraw MakeDraw(int number, std::initializer_list<int> nums, int bonus, const std::string& date) {
  TDraw d = ZeroDraw();
  d.Number = number;
  int i = 0;
  for (int n : nums) d.Nums[i++] = static_cast<uint8_t>(n);
  d.Bonus = static_cast<uint8_t>(bonus);
  d.SetDate(date);
  return d;
}

}  // namespace quintar::test
