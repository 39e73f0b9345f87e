#include "app/cmdline.h"

#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>

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

#ifndef QUINTAR_SHARE_FROM_BIN
#define QUINTAR_SHARE_FROM_BIN "../share/quintar-7x35"
#endif

std::string InstalledFilesFolder(const std::string& programPath) {
  const std::string own = ExtractFilePath(programPath);
  if (own.empty()) return "";
  const std::filesystem::path share = (std::filesystem::path(own) / QUINTAR_SHARE_FROM_BIN).lexically_normal();
  // The help folder is what every install has; a bare "share/quintar-7x35" left by something else is not enough.
  if (!DirectoryExists((share / "help").string())) return "";
  return IncludeTrailingSlash(share.string());
}

std::string ProgramFilesFolder(const std::string& programPath) {
  std::string installed = InstalledFilesFolder(programPath);
  return installed.empty() ? ExtractFilePath(programPath) : installed;
}

std::string ResolveDataFolder(const std::string& programPath, const std::optional<std::string>& explicitDir) {
  std::string dir;
  if (explicitDir && !explicitDir->empty()) {
    dir = *explicitDir;
  } else {
    std::string own = ExtractFilePath(programPath);
    // An installed program's folder is the system's (even when root may write there): data goes to XDG.
    if (!own.empty() && InstalledFilesFolder(programPath).empty() && ::access(own.c_str(), W_OK) == 0) {
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
