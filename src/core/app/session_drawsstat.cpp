// The statistics table's commands and the prefetch cache of the session.
#include <algorithm>

#include "app/cmdline.h"
#include "app/session.h"
#include "util/format.h"
#include "util/safefile.h"

namespace quintar {

void Session::ReadDrawsStatKeys() {
  const int len = Frm.ReadFormInt(kMainForm, "DrawsStatLen", kDrawsStatLenDefault);
  DrawsStat.DrawsStatLen = len >= kDrawsStatLenMin ? len : kDrawsStatLenDefault;
  PrefetchsEnabled = Frm.ReadFormBool(kMainForm, "PrefetchsEnabled", false);
  ShowTotalLine = Frm.ReadFormBool(kMainForm, "ShowTotalLine", true);
}

void Session::WriteDrawsStatKeys() {
  try {
    Frm.WriteFormInt(kMainForm, "DrawsStatLen", DrawsStat.DrawsStatLen);
  } catch (const std::exception& e) {
    ShowError(e.what());
  }
}

void Session::ComputeDrawsStat(bool force) {
  const TDrawsStatMemory now{Archive.Count(), drawsOffset_, DrawsStat.DrawsStatLen, DrawsStatChooser.ItemIndex};
  if (!DrawsStat.Remember(now) && !force) return;
  const int method = DrawsStatChooser.SelectedMethod();
  DrawsStat.Clear();
  if (method < 0 || Archive.Empty()) {
    host_->Changed(Change::Views);
    return;
  }
  {
    BusyScope busy(*this);
    StatusScope status(*this, kDrawsStatStatus);
    try {
      std::unique_ptr<TCustomStat> stat = Stats.CreateSelectedStat(DrawsStatChooser);
      std::optional<TPrefetchData> prefetch = OpenPrefetch(method);
      TDrawsStatInput in;
      in.Stat = stat.get();
      in.Archive = &Archive;
      in.Window = DrawsStatWindow(Archive.Count(), drawsOffset_, DrawsStat.DrawsStatLen);
      in.Sorted = SortedView;
      in.Prefetch = prefetch ? &*prefetch : nullptr;
      in.Weights = Stats.Config.Weights;
      in.ShowTotalLine = ShowTotalLine;
      DrawsStat.Compute(in);
      DrawsStat.SetMethodComputed(method);
    } catch (const std::exception& e) {
      DrawsStat.Clear();
      ShowError(e.what());
    }
  }
  host_->Changed(Change::Views);
}

void Session::DrawsStatTypeChange(int itemIndex) {
  DrawsStatChooser.ItemIndex = itemIndex >= 0 && itemIndex < DrawsStatChooser.Count() ? itemIndex : -1;
  if (CanDrawsStatCalc()) ComputeDrawsStat(false);
}

bool Session::DrawsStatLenEnter(const std::string& text) {
  auto len = TDrawsStat::ParseDrawsStatLen(text);
  if (!len) return false;
  DrawsStat.DrawsStatLen = *len;
  if (CanDrawsStatCalc()) ComputeDrawsStat(false);
  return true;
}

void Session::DrawsStatePrefetchsEnabled() {
  PrefetchsEnabled = !PrefetchsEnabled;
  try {
    Frm.WriteFormBool(kMainForm, "PrefetchsEnabled", PrefetchsEnabled);
  } catch (const std::exception& e) {
    ShowError(e.what());
  }
  BuildAllPrefetches(false, TStatGroups{});
  host_->Changed(Change::Settings);  // the norm columns are shown or hidden
  ComputeDrawsStat(true);
}

void Session::DrawsStatShowTotalLine() {
  {
    StatusScope status(*this, "Создание графиков...");
    ShowTotalLine = !ShowTotalLine;
    try {
      Frm.WriteFormBool(kMainForm, "ShowTotalLine", ShowTotalLine);
    } catch (const std::exception& e) {
      ShowError(e.what());
    }
  }
  ComputeDrawsStat(true);
}

// Prefetch cache ---------------------------------------------------------------------------------------

std::string Session::PrefetchFileName(int method) const {
  return quintar::PrefetchFileName(dataDir_, kBaseName, Stats.CodeOf(method));
}

std::optional<TPrefetchData> Session::OpenPrefetch(int method) {
  if (!PrefetchsEnabled || method < 0 || method >= Stats.Count() || !Stats.IsPrefetchable(method)) return std::nullopt;
  const std::string path = PrefetchFileName(method);
  if (!PrefetchFileUsable(path) && !BuildPrefetch(method)) return std::nullopt;
  try {
    return ReadPrefetchFile(path);
  } catch (const std::exception& e) {
    ShowError(Format(kPrefetchOpenError, {path, e.what()}));
    return std::nullopt;
  }
}

bool Session::BuildPrefetch(int method) {
  const std::string path = PrefetchFileName(method);
  BusyScope busy(*this);
  StatusScope status(*this, Format(kPrefetchBuildStatus, {ExtractFileName(path)}));
  try {
    const std::string folder = PrefetchFolder(dataDir_);
    if (!ForceDirectories(folder)) throw FileError(Format("Не удалось создать папку \"%s\"", {folder}));
    TStatDrawArray list = FullSetValues([&] { return Stats.CreateStat(method); }, PrefetchThreads,
                                        [&](int64_t, int64_t) { host_->ProcessEvents(); });
    WriteFileAtomic(path, PrefetchBytes(list));
  } catch (const std::exception& e) {
    // No file of the method survives a failed build: an older one may belong to other settings.
    DeleteFileIfExists(path);
    ShowError(Format(kPrefetchCreateError, {path, e.what()}));
    return false;
  }
  return true;
}

void Session::BuildAllPrefetches(bool force, TStatGroups groups) {
  auto inGroups = [&](int i) {
    const size_t group = Stats.StatClass(i).GetGroup();
    return group < groups.size() && groups.test(group);
  };
  if (!force && !PrefetchsEnabled) {
    // Files of changed groups hold values of the old settings and would give wrong norms once prefetching
    // is switched on: they go, to be built anew when needed.
    if (groups.any())
      for (int i = 0; i < Stats.Count(); ++i)
        if (Stats.IsPrefetchable(i) && inGroups(i)) DeleteFileIfExists(PrefetchFileName(i));
    return;
  }
  BusyScope busy(*this);
  ShowStatus(kPrefetchAllStatus);
  host_->ProgressBegin(Stats.Count());
  for (int i = 0; i < Stats.Count(); ++i) {
    host_->ProgressStep(i + 1);
    if (!Stats.IsPrefetchable(i)) continue;
    if (PrefetchFileUsable(PrefetchFileName(i)) && !inGroups(i)) continue;
    BuildPrefetch(i);
    ShowStatus(kPrefetchAllStatus);
  }
  host_->ProgressEnd();
  ShowStatus("");
}

bool Session::StartupPrefetches(const CommandLine& cl) {
  if (cl.HasSwitch("fullrecreate")) {
    TStatGroups all;
    for (int g = 0; g < STAT_GROUP_COUNT; ++g) all.set(static_cast<size_t>(g));
    BuildAllPrefetches(true, all);
    return true;
  }
  const bool refresh = cl.HasSwitch("fullrefresh");
  BuildAllPrefetches(refresh, TStatGroups{});
  return refresh;
}

}  // namespace quintar
