#include "app/filtersmanager.h"

#include "app/session.h"
#include "util/format.h"
#include "util/strutil.h"

namespace quintar {

TFiltersManager::TFiltersManager(Session& session) : s_(session) {
  const TStatList& list = s_.Stats;
  SortOnName = list.Ordered;
  ShowGroupName = list.ShowGroupName;
  ShowFlags = list.ShowMethodFlags;
  for (const auto& m : list.Methods) savedCaptions_.push_back(m.Caption);
  Build();
}

std::string TFiltersManager::DefaultName(const Session& s, int method) {
  const TStatMethod& m = s.Stats.Method(method);
  std::string text = m.StatClass->NameOf(m.Param);
  if (m.StatClass->GetGroup() == 12) {
    try {
      text = Format(text, {m.Formula});
    } catch (const FormatError&) {
    }
  }
  return text;
}

void TFiltersManager::Build() {
  groups_.clear();
  const TStatList& list = s_.Stats;
  std::vector<int> groupNode(STAT_GROUP_COUNT + 1, -1);
  for (int i = 0; i < list.Count(); ++i) {
    if (!list.IsAvailable(i)) continue;
    const int g = list.StatClass(i).GetGroup();
    const size_t slot = g >= 0 && g < STAT_GROUP_COUNT ? static_cast<size_t>(g) : STAT_GROUP_COUNT;
    if (groupNode[slot] < 0) {
      groupNode[slot] = static_cast<int>(groups_.size());
      groups_.push_back({g, StatGroupCaption(g), {}});
    }
    groups_[static_cast<size_t>(groupNode[slot])].Entries.push_back({i, list.DisplayName(i), list.IsShown(i)});
  }
}

std::string TFiltersManager::CountText() const { return Format("всего %d методов", {s_.Stats.Count()}); }

bool TFiltersManager::IsNode(TNode n) const {
  if (n.Group < 0 || n.Group >= static_cast<int>(groups_.size())) return false;
  return n.Entry >= -1 && n.Entry < static_cast<int>(groups_[static_cast<size_t>(n.Group)].Entries.size());
}

const TFiltersManager::TEntry& TFiltersManager::Entry(TNode n) const {
  return groups_[static_cast<size_t>(n.Group)].Entries[static_cast<size_t>(n.Entry)];
}

void TFiltersManager::Toggle(TNode n) {
  if (!IsEntry(n)) return;
  TEntry& e = EntryRef(n);
  e.Checked = !e.Checked;
}

void TFiltersManager::CheckAllEntries(bool on) {
  for (auto& g : groups_)
    for (auto& e : g.Entries) e.Checked = on;
}

void TFiltersManager::CheckGroup(bool on) {
  if (!IsNode(Selected)) return;
  for (auto& e : groups_[static_cast<size_t>(Selected.Group)].Entries) e.Checked = on;
}

std::string TFiltersManager::RenameText() const { return CanRename() ? Entry(Selected).Text : ""; }

void TFiltersManager::Rename(const std::string& text) {
  if (!CanRename()) return;
  EntryRef(Selected).Text = Trim(text);
}

void TFiltersManager::ResetName() {
  if (!CanResetName()) return;
  TEntry& e = EntryRef(Selected);
  e.Text = DefaultName(s_, e.Method);
}

std::string TFiltersManager::Info() {
  if (!CanInfo()) return "";
  return s_.StatHelpUrl(Entry(Selected).Method);
}

bool TFiltersManager::NamesImport(const std::string& path) {
  if (!s_.LoadStatNames(path, false)) return false;
  std::vector<bool> ticks(static_cast<size_t>(s_.Stats.Count()), false);
  for (const auto& g : groups_)
    for (const auto& e : g.Entries) ticks[static_cast<size_t>(e.Method)] = e.Checked;
  const TNode selected = Selected;
  Build();
  for (auto& g : groups_)
    for (auto& e : g.Entries) e.Checked = ticks[static_cast<size_t>(e.Method)];
  Selected = IsNode(selected) ? selected : TNode{};
  return true;
}

void TFiltersManager::StoreNames() {
  TStatList& list = s_.Stats;
  for (const auto& g : groups_)
    for (const auto& e : g.Entries) {
      TStatMethod& m = list.Methods[static_cast<size_t>(e.Method)];
      m.Caption = AnsiSameText(e.Text, DefaultName(s_, e.Method)) ? "" : e.Text;
    }
}

bool TFiltersManager::NamesExport(const std::string& path) {
  StoreNames();
  const bool ok = s_.SaveStatNames(path, false, true);
  s_.LoadStatNames(s_.FilePath(".flt"), false);
  return ok;
}

void TFiltersManager::Confirm() {
  TStatList& list = s_.Stats;
  StoreNames();
  for (const auto& g : groups_)
    for (const auto& e : g.Entries) list.Methods[static_cast<size_t>(e.Method)].Favorite = e.Checked;
  list.NormalizeFavorites();
  list.Ordered = SortOnName;
  list.ShowGroupName = ShowGroupName;
  list.ShowMethodFlags = ShowFlags;
  {
    BusyScope busy(s_);
    StatusScope status(s_, kPleaseWaitText);
    s_.SaveStatNames(s_.FilePath(".flt"), true, false);
    s_.RebuildStatLists(true, false);
  }
  s_.RefreshViews(true);
}

void TFiltersManager::Cancel() {
  TStatList& list = s_.Stats;
  if (savedCaptions_.size() != list.Methods.size()) return;
  for (size_t i = 0; i < savedCaptions_.size(); ++i) list.Methods[i].Caption = savedCaptions_[i];
}

}  // namespace quintar
