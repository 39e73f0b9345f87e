#include "online/storedsystems.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <ctime>
#include <filesystem>
#include <system_error>

#include "combs/combslist.h"
#include "util/format.h"
#include "util/safefile.h"
#include "util/strutil.h"

namespace quintar {

namespace fs = std::filesystem;

std::string SystemsDir(const std::string& dataDir) {
  return IncludeTrailingSlash(IncludeTrailingSlash(dataDir) + kSystemsFolder);
}

bool ForceSystemsDir(const std::string& dataDir) { return ForceDirectories(SystemsDir(dataDir)); }

std::string SystemFileName(int numCount, int olap, int id) {
  return Format("%d-%.2d-%d_%.4d.dat", {NUMS_IN_DRAW, numCount, olap, id});
}

bool SystemDownloaded(const std::string& dataDir, int numCount, int olap, int id) {
  return FileExists(SystemsDir(dataDir) + SystemFileName(numCount, olap, id));
}

std::vector<std::string> FindSystemFiles(const std::string& dataDir, int numCount) {
  // The pattern "7-NN-*_*.dat": the fixed start, then anything holding "_", then ".dat".
  const std::string prefix = Format("%d-%.2d-", {NUMS_IN_DRAW, numCount});
  std::vector<std::string> names;
  std::error_code ec;
  fs::directory_iterator it(SystemsDir(dataDir), ec), end;
  for (; !ec && it != end; it.increment(ec)) {
    std::error_code fec;
    if (!it->is_regular_file(fec)) continue;
    const std::string name = it->path().filename().string();
    if (!StartsWithText(name, prefix) || !EndsWithText(name, ".dat")) continue;
    const std::string_view middle = std::string_view(name).substr(prefix.size());
    if (middle.size() < 4 || middle.substr(0, middle.size() - 4).find('_') == std::string_view::npos) continue;
    names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  for (std::string& n : names) n = SystemsDir(dataDir) + n;
  return names;
}

TDateTime SystemFileTime(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return 0;
  std::tm tm{};
  const time_t t = st.st_mtime;
  if (!localtime_r(&t, &tm)) return 0;
  TDateTime d = 0;
  if (!TryEncodeDate(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, d)) return 0;
  return d + (tm.tm_hour * 3600 + tm.tm_min * 60 + tm.tm_sec) / 86400.0;
}

bool SetSystemFileTime(const std::string& path, TDateTime time) {
  int y = 0, m = 0, d = 0;
  DecodeDate(time, y, m, d);
  const double frac = time - std::floor(time);
  const int secs = static_cast<int>(std::lround(frac * 86400.0));
  std::tm tm{};
  tm.tm_year = y - 1900;
  tm.tm_mon = m - 1;
  tm.tm_mday = d;
  tm.tm_hour = secs / 3600;
  tm.tm_min = secs / 60 % 60;
  tm.tm_sec = secs % 60;
  tm.tm_isdst = -1;
  const time_t t = std::mktime(&tm);
  if (t == static_cast<time_t>(-1)) return false;
  // The file system keeps no settable creation time here; the last-write time is the version mark.
  struct timespec times[2];
  times[0].tv_sec = t;
  times[0].tv_nsec = 0;
  times[1] = times[0];
  return ::utimensat(AT_FDCWD, path.c_str(), times, 0) == 0;
}

TCombsArray SystemCombsFromText(std::string_view text, const TByteArray& numbers, const std::string& fileName) {
  const int n = static_cast<int>(numbers.size());
  TCombsArray combs;
  const std::vector<std::string> lines = SplitTextLines(text);
  for (size_t li = 0; li < lines.size(); ++li) {
    const int lineNo = static_cast<int>(li) + 1;
    const std::vector<std::string> fields = SplitAny(lines[li], kSystemSeparators, true);
    std::vector<std::string> words;
    for (const std::string& f : fields)
      if (!Trim(f).empty()) words.push_back(Trim(f));
    if (words.empty()) continue;
    if (words.size() < static_cast<size_t>(NUMS_IN_DRAW))
      throw EQuintar(Format("Строка %d файла \"%s\": указано позиций %d, а нужно %d.",
                            {lineNo, fileName, static_cast<int>(words.size()), NUMS_IN_DRAW}));
    TComb c{};
    std::vector<bool> used(static_cast<size_t>(n) + 1);
    for (int j = 0; j < NUMS_IN_DRAW; ++j) {
      const std::string& w = words[static_cast<size_t>(j)];
      const auto p = TryStrToInt(w);
      if (!p) throw EQuintar(Format("Строка %d файла \"%s\": позиция \"%s\" не является целым числом.",
                                    {lineNo, fileName, w}));
      if (*p < 1 || *p > n)
        throw EQuintar(Format("Строка %d файла \"%s\": позиция %d вне диапазона 1..%d.", {lineNo, fileName, *p, n}));
      if (used[static_cast<size_t>(*p)]) throw EQuintar(Format("Строка %d файла \"%s\": позиция %d указана дважды.", {lineNo, fileName, *p}));
      used[static_cast<size_t>(*p)] = true;
      c.n[j] = numbers[static_cast<size_t>(*p - 1)];
    }
    combs.push_back(c);
  }
  return combs;
}

bool LoadSystemCombs(const std::string& dataDir, IHost& host, const TByteArray& numbers, TCombsArray& combs,
                     std::string& fileName) {
  combs.clear();
  const int n = static_cast<int>(numbers.size());
  const std::vector<std::string> files = FindSystemFiles(dataDir, n);
  if (files.empty()) {
    fileName = Format(kSystemNotFound, {n});
    host.ShowMessage(MsgKind::Error, fileName + kSystemNotFoundHelp);
    return false;
  }
  fileName = files.front();
  try {
    combs = SystemCombsFromText(ReadWholeFile(fileName), numbers, ExtractFileName(fileName));
  } catch (const std::exception& e) {
    combs.clear();
    host.ShowMessage(MsgKind::Error, Format(kSystemLoadError, {e.what()}));
    return false;
  }
  return !combs.empty();
}

}  // namespace quintar
