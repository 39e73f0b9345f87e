#include "app/shell.h"

#include <dirent.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <fstream>
#include <iterator>

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
