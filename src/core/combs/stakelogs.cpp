#include "combs/stakelogs.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "util/cp1251.h"
#include "util/format.h"
#include "util/safefile.h"
#include "util/strutil.h"

namespace quintar {

namespace {

constexpr size_t kFlushAt = 64 * 1024;

std::string DrawNumsText(const TStakeRec& rec) {
  std::string s;
  for (int i = 0; i < NUMS_IN_DRAW; ++i) {
    if (i) s += ';';
    s += std::to_string(rec.DrawNums[i]);
  }
  return s;
}

}  // namespace

std::string StakeLogStamp(std::time_t when) {
  std::tm t{};
  localtime_r(&when, &t);
  char buf[96];
  std::snprintf(buf, sizeof buf, "%04d.%02d.%02d %02d:%02d:%02d", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday,
                t.tm_hour, t.tm_min, t.tm_sec);
  return buf;
}

std::string StakeLogLine(const TStakeRec& rec, std::string_view stamp) {
  return std::string(stamp) + ": " +
         Format("Тираж № %s. Ставка: \"%s\" [%s] {%d}. Результаты тиража: [%s]. Совпадений: %d. Профит: %.2f.",
                {IntToStr(rec.Draw), rec.Comment(), StakeNumbersText(rec), rec.Sample, DrawNumsText(rec),
                 rec.Matches.Count, MoneyToDouble(rec.Profit)});
}

TStakeLogs::~TStakeLogs() {
  for (auto& [m, f] : files_) {
    try {
      FlushFile(m, f);
    } catch (...) {
    }
    if (f.fd >= 0) ::close(f.fd);
  }
}

std::string TStakeLogs::FileName(int matches) const { return prefix_ + "-" + std::to_string(matches) + ".log"; }

void TStakeLogs::Open(int matches, File& f, bool truncate) {
  const std::string name = FileName(matches);
  f.fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | (truncate ? O_TRUNC : 0), 0644);
  if (f.fd < 0) throw EStakesFile(Format("Ошибка записи в файл \"%s\"!", {name}), SysErrorText(errno));
  struct stat st {};
  f.size = ::fstat(f.fd, &st) == 0 ? static_cast<int64_t>(st.st_size) : 0;
}

void TStakeLogs::FlushFile(int matches, File& f) {
  if (f.buf.empty() || f.fd < 0) return;
  const char* p = f.buf.data();
  size_t left = f.buf.size();
  while (left > 0) {
    ssize_t n = ::write(f.fd, p, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      int err = n < 0 ? errno : EIO;
      f.size -= static_cast<int64_t>(left);
      f.buf.clear();
      throw EStakesFile(Format("Ошибка записи в файл \"%s\"!", {FileName(matches)}), SysErrorText(err));
    }
    p += n;
    left -= static_cast<size_t>(n);
  }
  f.buf.clear();
}

void TStakeLogs::Write(const TStakeRec& rec) { Write(rec, std::time(nullptr)); }

void TStakeLogs::Write(const TStakeRec& rec, std::time_t when) {
  const int matches = rec.Matches.Count;
  File& f = files_[matches];
  if (f.fd < 0) Open(matches, f, false);
  if (f.size > kStakeLogMaxSize) {
    f.buf.clear();
    ::close(f.fd);
    f.fd = -1;
    const std::string name = FileName(matches);
    if (::unlink(name.c_str()) != 0 && errno != ENOENT)
      throw EStakesFile(Format("Ошибка удаления файла \"%s\"!", {name}), SysErrorText(errno));
    Open(matches, f, true);
  }
  std::string line = Utf8ToCp1251(StakeLogLine(rec, StakeLogStamp(when)));
  line += "\r\n";
  f.buf += line;
  f.size += static_cast<int64_t>(line.size());
  if (f.buf.size() >= kFlushAt) FlushFile(matches, f);
}

void TStakeLogs::Flush() {
  for (auto& [m, f] : files_) FlushFile(m, f);
}

std::vector<std::string> FindStakeLogs(const std::string& dir, std::string_view base) {
  std::vector<std::string> out;
  const std::string folder = IncludeTrailingSlash(dir.empty() ? std::string("./") : dir);
  DIR* d = ::opendir(folder.c_str());
  if (!d) return out;
  const std::string prefix = std::string(base) + "-";
  while (dirent* e = ::readdir(d)) {
    std::string name = e->d_name;
    if (name.size() < prefix.size() + 4) continue;
    if (!StartsWithText(name, prefix) || !EndsWithText(name, ".log")) continue;
    if (FileExists(folder + name)) out.push_back(folder + name);
  }
  ::closedir(d);
  std::sort(out.begin(), out.end());
  return out;
}

TStakeLogsDeletion DeleteStakeLogs(const std::vector<std::string>& files) {
  TStakeLogsDeletion r;
  r.Found = static_cast<int>(files.size());
  for (const auto& f : files) {
    if (::unlink(f.c_str()) == 0 || errno == ENOENT)
      ++r.Deleted;
    else
      r.Failures.push_back(ExtractFileName(f) + ": " + SysErrorText(errno));
  }
  return r;
}

std::string TStakeLogsDeletion::Summary() const {
  if (Ok()) return Format("Удалено файлов журналов: %d.", {Deleted});
  std::string s = Format("Удалено файлов журналов: %d из %d.\r\rНе удалось удалить:", {Deleted, Found});
  for (const auto& f : Failures) s += "\r" + f;
  return s;
}

}  // namespace quintar
