// Prefetch files: for one statistic method, how often each of its values occurs over all 6,724,520
// combinations, so that the statistics table can show the expected count (norm) of every value. One
// file per method in the folder "Prefetchs", named "<program>_<CODE>.dfc". Little-endian: 12-byte
// value records (key parts 1..4 as int16, then the int32 count) sorted by the signed key parts, then a
// 12-byte trailer (smallest count, largest count, 0). A file of size 0 counts as missing.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "stats/statdraw.h"

namespace quintar {

class TCustomStat;
class TStatList;

inline constexpr const char* kPrefetchFolder = "Prefetchs";
inline constexpr int kPrefetchRecordSize = 12;

inline constexpr const char* kPrefetchOpenError =
    "Ошибка открытия файла данных для полного набора вариантов!\r\rИмя файла: %s\r\r%s";
inline constexpr const char* kPrefetchCreateError =
    "Ошибка создания файла данных для полного набора вариантов!\r\rИмя файла: %s\r\r%s";
inline constexpr const char* kPrefetchBuildStatus = "Создание файла предварительной выборки %s...";
inline constexpr const char* kPrefetchAllStatus = "Создание файлов для полного набора комбинаций...";

struct TPrefetchRecord {
  TStatKey Key{};
  int32_t Count = 0;
};

// The content of a prefetch file.
struct TPrefetchData {
  std::vector<TPrefetchRecord> Records;  // sorted by key
  int32_t MinCount = 0;                  // trailer: smallest count
  int32_t MaxCount = 0;                  // trailer: largest count
};

// Folder of the prefetch files under the data folder (with a trailing slash), and a method's file.
std::string PrefetchFolder(const std::string& dataDir);
std::string PrefetchFileName(const std::string& dataDir, std::string_view baseName, std::string_view code);

// The file's bytes for a value list (written in list order) with its trailer.
std::string PrefetchBytes(const TStatDrawArray& sortedList);
// Reads a file; raises FileError/EQuintar for a missing, short or malformed file.
TPrefetchData ReadPrefetchFile(const std::string& path);
// True when the file exists with a size above 0.
bool PrefetchFileUsable(const std::string& path);

// The values of every combination of 7 of 35 numbers merged into one list (CombValues of each), sorted
// by key. makeStat gives a fresh object of the method (one per worker: up to `threads` run at once).
// progress(done, total) is called on the calling thread now and then; it may not be empty.
using TStatMaker = std::function<std::unique_ptr<TCustomStat>()>;
TStatDrawArray FullSetValues(const TStatMaker& makeStat, int threads,
                             const std::function<void(int64_t done, int64_t total)>& progress);

}  // namespace quintar
