// Stake logs: when logging is on, every stake that gets checked adds one line to "Quintar_7x35-%d.log"
// in the data folder, %d being the stake's match count. Lines are Windows-1251 text ending in CR LF; a log
// file larger than 256 MiB is deleted and started anew before the next line goes to it.
#pragma once

#include <cstdint>
#include <ctime>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "combs/stakesfile.h"

namespace quintar {

inline constexpr int64_t kStakeLogMaxSize = 0x10000000;  // 268,435,456 bytes
inline constexpr const char* kNoStakeLogs = "Файлы журналов не найдены!";
inline constexpr const char* kStakeLogsSearchStatus = "Поиск файлов журналов...";

// "yyyy.mm.dd hh:nn:ss" in local time.
std::string StakeLogStamp(std::time_t when);
// One log line (UTF-8, without the line end): the stamp, ": " and the stake's results.
std::string StakeLogLine(const TStakeRec& rec, std::string_view stamp);

// The log files of one check. Lines are buffered and go to disk at Flush (and when a buffer grows large).
class TStakeLogs {
 public:
  // prefix: data folder and base name ("/data/Quintar_7x35"); files are prefix + "-%d.log".
  explicit TStakeLogs(std::string prefix) : prefix_(std::move(prefix)) {}
  ~TStakeLogs();  // flushes; failures are ignored here
  TStakeLogs(const TStakeLogs&) = delete;
  TStakeLogs& operator=(const TStakeLogs&) = delete;

  std::string FileName(int matches) const;
  // Failures raise EStakesFile with "Ошибка записи в файл \"%s\"!" or "Ошибка удаления файла \"%s\"!".
  void Write(const TStakeRec& rec);
  void Write(const TStakeRec& rec, std::time_t when);
  void Flush();

 private:
  struct File {
    int fd = -1;
    int64_t size = 0;  // on disk and buffered
    std::string buf;
  };
  void Open(int matches, File& f, bool truncate);
  void FlushFile(int matches, File& f);

  std::string prefix_;
  std::map<int, File> files_;
};

// The log files in folder dir named base + "-" + any text + ".log", sorted by name.
std::vector<std::string> FindStakeLogs(const std::string& dir, std::string_view base);

struct TStakeLogsDeletion {
  int Found = 0;
  int Deleted = 0;
  std::vector<std::string> Failures;  // "name: error"
  bool Ok() const { return Failures.empty(); }
  // The summary shown after the deletion (information when Ok, else a warning).
  std::string Summary() const;
};
TStakeLogsDeletion DeleteStakeLogs(const std::vector<std::string>& files);

}  // namespace quintar
