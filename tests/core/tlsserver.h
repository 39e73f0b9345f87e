// "openssl s_server -www" on a free port with a fresh self-signed certificate: a TLS server that answers
// every GET with a status page. Not Ready() when the openssl program is missing.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "testutil.h"

namespace quintar::test {

class TlsServer {
 public:
  // versionSwitch: the s_server switch of the TLS versions offered ("-tls1_2", "-no_ssl3").
  explicit TlsServer(const std::string& versionSwitch) {
    if (::access(kOpenssl, X_OK) != 0) return;
    std::string key = dir_.File("key.pem"), cert = dir_.File("cert.pem");
    if (Run({kOpenssl, "req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes", "-subj",
             "/CN=quintar.test", "-days", "1", "-keyout", key, "-out", cert},
            nullptr) != 0)
      return;
    int out = -1;
    pid_ = Start({kOpenssl, "s_server", "-accept", "127.0.0.1:0", "-cert", cert, "-key", key, "-www", versionSwitch},
                 &out);
    FILE* f = ::fdopen(out, "r");
    char line[256];
    while (f && std::fgets(line, sizeof line, f)) {
      std::string l = line;
      if (l.rfind("ACCEPT", 0) == 0) {
        port_ = std::atoi(l.substr(l.rfind(':') + 1).c_str());
        break;
      }
    }
    if (f) std::fclose(f);
  }
  ~TlsServer() {
    if (pid_ > 0) {
      ::kill(pid_, SIGTERM);
      ::waitpid(pid_, nullptr, 0);
    }
  }
  TlsServer(const TlsServer&) = delete;
  TlsServer& operator=(const TlsServer&) = delete;
  bool Ready() const { return port_ > 0; }
  std::string Url(const std::string& scheme = "https") const {
    return scheme + "://127.0.0.1:" + std::to_string(port_) + "/";
  }

 private:
  static constexpr const char* kOpenssl = "/usr/bin/openssl";
  static pid_t Start(const std::vector<std::string>& args, int* out) {
    int fds[2];
    if (::pipe(fds) != 0) return -1;
    pid_t pid = ::fork();
    if (pid == 0) {
      int devnull = ::open("/dev/null", O_WRONLY);
      ::dup2(out ? fds[1] : devnull, 1);
      ::dup2(devnull, 2);
      ::close(fds[0]);
      ::close(fds[1]);
      std::vector<std::string> copy = args;
      std::vector<char*> argv;
      for (auto& a : copy) argv.push_back(a.data());
      argv.push_back(nullptr);
      ::execv(argv[0], argv.data());
      ::_exit(127);
    }
    ::close(fds[1]);
    if (out)
      *out = fds[0];
    else
      ::close(fds[0]);
    return pid;
  }
  static int Run(const std::vector<std::string>& args, int* out) {
    pid_t pid = Start(args, out);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  TempDir dir_;
  pid_t pid_ = -1;
  int port_ = 0;
};

}  // namespace quintar::test
