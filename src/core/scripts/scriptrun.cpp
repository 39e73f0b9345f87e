#include "scripts/scriptrun.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <new>
#include <unistd.h>
#include <algorithm>
#include <optional>
#include <random>

#include "scripts/scriptline.h"
#include "util/cp1251.h"
#include "util/format.h"
#include "util/safefile.h"
#include "util/strutil.h"

namespace quintar {

TStatValues StatValuesFromTexts(const std::vector<std::string>& t, int32_t valueKey) {
  auto at = [&](size_t i) { return i < t.size() ? t[i] : std::string(); };
  TStatValues v;
  v.Value = at(0);
  v.ValueKey = valueKey;
  v.Count = at(2);
  v.CountPct = at(3);
  v.Deviation = at(4);
  v.DeviationPct = at(5);
  v.Depth = at(6);
  v.DepthPct = at(7);
  v.Weight = at(8);
  v.PeriodMin = at(9);
  v.Period = at(10);
  v.PeriodMax = at(11);
  return v;
}

uint64_t ScriptRunSeed(const TScriptRunSettings& settings) {
  if (settings.Seed != 0) return settings.Seed;
  std::random_device rd;
  return (static_cast<uint64_t>(rd()) << 32) ^ rd();
}

std::string LogRuler(char c) { return std::string(94, c); }

std::string StatValuesLogText(const TStatValues& r) {
  return Format(kLogRow, {r.Value, r.Count, r.CountPct, r.Deviation, r.DeviationPct, r.Depth, r.DepthPct, r.Weight});
}

// Variants ------------------------------------------------------------------------------------------------

namespace {

struct TExpandedItem {
  const TFilterItem* Item;
  TIntArray Draws;
  TIntArray Levels;
};

TIntArray Expand(const TFilterItem& item, const IStatCodes& codes, bool levels) {
  TIntArray list = IntListFromText(levels ? item.LevelText : item.DrawsText);
  if (list.empty()) throw EQuintar(Format(kBadFilterText, {FilterItemToText(item, codes)}));
  return list;
}

bool SingleValueMode(int mode) { return mode != lmLNO && !LevelModeIsList(mode); }

class TVariantBuilder {
 public:
  TVariantBuilder(const std::vector<TExpandedItem>& items, TFilterVarList& list, const TVariantHooks& hooks)
      : items_(items), list_(list), hooks_(hooks) {}

  void Build() {
    for (auto& p : rec_) p = TFilterPart{};
    Step(0);
  }

 private:
  bool Stopped() const { return hooks_.Stopped && hooks_.Stopped(); }

  static void SetPart(TFilterPart& p, const TFilterItem& it, int draws, std::string levelValue,
                      std::string levelText) {
    p.Active = it.Active;
    p.Stat = it.Stat;
    p.SortColumn = it.SortColumn;
    p.BottomUp = it.BottomUp;
    p.MultiSelect = it.MultiSelect;
    p.KeepSelected = it.KeepSelected;
    p.LevelMode = it.LevelMode;
    CopyWeightBlock(it, p);
    p.StopMode = it.StopMode;
    p.StopValue = it.StopValue;
    p.DrawsCount = draws;
    p.LevelValue = std::move(levelValue);
    p.LevelText = std::move(levelText);
  }

  // Returns false when a stop was asked for.
  bool Step(size_t d) {
    const TExpandedItem& e = items_[d];
    const TFilterItem& it = *e.Item;
    for (int32_t draws : e.Draws) {
      if (Stopped()) return false;
      if (SingleValueMode(it.LevelMode)) {
        for (int32_t level : e.Levels) {
          if (Stopped()) return false;
          SetPart(rec_[d], it, draws, std::to_string(level), std::to_string(level));
          if (!Continue(d)) return false;
        }
      } else if (it.LevelMode == lmLNO) {
        SetPart(rec_[d], it, draws, it.LevelText, it.LevelText);
        if (!Continue(d)) return false;
      } else {
        SetPart(rec_[d], it, draws, IntListToText(e.Levels, ","), it.LevelText);
        if (!Continue(d)) return false;
      }
    }
    return true;
  }

  bool Continue(size_t d) {
    if (d + 1 < items_.size()) return Step(d + 1);
    list_.Append(rec_);
    if (list_.Count() % 1000 == 0 && hooks_.Progress) hooks_.Progress(list_.Count());
    return true;
  }

