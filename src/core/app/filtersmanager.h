// The favourite statistics manager: a two-level tree of the catalogue (groups, and under each its
// methods with a tick for favourites and the name shown for them), the dialog's commands, and what its
// confirmation stores. The dialog shows this model and calls its commands.
#pragma once

#include <string>
#include <vector>

namespace quintar {

class Session;

inline constexpr const char* kFormManagerCaption = "Менеджер избранных методов расчета статистики";
inline constexpr const char* kRenamePrompt = "Введите наименование фильтра:";
inline constexpr const char* kRenameTitle = "Переименование";
inline constexpr const char* kStatNamesFilter = "Наименования фильтров (*.flt)|*.flt";
inline constexpr const char* kStatNamesExt = "flt";
inline constexpr const char* kPleaseWaitText = "Подождите пожалуйста...";
inline constexpr const char* kFormFilterHelpCaption = "Описание методики расчета";

class TFiltersManager {
 public:
  // One method of the catalogue under its group.
  struct TEntry {
    int Method = -1;  // catalogue index
    std::string Text;
    bool Checked = false;
  };
  struct TGroup {
    int Group = 0;
    std::string Caption;  // "{ num } Числа тиража"
    std::vector<TEntry> Entries;
  };
  // A node of the tree: a group (Entry -1) or a method under it; Group -1 is no node.
  struct TNode {
    int Group = -1;
    int Entry = -1;
    bool operator==(const TNode&) const = default;
  };

  // Builds the tree from the catalogue as the dialog opens.
  explicit TFiltersManager(Session& session);

  const std::vector<TGroup>& Groups() const { return groups_; }
  bool Empty() const { return groups_.empty(); }
  // "всего %d методов" with the catalogue size.
  std::string CountText() const;
  // The option boxes cbSortOnName, cbShowGroupName, cbShowFlags.
  bool SortOnName = false;
  bool ShowGroupName = true;
  bool ShowFlags = true;

  // The selected node of the tree.
  TNode Selected;
  bool IsNode(TNode n) const;
  bool IsEntry(TNode n) const { return IsNode(n) && n.Entry >= 0; }
  const TEntry& Entry(TNode n) const;
  // A click (or double click) on a method node flips its tick; other nodes are left alone.
  void Toggle(TNode n);

  // The dialog's commands with their enabling rules.
  bool CanCheckNone() const { return !Empty(); }
  void CheckNone() { CheckAllEntries(false); }
  bool CanCheckAll() const { return !Empty(); }
  void CheckAll() { CheckAllEntries(true); }
  bool CanGroupNone() const { return IsNode(Selected); }
  void GroupNone() { CheckGroup(false); }
  bool CanGroupAll() const { return IsNode(Selected); }
  void GroupAll() { CheckGroup(true); }
  bool CanRename() const { return IsEntry(Selected); }
  // The text the rename question starts with, and the answer taken as the node text (trimmed).
  std::string RenameText() const;
  void Rename(const std::string& text);
  bool CanResetName() const { return IsEntry(Selected); }
  void ResetName();
  bool CanInfo() const { return IsEntry(Selected); }
  // The address of the selected method's description page; "" after a message when there is none.
  std::string Info();
  bool CanNamesImport() const { return true; }
  // Reads the own names of another favourites file (not its favourites) and rebuilds the tree; the ticks
  // and options of the dialog stay. Answers whether the file was read (a failure is shown).
  bool NamesImport(const std::string& path);
  bool CanNamesExport() const { return true; }
  // Writes every method's name as the tree shows it to another favourites file; the catalogue's own
  // names stay those of the program's file. Answers whether the file was written (a failure is shown).
  bool NamesExport(const std::string& path);

  // OK: stores ticks, own names and options in the catalogue, writes the favourites file, rebuilds the
  // statistic lists and refreshes the views.
  void Confirm();
  // Cancel: the catalogue's own names are as they were when the dialog opened.
  void Cancel();

  // A method's name without the user's own name.
  static std::string DefaultName(const Session& s, int method);

 private:
  void Build();
  void CheckAllEntries(bool on);
  void CheckGroup(bool on);
  // Node texts into the catalogue's own names: empty when equal to the default name (ignoring case).
  void StoreNames();
  TEntry& EntryRef(TNode n) { return groups_[static_cast<size_t>(n.Group)].Entries[static_cast<size_t>(n.Entry)]; }

  Session& s_;
  std::vector<TGroup> groups_;
  std::vector<std::string> savedCaptions_;  // the catalogue's own names when the dialog opened
};

}  // namespace quintar
