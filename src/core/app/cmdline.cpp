#include "app/cmdline.h"

#include <unistd.h>

#include <climits>
#include <cstdlib>

#include "util/safefile.h"
#include "util/strutil.h"

namespace quintar {

CommandLine::CommandLine(int argc, char** argv) {
  if (argc > 0) program_ = argv[0];
  for (int i = 1; i < argc; ++i) args_.emplace_back(argv[i]);
}

bool CommandLine::HasSwitch(std::string_view name) const {
  const std::string n(name);
  for (const auto& a : args_) {
    if (AnsiSameText(a, n) || AnsiSameText(a, "-" + n) || AnsiSameText(a, "--" + n) || AnsiSameText(a, "/" + n) ||
        AnsiSameText(a, "\\" + n))
      return true;
  }
  return false;
}

std::optional<std::string> CommandLine::Value(std::string_view name) const {
  const std::string n(name);
  for (const auto& a : args_) {
    for (const std::string prefix : {"--", "-"}) {
      std::string head = prefix + n + "=";
      if (a.size() >= head.size() && AnsiSameText(a.substr(0, head.size()), head)) return a.substr(head.size());
    }
  }
  return std::nullopt;
}

std::string CurrentProgramPath() {
  char buf[PATH_MAX];
  ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return "";
  buf[n] = '\0';
  return buf;
}

std::string ResolveDataFolder(const std::string& programPath, const std::optional<std::string>& explicitDir) {
  std::string dir;
  if (explicitDir && !explicitDir->empty()) {
    dir = *explicitDir;
  } else {
    std::string own = ExtractFilePath(programPath);
    if (!own.empty() && ::access(own.c_str(), W_OK) == 0) {
      dir = own;
    } else {
      const char* xdg = std::getenv("XDG_DATA_HOME");
      const char* home = std::getenv("HOME");
      std::string base = xdg && *xdg ? std::string(xdg) : std::string(home ? home : ".") + "/.local/share";
      dir = IncludeTrailingSlash(base) + "Quintar_7x35";
    }
  }
  ForceDirectories(dir);
  char real[PATH_MAX];
  if (::realpath(dir.c_str(), real)) dir = real;
  return IncludeTrailingSlash(dir);
}

}  // namespace quintar