  const std::vector<TExpandedItem>& items_;
  TFilterVarList& list_;
  const TVariantHooks& hooks_;
  TFilterRec rec_;
};

}  // namespace

void BuildFilterVariants(const std::vector<TFilterItem>& items, const IStatCodes& codes, TFilterVarList& list,
                         const TVariantHooks& hooks) {
  if (items.empty()) return;
  if (items.size() > static_cast<size_t>(kStepFilters)) throw EQuintar("Слишком много фильтров в строке!");
  std::vector<TExpandedItem> expanded;
  for (const TFilterItem& it : items) {
    TExpandedItem e{&it, Expand(it, codes, false), {}};
    if (it.LevelMode != lmLNO) e.Levels = Expand(it, codes, true);
    expanded.push_back(std::move(e));
  }
  int64_t total = 1;
  for (const TExpandedItem& e : expanded) {
    total *= static_cast<int64_t>(e.Draws.size()) *
             (SingleValueMode(e.Item->LevelMode) ? static_cast<int64_t>(e.Levels.size()) : 1);
    if (total > kMaxFilterVariants) throw std::bad_alloc();
  }
  TVariantBuilder(expanded, list, hooks).Build();
}

// Row and stop conditions -----------------------------------------------------------------------------

int64_t CellInt(std::string_view cell, int64_t def) {
  auto v = TryStrToInt64(Trim(cell));
  return v ? *v : def;
}

namespace {

std::optional<double> ReadNum(std::string_view cell) {
  std::string s = ReplaceAll(Trim(cell), ",", ".");
  if (s.empty()) return std::nullopt;
  return TryStrToFloat(s);
}

bool NoValue(std::string_view cell) {
  std::string t = Trim(cell);
  return t.empty() || t == "-";
}

int64_t StrictInt(std::string_view text) {
  auto v = TryStrToInt64(Trim(text));
  if (!v) throw EQuintar(Format("\"%s\" не является целым числом", {std::string(text)}));
  return *v;
}

double StrictNum(std::string_view text) {
  auto v = ReadNum(text);
  if (!v) throw EQuintar(Format("\"%s\" не является числом", {std::string(text)}));
  return *v;
}

std::vector<std::string> LevelItems(const std::string& levelValue) {
  std::vector<std::string> out;
  for (const auto& w : SplitAny(levelValue, ",;", true)) {
    std::string t = Trim(w);
    if (!t.empty()) out.push_back(t);
  }
  return out;
}

bool InIntList(const std::string& cell, const std::string& levelValue) {
  auto items = LevelItems(levelValue);
  if (items.empty() || NoValue(cell)) return false;
  const int64_t c = StrictInt(cell);
  bool found = false;
  for (const auto& it : items)
    if (StrictInt(it) == c) found = true;
  return found;
}

bool InNumList(const std::string& cell, const std::string& levelValue) {
  auto items = LevelItems(levelValue);
  if (items.empty() || NoValue(cell)) return false;
  const double c = StrictNum(cell);
  bool found = false;
  for (const auto& it : items)
    if (StrictNum(it) == c) found = true;
  return found;
}

}  // namespace

double CellNum(std::string_view cell, double def) {
  auto v = ReadNum(cell);
  return v ? *v : def;
}

bool RowQualifies(const TFilterPart& p, const TStatValues& r) {
  auto a = [&] { return static_cast<double>(StrictInt(p.LevelValue)); };
  auto intMin = [&](const std::string& cell) { return static_cast<double>(CellInt(cell, 0)) >= a(); };
  auto numMin = [&](const std::string& cell) { return CellNum(cell, 0) >= a(); };
  auto intMax = [&](const std::string& cell) { return static_cast<double>(CellInt(cell, 65535)) <= a(); };
  auto numMax = [&](const std::string& cell, double def) { return CellNum(cell, def) <= a(); };
  switch (p.LevelMode) {
    case lmLNO: return true;
    case lmLMV: return intMin(r.Depth);
    case lmDMV: return intMin(r.Deviation);
    case lmCMV: return intMin(r.Count);
    case lmPIM: return intMin(r.PeriodMin);
    case lmPXM: return intMin(r.PeriodMax);
    case lmLMP: return numMin(r.DepthPct);
    case lmDMP: return numMin(r.DeviationPct);
    case lmCMP: return numMin(r.CountPct);
    case lmWMV: return numMin(r.Weight);
    case lmPAM: return numMin(r.Period);
    case lmLLV: return intMax(r.Depth);
    case lmDLV: return intMax(r.Deviation);
    case lmCLV: return intMax(r.Count);
    case lmPIL: return intMax(r.PeriodMin);
    case lmPXL: return intMax(r.PeriodMax);
    case lmLLP: return numMax(r.DepthPct, 65535);
    case lmDLP: return numMax(r.DeviationPct, 65535);
    case lmCLP: return numMax(r.CountPct, 65535);
    case lmWLV: return numMax(r.Weight, 0);
    case lmPAL: return numMax(r.Period, 0);
    case lmLDV: return InIntList(r.Depth, p.LevelValue);
    case lmDDV: return InIntList(r.Deviation, p.LevelValue);
    case lmCDV: return InIntList(r.Count, p.LevelValue);
    case lmPIR: return InIntList(r.PeriodMin, p.LevelValue);
    case lmPXR: return InIntList(r.PeriodMax, p.LevelValue);
    case lmLDP: return InNumList(r.DepthPct, p.LevelValue);
    case lmDDP: return InNumList(r.DeviationPct, p.LevelValue);
    case lmCDP: return InNumList(r.CountPct, p.LevelValue);
    case lmWDV: return InNumList(r.Weight, p.LevelValue);
    case lmPAR: return InNumList(r.Period, p.LevelValue);
    case lmLVA: {
      auto items = LevelItems(p.LevelValue);
      bool found = false;
      for (const auto& it : items)
        if (StrictInt(it) == r.ValueKey) found = true;
      return found;
    }
    default: return false;
  }
}

bool RowStops(const TFilterPart& p, const TStatValues& r, int steps) {
  switch (p.StopMode) {
    case smSV:
      return p.BottomUp ? CellInt(r.Count, 0) >= p.StopValue : CellInt(r.Count, 0) <= p.StopValue;
    case smSP:
      return p.BottomUp ? CellNum(r.CountPct, 0) >= p.StopValue : CellNum(r.CountPct, 0) <= p.StopValue;
    case smST:
      return steps >= p.StopValue;
    default:
      return false;
  }
}

// Run log --------------------------------------------------------------------------------------------------

namespace {

void DecodeTime(TDateTime t, int& h, int& m, int& s) {
  double frac = t - std::floor(t);
  int secs = static_cast<int>(std::llround(frac * 86400.0));
  if (secs >= 86400) secs = 86399;
  h = secs / 3600;
  m = secs / 60 % 60;
  s = secs % 60;
}

std::string TimeText(TDateTime t, const char* fmt) {
  int y, mo, d, h, mi, s;
  DecodeDate(t, y, mo, d);
  DecodeTime(t, h, mi, s);
  char buf[64];
  std::snprintf(buf, sizeof buf, fmt, y, mo, d, h, mi, s);
  return buf;
}

}  // namespace

std::string ScriptLogFileName(const std::string& dir, TDateTime time) {
  return IncludeTrailingSlash(dir) + "ScriptLog_" + TimeText(time, "%04d-%02d-%02d-%02d-%02d-%02d") + ".txt";
}

std::vector<std::string> FindScriptLogs(const std::string& dir) {
  std::vector<std::string> out;
  const std::string folder = IncludeTrailingSlash(dir);
  DIR* d = ::opendir(folder.c_str());
  if (!d) return out;
  while (dirent* e = ::readdir(d)) {
    std::string name = e->d_name;
    if (name.size() >= 14 && StartsWithText(name, "ScriptLog_") && EndsWithText(name, ".txt") &&
        !DirectoryExists(folder + name))
      out.push_back(folder + name);
  }
  ::closedir(d);
  std::sort(out.begin(), out.end());
  return out;
}

void AppendScriptLog(const std::string& path, std::string_view text, TDateTime time) {
  std::string line = TimeText(time, "[%04d-%02d-%02d %02d:%02d:%02d]: ") + std::string(text) + "\r\n";
  std::string bytes = Utf8ToCp1251(line);
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd < 0) throw EQuintar(SysErrorText(errno));
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      int err = errno;
      ::close(fd);
      throw EQuintar(SysErrorText(err));
    }
    done += static_cast<size_t>(n);
  }
  if (::close(fd) != 0) throw EQuintar(SysErrorText(errno));
}

}  // namespace quintar
